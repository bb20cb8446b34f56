#include "store/TempFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace vorn;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info;
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST(TempFolder, FirstCopyTakesTheSharedFolderASecondOneItsOwn)
{
    QTemporaryDir base;
    const QString shared = QDir(base.path()).filePath(QStringLiteral("VORN_TmpFiles-%1").arg(getuid()));
    ASSERT_TRUE(test::writeFile(shared + "/stale.fic", "left by a crashed run"));
    {
        TempFolder first(base.path());
        ASSERT_TRUE(first.isValid());
        EXPECT_TRUE(first.isShared());
        EXPECT_EQ(first.path(), shared + "/");
        EXPECT_FALSE(QFile::exists(shared + "/stale.fic"));   // emptied at start
        EXPECT_EQ(modeOf(shared), 0700u);
        ASSERT_TRUE(test::writeFile(first.path() + "12.fic", "mine"));

        QString second;
        {
            TempFolder other(base.path());
            ASSERT_TRUE(other.isValid());
            EXPECT_FALSE(other.isShared());
            second = other.path();
            EXPECT_NE(second, first.path());
            EXPECT_TRUE(QFile::exists(first.path() + "12.fic"));   // never empties another's
        }
        EXPECT_FALSE(QFileInfo::exists(second));   // its own folder goes at exit
        EXPECT_TRUE(QFile::exists(first.path() + "12.fic"));
    }
    TempFolder again(base.path());
    EXPECT_TRUE(again.isShared());   // the lock was released
}

TEST(TempFolder, ASymlinkPlantedInItsPlaceIsNotUsed)
{
    QTemporaryDir base;
    QTemporaryDir elsewhere;
    const QString shared = QDir(base.path()).filePath(QStringLiteral("VORN_TmpFiles-%1").arg(getuid()));
    ASSERT_TRUE(QFile::link(elsewhere.path(), shared));
    ASSERT_TRUE(test::writeFile(elsewhere.path() + "/precious.txt", "keep"));
    TempFolder folder(base.path());
    ASSERT_TRUE(folder.isValid());
    EXPECT_FALSE(folder.isShared());
    EXPECT_TRUE(QFile::exists(elsewhere.path() + "/precious.txt"));
}

TEST(TempFolder, RemovingWorkingCopiesTakesOnlyThatDisc)
{
    QTemporaryDir base;
    TempFolder folder(base.path());
    for (const char *name : {"12.fic", "12.rep", "12.TEXT", "123.fic", "-12.fic", "12"})
        ASSERT_TRUE(test::writeFile(folder.path() + QString::fromLatin1(name), "x"));
    folder.removeWorkingCopies("12");
    QStringList left = QDir(folder.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"-12.fic", "12", "123.fic"}));
}
