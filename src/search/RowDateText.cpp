#include "search/RowDateText.h"

#include "common/DayDate.h"

namespace vorn {

RowDateText::RowDateText(const QString &format) : m_format(format)
{
    const bool twelveHours = format.contains(QLatin1String("AP"), Qt::CaseInsensitive);
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        Piece piece;
        if (!c.isLetter() && c != u'\'') {
            piece.literal = c;
            m_pieces.push_back(piece);
            m_length += 1;
            i += 1;
            continue;
        }
        const QStringView token = QStringView(format).sliced(i, run);
        if ((c == u'A' || c == u'a') && i + 1 < format.size() && format[i + 1] == (c == u'A' ? u'P' : u'p')
            && (i + 2 == format.size() || !format[i + 2].isLetter())) {
            piece.field = c == u'A' ? Field::UpperAmPm : Field::LowerAmPm;
            run = 2;
        } else if (token == u"dd") {
            piece.field = Field::Day;
        } else if (token == u"MM") {
            piece.field = Field::Month;
        } else if (token == u"yy") {
            piece.field = Field::Year2;
        } else if (token == u"yyyy") {
            piece.field = Field::Year4;
        } else if (token == u"hh") {
            piece.field = twelveHours ? Field::Hour12 : Field::Hour24;
        } else if (token == u"HH") {
            piece.field = Field::Hour24;
        } else if (token == u"mm") {
            piece.field = Field::Minute;
        } else if (token == u"ss") {
            piece.field = Field::Second;
        } else {
            m_pieces.clear();
            return;
        }
        m_pieces.push_back(piece);
        m_length += piece.field == Field::Year4 ? 4 : 2;
        i += run;
    }
    m_direct = true;
}

QString RowDateText::text(double dayNumber) const
{
    const std::optional<WallClock> clock = wallClockParts(dayNumber);
    if (!clock)
        return QString();
    if (!m_direct || clock->year < 1000 || clock->year > 9999)
        return wallClockFromDayNumber(dayNumber).toString(m_format);
    const int year = clock->year;
    const int month = clock->month;
    const int day = clock->day;
    const int hour = clock->hour;
    QString text(m_length, Qt::Uninitialized);
    QChar *out = text.data();
    const auto two = [&out](int value) {
        *out++ = QChar(u'0' + value / 10);
        *out++ = QChar(u'0' + value % 10);
    };
    for (const Piece &piece : m_pieces) {
        switch (piece.field) {
        case Field::Literal:
            *out++ = piece.literal;
            break;
        case Field::Day:
            two(day);
            break;
        case Field::Month:
            two(month);
            break;
        case Field::Year2:
            two(year % 100);
            break;
        case Field::Year4:
            two(year / 100);
            two(year % 100);
            break;
        case Field::Hour24:
            two(hour);
            break;
        case Field::Hour12:
            two(hour % 12 == 0 ? 12 : hour % 12);
            break;
        case Field::Minute:
            two(clock->minute);
            break;
        case Field::Second:
            two(clock->second);
            break;
        case Field::UpperAmPm:
        case Field::LowerAmPm: {
            const bool upper = piece.field == Field::UpperAmPm;
            *out++ = QChar(hour < 12 ? (upper ? u'A' : u'a') : (upper ? u'P' : u'p'));
            *out++ = QChar(upper ? u'M' : u'm');
            break;
        }
        }
    }
    return text;
}

} // namespace vorn
