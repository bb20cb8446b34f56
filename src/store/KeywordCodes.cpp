#include "store/KeywordCodes.h"

#include <QList>

namespace vorn {

QString keywordCode(int number)
{
    return u'|' + QString::number(number) + u'|';
}

bool carriesKeyword(QStringView codes, int number)
{
    return codes.contains(keywordCode(number));
}

std::vector<int> keywordNumbers(QStringView codes)
{
    std::vector<int> numbers;
    for (QStringView piece : codes.split(u'|', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = piece.toInt(&ok);
        if (ok)
            numbers.push_back(number);
    }
    return numbers;
}

QString keywordCodesOf(const std::vector<int> &numbers)
{
    QString codes(1, u'|');
    for (int number : numbers)
        codes += QString::number(number) + u'|';
    return codes;
}

} // namespace vorn
