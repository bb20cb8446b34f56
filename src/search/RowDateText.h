#pragma once

#include <QString>
#include <vector>

namespace vorn {

// The date column of result rows in one date format, written digit by digit: a long
// result list makes one text per row, where QDateTime's formatter costs more than the
// rest of the row. Formats with anything but two-digit day, month, hour, minute and
// second fields, "yy", "yyyy", "AP"/"ap" and punctuation go through QDateTime.
class RowDateText
{
public:
    explicit RowDateText(const QString &format);

    // The same text as searchDateText(dayNumber, format).
    QString text(double dayNumber) const;

private:
    enum class Field { Literal, Day, Month, Year2, Year4, Hour24, Hour12, Minute, Second, UpperAmPm, LowerAmPm };
    struct Piece
    {
        Field field = Field::Literal;
        QChar literal;
    };

    QString m_format;
    std::vector<Piece> m_pieces;
    bool m_direct = false;
    qsizetype m_length = 0;
};

} // namespace vorn
