#include "settings/OptionsTree.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vorn;

namespace {

const ListColours White = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};

QString tag(const OptionsTree &tree, const char *key)
{
    const OptionNode *node = tree.node(QString::fromLatin1(key));
    return node ? node->tag : QStringLiteral("(none)");
}

QStringList keysUnder(const OptionsTree &tree, const char *parent)
{
    QStringList keys;
    for (const OptionNode &node : tree.nodes()) {
        if (node.parent == QLatin1String(parent))
            keys << node.key + u'=' + (node.placeholder ? QStringLiteral("+") : node.text);
    }
    return keys;
}

} // namespace

TEST(OptionsTree, BuiltFromTheSettingsInTableOrder)
{
    test::IsolatedSettings isolated;
    Settings::write("Opt", "FiltresCab", "*.CAB;*.MSI");
    Settings::write("Opt", "FontSize", "11");
    Settings::write("Opt", "Langage", "1000"); // applied, waiting for the next start
    const OptionsTree tree = OptionsTree::build(DefaultOptionsWord, 0, White);
    EXPECT_EQ(keysUnder(tree, "GENERAL"), QStringList({"Langage=", "Z_16384="}));
    EXPECT_EQ(keysUnder(tree, "KOPTArc"),
              QStringList({"Z_1=", "Z_2=", "TailleMax=", "FiltresTxt=", "Z_8=", "FiltresZip=", "Z_256=",
                           "FiltresCab=CAB", "Z_1024=", "FiltresRAR=RAR", "Z_4=", "Z_16="}));
    EXPECT_EQ(keysUnder(tree, "FiltresCab"), QStringList({"FiltreCab1=*.CAB", "FiltreCab2=+"}));
    EXPECT_EQ(keysUnder(tree, "FiltresZip"), QStringList({"FiltreZip1=*.ZIP", "FiltreZip2=*.EXE", "FiltreZip3=+"}));
    EXPECT_EQ(keysUnder(tree, "FiltresTxt").size(), 8);
    EXPECT_EQ(keysUnder(tree, "KCOULEURS").size(), 5);
    EXPECT_EQ(tag(tree, "Langage"), "1000");
    EXPECT_EQ(tag(tree, "Z_16"), "1");
    EXPECT_EQ(tag(tree, "Z_16384"), "0");
    EXPECT_EQ(tag(tree, "TailleMax"), "5");
    EXPECT_EQ(tag(tree, "FontSize"), "11");
    EXPECT_EQ(tag(tree, "HTMNbCols"), "6");
    EXPECT_EQ(tag(tree, "IcoHtml"), "1");
    EXPECT_TRUE(tree.node("Langage")->bold());
    EXPECT_FALSE(tree.node("FiltreCab2")->bold());
}

TEST(OptionsTree, CaptureOptionsFollowOneAnother)
{
    test::IsolatedSettings isolated;
    // Columns: the options word, the node chosen and its value, then Z_1 Z_2 Z_4 Z_8 after.
    struct Case { qint32 word; const char *key; int value; const char *after; };
    const Case cases[] = {
        {1 | 2 | 4 | 8, "Z_1", 0, "0001"},
        {0, "Z_1", 1, "1100"},
        {8, "Z_1", 1, "1111"},
        {0, "Z_2", 1, "1101"},
        {1 | 2 | 8, "Z_2", 0, "1001"},
        {1 | 4 | 8, "Z_8", 0, "1000"},
        {1, "Z_8", 1, "1011"},
    };
    for (const Case &c : cases) {
        OptionsTree tree = OptionsTree::build(c.word, 0, White);
        tree.choose(QString::fromLatin1(c.key), c.value);
        EXPECT_EQ(QString(tag(tree, "Z_1") + tag(tree, "Z_2") + tag(tree, "Z_4") + tag(tree, "Z_8")), QString::fromLatin1(c.after))
            << c.word << ' ' << c.key << '=' << c.value;
    }
}

TEST(OptionsTree, NumbersOutOfRangeAreRefusedAndNothingIsApplied)
{
    test::IsolatedSettings isolated;
    OptionsTree tree = OptionsTree::build(DefaultOptionsWord, 0, White);
    struct Case { const char *key; const char *text; bool accepted; };
    const Case cases[] = {
        {"TailleMax", "0", false}, {"TailleMax", "abc", false}, {"TailleMax", "1024", true},
        {"TailleMax", "1025", false}, {"HTMNbCols", "1", true}, {"FontSize", "-2", false}, {"FontSize", " 12 ", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tree.acceptsNumber(c.key, c.text), c.accepted) << c.key << ' ' << c.text;
    tree.type("TailleMax", "0");
    tree.choose("Z_16384", 1);
    EXPECT_EQ(tree.apply(0, 0).message, 519);
    EXPECT_TRUE(Settings::readSection("Opt").isEmpty());
    EXPECT_TRUE(Settings::readSection("Aff").isEmpty());
}

TEST(OptionsTree, ApplyWritesEachNodeToItsSetting)
{
    test::IsolatedSettings isolated;
    setLanguageOffset(0);
    OptionsTree tree = OptionsTree::build(DefaultOptionsWord, 0, White);
    tree.choose("Langage", 1000);
    tree.choose("Z_16", 0);
    tree.choose("Z_16384", 1);
    tree.choose("Filtre1", 0); // *.TXT dropped
    EXPECT_EQ(tree.editFilter("FiltreZip3", "*.JAR"), "FiltreZip4");
    tree.editFilter("FiltreZip1", "*.ZZ");
    tree.removeFilter("FiltreCab1");
    tree.type("TailleMax", "12");
    tree.type("HTMNbCols", "3");
    tree.type("FontSize", "10");
    tree.choose("IcoHtml", 0);
    tree.setColour("DES.BG", 0x123456);
    const OptionsTree::Applied applied = tree.apply(Opt::ViewerVisible | 32, 0);
    EXPECT_EQ(applied.message, 0);
    EXPECT_TRUE(applied.languageChanged);
    EXPECT_EQ(applied.optionsWord, DefaultOptionsWord - 16 - 64 + 16384);
    EXPECT_EQ(ReadOptionsWord(), applied.optionsWord);
    const Settings::Entries expected = {
        {"FiltresCab", ""}, {"FiltresRAR", "*.RAR;"},
        {"FiltresTxt", "*.DES;FILE-ID.DIZ;FILE_ID.DIZ;READ.ME;README;*.NFO;"},
        {"FiltresZip", "*.ZZ;*.EXE;*.JAR;"}, {"FontSize", "10"}, {"HTMNbCols", "3"}, {"IcoHtml", "0"},
        {"Langage", "1000"}, {"OptDiv", QString::number(applied.optionsWord)}, {"TailleMax", "12"},
    };
    EXPECT_EQ(Settings::readSection("Opt"), expected);
    EXPECT_EQ(Settings::read("Aff", "DES.BG"), QString::number(0x123456));
    EXPECT_EQ(Settings::read("Aff", "LVCD.BG"), QString::number(0xFFFFFF));
    EXPECT_EQ(LoadText(452), "For this option (language), you must close then restart VORN.");
}
