// A data folder on a file system mounted read-only (a tmpfs remounted "ro"; the test
// is skipped where it may not mount): it opens and its discs read, and every edit is
// refused with the one message that says why, leaving every byte as it was.
#include "../edit/EditFixture.h"
#include "FolderSnapshot.h"

#include "edit/DiscEdits.h"
#include "edit/KeywordEdits.h"
#include "edit/TreeEdits.h"
#include "store/DiscArchive.h"

#include <QDirIterator>
#include <map>
#include <sys/mount.h>

using namespace vorn;
using Outcome = EditResult::Outcome;

namespace {


struct ReadOnlyFolder : test::EditFixture
{
    QTemporaryDir mountPoint;
    bool mounted = false;

    void SetUp() override
    {
        mounted = ::mount("vorn-test", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0, "size=8m") == 0;
        if (!mounted)
            GTEST_SKIP() << "this test needs to mount a tmpfs (root)";
        QDir(mountPoint.path()).mkdir("Data");
    }
    void TearDown() override
    {
        if (mounted)
            ::umount(QFile::encodeName(mountPoint.path()).constData());
    }
    QString dataFolder() const { return mountPoint.filePath("Data"); }
    bool remountReadOnly() const
    {
        return ::mount("vorn-test", QFile::encodeName(mountPoint.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
};

} // namespace

TEST_F(ReadOnlyFolder, OpensAndReadsButEveryEditIsRefusedAndNothingChanges)
{
    Catalogue writer;
    writer.tempFolder = otherTemp.path() + u'/';
    ASSERT_TRUE(openDataFolder(writer, dataFolder(), observer));
    for (const char *id : {"5", "6"}) {
        const edit::NewDisc newDisc{id, QStringLiteral("Disc %1").arg(id), "LBL", {}, false, {"Jazz"}};
        ASSERT_TRUE(edit::catalogueDisc(writer, newDisc, {1, 10240}, filters, HostVolume(disc.path()), observer).ok());
    }
    const std::map<QString, QByteArray> before = test::snapshot(dataFolder());
    ASSERT_TRUE(remountReadOnly());

    ASSERT_TRUE(openDataFolder(catalogue, dataFolder(), observer));
    ASSERT_EQ(catalogue.discCount(), 2);
    EXPECT_EQ(catalogue.disc(1).name, "Disc 5");
    EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("5"), "5.fic").value_or("").contains("a.txt"), true);

    edit::DiscInfoChanges describe;
    describe.description = QStringLiteral("New text");
    BookmarkRecord file;
    file.name = QStringLiteral("a.txt");
    file.number = 1;
    const edit::NewDisc seventh{"7", "Seven", "LBL", {}, false, {}};
    const std::pair<const char *, std::function<EditResult()>> edits[] = {
        {"describe", [&] { return edit::changeDiscInfo(catalogue, 1, describe); }},
        {"rename", [&] { return edit::renameDisc(catalogue, 1, QStringLiteral("Other name")); }},
        {"re-key", [&] { return edit::rekeyDisc(catalogue, 1, QStringLiteral("9")); }},
        {"delete", [&] { return edit::deleteDisc(catalogue, 2); }},
        {"keyword", [&] { return edit::addKeyword(catalogue, QStringLiteral("Live")); }},
        {"bookmark", [&] { return edit::changeBookmark(catalogue, 1, file, edit::BookmarkChange::Toggle); }},
        {"folder description", [&] { return edit::setFolderDescription(catalogue, 1, 0, QStringLiteral("Root")); }},
        {"catalogue", [&] {
             return edit::catalogueDisc(catalogue, seventh, {1, 10240}, filters, HostVolume(disc.path()), observer);
         }},
    };
    for (const auto &[what, run] : edits) {
        const EditResult result = run();
        EXPECT_EQ(result.outcome, Outcome::Failed) << what;
        EXPECT_EQ(result.message, 705) << what;
    }
    EXPECT_EQ(test::snapshot(dataFolder()), before);
    EXPECT_EQ(catalogue.discCount(), 2);
    EXPECT_EQ(catalogue.disc(1).name, "Disc 5");
}
