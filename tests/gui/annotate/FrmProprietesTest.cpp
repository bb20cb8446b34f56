#include "../Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/FilePaneModel.h"
#include "gui/annotate/FrmProprietes.h"
#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;

namespace {

// Opens the dialog of disc 42 ("C"), of a folder node ("D") or of a file row ("F").
FrmProprietes *openDialog(Form1Fixture &f, char mode)
{
    EXPECT_TRUE(f.show("42"));
    BrowsePane *b = f.window->browser();
    if (mode == 'C') {
        f.trigger("MnuPropCD");
    } else if (mode == 'D') {
        b->tree()->setCurrentItem(b->tree()->topLevelItem(0)->child(0));
        f.trigger("MnuPropDossier");
    } else {
        b->showNode("K0");
        b->files()->setCurrentIndex(b->fileModel()->index(b->fileModel()->rowOfKey("K3"), 0));
        f.trigger("MnuPropFichier");
    }
    return f.window->findChild<FrmProprietes *>("FrmProprietes");
}

// The text the archive holds for the disc, folder 1 or file 3.
QString storedText(const Form1Fixture &f, char mode)
{
    const QString archive = f.dataPath() + "42.VORN";
    if (mode == 'C')
        return readRecord(archive, "42").value_or(RecordReading{}).record.description;
    if (mode == 'D')
        return TreeFiles::parseFolderFile(DiscArchive::readMember(archive, "42.rep").value_or("")).at(1).description;
    return TreeFiles::parseFileList(DiscArchive::readMember(archive, "42.fic").value_or("")).at(3).descriptions.user;
}

} // namespace

TEST(FrmProprietes, EachModeShowsItsFactsAndWritesItsDescription)
{
    struct Case { char mode; const char *tab; const char *label; const char *shown; const char *fact; };
    const Case cases[] = {
        {'C', "Sample", "Description du CD", "Line one\nLine two", "    Dossiers : 3\n"},
        {'D', "Dossier", "Description", "", "    Chemin : Docs\\\n"},
        {'F', "Fichier", "Description du fichier", "my notes", "    Taille : 2 Ko (1 536 Octets)\n"},
    };
    const QString stored = "x'y z";
    for (const Case &c : cases) {
        Form1Fixture f;
        ASSERT_NE(f.start(), nullptr);
        QPointer<FrmProprietes> dialog = openDialog(f, c.mode);
        ASSERT_NE(dialog, nullptr) << c.mode;
        EXPECT_EQ(dialog->windowTitle(), "Propriétés");
        EXPECT_EQ(dialog->findChild<QTabBar *>("TabStrip1")->tabText(0), c.tab);
        EXPECT_EQ(dialog->findChild<QLabel *>("LblDescFichier")->text(), c.label);
        EXPECT_EQ(dialog->findChild<QLineEdit *>("Text2") != nullptr, c.mode == 'C');
        const QString facts = dialog->findChild<QPlainTextEdit *>("TxtInfos")->toPlainText();
        EXPECT_TRUE(facts.contains(c.fact)) << facts.toStdString();
        auto *text = dialog->findChild<QPlainTextEdit *>("Text1");
        EXPECT_EQ(text->toPlainText(), c.shown) << c.mode;
        // A typed double quote becomes an apostrophe at once, the caret staying put;
        // the text becomes one line.
        text->setPlainText("x\n");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "\"y z");
        EXPECT_EQ(text->toPlainText(), "x 'y z") << c.mode;
        text->setPlainText("x'y z");
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command1_0"), Qt::LeftButton);
        EXPECT_TRUE(!dialog || dialog->isHidden());
        EXPECT_EQ(storedText(f, c.mode), stored) << c.mode;
        // The file's row shows its new description at once; the window's own write is
        // not taken for another copy's change, so the pane stays where it was.
        const QString shownNode = f.window->browser()->shownNodeKey();
        f.window->rereadShownDiscIfChanged();
        EXPECT_EQ(f.window->browser()->shownNodeKey(), shownNode) << c.mode;
        const FilePaneModel *rows = f.window->browser()->fileModel();
        if (c.mode == 'F') {
            EXPECT_EQ(rows->row(rows->rowOfKey("K3")).description, stored);
        }
        // After a restart the dialog shows what was written.
        ASSERT_NE(f.start(), nullptr);
        dialog = openDialog(f, c.mode);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QPlainTextEdit *>("Text1")->toPlainText(), stored) << c.mode;
        dialog->findChild<QPushButton *>("Command1_1")->click();
    }
}

TEST(FrmProprietes, TheDiscIsRenamedByTheNameRuleWhenItsBoxIsLeftAndCloseWritesNothing)
{
    struct Case { const char *typed; const char *warning; const char *name; };
    const Case cases[] = {{"ANOTHER", "300", "Sample"}, {"a\\b", "343", "Sample"}, {"", "", "Sample"}, {"Zed", "", "Zed"}};
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    // A stock icon of the icon folder.
    QImage star(16, 16, QImage::Format_ARGB32);
    star.fill(Qt::yellow);
    ASSERT_TRUE(star.save(f.temp.path() + "/star.png"));
    ASSERT_TRUE(f.window->icons().addIconFile("KStar", f.temp.path() + "/star.png"));
    QPointer<FrmProprietes> dialog = openDialog(f, 'C');
    ASSERT_NE(dialog, nullptr);
    auto *name = dialog->findChild<QLineEdit *>("Text2");
    for (const Case &c : cases) {
        f.prompt.warnings.clear();
        name->setText(c.typed);
        dialog->nameEdited();
        const QStringList expected = *c.warning ? QStringList{LoadText(QByteArray(c.warning).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.typed;
        EXPECT_EQ(name->text(), c.name) << c.typed;
        EXPECT_EQ(readRecord(f.dataPath() + "42.VORN", "42")->record.name, c.name) << c.typed;
    }
    EXPECT_EQ(f.rowTexts().mid(2), QStringList({"Another", "Zed"}));
    EXPECT_EQ(dialog->findChild<QTabBar *>("TabStrip1")->tabText(0), "Zed");
    // The icon chosen from the list is written on "Appliquer".
    auto *icons = dialog->findChild<QComboBox *>("IC1");
    ASSERT_EQ(icons->count(), 2);
    icons->setCurrentIndex(1);
    emit icons->activated(1);
    ASSERT_TRUE(dialog->apply());
    EXPECT_EQ(readRecord(f.dataPath() + "42.VORN", "42")->record.icon, "KStar");
    f.trigger("Infos");
    dialog = f.window->findChild<FrmProprietes *>("FrmProprietes");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->findChild<QComboBox *>("IC1")->currentText(), "Star");
    // Closing without applying writes none of the other edits.
    dialog->findChild<QPlainTextEdit *>("Text1")->setPlainText("not kept");
    dialog->findChild<QPushButton *>("Command1_1")->click();
    EXPECT_EQ(readRecord(f.dataPath() + "42.VORN", "42")->record.description, "Line one\r\nLine two");
    // Enter in the disc list opens the dialog of the selected disc.
    QTest::keyClick(f.child<QListView>("LVCD"), Qt::Key_Return);
    EXPECT_NE(f.window->findChild<FrmProprietes *>("FrmProprietes"), nullptr);
}

TEST(FrmProprietes, AGoneArchiveOrATooLongTextIsSaidAndTheDialogKeepsTheText)
{
    struct Case { char mode; bool removeArchive; int textSize; int message; };
    const Case cases[] = {{'F', true, 5, 441}, {'D', true, 5, 441}, {'C', true, 5, 441}, {'C', false, 70000, 846}};
    for (const Case &c : cases) {
        Form1Fixture f;
        ASSERT_NE(f.start(), nullptr);
        QPointer<FrmProprietes> dialog = openDialog(f, c.mode);
        ASSERT_NE(dialog, nullptr);
        if (c.removeArchive) {
            ASSERT_TRUE(QFile::remove(f.dataPath() + "42.VORN"));
        }
        const QString typed(c.textSize, 'k');
        dialog->findChild<QPlainTextEdit *>("Text1")->setPlainText(typed);
        EXPECT_FALSE(dialog->apply()) << c.mode;
        ASSERT_EQ(f.prompt.notices.size(), 1) << c.mode;
        EXPECT_TRUE(f.prompt.notices[0].startsWith(LoadText(c.message))) << f.prompt.notices[0].toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->findChild<QPlainTextEdit *>("Text1")->toPlainText(), typed);
    }
}
