#pragma once

#include "common/Wildcard.h"
#include "store/Records.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace vorn {

class UserPrompt;
struct Catalogue;
struct DiscTree;
struct Mp3Tags;

// What the search looks at in each folder and file ("Combo1" list index).
enum class SearchField : int {
    Names = 0,
    Descriptions = 1,
    NamesAndDescriptions = 2,
    CapturedText = 3,
    Mp3Tags = 4,
};

// Where the expression must stand in the text ("CbPos" list index).
enum class SearchPosition : int { Contains = 0, StartsWith = 1, EndsWith = 2, Equals = 3 };

// Which part of a file's description triple a description search reads.
enum class DescriptionPart : int { None = -1, User = 0, Automatic = 1, ArchivePath = 2 };

// The settings of the search pane, read once at the start of a run.
struct SearchCriteria
{
    QString pattern; // the decorated expression; empty for none
    SearchField field = SearchField::Names;
    bool files = true;
    bool folders = true;
    bool members = false; // also archive members
    bool latestOnly = false; // keep only the most recent of duplicates
    qint64 minimumSize = 0; // bytes
    qint64 maximumSize = 0; // bytes; 0 = no upper bound
    double after = 0; // day number; 0 = no bound
    double before = 0;
    DescriptionPart descriptionPart = DescriptionPart::User;

    // The pattern for an expression at a position: "*"&e&"*", e&"*", "*"&e, e.
    // An empty expression gives an empty pattern.
    static QString patternFor(const QString &expression, SearchPosition position);
    // A size box's text as bytes: its numeric value times 1024, rounded halves to even.
    static qint64 sizeBoundFromText(QStringView kilobytes);

    // False when nothing narrows the search: empty pattern, no size and no date bound.
    bool hasCriteria() const;
};

// The criteria with their patterns compiled, shared by every test of one run.
class CompiledCriteria
{
public:
    explicit CompiledCriteria(const SearchCriteria &criteria);

    const SearchCriteria &criteria() const { return m_criteria; }
    bool patternEmpty() const { return m_criteria.pattern.isEmpty(); }
    // The pattern itself, and "*" & pattern & "*" for content searches.
    const WildcardPattern &pattern() const { return m_pattern; }
    const WildcardPattern &contentPattern() const { return m_content; }

    // Whether folder rows are possible at all in this run (the criteria part of the
    // folder test).
    bool foldersPossible() const;
    // The folder test: exclusion flag, folders box, size bounds and field, then name,
    // note and dates.
    bool matchFolder(const FolderRecord &folder) const;
    // Steps 5 to 7 of the file test: size and date bounds.
    bool withinBounds(qint64 size, double date) const;
    // The name and description part of the file test (fields 0 to 2).
    bool matchNameOrDescription(QStringView name, const DescriptionTriple &descriptions) const;
    // The chosen part of the triple against the pattern; no part chosen gives false.
    bool matchDescription(const DescriptionTriple &descriptions) const;

private:
    SearchCriteria m_criteria;
    WildcardPattern m_pattern;
    WildcardPattern m_content;
};

// Extension as the result rows show it: the text after the last ".", in upper case;
// empty without a dot.
QString upperExtension(QStringView name);

// The MP3 tag search text: artist, album, title, track and year, each followed by
// " |\| ".
QString mp3SearchText(const Mp3Tags &tags);

// The archive the file test stands in: the last record seen whose link is negative.
struct CurrentArchive
{
    bool set = false;
    QString name;
    qint32 folder = 0; // the archive's own owner
};

// True when the folder exists and its flag bit 0 (left out of searches) is set.
bool folderExcluded(const std::vector<FolderRecord> &folders, qint64 folder);

// Disc selection: one entry per position of the disc array (entry 0 always 0), the
// numeric value of the identifier for a disc that takes part, else 0.
struct DiscScope
{
    enum class Limit { None, ByDisc, ByKeywords };
    bool bookmarks = false; // tab "S": discs excluded from searches take part
    int keywordFilter = 0; // the disc list's keyword filter
    Limit limit = Limit::None; // the scope page, when its limit box is ticked
    QString chosenDiscKey; // "__" & identifier, for Limit::ByDisc
    std::vector<int> keywordNumbers; // selected keywords, for Limit::ByKeywords
};
std::vector<qint64> buildDiscSelection(const Catalogue &catalogue, const DiscScope &scope);
int selectedDiscCount(const std::vector<qint64> &selection);

// Toggles the "left out of searches" bit of a folder. When it has sub-folders the
// prompt asks string 656 (Yes/No/Cancel): Yes gives every descendant the folder's new
// state, No changes only the folder, Cancel puts it back. Returns true when any flag
// changed.
bool toggleFolderExclusion(std::vector<FolderRecord> &folders, int folder, UserPrompt &prompt);

} // namespace vorn
