#include "../Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/FilePaneModel.h"
#include "settings/StringTable.h"
#include "store/BookmarkFile.h"
#include "store/DiscArchive.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Answer = UserPrompt::Answer;

namespace {

// The bookmarks as the archive holds them: "name" or "name:description".
QStringList storedBookmarks(const Form1Fixture &f)
{
    const auto bytes = DiscArchive::readMember(f.dataPath() + "42.VORN", "42.sig");
    QStringList names;
    for (const BookmarkRecord &record : BookmarkFile::parse(bytes.value_or(QByteArray())))
        if (!record.name.isEmpty())
            names << (record.description.isEmpty() ? record.name : record.name + ":" + record.description);
    return names;
}

// Shows node `node` of disc 42 and makes `row` (a row key) or the node current.
BrowsePane *showItem(Form1Fixture &f, const char *node, const char *row)
{
    EXPECT_TRUE(f.show("42"));
    BrowsePane *b = f.window->browser();
    EXPECT_TRUE(b->showNode(node));
    if (*row)
        b->files()->setCurrentIndex(b->fileModel()->index(b->fileModel()->rowOfKey(row), 0));
    return b;
}

bool rowBold(BrowsePane *b, const char *row)
{
    return b->fileModel()->row(b->fileModel()->rowOfKey(row)).bold;
}

QTreeWidgetItem *findNode(BrowsePane *b, const QString &text)
{
    const auto found = b->tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

TEST(Bookmarks, TogglingFromTheFilePaneAndTheTreeIsWrittenAtOnceAndShownBold)
{
    // `row` empty: the tree's node is toggled; `marked` the item's name; `bold` its state after.
    struct Case { const char *node; const char *row; const char *action; const char *marked; bool bold; QStringList stored; };
    const Case cases[] = {
        {"K0", "K3", "MnuSignets_0", "readme.txt", true, {"half.bin", "Guides", "readme.txt"}},
        {"K0", "K5", "MnuSignets_1", "half.bin", false, {"Guides"}},
        {"K0", "R1", "MnuSignets_0", "Docs", true, {"half.bin", "Guides", "Docs"}},
        {"K3", "", "MnuSignetsRep_1", "Guides", false, {"half.bin"}},
        {"K2", "", "MnuSignetsRep_0", "Empty", true, {"half.bin", "Guides", "Empty"}},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        ASSERT_NE(f.start(), nullptr);
        BrowsePane *b = showItem(f, c.node, c.row);
        if (!*c.row)
            b->tree()->setCurrentItem(findNode(b, c.marked));
        QSignalSpy changed(b, &BrowsePane::bookmarksChanged);
        f.trigger(c.action);
        EXPECT_EQ(changed.count(), 1) << c.marked;
        EXPECT_EQ(storedBookmarks(f), c.stored) << c.marked;
        // A sub-folder row and its tree node change together.
        if (*c.row) {
            EXPECT_EQ(rowBold(b, c.row), c.bold) << c.marked;
        }
        if (c.row[0] != 'K') {
            EXPECT_EQ(findNode(b, c.marked)->font(0).bold(), c.bold) << c.marked;
            // The tree's menu offers to add or to remove, as the node is bold or not.
            b->tree()->expandAll();
            emit b->tree()->customContextMenuRequested(b->tree()->visualItemRect(findNode(b, c.marked)).center());
            f.child<QMenu>("MnuPropDossier_Titre")->hide();
            EXPECT_EQ(f.child<QAction>("MnuSignetsRep_0")->isVisible(), !c.bold) << c.marked;
            EXPECT_EQ(f.child<QAction>("MnuSignetsRep_1")->isVisible(), c.bold) << c.marked;
        }
        // After a restart the marks come from the archive.
        ASSERT_NE(f.start(), nullptr);
        b = showItem(f, "K0", "");
        if (c.row[0] == 'K')
            EXPECT_EQ(rowBold(b, c.row), c.bold) << c.marked;
        else
            EXPECT_EQ(findNode(b, c.marked)->font(0).bold(), c.bold) << c.marked;
    }
}

TEST(Bookmarks, DescribingAsksForTheTextAndEmptyingItAsksFirst)
{
    // One disc, steps in order on the row of half.bin (K5) or readme.txt (K3).
    struct Step { const char *row; const char *typed; bool cancel; Answer answer; QStringList asked; QStringList stored; };
    const QString emptying = LoadText(641);
    const Step steps[] = {
        {"K5", "Backup \"old\"\tcopy", false, Answer::No, {"half.bin"}, {"half.bin:Backup 'old' copy", "Guides"}},
        {"K5", "", false, Answer::No, {"half.bin", emptying}, {"half.bin:Backup 'old' copy", "Guides"}},
        {"K5", "", true, Answer::Yes, {"half.bin"}, {"half.bin:Backup 'old' copy", "Guides"}},
        {"K5", "", false, Answer::Yes, {"half.bin", emptying}, {"half.bin", "Guides"}},
        {"K3", "", false, Answer::Yes, {}, {"half.bin", "Guides", "readme.txt"}},
    };
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    for (const Step &s : steps) {
        showItem(f, "K0", s.row);
        f.prompt.questions.clear();
        f.prompt.inputs = {s.cancel ? QString() : QString::fromUtf8(s.typed)};
        f.prompt.answers = {s.answer};
        f.trigger("MnuSignets_2");
        EXPECT_EQ(f.prompt.questions, s.asked) << s.typed;
        EXPECT_EQ(storedBookmarks(f), s.stored) << s.typed;
    }
    EXPECT_TRUE(rowBold(f.window->browser(), "K3"));
}
