#include "SearchSupport.h"

#include "common/DayDate.h"
#include "search/SearchCriteria.h"
#include "search/SearchForm.h"
#include "settings/StringTable.h"

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

TEST(SearchCriteriaTest, PatternFollowsThePosition)
{
    struct Case { SearchPosition position; const char *expected; };
    const Case cases[] = {
        {SearchPosition::Contains, "*ab*"},
        {SearchPosition::StartsWith, "ab*"},
        {SearchPosition::EndsWith, "*ab"},
        {SearchPosition::Equals, "ab"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SearchCriteria::patternFor("ab", c.position), QString(c.expected));
        EXPECT_TRUE(SearchCriteria::patternFor("", c.position).isEmpty());
    }
}

TEST(SearchCriteriaTest, SizeBoxesReadTheirLeadingNumberInKilobytes)
{
    struct Case { const char *text; qint64 bytes; };
    const Case cases[] = {
        {"10", 10240}, {"  2x", 2048}, {"0.5", 512}, {"abc", 0}, {"", 0}, {"0.0009765625", 1},
        {"0.00146484375", 2},   // 1.5 bytes: halves go to even
        {"0.00048828125", 0},   // 0.5 bytes
    };
    for (const Case &c : cases)
        EXPECT_EQ(SearchCriteria::sizeBoundFromText(QString(c.text)), c.bytes) << c.text;
}

TEST(SearchCriteriaTest, SomethingMustNarrowTheSearch)
{
    SearchCriteria none;
    EXPECT_FALSE(none.hasCriteria());
    for (int i = 0; i < 5; ++i) {
        SearchCriteria c;
        if (i == 0) c.pattern = "*";
        if (i == 1) c.minimumSize = 1;
        if (i == 2) c.maximumSize = 1;
        if (i == 3) c.after = 1;
        if (i == 4) c.before = 1;
        EXPECT_TRUE(c.hasCriteria()) << i;
    }
}

TEST(SearchCriteriaTest, FolderTest)
{
    const FolderRecord docs{"Docs", 0, 100.5, "user manuals", 0};
    struct Case { const char *name; SearchCriteria criteria; FolderRecord folder; bool expected; };
    auto with = [](auto change) { SearchCriteria c; c.pattern = "*doc*"; change(c); return c; };
    const Case cases[] = {
        {"name", with([](SearchCriteria &) {}), docs, true},
        {"excluded folder", with([](SearchCriteria &) {}), {"Docs", 0, 100.5, "", 1}, false},
        {"folders unticked", with([](SearchCriteria &c) { c.folders = false; }), docs, false},
        {"size bound", with([](SearchCriteria &c) { c.minimumSize = 1; }), docs, false},
        {"maximum bound", with([](SearchCriteria &c) { c.maximumSize = 1024; }), docs, false},
        {"captured text field", with([](SearchCriteria &c) { c.field = SearchField::CapturedText; }), docs, false},
        {"descriptions only: name ignored", with([](SearchCriteria &c) { c.field = SearchField::Descriptions; }), docs, false},
        {"descriptions: note", with([](SearchCriteria &c) { c.field = SearchField::Descriptions; c.pattern = "*manual*"; }), docs, true},
        {"names only: note ignored", with([](SearchCriteria &c) { c.pattern = "*manual*"; }), docs, false},
        {"both: note", with([](SearchCriteria &c) { c.field = SearchField::NamesAndDescriptions; c.pattern = "*manual*"; }), docs, true},
        {"empty pattern", with([](SearchCriteria &c) { c.pattern.clear(); c.after = 100; }), docs, true},
        {"after is strict", with([](SearchCriteria &c) { c.after = 100.5; }), docs, false},
        {"before", with([](SearchCriteria &c) { c.before = 101; }), docs, true},
        {"before is strict", with([](SearchCriteria &c) { c.before = 100.5; }), docs, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CompiledCriteria(c.criteria).matchFolder(c.folder), c.expected) << c.name;
}

TEST(SearchCriteriaTest, FileBoundsAndDescriptionParts)
{
    SearchCriteria c;
    c.minimumSize = 10240;
    EXPECT_TRUE(CompiledCriteria(c).withinBounds(10240, 1));
    EXPECT_FALSE(CompiledCriteria(c).withinBounds(10239, 1));
    c.maximumSize = 20480;
    EXPECT_TRUE(CompiledCriteria(c).withinBounds(20480, 1));
    EXPECT_FALSE(CompiledCriteria(c).withinBounds(20481, 1));

    const DescriptionTriple triple{"mine", "auto info", "sub\\dir"};
    struct Case { DescriptionPart part; const char *pattern; bool expected; };
    const Case cases[] = {
        {DescriptionPart::User, "mine", true}, {DescriptionPart::User, "auto*", false},
        {DescriptionPart::Automatic, "auto*", true}, {DescriptionPart::ArchivePath, "*dir", true},
        {DescriptionPart::None, "*", false},
    };
    for (const Case &k : cases) {
        SearchCriteria d;
        d.field = SearchField::Descriptions;
        d.pattern = k.pattern;
        d.descriptionPart = k.part;
        EXPECT_EQ(CompiledCriteria(d).matchNameOrDescription(u"mine", triple), k.expected) << k.pattern;
    }
}

TEST(SearchCriteriaTest, ExtensionAndTagText)
{
    EXPECT_EQ(upperExtension(u"song.final.mp3"), "MP3");
    EXPECT_EQ(upperExtension(u"README"), "");
    EXPECT_EQ(upperExtension(u"a."), "");
    EXPECT_EQ(upperExtension(u"x.tXt_9"), "TXT_9");
    EXPECT_EQ(upperExtension(u"x.t\u00e9\u00df"), u"T\u00c9SS");
    Mp3Tags tags{"Title", "Album", "Artist", "not searched", 1999, "7"};
    EXPECT_EQ(mp3SearchText(tags), "Artist |\\| Album |\\| Title |\\| 7 |\\| 1999 |\\| ");
}

TEST(SearchCriteriaTest, DiscSelection)
{
    IsolatedSettings settings;
    SearchFixture fixture;
    fixture.addKeyword("Jazz", 3);
    fixture.addKeyword("Live", 7);
    fixture.addDisc({"11", "Alpha", "|3|", 0, {}, {}, {}, {}, {}, {}});
    fixture.addDisc({"22", "Beta", "|3|7|", 1, {}, {}, {}, {}, {}, {}});
    fixture.addDisc({"-33", "Gamma", "|7|", 0, {}, {}, {}, {}, {}, {}});
    const Catalogue catalogue = fixture.open();
    ASSERT_EQ(catalogue.discCount(), 3);

    using L = DiscScope::Limit;
    struct Case { const char *name; DiscScope scope; std::vector<qint64> expected; };
    const Case cases[] = {
        {"excluded disc left out", {}, {0, 11, 0, -33}},
        {"bookmarks list it", {true, 0, L::None, {}, {}}, {0, 11, 22, -33}},
        {"filter 3", {false, 3, L::None, {}, {}}, {0, 11, 0, 0}},
        {"filter -3", {false, -3, L::None, {}, {}}, {0, 0, 0, -33}},
        {"chosen excluded disc", {false, 0, L::ByDisc, "__22", {}}, {0, 0, 22, 0}},
        {"chosen disc outside the filter", {false, -7, L::ByDisc, "__-33", {}}, {0, 0, 0, -33}},
        {"keyword 7", {false, 0, L::ByKeywords, {}, {7}}, {0, 0, 0, -33}},
        {"keywords 3 or 7 on bookmarks", {true, 0, L::ByKeywords, {}, {3, 7}}, {0, 11, 22, -33}},
        {"no keyword selected", {false, 0, L::ByKeywords, {}, {}}, {0, 0, 0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(buildDiscSelection(catalogue, c.scope), c.expected) << c.name;
}

TEST(SearchCriteriaTest, ExclusionToggleAppliesToSubFoldersOnYes)
{
    setLanguageOffset(0);
    // 1 A, 2 A\B, 3 A\B\C, 4 D
    const std::vector<FolderRecord> tree = {{}, {"A", 0, 0, "", 0}, {"B", 1, 0, "", 0},
                                            {"C", 2, 0, "", 1}, {"D", 0, 0, "", 0}};
    struct Case { int folder; UserPrompt::Answer answer; std::vector<int> flags; bool changed; int questions; };
    const Case cases[] = {
        {1, UserPrompt::Answer::Yes, {1, 1, 1, 0}, true, 1},
        {1, UserPrompt::Answer::No, {1, 0, 1, 0}, true, 1},
        {1, UserPrompt::Answer::Cancel, {0, 0, 1, 0}, false, 1},
        {3, UserPrompt::Answer::Yes, {0, 0, 0, 0}, true, 0},   // no sub-folder: no question
        {4, UserPrompt::Answer::Cancel, {0, 0, 1, 1}, true, 0},
    };
    for (const Case &c : cases) {
        std::vector<FolderRecord> folders = tree;
        ScriptedPrompt prompt;
        prompt.answers = {c.answer};
        EXPECT_EQ(toggleFolderExclusion(folders, c.folder, prompt), c.changed) << c.folder;
        std::vector<int> flags;
        for (size_t k = 1; k < folders.size(); ++k)
            flags.push_back(folders[k].flags);
        EXPECT_EQ(flags, c.flags) << c.folder;
        EXPECT_EQ(prompt.questions.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(prompt.questions.first(), "Appliquer aux sous dossiers ?");
        }
    }
}

TEST(SearchCriteriaTest, DateBoxesTakeTheLocaleShortFormatAndIso)
{
    const QLocale french(QLocale::French, QLocale::France);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const double march3 = dayNumberFromDateTime(QDateTime(QDate(2024, 3, 4), QTime(0, 0)));
    struct Case { QLocale locale; const char *text; std::optional<double> day; };
    const Case cases[] = {
        {french, "", 0.0},
        {french, "04/03/2024", march3},
        {english, "3/4/24", march3},
        {english, "2024-03-04", march3},
        {french, "2024-03-04 12:00", march3 + 0.5},
        {french, "31/02/2024", std::nullopt},
        {english, "tomorrow", std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<double> day = dateBoundFromText(QString::fromUtf8(c.text), c.locale);
        ASSERT_EQ(day.has_value(), c.day.has_value()) << c.text;
        if (day) {
            EXPECT_NEAR(*day, *c.day, 1e-6) << c.text;
        }
    }
}

TEST(SearchCriteriaTest, FormValuesBecomeCriteria)
{
    SearchFormValues values;
    values.expression = "read";
    values.position = 1;
    values.field = 2;
    values.minimumKilobytes = "x";
    values.maximumKilobytes = "2";
    values.descriptionParts[0] = false;
    values.descriptionParts[2] = true;
    int bad = -1;
    std::optional<SearchCriteria> criteria = criteriaFromForm(values, &bad);
    ASSERT_TRUE(criteria);
    EXPECT_EQ(criteria->pattern, QString("read*"));
    EXPECT_EQ(criteria->field, SearchField::NamesAndDescriptions);
    EXPECT_EQ(criteria->minimumSize, 0);
    EXPECT_EQ(criteria->maximumSize, 2048);
    EXPECT_EQ(criteria->descriptionPart, DescriptionPart::ArchivePath);
    values.descriptionParts[2] = false;
    EXPECT_EQ(criteriaFromForm(values)->descriptionPart, DescriptionPart::None);

    values.before = "not a date";
    EXPECT_FALSE(criteriaFromForm(values, &bad));
    EXPECT_EQ(bad, 1);
}
