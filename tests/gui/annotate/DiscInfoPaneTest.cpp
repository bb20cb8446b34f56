#include "../Form1Fixture.h"

#include "gui/DiscInfoPane.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Answer = UserPrompt::Answer;

namespace {

// The field tree as "name=value" per field ("*" before a bold field name).
QStringList fieldNodes(const QTreeWidget *tree)
{
    QStringList nodes;
    const QTreeWidgetItem *root = tree->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i) {
        const QTreeWidgetItem *field = root->child(i);
        nodes << (field->font(0).bold() ? "*" : "") + field->text(0)
                + (field->childCount() ? "=" + field->child(0)->text(0) : QString());
    }
    return nodes;
}

QString storedFields(const Form1Fixture &f, const char *id)
{
    const auto reading = readRecord(f.dataPath() + id + ".VORN", id);
    return reading ? reading->fieldNames + reading->fieldValues : QString("<unreadable>");
}

} // namespace

TEST(DiscInfoPaneFields, ValuesAndFieldsAreEditedInTheTree)
{
    // Each step edits node `node` (field index, "v" its value) of disc 42's tree or
    // runs an entry of the pop-up menu, then the disc is left and shown again.
    struct Step { int field; bool value; const char *typed; int menu; Answer answer; const char *said; QStringList nodes; QString stored42; };
    const QString long100 = QString(100, 'y');
    const Step steps[] = {
        {0, true, "C4", -1, Answer::Ok, "", {"*Shelf=C4", "[Nouveau Champ]"}, "Shelf;C4;"},
        {0, true, "a;b", -1, Answer::Ok, "521", {"*Shelf=C4", "[Nouveau Champ]"}, "Shelf;C4;"},
        {0, true, "[Valeur]", -1, Answer::Ok, "", {"*Shelf=C4", "[Nouveau Champ]"}, "Shelf;C4;"},
        {1, false, "shelf", -1, Answer::Ok, "537", {"*Shelf=C4", "[Nouveau Champ]"}, "Shelf;C4;"},
        {1, false, "Price", -1, Answer::Ok, "", {"*Shelf=C4", "Price=[Valeur]", "[Nouveau Champ]"}, "Shelf;C4;"},
        {1, true, "y", -1, Answer::Ok, "", {"*Shelf=C4", "*Price=" + long100, "[Nouveau Champ]"}, "Shelf;Price;C4;" + long100 + ";"},
        {0, false, "Place", -1, Answer::Cancel, "", {"*Shelf=C4", "*Price=" + long100, "[Nouveau Champ]"}, "Shelf;Price;C4;" + long100 + ";"},
        {0, false, "PRICE", -1, Answer::Ok, "537", {"*Shelf=C4", "*Price=" + long100, "[Nouveau Champ]"}, "Shelf;Price;C4;" + long100 + ";"},
        {0, false, "Place", -1, Answer::Ok, "", {"*Place=C4", "*Price=" + long100, "[Nouveau Champ]"}, "Place;Price;C4;" + long100 + ";"},
        {1, true, nullptr, 1, Answer::Ok, "", {"*Place=C4", "Price=[Valeur]", "[Nouveau Champ]"}, "Place;Price;C4;;"},
        {1, false, nullptr, 1, Answer::Ok, "", {"*Place=C4", "[Nouveau Champ]"}, "Place;C4;"},
    };
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    auto *tree = f.child<QTreeWidget>("TvChamps");
    for (const Step &s : steps) {
        ASSERT_TRUE(f.show("42"));
        f.prompt.notices.clear();
        f.prompt.answers = {s.answer};
        QTreeWidgetItem *node = tree->topLevelItem(0)->child(s.field);
        if (s.value)
            node = node->child(0);
        if (s.menu >= 0) {
            tree->setCurrentItem(node);
            f.trigger(s.menu ? "MnuTvOptions_1" : "MnuTvOptions_0");
        } else {
            node->setText(0, QString(s.typed).repeated(QByteArray(s.typed) == "y" ? 150 : 1));
        }
        const QStringList said = *s.said ? QStringList{LoadText(QByteArray(s.said).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.notices, said) << s.typed;
        EXPECT_EQ(fieldNodes(tree), s.nodes) << s.typed;
        ASSERT_TRUE(f.show("-7"));
        EXPECT_EQ(storedFields(f, "42"), s.stored42) << s.typed;
    }
    // Renaming or deleting a field asks first, for every disc.
    EXPECT_EQ(f.prompt.questions.last(), LoadText(547) + LoadText(548) + LoadText(550));
    ASSERT_NE(f.start(), nullptr);
    ASSERT_TRUE(f.show("42"));
    EXPECT_EQ(fieldNodes(f.child<QTreeWidget>("TvChamps")), QStringList({"*Place=C4", "[Nouveau Champ]"}));
}

TEST(DiscInfoPaneReports, EachReportShowsInTheSecondBoxUnderItsCaption)
{
    struct Case { const char *action; const char *caption; const char *begins; };
    const Case cases[] = {
        {"MnuAffMcTRep_3", "Informations sur le dossier", "=> Dossier : "},
        {"MnuAffMcTRep_4", "Liste des CD", "Another\nSample\n"},
        {"MnuAffMcTRep_5", "Liste des mots-clés de chaque CD", "Another\n\nSample\n - Jazz\n"},
        {"MnuAffMcTRep_6", "Liste des CD pour chaque mot-clé", "Jazz\n - Sample\n\nLive\n\n"},
        {"MnuAffMcTRep_7", "Totaux", "Nombre de fichiers :  5\n"},
    };
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    auto *tabs = f.child<QTabBar>("PictAffMC");
    auto *report = f.child<QPlainTextEdit>("TxtDesc_1");
    for (const Case &c : cases) {
        f.trigger(c.action);
        EXPECT_TRUE(report->isVisible()) << c.action;
        EXPECT_EQ(f.child<QLabel>("LblReport")->text(), c.caption);
        EXPECT_EQ(tabs->property("tag").toString(), QString(c.action).right(1));
        EXPECT_TRUE(report->toPlainText().startsWith(c.begins)) << report->toPlainText().toStdString();
    }
    // With the list filtered on a keyword, the totals count its discs only.
    f.trigger("MnuFiltre_1");
    f.trigger("MnuAffMcTRep_7");
    EXPECT_TRUE(report->toPlainText().endsWith(LoadText(503))) << report->toPlainText().toStdString();
    // A press beside the three tabs pops the selector's menu.
    QTest::mousePress(tabs, Qt::LeftButton, {}, QPoint(tabs->width() - 2, tabs->height() / 2));
    EXPECT_TRUE(f.child<QMenu>("MnuAffMc")->isVisible());
    f.child<QMenu>("MnuAffMc")->hide();
    // A click on the current tab shows its page again.
    emit tabs->tabBarClicked(tabs->currentIndex());
    EXPECT_FALSE(report->isVisible());
}

TEST(DiscInfoPaneFields, ADescriptionTooLongToStoreIsRefusedAndKept)
{
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    ASSERT_TRUE(f.show("42"));
    const QString typed(70000, 'd');
    f.child<QPlainTextEdit>("TxtDesc")->setPlainText(typed);
    EXPECT_TRUE(f.show("-7"));
    EXPECT_EQ(f.prompt.warnings, QStringList{LoadText(846)});
    EXPECT_EQ(f.window->catalogue().disc(f.window->catalogue().current).identifier, "42");
    EXPECT_EQ(f.child<QPlainTextEdit>("TxtDesc")->toPlainText(), typed);
    EXPECT_EQ(readRecord(f.dataPath() + "42.VORN", "42")->record.description, "Line one\r\nLine two");
}
