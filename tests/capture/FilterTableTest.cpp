#include "capture/FilterTable.h"

#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace vorn;

namespace {

struct Entry { QString pattern; int kind; bool operator==(const Entry &) const = default; };

std::vector<Entry> entriesOf(const FilterTable &table)
{
    std::vector<Entry> entries;
    for (qsizetype i = 0; i < table.size(); ++i)
        entries.push_back({table.pattern(i), table.kind(i)});
    return entries;
}

void PrintTo(const Entry &entry, std::ostream *os) { *os << '(' << entry.pattern.toStdString() << ", " << entry.kind << ')'; }

} // namespace

TEST(FilterTableTest, ListsSplitAtEachSemicolonAndDropTheTextAfterTheLast)
{
    struct Case { const char *list; QStringList patterns; };
    const Case cases[] = {
        {"*.TXT;README;", {"*.TXT", "README"}},
        {"*.TXT;README", {"*.TXT"}},
        {"README", {}},
        {"", {}},
        {";", {""}},
        {"*.A;;*.B;", {"*.A", "", "*.B"}},
    };
    for (const Case &c : cases) {
        const FilterTable table = BuildFilterTable(QString::fromUtf8(c.list), u"", u"", u"");
        std::vector<Entry> expected{{"", 0}};
        for (const QString &pattern : c.patterns)
            expected.push_back({pattern, FilterKind::Text});
        EXPECT_EQ(entriesOf(table), expected) << c.list;
    }
}

TEST(FilterTableTest, DefaultsComeFromTheStringTableAndFixedListsUnlessSet)
{
    test::IsolatedSettings settings;
    std::vector<Entry> expected{{"", 0}};
    for (const char *p : {"*.TXT", "*.DES", "FILE-ID.DIZ", "FILE_ID.DIZ", "READ.ME", "README", "*.NFO"})
        expected.push_back({p, 1});
    expected.insert(expected.end(), {{"*.ZIP", 2}, {"*.EXE", 2}, {"*.CAB", 4}, {"*.RAR", 8}});
    EXPECT_EQ(entriesOf(BuildFilterTable()), expected);

    // The four lists follow the placeholder in the order text, ZIP, CAB, RAR.
    Settings::write("Opt", "FiltresTxt", "*.DOC;");
    Settings::write("Opt", "FiltresRAR", "*.R##;*.RAR;");
    const std::vector<Entry> stored{{"", 0},      {"*.DOC", 1}, {"*.ZIP", 2}, {"*.EXE", 2},
                                    {"*.CAB", 4}, {"*.R##", 8}, {"*.RAR", 8}};
    EXPECT_EQ(entriesOf(BuildFilterTable()), stored);

    // Written back: empty patterns dropped, an empty kind written as empty text.
    WriteFilterLists(BuildFilterTable(u"*.A;;*.B;", u"", u"*.CAB;", u"*.R##;"));
    EXPECT_EQ(Settings::read("Opt", "FiltresTxt") + '|' + Settings::read("Opt", "FiltresZip", "absent") + '|'
                  + Settings::read("Opt", "FiltresCab") + '|' + Settings::read("Opt", "FiltresRAR"),
              "*.A;*.B;||*.CAB;|*.R##;");
}

TEST(FilterTableTest, MatchGivesTheKindOfTheFirstEntryInTheMask)
{
    const FilterTable table = BuildFilterTable(u"*.TXT;README;FILE?ID.DIZ;TRACK#.NFO;[A-C]*.ME;;",
                                               u"*.ZIP;*.EXE;", u"*.CAB;*.ZIP;", u"*.RAR;*.ZIP;");
    struct Case { const char *name; int mask; int expected; };
    const Case cases[] = {
        {"readme", FilterKind::Text, 1},
        {"readme.1st", FilterKind::Text, 0},
        {"file_id.diz", FilterKind::Text, 1},
        {"TRACK7.NFO", FilterKind::Text, 1},
        {"Boot.me", FilterKind::Text, 1},
        {"notes.txt", FilterKind::Archives, 0},
        {"SETUP.EXE", FilterKind::Archives, FilterKind::Zip},
        // "*.ZIP" is a pattern of every archive kind: the earliest entry in the mask wins.
        {"DATA.ZIP", FilterKind::Archives, FilterKind::Zip},
        {"DATA.ZIP", FilterKind::Cab | FilterKind::Rar, FilterKind::Cab},
        {"disk1.cab", FilterKind::Archives, FilterKind::Cab},
        {"", 15, 0},   // the placeholder and the empty entry never match
    };
    for (const Case &c : cases)
        EXPECT_EQ(MatchFilter(table, QString::fromUtf8(c.name), c.mask), c.expected)
            << c.name << " mask " << c.mask;
}

TEST(FilterTableTest, ClassifyOffersArchivesOnlyToReadersWhoseOptionIsOn)
{
    const FilterTable table = BuildFilterTable(u"*.TXT;*.ZIP;", u"*.ZIP;*.EXE;", u"*.CAB;",
                                               u"*.RAR;*.ZIP;*.EXE;");
    constexpr qint32 zip = Opt::ListZip, cab = Opt::ListCab, rar = Opt::ListRar;
    constexpr qint32 text = Opt::CaptureText | Opt::CaptureTextInArchives;
    struct Case { const char *name; qint32 options; FileClass expected; };
    const Case cases[] = {
        {"A.ZIP", zip, FileClass::Zip},
        {"A.ZIP", cab | rar | text, FileClass::Ordinary},   // first archive match is ZIP
        {"SETUP.EXE", rar, FileClass::Ordinary},
        {"SETUP.EXE", zip | rar, FileClass::Zip},
        {"X.CAB", cab, FileClass::Cab},
        {"x.rar", rar, FileClass::Rar},
        {"x.rar", text, FileClass::Ordinary},
        {"notes.txt", zip | cab | rar, FileClass::Ordinary},
    };
    for (const Case &c : cases)
        EXPECT_EQ(classifyFile(table, c.options, QString::fromUtf8(c.name)), c.expected)
            << c.name << " options " << c.options;
}
