#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
class RunObserver;

// The catalogue reports shown in the second description box. Each is plain text
// with CRLF line ends; numbers carry the digit grouping of string 500. Nothing is
// written to the store.
namespace Reports {

enum Index : int {
    DataFolderInfo = 3,
    DiscList = 4,
    KeywordsOfDiscs = 5,
    DiscsOfKeywords = 6,
    Totals = 7,
};

// 3: the data folder's path, disc count, file count and size, and the count and size
// of its "*.VORN" files plus "MC.txt".
QString dataFolderInfo(const Catalogue &catalogue);
// 4: every disc name in array order.
QString discList(const Catalogue &catalogue);
// 5: each disc with the names of its keywords, in keyword-list order.
QString keywordsOfDiscs(const Catalogue &catalogue);
// 6: each keyword with the names of the discs carrying it, in array order.
QString discsOfKeywords(const Catalogue &catalogue);

// True when a disc with these keyword codes passes the disc list's keyword filter:
// 0 passes every disc, k > 0 discs carrying k, k < 0 discs not carrying -k.
bool passesKeywordFilter(const QString &keywordCodes, int keywordFilter);

// 7: files, archive members, folders, total size, captured texts and captured size
// over the discs that pass the keyword filter. The tree files are read from the
// archives in memory, so working copies in the temporary folder are left alone. After
// each disc the running text (led by that disc's name unless it is the last) goes to
// the observer's progress, followed by a yield. A disc that cannot be read adds
// nothing.
QString totals(const Catalogue &catalogue, int keywordFilter, RunObserver *observer = nullptr);

// The report with that index (3 to 7); an empty text for any other index.
QString build(int index, const Catalogue &catalogue, int keywordFilter = 0, RunObserver *observer = nullptr);

} // namespace Reports
} // namespace vorn
