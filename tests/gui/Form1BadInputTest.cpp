#include "Form1Fixture.h"

#include "edit/DiscEdits.h"
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/DataFolderLock.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Form1BadInput = test::WindowTest;

TEST(Form1BadStart, AbsurdGeometryIsRestoredSanely)
{
    struct Case { const char *left, *top, *width, *height, *x1, *y1, *column; };
    const Case cases[] = {
        {"-90000", "70000.5", "200000", "abc", "-5", "-32768", "-40"},
        {"1e308", "-1e308", "-600", "-400", "99999", "0", "1e9"},
        {"nan", "inf", "0", "0", "", "x", "nan"},
        {"3000", "3000", "10", "10", "40000", "40000", "123456"},
    };
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case &c : cases) {
        Form1Fixture f;
        const struct { const char *key; const char *value; } keys[] = {
            {"Left", c.left}, {"Top", c.top}, {"Width", c.width}, {"Height", c.height}, {"X1", c.x1}, {"Y1", c.y1}};
        for (const auto &key : keys)
            Settings::write("Pos", key.key, key.value);
        Settings::write("Aff", "LV11", c.column);
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr) << c.left;
        EXPECT_TRUE(area.contains(w->geometry())) << c.left << " " << w->geometry().x() << "," << w->geometry().y()
                                                  << " " << w->geometry().width() << "x" << w->geometry().height();
        EXPECT_GE(w->width(), qMin(400, area.width())) << c.left;
        EXPECT_GE(w->height(), qMin(300, area.height())) << c.left;
        // Every pane keeps a usable size.
        for (const char *name : {"Frame1", "SplitLVCD", "SplitTV1", "Frame2"}) {
            for (int size : w->findChild<QSplitter *>(name)->sizes())
                EXPECT_GT(size, 0) << name << " " << c.left;
        }
        const int width = w->findChild<QTreeView *>("LV1")->columnWidth(0);
        EXPECT_TRUE(width > 0 && width < 10000) << c.column << " " << width;
    }
}

TEST(Form1BadStart, VanishedDataFolderIsNamedAndTheDefaultOneOpens)
{
    Form1Fixture f;
    QTemporaryDir gone;
    const QString missing = gone.path() + "/unplugged";
    Settings::write("DataDirs", "1", f.dataPath());
    Settings::write("DataDirs", "2", missing);
    Settings::write("DataDirs", "Charge", "2");
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(f.prompt.warnings.size(), 1);
    EXPECT_TRUE(f.prompt.warnings[0].contains(QDir::toNativeSeparators(missing))) << f.prompt.warnings[0].toStdString();
    EXPECT_EQ(w->catalogue().dataFolder, f.dataPath());
    EXPECT_EQ(w->catalogue().discCount(), 2);
    EXPECT_GE(w->discModel()->rowOfDisc("42"), 0);
    // The folder stays in the menu, so that the user can plug it back or remove it.
    f.closeWindow();
    EXPECT_EQ(Settings::read("DataDirs", "2"), QDir::toNativeSeparators(missing + u'/'));
}

TEST_F(Form1BadInput, ArchiveSpoiledWhileShownIsReportedAndTheWindowGoesOn)
{
    ASSERT_TRUE(f.show("42"));
    ASSERT_TRUE(w->browser()->showNode("K0"));
    f.child<QPlainTextEdit>("TxtDesc")->setPlainText("Lost words");
    ASSERT_TRUE(QFile::remove(f.dataPath() + "42.VORN"));
    ASSERT_TRUE(test::writeFile(f.dataPath() + "42.VORN", "not a zip"));

    // Leaving the disc cannot write its description: said, and the other disc shows.
    ASSERT_TRUE(f.show("-7"));
    EXPECT_EQ(f.prompt.failures.size(), 1);
    EXPECT_EQ(w->browser()->shown().identifier, "-7");
    EXPECT_EQ(f.child<QPlainTextEdit>("TxtDesc")->toPlainText(), "");

    // Coming back to it gives 376 and keeps the readable disc shown.
    f.prompt.failures.clear();
    f.show("42");
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(376)}));
    EXPECT_EQ(w->browser()->shown().identifier, "-7");

    // A refresh names the unreadable archive and lists the rest.
    f.prompt.notices.clear();
    f.trigger("MnuRefresh");
    EXPECT_EQ(w->catalogue().discCount(), 1);
    ASSERT_FALSE(f.prompt.notices.isEmpty());
    EXPECT_TRUE(f.prompt.notices.join(u'\n').contains("42.VORN"));
}

TEST_F(Form1BadInput, DescriptionTypedWhileAnotherCopyWritesIsKept)
{
    DataFolderLock::Waiting &waiting = DataFolderLock::waiting();
    const DataFolderLock::Waiting saved = waiting;
    waiting.noticeAfterMs = 0;
    waiting.giveUpAfterMs = 200;
    ASSERT_TRUE(f.show("42"));
    f.child<QPlainTextEdit>("TxtDesc")->setPlainText("Typed while busy");
    {
        DataFolderLock other(f.dataPath());
        ASSERT_EQ(other.lock(), DataFolderLock::State::Held);
        f.show("-7");
        EXPECT_EQ(w->browser()->shown().identifier, "42");
        EXPECT_EQ(f.child<QPlainTextEdit>("TxtDesc")->toPlainText(), "Typed while busy");
        EXPECT_EQ(f.prompt.failures.size(), 1);
    }
    ASSERT_TRUE(f.show("-7"));   // the lock is free again: written on leaving
    EXPECT_EQ(w->catalogue().disc(findDisc(w->catalogue(), u"42")).description, "Typed while busy");
    waiting = saved;
}

TEST_F(Form1BadInput, DiscChangedByAnotherCopyIsReadAgain)
{
    ASSERT_TRUE(f.show("42"));
    Catalogue other = w->catalogue();
    edit::DiscInfoChanges changes;
    changes.description = QStringLiteral("Written by another copy");
    ASSERT_TRUE(edit::changeDiscInfo(other, findDisc(other, u"42"), changes).ok());
    w->rereadShownDiscIfChanged();
    EXPECT_EQ(f.child<QPlainTextEdit>("TxtDesc")->toPlainText(), "Written by another copy");
    EXPECT_EQ(w->browser()->shown().identifier, "42");
}

TEST_F(Form1BadInput, FileListLostWhileShownGives376OnceAndTheFoldersStay)
{
    ASSERT_TRUE(f.show("42"));
    ASSERT_TRUE(QFile::remove(w->catalogue().workingCopy("42", ".fic")));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode("K0"));
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(376)}));
    ASSERT_EQ(b->fileModel()->rowCount(), 2);
    EXPECT_EQ(b->fileModel()->row(0).name, "Docs");
    ASSERT_TRUE(b->showNode("K1"));
    EXPECT_EQ(f.prompt.failures.size(), 1);
}
