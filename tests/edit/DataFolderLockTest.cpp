#include "EditFixture.h"

#include "edit/KeywordEdits.h"
#include "store/DataFolderLock.h"
#include "store/KeywordList.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using EditFixture = test::EditFixture;

namespace {

// Runs `work` in a child process; the child's exit status is 0 when it returned true.
pid_t inChild(const std::function<bool()> &work)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work() ? 0 : 1);
    return pid;
}

int exitStatus(pid_t pid)
{
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(EditFixture, ParallelCopiesLoseNoKeywordAndNoDisc)
{
    std::vector<pid_t> children;
    for (int i = 1; i <= 4; ++i) {
        children.push_back(inChild([&, i] {
            QTemporaryDir ownTemp;
            Catalogue copy = openedCopy(ownTemp.path());
            catalogue = std::move(copy);
            const QString n = QString::number(i);
            return catalogueDisc(n, "Disc " + n, {"K" + n, "Shared"}).ok()
                && edit::addKeyword(catalogue, "Added " + n).ok();
        }));
    }
    for (pid_t child : children)
        EXPECT_EQ(exitStatus(child), 0);
    open();
    EXPECT_EQ(catalogue.discCount(), 4);
    QStringList names;
    QSet<int> numbers;
    for (size_t k = 1; k < catalogue.keywords.size(); ++k) {
        names << catalogue.keywords[k].name;
        numbers.insert(catalogue.keywords[k].number);
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"Added 1", "Added 2", "Added 3", "Added 4", "K1", "K2", "K3", "K4", "Shared"}));
    EXPECT_EQ(numbers.size(), names.size());
    EXPECT_EQ(stored("3").keywordNames.split(';').size(), 3);
}

TEST_F(EditFixture, ASecondWriterWaitsSaysSoAndGivesUpWhileADeadOnesLockIsTakenOver)
{
    open();
    DataFolderLock::Waiting &waiting = DataFolderLock::waiting();
    const DataFolderLock::Waiting saved = waiting;
    QStringList notices;
    waiting = {50, 400, [&](const QString &text) { notices << text; }};
    {
        DataFolderLock holder(catalogue.dataFolder);
        ASSERT_EQ(holder.lock(), DataFolderLock::State::Held);
        const EditResult busy = edit::addKeyword(catalogue, "Jazz");
        EXPECT_EQ(busy.outcome, EditResult::Outcome::Failed);
        EXPECT_EQ(busy.message, 704);
        EXPECT_EQ(notices, QStringList{LoadText(703)});
        EXPECT_FALSE(QFile::exists(catalogue.keywordListPath()));
    }
    EXPECT_EQ(exitStatus(inChild([&] {
        auto *abandoned = new DataFolderLock(catalogue.dataFolder);   // never unlocked
        return abandoned->lock() == DataFolderLock::State::Held;
    })), 0);
    EXPECT_TRUE(edit::addKeyword(catalogue, "Jazz").ok());
    waiting = saved;
}
