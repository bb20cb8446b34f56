#pragma once

#include "search/SearchRun.h"
#include "store/Catalogue.h"
#include "store/Mp3TagStore.h"
#include "store/Records.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <map>
#include <vector>

namespace vorn::test {

// Day number of a local date and time.
double day(int y, int m, int d, int h = 0, int mi = 0, int s = 0);

// One disc to write into a test data folder. Folders are listed from folder 1 on.
struct DiscSpec
{
    QString identifier;
    QString name;
    QString keywordCodes;
    quint8 excluded = 0;
    std::vector<FolderRecord> folders;
    std::vector<FileRecord> files;
    std::vector<QString> texts;                 // captured texts 1, 2, ...
    std::map<qint64, Mp3Tags> tags;             // by file number
    std::vector<BookmarkRecord> bookmarks;      // from position 1
    QByteArray extraLines;                      // raw file-list lines after the files
};

// A data folder made by a test, opened into a catalogue whenever asked.
class SearchFixture
{
public:
    SearchFixture();
    void addKeyword(const QString &name, qint16 number);
    void addDisc(const DiscSpec &disc);
    // Opens the data folder afresh (disc array sorted by name).
    Catalogue open();
    QString dataPath() const { return m_data.path(); }

private:
    QTemporaryDir m_data;
    QTemporaryDir m_temp;
    std::vector<KeywordEntry> m_keywords{1};
};

// Every disc of the array selected.
std::vector<qint64> allDiscs(const Catalogue &catalogue);

// Runs a search and keeps the rows.
struct SearchResult
{
    SearchOutcome outcome;
    std::vector<SearchRow> rows;
    QStringList names() const;
};
SearchResult search(const Catalogue &catalogue, const SearchCriteria &criteria,
                    RunObserver &observer, const std::vector<qint64> &selection,
                    SearchOptions options = {});
SearchResult search(const Catalogue &catalogue, const SearchCriteria &criteria);

} // namespace vorn::test
