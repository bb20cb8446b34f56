#include "store/KeywordCounts.h"

#include "store/Catalogue.h"

namespace vorn {

bool carriesKeyword(const QString &keywordCodes, qint16 number)
{
    return keywordCodes.contains(u'|' + QString::number(number) + u'|');
}

int discsCarrying(const Catalogue &catalogue, qint16 number)
{
    int count = 0;
    for (int position = 1; position <= catalogue.discCount(); ++position)
        count += carriesKeyword(catalogue.disc(position).keywordCodes, number);
    return count;
}

} // namespace vorn
