#pragma once

#include "common/Wildcard.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace vorn {

// Kinds of capture filter entries; a mask for MatchFilter is any combination.
namespace FilterKind {
enum : int {
    Text = 1,
    Zip = 2,
    Cab = 4,
    Rar = 8,
    Archives = Zip | Cab | Rar,
};
}

// The ordered capture filters: (name pattern, kind) entries. Entry 0 is an empty
// placeholder and real entries start at 1. An entry with an empty pattern never
// matches. Each pattern is compiled once, when it is appended.
class FilterTable
{
public:
    FilterTable();

    // Back to the placeholder alone.
    void clear();
    void append(const QString &pattern, int kind);
    // Appends every pattern of a ";"-terminated list with the given kind. Empty
    // patterns between two ";" are kept (inert); text after the last ";" is dropped.
    void appendList(QStringView list, int kind);

    // Number of entries, the placeholder included.
    qsizetype size() const { return qsizetype(m_entries.size()); }
    const QString &pattern(qsizetype index) const { return m_entries[size_t(index)].compiled.pattern(); }
    int kind(qsizetype index) const { return m_entries[size_t(index)].kind; }

    // The kind of the first entry, in table order, that shares a bit with `mask` and
    // whose pattern matches the whole name ignoring case; 0 when none does.
    int match(QStringView name, int mask) const;

private:
    struct Entry
    {
        int kind = 0;
        WildcardPattern compiled;
    };
    std::vector<Entry> m_entries;
};

// A table of the four lists in the order text, ZIP, CAB, RAR.
FilterTable BuildFilterTable(QStringView texts, QStringView zip, QStringView cab, QStringView rar);
// The same from the settings "Opt"/"FiltresTxt", "FiltresZip", "FiltresCab" and
// "FiltresRAR", each with its default when absent.
FilterTable BuildFilterTable();
// Writes the four filter lists back from the table: each kind's non-empty patterns in
// table order, each followed by ";" (a kind without patterns is written empty).
void WriteFilterLists(const FilterTable &table);

inline int MatchFilter(const FilterTable &table, QStringView name, int mask)
{
    return table.match(name, mask);
}

// How the cataloguing run treats a file of the disc.
enum class FileClass { Ordinary, Zip, Cab, Rar };

// Ordinary unless one of the archive options (8 ZIP, 256 CAB, 1024 RAR) is on and the
// first filter entry of an archive kind that matches the name is of a kind whose
// option is on. A name whose first archive match is a ZIP pattern is therefore never
// a RAR archive, even when a RAR pattern matches it too.
FileClass classifyFile(const FilterTable &table, qint32 options, QStringView name);

} // namespace vorn
