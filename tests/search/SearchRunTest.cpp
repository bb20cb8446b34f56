#include "SearchSupport.h"

#include "index/IndexObserver.h"
#include "index/SearchIndex.h"
#include "search/RowDateText.h"
#include "search/SearchRun.h"
#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/TreeFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <array>
#include <random>

using namespace vorn;
using namespace vorn::test;

namespace {

// Folders: 1 Docs, 2 Docs\Guides, 3 Private (left out of searches), 4 Private\Inner.
DiscSpec sampleDisc()
{
    DiscSpec d;
    d.identifier = "42";
    d.name = "Sample";
    const double t = day(2004, 6, 3);
    d.folders = {{"Docs", 0, day(2004, 6, 15, 10, 30), "Manuals", 0},
                 {"Guides", 1, day(2004, 6, 16), "", 0},
                 {"Private", 0, day(2004, 6, 17), "", 1},
                 {"Inner", 3, day(2004, 6, 18), "", 0}};
    d.files = {
        {"TOOLS.ZIP", 0, 470, t, {"", " Fichier(s)  1", ""}, ArchiveAtZero},   // 0
        {"tool.sh", ArchiveAtZero, 20, t, {"", "", "src"}, 0},                  // 1
        {"README.TXT", 0, 1536, t, {"my notes", "VORN sample", ""}, 1},         // 2
        {"readme", 1, 512, t, {}, 0},                                           // 3
        {"old_readme.txt", 2, 2560, t, {}, 0},                                  // 4
        {"ABC", 1, 10240, t, {}, 0},                                            // 5
        {"abcd", 1, 10239, t, {}, 0},                                           // 6
        {"secret.txt", 3, 100, t, {}, 0},                                       // 7
        {"inside.zip", 3, 300, t, {}, -8},                                      // 8
        {"hidden.txt", -8, 5, t, {}, 0},                                        // 9
        {"visible.txt", 4, 5, t, {}, 0},                                        // 10
        {"song.mp3", 2, 4000000, t, {}, 0},                                     // 11
        {"x[ab.txt", 0, 1, t, {}, 0},                                           // 12
        {"notes.txt", 1, 30, day(2005, 1, 2, 13, 4, 5), {}, 2},                 // 13
        {"docs.zip", 1, 900, t, {}, -14},                                       // 14
        {"guide.pdf", -14, 700, t, {"", "", "manual"}, 0},                      // 15
    };
    d.texts = {"Hello readme world", "shopping list: milk"};
    d.tags[11] = Mp3Tags{"Blue", "Kind", "Miles", "comment words", 1959, "3"};
    return d;
}

class SearchRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        fixture.addDisc(sampleDisc());
    }
    IsolatedSettings settings;
    SearchFixture fixture;
};

SearchCriteria criteria(const QString &pattern, bool files, bool folders)
{
    SearchCriteria c;
    c.pattern = pattern;
    c.files = files;
    c.folders = folders;
    return c;
}

} // namespace

TEST_F(SearchRunTest, MatchingExamples)
{
    const Catalogue catalogue = fixture.open();
    struct Case { const char *name; SearchCriteria criteria; QStringList expected; };
    auto make = [](const QString &pattern, bool files, bool folders, auto change) {
        SearchCriteria c = criteria(pattern, files, folders);
        change(c);
        return c;
    };
    const auto none = [](SearchCriteria &) {};
    const Case cases[] = {
        {"readme starts with", make("readme*", true, false, none), {"README.TXT", "readme"}},
        {"a?c equals", make("a?c", true, true, none), {"ABC"}},
        {"minimum 10 KB: folders never match",
         make("", true, true, [](SearchCriteria &c) { c.minimumSize = 10240; }), {"ABC", "song.mp3"}},
        {"size range", make("", true, true, [](SearchCriteria &c) { c.minimumSize = 10239; c.maximumSize = 10239; }), {"abcd"}},
        {"descriptions without a part: only the folder note",
         make("*manual*", true, true, [](SearchCriteria &c) {
             c.field = SearchField::Descriptions; c.descriptionPart = DescriptionPart::None; c.members = true; }),
         {"Docs"}},
        {"path in archive part",
         make("*manual*", true, true, [](SearchCriteria &c) {
             c.field = SearchField::Descriptions; c.descriptionPart = DescriptionPart::ArchivePath; c.members = true; }),
         {"Docs", "guide.pdf"}},
        {"user part", make("my*", true, false, [](SearchCriteria &c) { c.field = SearchField::NamesAndDescriptions; }),
         {"README.TXT"}},
        {"excluded folder hides its files and its archives' members only",
         make("*.txt", true, false, [](SearchCriteria &c) { c.members = true; }),
         {"README.TXT", "old_readme.txt", "visible.txt", "x[ab.txt", "notes.txt"}},
        {"members unticked", make("*.sh", true, false, none), {}},
        {"members ticked", make("*.sh", true, false, [](SearchCriteria &c) { c.members = true; }), {"tool.sh"}},
        {"unbalanced bracket is literal", make("*[ab*", true, true, none), {"x[ab.txt"}},
        {"folders only, excluded folder left out", make("*i*", false, true, none), {"Guides", "Inner"}},
        {"captured text", make("*readme*", true, true, [](SearchCriteria &c) { c.field = SearchField::CapturedText; }),
         {"README.TXT"}},
        {"captured text, any position", make("milk", true, false, [](SearchCriteria &c) { c.field = SearchField::CapturedText; }),
         {"notes.txt"}},
        {"captured text, empty pattern with a bound",
         make("", true, false, [](SearchCriteria &c) { c.field = SearchField::CapturedText; c.minimumSize = 1; }),
         {"README.TXT", "notes.txt"}},
        {"mp3 tags", make("miles", true, false, [](SearchCriteria &c) { c.field = SearchField::Mp3Tags; }), {"song.mp3"}},
        {"mp3 tags leave the comment out",
         make("*words*", true, false, [](SearchCriteria &c) { c.field = SearchField::Mp3Tags; }), {}},
        {"mp3 year", make("*1959*", true, false, [](SearchCriteria &c) { c.field = SearchField::Mp3Tags; }), {"song.mp3"}},
        {"after", make("", true, true, [](SearchCriteria &c) { c.after = day(2004, 6, 16); }),
         {"Inner", "notes.txt"}},
        {"before", make("*e*", true, true, [](SearchCriteria &c) { c.before = day(2004, 6, 15, 11); }),
         {"README.TXT", "readme", "old_readme.txt", "visible.txt"}},
    };
    for (const Case &c : cases) {
        const SearchResult result = search(catalogue, c.criteria);
        EXPECT_EQ(result.names(), c.expected) << c.name;
        EXPECT_EQ(result.outcome.discsExplored, 1) << c.name;
    }
}

TEST_F(SearchRunTest, RowTexts)
{
    const Catalogue catalogue = fixture.open();
    SearchCriteria c = criteria("", true, true);
    c.members = true;
    c.minimumSize = 0;
    c.after = 1;
    const SearchResult result = search(catalogue, c);
    std::map<QString, SearchRow> byName;
    for (const SearchRow &row : result.rows)
        byName[row.name] = row;
    struct Case { const char *name; const char *location; const char *ext; const char *desc; const char *size; const char *bytes; };
    const Case cases[] = {
        {"Docs", "", " ", "Manuals", " ", ""},
        {"Guides", "Docs\\", " ", "", " ", ""},
        {"Inner", "Private\\", " ", "", " ", ""},
        {"TOOLS.ZIP", "", "ZIP", " Fichier(s)  1", "           1", "470"},
        {"tool.sh", "TOOLS.ZIP", "SH", "src", "           1", "20"},
        {"README.TXT", "", "TXT", "my notes", "           2", "1536"},
        {"readme", "Docs\\", "", "", "           1", "512"},
        {"old_readme.txt", "Docs\\Guides\\", "TXT", "", "           2", "2560"},
        {"guide.pdf", "Docs\\docs.zip", "PDF", "manual", "           1", "700"},
        {"song.mp3", "Docs\\Guides\\", "MP3", "", "        3906", "4000000"},
        {"visible.txt", "Private\\Inner\\", "TXT", "", "           1", "5"},
    };
    for (const Case &k : cases) {
        ASSERT_TRUE(byName.count(k.name)) << k.name;
        const SearchRow &row = byName[k.name];
        EXPECT_EQ(row.location, QString(k.location)) << k.name;
        EXPECT_EQ(row.extension, QString(k.ext)) << k.name;
        EXPECT_EQ(row.description, QString(k.desc)) << k.name;
        EXPECT_EQ(searchRowSizeText(row), QString(k.size)) << k.name;
        EXPECT_EQ(searchRowSizeBytes(row), QString(k.bytes)) << k.name;
        EXPECT_EQ(row.discName, "Sample");
        EXPECT_EQ(row.discPosition, 1);
    }
    EXPECT_EQ(searchDateKey(byName["notes.txt"].date), "20050102 130405");
    EXPECT_EQ(RowDateText(searchDateFormat()).text(byName["notes.txt"].date), "02/01/05  13:04:05");
    EXPECT_EQ(searchDateKey(byName["Docs"].date), "20040615 103000");
    EXPECT_EQ(searchSizeText(123456789012345), "456789012345");
    EXPECT_EQ(searchSizeText(7), "           7");
    EXPECT_EQ(searchSizeText(-42), "         -42");
    struct Kb { qint64 bytes; qint64 k; };
    for (const Kb &kb : {Kb{1, 1}, Kb{512, 1}, Kb{513, 1}, Kb{1536, 2}, Kb{2560, 2}, Kb{470, 1}})
        EXPECT_EQ(searchKilobytes(kb.bytes), kb.k) << kb.bytes;
}

// The row date written digit by digit reads as QDateTime writes it, in both languages'
// formats and in formats it leaves to QDateTime.
TEST(SearchDateTextTest, SameAsQtFormatter)
{
    const QString formats[] = {"dd/MM/yy  hh:mm:ss", "MM/dd/yy hh:mm:ss AP", "yyyy-MM-dd HH:mm ap", "d MMM yyyy 'at' h:m"};
    const double dates[] = {0, day(2005, 1, 2, 13, 4, 5), day(2005, 1, 2, 0, 0, 1), day(1999, 12, 31, 12, 30),
                            day(1999, 12, 31, 23, 59, 59), 38000.999999, day(850, 3, 4, 11), day(1900, 1, 1), -700000, 1e9, 38000.5};
    for (const QString &format : formats) {
        const RowDateText writer(format);
        for (const double date : dates)
            EXPECT_EQ(writer.text(date), searchDateText(date, format)) << format.toStdString() << " " << date;
    }
}

TEST_F(SearchRunTest, LocationWalk)
{
    std::vector<FolderRecord> folders = {{"", 0, 0, "", 0}, {"A", 0, 0, "", 0}, {"", 1, 0, "", 0},
                                         {"C", 2, 0, "", 0}, {"Loop", 4, 0, "", 0}};
    EXPECT_EQ(resultLocation(folders, 0), "");
    EXPECT_EQ(resultLocation(folders, 3), "A\\C\\");   // empty names add nothing
    EXPECT_EQ(resultLocation(folders, 9), "");
    EXPECT_EQ(resultLocation(folders, 4), "Loop\\Loop\\Loop\\Loop\\Loop\\");  // a loop ends
    folders[0].name = "ROOT";
    EXPECT_EQ(resultLocation(folders, 0), "ROOT\\");
    EXPECT_EQ(resultLocation(folders, 1), "A\\");
}

TEST(SearchSummaryTest, Texts)
{
    setLanguageOffset(0);
    SearchOutcome o;
    o.filesFound = 1;
    o.foldersFound = 1;
    o.totalKilobytes = 2;
    o.discsExplored = 1;
    o.discsToExplore = 4;
    EXPECT_EQ(searchSummaryText(o, 0), "Trouvé : 1 Fichier ; 2 Ko ; 1 Répertoire ; 1 CD exploré.");
    EXPECT_EQ(searchSummaryText(o, -2), "Trouvé : 1 Fichier ; 2 Ko ; 1 Répertoire ; 1 CD exploré.(Filtre Actif!)");
    o.filesFound = 2;
    o.foldersFound = 0;
    o.totalKilobytes = 1234567;
    o.discsExplored = 2;
    o.duplicatesIgnored = 3;
    EXPECT_EQ(searchSummaryText(o, 5),
              "Trouvé : 2 Fichiers ; 1 234 567 Ko ; 0 Répertoires ; 2 CD explorés.(Filtre Actif!) ; (3 doublons ont étés ignorés)");
    EXPECT_EQ(searchProgressText(o), "Trouvé : 2 Fichiers ; 1234567 Ko ; 0 Répertoires ; CD 2 sur 4");
    setLanguageOffset(1000);
    EXPECT_TRUE(searchSummaryText(o, 0).contains("1,234,567")) << searchSummaryText(o, 0).toStdString();
    EXPECT_EQ(searchDateFormat(), "MM/dd/yy hh:mm:ss AP");
    setLanguageOffset(0);
    EXPECT_EQ(searchDateFormat(), "dd/MM/yy  hh:mm:ss");
}

TEST_F(SearchRunTest, RunSummaryAndNothingToDo)
{
    fixture.addDisc({"7", "Solo", "", 0, {{"Only", 0, 1, "", 0}}, {{"only.txt", 1, 2048, 1, {}, 0}}, {}, {}, {}, {}});
    const Catalogue catalogue = fixture.open();
    RecordingObserver observer;
    std::vector<qint64> solo(3, 0);
    solo[2] = 7;   // "Solo" sorts after "Sample"
    SearchResult result = search(catalogue, criteria("*only*", true, true), observer, solo, {3});
    EXPECT_EQ(result.names(), QStringList({"Only", "only.txt"}));
    EXPECT_EQ(result.outcome.summary, "Trouvé : 1 Fichier ; 2 Ko ; 1 Répertoire ; 1 CD exploré.(Filtre Actif!)");
    EXPECT_EQ(observer.progressTexts.first(), "Trouvé : 1 Fichiers ; 2 Ko ; 1 Répertoires ; CD 1 sur 1");

    RecordingObserver quiet;
    result = search(catalogue, criteria("", true, true), quiet, solo);
    EXPECT_EQ(result.outcome.status, SearchOutcome::Status::NoCriteria);
    EXPECT_EQ(quiet.scripted.warnings, QStringList({"Saisissez un ou plusieurs critère(s) de recherche"}));
    RecordingObserver noDisc;
    result = search(catalogue, criteria("*", true, true), noDisc, std::vector<qint64>(3, 0));
    EXPECT_EQ(result.outcome.status, SearchOutcome::Status::NoDisc);
    EXPECT_EQ(noDisc.scripted.warnings, QStringList({"Aucun CD n'est concerné par la recherche"}));
    EXPECT_TRUE(result.rows.empty());
}

TEST(SearchWarningTest, QuestionsComeAtGrowingThresholds)
{
    setLanguageOffset(0);
    IsolatedSettings settings;
    SearchFixture fixture;
    DiscSpec many{"5", "Many", "", 0, {}, {}, {}, {}, {}, {}};
    for (int i = 0; i < 2600; ++i)
        many.folders.push_back({QStringLiteral("d%1").arg(i), 0, 1, "", 0});
    for (int i = 0; i < 5001; ++i)
        many.files.push_back({QStringLiteral("f%1").arg(i), 0, 1, 1, {}, 0});
    fixture.addDisc(many);
    const Catalogue catalogue = fixture.open();

    struct Case { const char *name; SearchCriteria criteria; std::deque<UserPrompt::Answer> answers;
                  QStringList totals; int rows; bool stopped; };
    const auto Yes = UserPrompt::Answer::Yes;
    const auto No = UserPrompt::Answer::No;
    const Case cases[] = {
        {"file rows: 1000 then 5000", criteria("f*", true, false), {No, No}, {"1000", "5000"}, 5001, false},
        {"yes stops after the row in hand", criteria("f*", true, false), {Yes}, {"1000"}, 1000, true},
        {"folder rows: 1000 then 2500", criteria("d*", false, true), {No, No}, {"1000", "2500"}, 2600, false},
        {"folder rows then file rows", criteria("*", true, true), {No, No, No}, {"1000", "2500", "6250"}, 7601, false},
    };
    for (const Case &c : cases) {
        RecordingObserver observer;
        observer.scripted.answers = c.answers;
        const SearchResult result = search(catalogue, c.criteria, observer, allDiscs(catalogue));
        QStringList totals;
        for (const QString &q : observer.scripted.questions) {
            EXPECT_TRUE(q.startsWith("Plus de ")) << q.toStdString();
            EXPECT_TRUE(q.endsWith(" éléments ont déjà été trouvés.\rUne liste aussi longue peut ralentir "
                                   "fortement VORN.\rIl vaudrait mieux préciser les critères de recherche.\r"
                                   "Arrêter la recherche maintenant ?")) << q.toStdString();
            totals << q.mid(8).section(u' ', 0, 0);
        }
        EXPECT_EQ(totals, c.totals) << c.name;
        EXPECT_EQ(int(result.rows.size()), c.rows) << c.name;
        EXPECT_EQ(result.outcome.stopped, c.stopped) << c.name;
        EXPECT_EQ(result.outcome.discsExplored, c.stopped ? 0 : 1) << c.name;
    }
}

TEST(SearchDiscsTest, UnreadableArchiveIsSkippedAndNotCounted)
{
    setLanguageOffset(0);
    struct Case { const char *name; bool remove; };
    for (const Case &c : {Case{"corrupt", false}, Case{"missing", true}}) {
        IsolatedSettings settings;
        SearchFixture fixture;
        for (const char *id : {"1", "2", "3"})
            fixture.addDisc({id, QStringLiteral("Disc %1").arg(id), "", 0, {}, {{"common.txt", 0, 1, 1, {}, 0}}, {}, {}, {}, {}});
        const Catalogue catalogue = fixture.open();
        const QString archive = catalogue.archivePath("2");
        if (c.remove) {
            ASSERT_TRUE(QFile::remove(archive));
        } else {
            ASSERT_TRUE(writeFile(archive, QByteArray("PK\x03\x04 not really a zip archive")));
        }
        {
            RecordingObserver observer;
            const SearchResult result = search(catalogue, criteria("common*", true, true), observer,
                                               allDiscs(catalogue));
            ASSERT_EQ(result.rows.size(), 2u) << c.name;
            EXPECT_EQ(result.rows[0].discName, "Disc 1");
            EXPECT_EQ(result.rows[1].discName, "Disc 3");
            EXPECT_EQ(result.outcome.discsExplored, 2) << c.name;
            EXPECT_EQ(result.outcome.unreadable, QStringList({"2"})) << c.name;
            EXPECT_EQ(observer.progressTexts.value(1), "Trouvé : 2 Fichiers ; 2 Ko ; 0 Répertoires ; CD 2 sur 3");
            EXPECT_TRUE(result.outcome.summary.endsWith("2 CD explorés."));
            SearchOutcome twice = result.outcome;
            twice.unreadable << "2";
            EXPECT_EQ(unreadableArchivesText(catalogue, twice), " ; archives illisibles, laissées de côté : 2.VORN");
        }
    }
}

TEST(SearchDiscsTest, StopRequestEndsTheRunAfterTheRecordInHand)
{
    setLanguageOffset(0);
    IsolatedSettings settings;
    SearchFixture fixture;
    for (const char *id : {"1", "2", "3"})
        fixture.addDisc({id, QStringLiteral("Disc %1").arg(id), "", 0, {},
                         {{"a.txt", 0, 1, 1, {}, 0}, {"b.txt", 0, 1, 1, {}, 0}}, {}, {}, {}, {}});
    const Catalogue catalogue = fixture.open();
    // The stop click is seen after the first disc, when its progress line shows.
    struct StopAfterFirstDisc : RecordingObserver
    {
        void progress(const QString &text) override
        {
            RecordingObserver::progress(text);
            requestCancel();
        }
    } observer;
    const SearchResult result = search(catalogue, criteria("*.txt", true, false), observer, allDiscs(catalogue));
    EXPECT_TRUE(result.outcome.stopped);
    EXPECT_EQ(result.outcome.discsExplored, 1);
    EXPECT_EQ(result.names(), QStringList({"a.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(result.outcome.summary, "Trouvé : 3 Fichiers ; 3 Ko ; 0 Répertoires ; 1 CD exploré.");
}

TEST(SearchDiscsTest, LatestOnlyKeepsTheLaterOfEqualNameAndSize)
{
    setLanguageOffset(0);
    struct Case { double first; double second; const char *keptDisc; };
    const Case cases[] = {{day(2004, 1, 1), day(2005, 1, 1), "B"}, {day(2005, 1, 1), day(2004, 1, 1), "A"},
                          {day(2005, 1, 1), day(2005, 1, 1), "A"}};
    for (const Case &c : cases) {
        IsolatedSettings settings;
        SearchFixture fixture;
        fixture.addDisc({"1", "A", "", 0, {}, {{"DUP.txt", 0, 100, c.first, {}, 0}, {"dup.txt", 0, 3000, c.first, {}, 0}}, {}, {}, {}, {}});
        fixture.addDisc({"2", "B", "", 0, {}, {{"dup.TXT", 0, 100, c.second, {}, 0}}, {}, {}, {}, {}});
        const Catalogue catalogue = fixture.open();
        SearchCriteria latest = criteria("dup*", true, false);
        latest.latestOnly = true;
        const SearchResult result = search(catalogue, latest);
        ASSERT_EQ(result.rows.size(), 2u);
        EXPECT_EQ(result.outcome.duplicatesIgnored, 1);
        EXPECT_EQ(result.outcome.filesFound, 2);
        EXPECT_EQ(result.outcome.totalKilobytes, 4);   // 3000 bytes show 3, 100 bytes 1
        for (const SearchRow &row : result.rows) {
            if (row.size == 100) {
                EXPECT_EQ(row.discName, QString(c.keptDisc));
            }
        }
        EXPECT_TRUE(result.outcome.summary.endsWith(" ; (1 doublons ont étés ignorés)"));
        SearchCriteria all = criteria("dup*", true, false);
        EXPECT_EQ(search(catalogue, all).rows.size(), 3u);
    }
}

// Rows taken out in any order, some twice and some never added, leave the others in
// the order they came, whether the list closes up during the run or at its end.
TEST(SearchResultListTest, RowsTakenOutLeaveTheRestInOrder)
{
    std::mt19937 random(7);
    for (const int total : {1, 2, 10, 1000}) {
        SearchResultList list;
        std::vector<quint64> kept;
        for (quint64 id = 1; id <= quint64(total); ++id) {
            SearchRow row;
            row.id = id * 2;
            row.name = QString::number(id * 2);
            list.rowAdded(std::move(row));
            kept.push_back(id * 2);
        }
        std::vector<quint64> out = kept;
        std::shuffle(out.begin(), out.end(), random);
        out.resize(out.size() * 3 / 4);
        for (size_t i = 0; i < out.size(); ++i) {
            list.rowRemoved(out[i]);
            list.rowRemoved(i % 2 == 0 ? out[i] : out[i] + 1); // again, or an id never added
            std::erase(kept, out[i]);
        }
        list.runEnded();
        std::vector<quint64> left;
        for (const SearchRow &row : list.rows) {
            left.push_back(row.id);
            EXPECT_EQ(row.name, QString::number(row.id));
        }
        EXPECT_EQ(left, kept) << total;
    }
}

// The archive read in memory, the working copies unpacked into the temporary folder
// and the search index give the same rows, in the same order, with the same counters.
TEST(SearchReadingTest, EveryReadingGivesTheSameRun)
{
    setLanguageOffset(0);
    IsolatedSettings settings;
    SearchFixture fixture;
    std::mt19937 random(7);
    const QString kelvin(QChar(0x212A));
    const QStringList words = {"alpha", "Beta", "été", "gamma", "a[b", "x1", "readme", "ÉCOLE",
                               kelvin + "elvin", "Kelvin", "straße", "STRASSE", "\u017Ftop"};
    const QStringList extensions = {".txt", ".mp3", ".zip", "", ".Doc"};
    auto pick = [&](const QStringList &list) { return list[int(random() % list.size())]; };
    for (int d = 0; d < 4; ++d) {
        DiscSpec disc{QString::number(100 + d), "Disc " + pick(words), "", 0, {}, {}, {}, {}, {}, {}};
        for (int k = 1; k <= 30; ++k)
            disc.folders.push_back({pick(words) + QString::number(k), qint32(random() % k), day(2000 + k % 8, 1, 1),
                                    random() % 3 == 0 ? pick(words) : QString(), qint32(random() % 7 == 0)});
        int texts = 0;
        int archive = -1;
        for (int n = 0; n < 400; ++n) {
            FileRecord f;
            f.name = pick(words) + QString::number(random() % 50) + pick(extensions);
            f.owner = qint32(random() % 31);
            f.size = qint64(random() % 40000);
            f.date = day(2000 + int(random() % 8), 1 + int(random() % 12), 1, int(random() % 24));
            // Now and then a date between whole seconds or far out, and a size far from the
            // others: the index must give such numbers back exactly.
            if (random() % 40 == 0)
                f.date = std::array{38000.999999, 1e9, -700000.25, 38000.1234567}[random() % 4];
            if (random() % 40 == 0)
                f.size = qint64(1) << (20 + random() % 42);
            if (random() % 4 == 0)
                f.descriptions = {pick(words), random() % 2 ? pick(words) : QString(), QString()};
            if (archive >= 0 && random() % 3 == 0) {
                f.owner = TreeFiles::archiveLink(archive);
                f.descriptions.archivePath = pick(words);
            } else if (f.name.endsWith(".zip")) {
                archive = n;
                f.link = TreeFiles::archiveLink(n);
            } else if (random() % 5 == 0) {
                disc.texts.push_back("text " + pick(words) + " " + pick(words));
                f.link = ++texts;
            }
            if (f.name.endsWith(".mp3"))
                disc.tags[n] = Mp3Tags{pick(words), pick(words), pick(words), "", int(random() % 3000), "1"};
            disc.files.push_back(f);
        }
        disc.extraLines = QByteArray("\"caf\xe9.txt\",0,10,38000.5,\"\xa3MD\xa4" "d\xe9j\xe0 vu\",0\r\n"
                                     "\r\n\"  spaced .mp3\" , 1 , 5 ,38001,\"\",0\r\n"
                                     "\"odd-one.zip\",2,10,38002,\"\", \"-401\"\r\n"
                                     "\"inner alpha.txt\",-401,10,38002,\"\",0\r\n");
        fixture.addDisc(disc);
    }
    Catalogue catalogue = fixture.open();
    catalogue.current = 2;
    const QString shown = catalogue.disc(2).identifier;
    ASSERT_TRUE(writeFile(catalogue.workingCopy(shown, ".rep"), "kept"));

    QStringList patterns = {"*a*", "b*", "*.txt", "*é*", "*[b*", "*1?.*", "", "CAF?.TXT", "*vu",
                            "*ALPHA1*", "*eta#*", "*ecole*", "*text beta*", "*odd*", "*kelvin*",
                            "*" + kelvin + "ELVIN*", "*ß*", "*SS*", "*STRA\u1E9EE*", "*st*", "*STOP*"};
    // Pieces of the catalogue's own words, with their case changed and wildcards around.
    for (const QString &word : words) {
        QString piece = word.mid(int(random() % 2), 3 + int(random() % 3));
        for (QChar &c : piece)
            c = random() % 2 ? c.toUpper() : c.toLower();
        patterns << "*" + piece + "*" << piece + "?#*" << "*" + piece;
    }
    QTemporaryDir cache;
    const SearchIndex index(catalogue.dataFolder, cache.path());
    IndexObserver quiet;
    ASSERT_EQ(index.refresh(discIdentifiers(catalogue), quiet).built, catalogue.discCount());
    int compared = 0;
    int nonEmpty = 0;
    int fromIndex = 0;
    for (const QString &pattern : patterns) {
        for (int field = 0; field <= 4; ++field) {
            for (int variant = 0; variant < 4; ++variant) {
                SearchCriteria c = criteria(pattern, variant != 3, variant != 2);
                c.field = SearchField(field);
                c.members = variant % 2 == 0;
                c.latestOnly = variant == 1;
                c.descriptionPart = DescriptionPart((variant + field) % 4 - 1);
                if (pattern.isEmpty())
                    c.minimumSize = 20000;
                RecordingObserver a;
                const SearchResult memory = search(catalogue, c, a, allDiscs(catalogue));
                RecordingObserver d;
                SearchOptions withIndex;
                withIndex.index = &index;
                const SearchResult indexed = search(catalogue, c, d, allDiscs(catalogue), withIndex);
                fromIndex += indexed.outcome.discsFromIndex;
                const QString what = QStringLiteral("%1 field %2 variant %3").arg(pattern).arg(field).arg(variant);
                ASSERT_EQ(memory.rows.size(), indexed.rows.size()) << what.toStdString();
                for (size_t i = 0; i < memory.rows.size(); ++i) {
                    const SearchRow &x = memory.rows[i];
                    const SearchRow &y = indexed.rows[i];
                    EXPECT_TRUE(x.name == y.name && x.location == y.location && x.extension == y.extension
                                && x.description == y.description && x.size == y.size
                                && x.kilobytes == y.kilobytes && x.date == y.date && x.discPosition == y.discPosition
                                && x.folder == y.folder && x.discName == y.discName)
                        << what.toStdString() << " row " << i << ": " << x.name.toStdString();
                }
                EXPECT_EQ(memory.outcome.summary, indexed.outcome.summary) << what.toStdString();
                EXPECT_EQ(a.progressTexts, d.progressTexts) << what.toStdString();
                ++compared;
                nonEmpty += memory.rows.empty() ? 0 : 1;
            }
        }
    }
    EXPECT_GT(nonEmpty, compared / 2);
    EXPECT_GT(fromIndex, compared);
    // No run unpacks working copies or touches those of the shown disc.
    EXPECT_EQ(QDir(catalogue.tempFolder).entryList(QDir::Files), QStringList({shown + ".rep"}));
    EXPECT_EQ(readFile(catalogue.workingCopy(shown, ".rep")), "kept");
}

// The window stays alive inside a disc of many rows, and patterns that are long or
// only wildcards find what they should.
TEST(SearchDiscsTest, LargeDiscsYieldAndOddPatternsRun)
{
    setLanguageOffset(0);
    IsolatedSettings settings;
    SearchFixture fixture;
    DiscSpec many{"5", "Many", "", 0, {}, {}, {}, {}, {}, {}};
    for (int i = 0; i < 4500; ++i)
        many.files.push_back({QStringLiteral("f%1").arg(i), 0, 1, 1, {}, 0});
    many.files.push_back({QString(9990, u'x') + "12345", 0, 1, 1, {}, 0});
    fixture.addDisc(many);
    const Catalogue catalogue = fixture.open();
    struct Case { QString pattern; int rows; int minimumYields; };
    const Case cases[] = {
        {"f*", 4500, 4},                              // one disc, a yield every 1000 rows
        {QString(10000, u'*'), 4501, 4},
        {"*" + QString(9990, u'x') + "#####", 1, 0},  // 10,000 characters
        {"*" + QString(10000, u'x'), 0, 0},
        {QString(5000, u'?') + "*" + QString(5000, u'*'), 1, 0},
    };
    for (const Case &c : cases) {
        RecordingObserver observer;
        observer.scripted.fallback = UserPrompt::Answer::No;
        const SearchResult result = search(catalogue, criteria(c.pattern, true, false), observer, allDiscs(catalogue));
        EXPECT_EQ(int(result.rows.size()), c.rows) << c.pattern.left(20).toStdString();
        EXPECT_GE(observer.yields, c.minimumYields + 1) << c.pattern.left(20).toStdString();
    }
}
