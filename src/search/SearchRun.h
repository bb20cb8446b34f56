#pragma once

#include "search/SearchCriteria.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vorn {

struct Catalogue;
class RunObserver;
class SearchIndex;

// One row of the search result list.
struct SearchRow
{
    bool folder = false;
    QString name;
    QString discName;
    QString location; // "a\b\" for a folder or file; "a\b\x.zip" for a member
    QString extension; // upper case; " " for a folder
    QString description; // a folder's note, a file's display description
    // The size and date columns are made from these when shown (searchRowSizeText,
    // searchRowSizeBytes, searchDateKey, RowDateText), not for each of the hundreds
    // of thousands of rows a broad search finds.
    qint64 size = 0;
    double date = 0;
    qint64 kilobytes = 0; // the figure of the size column; 0 for a folder
    int discPosition = 0; // the row's tag
    quint64 id = 0; // unique within one run
};

// Receives the rows of a run as they are found, in ascending id, each handed over to
// be kept or dropped; a row may later be taken out again by the duplicates rule.
// runEnded comes once, after the last row.
class SearchRowSink
{
public:
    virtual ~SearchRowSink() = default;
    virtual void rowAdded(SearchRow &&row) = 0;
    virtual void rowRemoved(quint64 id) = 0;
    virtual void runEnded() {}
};

// A sink that keeps the list in order, as the result list shows it; `rows` is whole
// once the run has ended. A broad search keeping only the latest of each duplicate
// takes out hundreds of thousands of rows: each is found by its id and only marked,
// and the list is closed up now and then, so that taking rows out stays linear.
class SearchResultList : public SearchRowSink
{
public:
    void rowAdded(SearchRow &&row) override
    {
        rows.push_back(std::move(row));
        m_removed.push_back(false);
    }
    void rowRemoved(quint64 id) override { takeOut(id); }
    void runEnded() override { closeUp(); }
    // Marks the row of this id taken out; false when no row of the list has it.
    bool takeOut(quint64 id);
    // The rows not taken out, leaving the list empty.
    std::vector<SearchRow> takeRows();
    std::vector<SearchRow> rows;

private:
    void closeUp();
    std::vector<bool> m_removed; // beside rows
    size_t m_removedCount = 0;
};

struct SearchOptions
{
    int keywordFilter = 0; // the disc list's keyword filter (shown in the summary)
    // The data folder's search index, when there is one: a name or description search
    // for a piece of plain text reads the discs whose index part is fresh from it, and
    // the others from their archives. Rows, order and counters are the same.
    const SearchIndex *index = nullptr;
};

struct SearchOutcome
{
    enum class Status { Completed, NoCriteria, NoDisc } status = Status::Completed;
    int filesFound = 0;
    int foldersFound = 0;
    qint64 totalKilobytes = 0;
    int discsExplored = 0;
    int discsToExplore = 0;
    int duplicatesIgnored = 0;
    bool stopped = false;
    QStringList unreadable; // identifiers of discs whose archive could not be read
    int discsFromIndex = 0; // discs read from the search index
    QString summary; // the summary line (empty unless Completed)
};

// Rows a run adds between two yields inside one disc; while a disc is being read the
// run yields every 30 ms.
constexpr int searchRowsPerYield = 1000;

// Searches the discs of the selection in disc-array order: per disc the folder pass,
// then the file pass. No criteria shows string 315, no disc string 316 (warnings
// through the observer's prompt), and nothing is read. The warning question comes at
// 1000 results and then at thresholds grown by 2.5 after a folder row or 5 after a
// file row; Yes stops the run, as does the observer's cancel flag. A disc whose
// archive is missing or cannot be read is skipped and not counted as explored.
SearchOutcome runSearch(const Catalogue &catalogue, const SearchCriteria &criteria,
                        const std::vector<qint64> &selection, RunObserver &observer, SearchRowSink &sink,
                        const SearchOptions &options = {});

// The run's date format as a Qt format (strings 599 and 600 joined by a space).
QString searchDateFormat();
QString searchDateText(double dayNumber, const QString &format);
// "yyyymmdd hhmmss".
QString searchDateKey(double dayNumber);
// The size column: the last 12 characters of 15 spaces and the kilobytes.
QString searchSizeText(qint64 kilobytes);
// Frees the texts of a row taken out of a list but left in its place: only its id
// stays, so that the list stays in ascending id for findRowById.
void keepOnlyId(SearchRow &row);
// The row of `id` among rows in ascending id, or rows.end().
std::vector<SearchRow>::iterator findRowById(std::vector<SearchRow> &rows, quint64 id);
// A row's size column: searchSizeText of its kilobytes, " " for a folder.
QString searchRowSizeText(const SearchRow &row);
// A row's size in bytes as decimal digits (the size column's sort key); empty for a folder.
QString searchRowSizeBytes(const SearchRow &row);
// Kilobytes shown for a file: bytes / 1024 rounded halves to even, at least 1.
qint64 searchKilobytes(qint64 bytes);
// The location walk: from `start` up the parent chain to folder 0, prepending each
// non-empty name and "\"; folder 0 itself only when the walk starts there.
QString resultLocation(const std::vector<FolderRecord> &folders, qint64 start);

// The progress line after each disc and the summary line at the end.
QString searchProgressText(const SearchOutcome &outcome);
QString searchSummaryText(const SearchOutcome &outcome, int keywordFilter);
// What the window adds to the summary when archives could not be read: string 750
// and their file names, each once; empty when every archive was read.
QString unreadableArchivesText(const Catalogue &catalogue, const SearchOutcome &outcome);

} // namespace vorn
