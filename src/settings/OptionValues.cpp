#include "settings/OptionValues.h"

#include "settings/SettingsStore.h"

#include <algorithm>

namespace vorn {

qint64 BoundedNumber::clamped() const
{
    return std::clamp(value, minimum, maximum);
}

BoundedNumber readBoundedNumber(const QString &section, const QString &key, qint64 defaultValue, qint64 minimum,
                                qint64 maximum)
{
    return {Settings::readNumber(section, key, defaultValue), minimum, maximum};
}

BoundedNumber readMaxTextKb(qint64 defaultKb, qint64 minimum, qint64 maximum)
{
    return readBoundedNumber(QStringLiteral("Opt"), QStringLiteral("TailleMax"), defaultKb, minimum, maximum);
}

} // namespace vorn
