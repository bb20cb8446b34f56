#include "../Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/FilePaneModel.h"
#include "gui/TabHost.h"
#include "gui/options/OptionsPane.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>

using namespace vorn;
using OptionsTab = test::WindowTest;

namespace {

// Every setting the panel writes, as the program reads it (absent: its default).
QStringList effectiveSettings(const ListColours &colours)
{
    const std::pair<const char *, QString> opt[] = {
        {"Langage", "0"}, {"OptDiv", "9679"}, {"TailleMax", "5"}, {"HTMNbCols", "6"}, {"FontSize", "8"},
        {"IcoHtml", "1"}, {"FiltresTxt", LoadText(9028)}, {"FiltresZip", "*.ZIP;*.EXE;"}, {"FiltresCab", "*.CAB;"},
        {"FiltresRAR", "*.RAR;"},
    };
    QStringList values;
    for (const auto &[key, fallback] : opt)
        values << QString::fromLatin1(key) + u'=' + Settings::read("Opt", key, fallback);
    for (size_t i = 0; i < colours.size(); ++i)
        values << QString::fromLatin1(ListColourKeys[i]) + u'='
                + Settings::read("Aff", ListColourKeys[i], QString::number(colours[i]));
    return values;
}

struct Options
{
    OptionsPane *pane;
    void choose(const char *key, int value) const
    {
        pane->selectNode(key);
        auto *box = pane->findChild<QComboBox *>("CbOPT");
        ASSERT_TRUE(box->isVisibleTo(pane)) << key;
        emit box->activated(box->findData(value));
    }
    void type(const char *key, const char *text) const
    {
        pane->selectNode(key);
        auto *box = pane->findChild<QLineEdit *>("TxtOPTNew");
        box->clear();
        QTest::keyClicks(box, text);
    }
    void click(int button) const { pane->findChild<QPushButton *>(QStringLiteral("BtValidOPT_%1").arg(button))->click(); }
};

} // namespace

TEST_F(OptionsTab, EachNodeChangesItsSettingOnlyOnApply)
{
    auto *pane = f.child<OptionsPane>("FrameOpt");
    ASSERT_NE(pane, nullptr);
    pane->setColourChooser([](const QColor &) { return std::optional<QColor>(QColor(1, 2, 3)); });
    const Options options{pane};
    struct Case { std::function<void()> edit; const char *setting; QString value; };
    const Case cases[] = {
        {[&] { options.choose("Langage", 1000); }, "Langage", "1000"},
        {[&] { options.choose("Z_16384", 1); }, "OptDiv", "+16384"},
        {[&] { options.choose("Z_8192", 0); }, "OptDiv", "-8192"},
        {[&] { options.choose("Z_4096", 1); }, "OptDiv", "+4096"},
        {[&] { options.choose("Z_1", 0); }, "OptDiv", "-7"}, // text capture, first line, text in archives
        {[&] { options.choose("Z_256", 0); }, "OptDiv", "-256"},
        {[&] { options.choose("Z_1024", 0); }, "OptDiv", "-1024"},
        {[&] { options.choose("Z_16", 1); }, "OptDiv", "+16"},
        {[&] { options.type("TailleMax", "12"); }, "TailleMax", "12"},
        {[&] { options.type("HTMNbCols", "4"); }, "HTMNbCols", "4"},
        {[&] { options.type("FontSize", "9"); }, "FontSize", "9"},
        {[&] { options.choose("IcoHtml", 0); }, "IcoHtml", "0"},
        {[&] { options.choose("FiltreRar1", 0); }, "FiltresRAR", ""},
        {[&] { options.choose("FiltreZip2", 0); }, "FiltresZip", "*.ZIP;"},
        {[&] { options.choose("Filtre1", 0); }, "FiltresTxt", "*.DES;FILE-ID.DIZ;FILE_ID.DIZ;READ.ME;README;*.NFO;"},
        {[&] { options.choose("FiltreCab1", 0); }, "FiltresCab", ""},
        {[&] { options.pane->selectNode("LV1.BG"); }, "LV1.BG", QString::number(0x030201)},
        {[&] { options.pane->selectNode("MC.BG"); }, "MC.BG", QString::number(0x030201)},
        {[&] { options.pane->selectNode("TXT.BG"); }, "TXT.BG", QString::number(0x030201)},
    };
    for (const Case &c : cases) {
        f.window->tabs()->showTab(TabHost::Browse);
        f.window->tabs()->showTab(TabHost::Options);
        ListColours colours{}; // the widgets' colours now
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i] = pane->options().node(ListColourKeys[i])->colour;
        QStringList expected = effectiveSettings(colours);
        const QStringList before = expected;
        c.edit();
        EXPECT_EQ(effectiveSettings(colours), before) << c.setting;
        EXPECT_TRUE(pane->applyEnabled()) << c.setting;
        EXPECT_FALSE(f.child<QAction>("MnuRefresh")->isEnabled());
        options.click(0);
        for (QString &line : expected) {
            const QString key = QString::fromLatin1(c.setting) + u'=';
            if (!line.startsWith(key))
                continue;
            // Bits of the options word are given as what they add to the word before.
            const bool bit = c.value.startsWith(u'+') || c.value.startsWith(u'-');
            line = key + (bit ? QString::number(line.mid(key.size()).toInt() + c.value.toInt()) : c.value);
        }
        EXPECT_EQ(effectiveSettings(colours), expected) << c.setting;
        EXPECT_FALSE(pane->applyEnabled());
        EXPECT_TRUE(f.child<QAction>("MnuRefresh")->isEnabled());
    }
    EXPECT_EQ(f.child<QListView>("LVCD")->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(f.child<QTreeView>("LV1")->palette().color(QPalette::Base), QColor(1, 2, 3));
    EXPECT_EQ(f.child<QPlainTextEdit>("TxtFichierTexte")->palette().color(QPalette::Base), QColor(1, 2, 3));
}

TEST_F(OptionsTab, CancelAndRefusedNumbersChangeNothing)
{
    auto *pane = f.child<OptionsPane>("FrameOpt");
    const Options options{pane};
    f.window->tabs()->showTab(TabHost::Options);
    options.choose("Z_1", 0);
    EXPECT_EQ(pane->options().node("Z_2")->tag, "0");
    options.choose("Z_1", 1);
    EXPECT_EQ(pane->options().node("Z_4")->tag, "1");
    options.type("FiltreTxt", "x"); // not a number node: nothing typed goes anywhere
    options.click(1);
    EXPECT_EQ(pane->options().node("Z_16384")->tag, "0");
    options.type("TailleMax", "0");
    options.click(0);
    EXPECT_EQ(f.prompt.warnings, QStringList({"Valeur incorrecte !"}));
    EXPECT_TRUE(Settings::readSection("Opt").isEmpty());

    // A new filter typed on the placeholder, then one removed after the question.
    QTreeWidget *tree = pane->tree();
    QTreeWidgetItem *placeholder = pane->item("FiltreCab2");
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->text(0), "[Nouveau Filtre]");
    placeholder->setText(0, "*.MSI");
    QCoreApplication::processEvents();
    ASSERT_NE(pane->item("FiltreCab3"), nullptr);
    tree->setCurrentItem(pane->item("FiltreCab1"));
    f.prompt.answers = {UserPrompt::Answer::Ok};
    f.trigger("MnuTvOptions_1");
    EXPECT_EQ(pane->item("FiltreCab1"), nullptr);
    options.type("TailleMax", "7");
    options.click(0);
    EXPECT_EQ(Settings::read("Opt", "FiltresCab"), "*.MSI;");
}

TEST_F(OptionsTab, LanguageChangeTakesEffectAtTheNextStart)
{
    f.window->tabs()->showTab(TabHost::Options);
    const Options options{f.child<OptionsPane>("FrameOpt")};
    options.choose("Langage", 1000);
    options.click(0);
    EXPECT_EQ(f.prompt.warnings, QStringList({"For this option (language), you must close then restart VORN."}));
    EXPECT_EQ(LanguageOffset(), 0);
    EXPECT_EQ(f.window->tabs()->tabBar()->tabText(TabHost::Cover), "Jaquette");

    f.closeWindow();
    setLanguageOffset(qint16(Settings::readNumber("Opt", "Langage", 0)));
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->tabs()->tabBar()->tabText(TabHost::Cover), "Cover");
    EXPECT_EQ(f.child<QAction>("MnuRefresh")->text(), "&Refresh");
    EXPECT_EQ(f.child<QPushButton>("BtRechercher")->text(), LoadText(230));
    EXPECT_EQ(f.child<QTabBar>("PictAffMC")->tabText(0), LoadText(128));
    EXPECT_EQ(f.child<QPushButton>("BtValidOPT_0")->text(), "Apply");
    EXPECT_EQ(w->browser()->fileModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(f.child<QToolButton>("btmoveThumb_0")->toolTip(), "Scroll left");
    w->tabs()->showTab(TabHost::Options);
    EXPECT_EQ(f.child<QTreeWidget>("TVOpt")->topLevelItem(0)->text(0), "General");
    setLanguageOffset(0);
}
