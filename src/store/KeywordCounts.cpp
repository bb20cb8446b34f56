#include "store/KeywordCounts.h"

#include "store/Catalogue.h"
#include "store/KeywordCodes.h"

namespace vorn {

int discsCarrying(const Catalogue &catalogue, int number)
{
    int count = 0;
    for (int position = 1; position <= catalogue.discCount(); ++position)
        count += carriesKeyword(catalogue.disc(position).keywordCodes, number);
    return count;
}

} // namespace vorn
