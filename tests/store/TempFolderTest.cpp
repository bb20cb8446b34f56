#include "store/TempFolder.h"
#include "StoreFixture.h"

#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;

TEST(TempFolder, FirstCopyTakesTheSharedFolderASecondOneItsOwn)
{
    QTemporaryDir base, elsewhere;
    const QString shared = base.filePath(QStringLiteral("VORN_TmpFiles-%1").arg(getuid()));
    ASSERT_TRUE(test::writeFile(shared + "/stale.fic", "left by a crashed run"));
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    for (pid_t pid : {gone, getppid()})
        ASSERT_TRUE(test::writeFile(shared + QStringLiteral("-%1/12.fic").arg(pid), "x"));
    {
        TempFolder first(base.path());
        ASSERT_TRUE(first.isValid() && first.isShared());
        EXPECT_EQ(first.path(), shared + "/");
        EXPECT_FALSE(QFile::exists(shared + "/stale.fic"));   // emptied at start
        EXPECT_FALSE(QFileInfo::exists(shared + QStringLiteral("-%1").arg(gone)));   // its copy is gone
        EXPECT_TRUE(QFileInfo::exists(shared + QStringLiteral("-%1").arg(getppid())));
        EXPECT_EQ(QFileInfo(shared).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                                 | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        ASSERT_TRUE(test::writeFile(first.path() + "12.fic", "mine"));
        QString second;
        {
            TempFolder other(base.path());
            ASSERT_TRUE(other.isValid());
            EXPECT_FALSE(other.isShared());
            second = other.path();
            EXPECT_NE(second, first.path());
        }
        EXPECT_FALSE(QFileInfo::exists(second));   // its own folder goes at exit, never another's files
        for (const char *name : {"12.rep", "12.TEXT", "123.fic", "-12.fic", "12"})
            ASSERT_TRUE(test::writeFile(first.path() + name, "x"));
        first.removeWorkingCopies("12");
        QStringList left = QDir(first.path()).entryList(QDir::Files);
        left.sort();
        EXPECT_EQ(left, QStringList({"-12.fic", "12", "123.fic"}));
    }
    EXPECT_TRUE(TempFolder(base.path()).isShared());   // the lock was released
    // A symlink planted in its place is not used.
    QDir(shared).removeRecursively();
    ASSERT_TRUE(QFile::link(elsewhere.path(), shared));
    ASSERT_TRUE(test::writeFile(elsewhere.path() + "/precious.txt", "keep"));
    TempFolder folder(base.path());
    EXPECT_TRUE(folder.isValid() && !folder.isShared());
    EXPECT_TRUE(QFile::exists(elsewhere.path() + "/precious.txt"));
}
