#pragma once

#include <QString>

namespace vorn {

// A numeric option with the default and the range of the place that reads it: one
// key may have different defaults and ranges in different places ("TailleMax" is 10
// in the cataloguing dialog, 5 in the descriptions update, at least 1 in the options
// panel).
struct BoundedNumber
{
    qint64 value = 0; // as read: absent gives the default, text that is no number 0
    qint64 minimum = 0;
    qint64 maximum = 0;

    bool inRange() const { return value >= minimum && value <= maximum; }
    qint64 clamped() const;
};

BoundedNumber readBoundedNumber(const QString &section, const QString &key, qint64 defaultValue, qint64 minimum,
                                qint64 maximum);

// "Opt"/"TailleMax": the largest text captured, in kilobytes (0 to 1024 unless the
// caller says otherwise).
inline constexpr qint64 MaxTextKbLimit = 1024;
BoundedNumber readMaxTextKb(qint64 defaultKb, qint64 minimum = 0, qint64 maximum = MaxTextKbLimit);

} // namespace vorn
