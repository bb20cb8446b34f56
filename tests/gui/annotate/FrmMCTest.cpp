#include "../Form1Fixture.h"

#include "gui/annotate/FrmMC.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Answer = UserPrompt::Answer;

namespace {

QStringList texts(const QListWidget *list, bool ticks)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text() + (ticks && list->item(i)->checkState() == Qt::Checked ? "+" : "");
    return items;
}

QString storedKeywords(const Form1Fixture &f, const char *id)
{
    return readRecord(f.dataPath() + id + ".VORN", id).value_or(RecordReading{}).keywordNames;
}

QStringList filterEntries(const Form1Fixture &f)
{
    QStringList names;
    for (const QAction *action : f.child<QMenu>("MnuFiltre_T")->actions())
        if (action->isCheckable() && action->objectName() != "MnuFiltre_0" && action->objectName() != "MnuInvertFiltre")
            names << action->text();
    return names;
}

} // namespace

TEST(FrmMC, NewKeywordsAreCheckedAndWrittenToTheListAtOnce)
{
    struct Case { const char *typed; const char *said; QStringList keywords; };
    const Case cases[] = {
        {"Folk", "", {"Jazz", "Live", "Unused", "Folk"}},
        {"jAZZ", "305", {"Jazz", "Live", "Unused"}},
        {"a;b", "521", {"Jazz", "Live", "Unused"}},
        {"", "", {"Jazz", "Live", "Unused"}},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        ASSERT_NE(f.start(), nullptr);
        f.trigger("MnuGestMC");
        auto *manager = f.window->findChild<FrmMC *>("FrmMC");
        ASSERT_NE(manager, nullptr);
        f.prompt.inputs = {c.typed};
        manager->findChild<QPushButton *>("Command1_0")->click();
        EXPECT_EQ(f.prompt.questions, QStringList{LoadText(370)});
        const QStringList said = *c.said ? QStringList{LoadText(QByteArray(c.said).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.notices, said) << c.typed;
        EXPECT_EQ(texts(manager->findChild<QListWidget *>("LVMCMC"), false), c.keywords) << c.typed;
        // "MC.txt" and the filter menu follow at once.
        QStringList sorted = c.keywords;
        sorted.sort(Qt::CaseInsensitive);
        EXPECT_EQ(filterEntries(f), sorted) << c.typed;
        EXPECT_EQ(test::readFile(f.dataPath() + "MC.txt").count('\n'), c.keywords.size()) << c.typed;
    }
}

TEST(FrmMC, TicksRenamesAndDeletionsReachTheDiscsWhenTheManagerCloses)
{
    Form1Fixture f;
    ASSERT_NE(f.start(), nullptr);
    ASSERT_TRUE(f.show("42"));
    f.trigger("MnuGestMC");
    QPointer<FrmMC> manager = f.window->findChild<FrmMC *>("FrmMC");
    ASSERT_NE(manager, nullptr);
    auto *keywords = manager->findChild<QListWidget *>("LVMCMC");
    auto *discs = manager->findChild<QListWidget *>("LVCDMC");
    auto *listMC = f.child<QListWidget>("ListMC");
    // The first keyword is selected with the discs that carry it ticked.
    EXPECT_EQ(texts(discs, true), QStringList({"Another", "Sample+"}));
    keywords->setCurrentRow(1);
    EXPECT_EQ(texts(discs, true), QStringList({"Another", "Sample"}));
    discs->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(texts(listMC, true), QStringList({"Jazz (1)+", "Live (1)", "Unused (0)"}));
    // Renaming in place: a name in use is refused and the old one comes back.
    keywords->item(1)->setText("jazz");
    EXPECT_EQ(f.prompt.warnings.size(), 1);
    keywords->item(1)->setText("Blues");
    EXPECT_EQ(texts(keywords, false), QStringList({"Jazz", "Blues", "Unused"}));
    EXPECT_EQ(test::readFile(f.dataPath() + "MC.txt"), "1,\"Jazz\"\r\n2,\"Blues\"\r\n3,\"Unused\"\r\n");
    // Deleting asks first; No keeps the keyword.
    keywords->setCurrentRow(0);
    f.prompt.answers = {Answer::No, Answer::Yes};
    manager->command1Click(2);
    manager->command1Click(2);
    EXPECT_EQ(f.prompt.questions, QStringList({LoadText(306) + "\nJazz", LoadText(306) + "\nJazz"}));
    EXPECT_EQ(texts(listMC, true), QStringList({"Blues (1)", "Unused (0)"}));
    EXPECT_EQ(storedKeywords(f, "42"), "Jazz;");
    EXPECT_EQ(storedKeywords(f, "-7"), "");
    manager->findChild<QPushButton *>("Command1_3")->click();
    EXPECT_TRUE(!manager || manager->isHidden());
    EXPECT_EQ(storedKeywords(f, "42"), "");
    EXPECT_EQ(storedKeywords(f, "-7"), "Blues;");
    ASSERT_NE(f.start(), nullptr);
    EXPECT_EQ(texts(f.child<QListWidget>("ListMC"), false), QStringList({"Blues (1)", "Unused (0)"}));
}
