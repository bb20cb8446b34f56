#include "scan/ScanFixtures.h"
#include "scan/Volume.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <map>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;

using test::HostTree;

std::map<QString, VolumeEntry> byName(const FolderListing &listing)
{
    std::map<QString, VolumeEntry> entries;
    for (const VolumeEntry &entry : listing.entries)
        entries[entry.name] = entry;
    return entries;
}

class HostVolumeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tree.folder("sub"));
        ASSERT_TRUE(tree.file("sub/f.txt", "hello"));
        ASSERT_TRUE(tree.touch("sub/f.txt", 1000000000));
        ASSERT_TRUE(tree.file(".vorn-volume", "label=X\n"));
        ASSERT_TRUE(tree.link("sub/f.txt", "linkfile"));
        ASSERT_TRUE(tree.link(QFile::encodeName(outside.path()), "linkdir"));
        ASSERT_TRUE(tree.link("nowhere", "dangling"));
    }

    QTemporaryDir outside;
    HostTree tree;
};

TEST_F(HostVolumeTest, ListsKindsAndFactsWithoutFollowingLinks)
{
    const HostVolume volume(tree.root());
    for (ListDetail detail : {ListDetail::Kinds, ListDetail::Facts}) {
        const FolderListing listing = volume.listFolder(QStringLiteral("\\"), detail);
        ASSERT_TRUE(listing.ok());
        const auto entries = byName(listing);
        ASSERT_EQ(entries.size(), 5u);
        EXPECT_TRUE(entries.at(u"sub"_s).isFolder);
        EXPECT_FALSE(entries.at(u".vorn-volume"_s).isFolder);
        for (const char *name : {"linkfile", "linkdir", "dangling"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(entries.at(QString::fromLatin1(name)).isSymlink);
            EXPECT_FALSE(entries.at(QString::fromLatin1(name)).isFolder);
        }
    }
    const auto sub = byName(volume.listFolder(QStringLiteral("\\sub"), ListDetail::Facts));
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub.at(u"f.txt"_s).size, 5);
    EXPECT_EQ(sub.at(u"f.txt"_s).modified().toSecsSinceEpoch(), 1000000000);
}

TEST_F(HostVolumeTest, PathFormsOfADrive)
{
    const HostVolume volume(tree.root() + u'/');
    const struct { const char *path; bool found; } cases[] = {
        {"D:\\sub\\f.txt", true},
        {"\\sub\\f.txt", true},
        {"sub\\f.txt", true},
        {"x:\\\\sub\\\\f.txt\\", true},
        {"\\.\\sub\\.\\f.txt", true},
        {"\\sub\\..\\sub\\f.txt", false},
        {"..\\outside", false},
        {"\\sub/f.txt", false},
        {"\\SUB\\f.txt", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const VolumeLookup lookup = volume.facts(QString::fromLatin1(c.path));
        EXPECT_EQ(lookup.found(), c.found);
        if (c.found) {
            EXPECT_EQ(lookup.entry.name, u"f.txt"_s);
            EXPECT_EQ(lookup.entry.size, 5);
        }
    }
    for (const char *root : {"", "\\", "D:", "D:\\", "\\\\"}) {
        SCOPED_TRACE(root);
        EXPECT_TRUE(volume.isRoot(QString::fromLatin1(root)));
        EXPECT_TRUE(volume.facts(QString::fromLatin1(root)).entry.isFolder);
    }
    EXPECT_FALSE(volume.isRoot(u"D:\\sub"_s));
}

TEST_F(HostVolumeTest, LinksOnADriveAreNeverFollowed)
{
    const HostVolume volume(tree.root());
    const VolumeLookup linkdir = volume.facts(u"\\linkdir"_s);
    ASSERT_TRUE(linkdir.found());
    EXPECT_TRUE(linkdir.entry.isSymlink);
    EXPECT_FALSE(linkdir.entry.isFolder);
    EXPECT_FALSE(volume.listFolder(u"\\linkdir"_s, ListDetail::Kinds).ok());
    EXPECT_EQ(volume.openFile(u"\\linkfile"_s), nullptr);
    EXPECT_TRUE(volume.facts(u"\\dangling"_s).found());
}

TEST_F(HostVolumeTest, TheHostVolumeFollowsLinks)
{
    const HostVolume &host = HostVolume::hostFileSystem();
    const QString root = tree.root();
    const VolumeLookup linkdir = host.facts(root + u"/linkdir");
    ASSERT_TRUE(linkdir.found());
    EXPECT_TRUE(linkdir.entry.isFolder);
    EXPECT_FALSE(linkdir.entry.isSymlink);
    EXPECT_TRUE(host.listFolder(root + u"/linkdir", ListDetail::Kinds).ok());

    const auto entries = byName(host.listFolder(root, ListDetail::Kinds));
    EXPECT_TRUE(entries.at(u"linkdir"_s).isFolder);
    EXPECT_EQ(entries.at(u"linkfile"_s).size, 5);
    EXPECT_FALSE(entries.at(u"dangling"_s).isFolder);
    EXPECT_TRUE(entries.at(u"dangling"_s).isSymlink);

    auto file = host.openFile(root + u"/linkfile");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->readAll(), QByteArray("hello"));
}

TEST_F(HostVolumeTest, OpensFilesButNotFolders)
{
    const HostVolume volume(tree.root());
    auto file = volume.openFile(u"D:\\sub\\f.txt"_s);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->readAll(), QByteArray("hello"));
    EXPECT_EQ(volume.openFile(u"\\sub"_s), nullptr);
    EXPECT_EQ(volume.openFile(u"\\"_s), nullptr);
    EXPECT_EQ(volume.openFile(u"\\sub\\missing"_s), nullptr);
    EXPECT_EQ(volume.hostPath(u"D:\\sub\\f.txt"_s), QString(tree.root() + u"/sub/f.txt"));
}

TEST(HostVolume, AMissingRootIsAnEmptyDrive)
{
    const HostVolume volume(u"/nonexistent/vorn-drive"_s);
    EXPECT_EQ(volume.facts(u"\\"_s).error, ENOENT);
    EXPECT_EQ(volume.listFolder(u"\\"_s, ListDetail::Kinds).error, ENOENT);
    const HostVolume nothing{QString()};
    EXPECT_FALSE(nothing.facts(u"\\"_s).found());
}

TEST(HostVolume, AnEntryRemovedBetweenListingAndStatIsSkipped)
{
    HostTree tree;
    for (const char *name : {"a.txt", "gone.txt", "z.txt"})
        ASSERT_TRUE(tree.file(name));
    HostVolume volume(tree.root());
    volume.setListingHook([](const QByteArray &hostPath) {
        if (hostPath.endsWith("/gone.txt"))
            ::unlink(hostPath.constData());
    });
    const FolderListing listing = volume.listFolder(u"\\"_s, ListDetail::Facts);
    EXPECT_TRUE(listing.ok());
    const auto entries = byName(listing);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.count(u"gone.txt"_s), 0u);
}

TEST(HostVolume, NamesReadAsUtf8OrWindows1252FindTheirBytesAgain)
{
    HostTree tree;
    const struct { QByteArray bytes; QString name; } cases[] = {
        {"caf\xE9.txt", QString::fromUtf8("caf\xC3\xA9.txt")},           // Windows-1252 é
        {"na\xC3\xAFve.txt", QString::fromUtf8("na\xC3\xAFve.txt")},     // UTF-8 ï
        {"\x80uro", QString::fromUtf8("\xE2\x82\xACuro")},               // Windows-1252 €
    };
    for (const auto &c : cases)
        ASSERT_TRUE(tree.file(c.bytes, c.bytes));
    const HostVolume volume(tree.root());
    const auto entries = byName(volume.listFolder(u"\\"_s, ListDetail::Facts));
    ASSERT_EQ(entries.size(), std::size(cases));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        ASSERT_EQ(entries.count(c.name), 1u);
        EXPECT_EQ(entries.at(c.name).size, c.bytes.size());
        const VolumeLookup lookup = volume.facts(u"\\" + c.name);
        EXPECT_TRUE(lookup.found());
        auto file = volume.openFile(u"\\" + c.name);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->readAll(), c.bytes);
    }
    // A name that is not UTF-8 has no faithful host path text.
    EXPECT_TRUE(volume.hostPath(u"\\" + cases[0].name).isEmpty());
}

TEST(HostVolume, OneNameInTwoEncodingsInTwoFolders)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("old"));
    ASSERT_TRUE(tree.folder("new"));
    ASSERT_TRUE(tree.file("old/\xE9.txt", "old"));
    ASSERT_TRUE(tree.file("new/\xC3\xA9.txt", "new"));
    const HostVolume drive(tree.root());
    for (const HostVolume *volume : {&drive, &HostVolume::hostFileSystem()}) {
        const QChar sep = volume->separator();
        const QString base = sep == u'/' ? tree.root() : QString();
        const QString name = u"\u00e9.txt"_s;
        for (const char *folder : {"old", "new"}) {
            SCOPED_TRACE(folder);
            const QString path = base + sep + QString::fromLatin1(folder);
            const FolderListing listing = volume->listFolder(path, ListDetail::Kinds);
            ASSERT_EQ(listing.entries.size(), 1u);
            EXPECT_EQ(listing.entries[0].name, name);
            auto file = volume->openFile(path + sep + name);
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(file->readAll(), QByteArray(folder));
        }
    }
}

TEST(HostVolume, SizesBeyondFourGibibytes)
{
    HostTree tree;
    const qint64 size = (qint64(5) << 30) + 7;
    ASSERT_TRUE(tree.sparseFile("big.iso", size));
    const HostVolume volume(tree.root());
    EXPECT_EQ(volume.facts(u"\\big.iso"_s).entry.size, size);
    const FolderListing listing = volume.listFolder(u"\\"_s, ListDetail::Facts);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].size, size);
}

TEST(HostVolume, TheRootIsNeverRemovedOrMoved)
{
    HostTree tree;
    ASSERT_TRUE(tree.file("a", "a"));
    const HostVolume volume(tree.root());
    EXPECT_EQ(volume.removeFolder(u"D:\\"_s).error, EBUSY);
    EXPECT_FALSE(volume.removeFile(u"\\"_s).ok());
    EXPECT_EQ(volume.moveFile(u"\\a"_s, u"\\"_s).error, EBUSY);
    EXPECT_TRUE(tree.exists("a"));
}

TEST(HostVolume, MovesAcrossFileSystemsByCopying)
{
    HostTree tree;
    QTemporaryDir other(u"/dev/shm/vorn-test-XXXXXX"_s);
    struct stat here;
    struct stat there;
    if (!other.isValid() || ::stat(QFile::encodeName(tree.root()).constData(), &here) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at hand";
    ASSERT_TRUE(tree.file("a", "content"));
    ASSERT_TRUE(tree.touch("a", 1234567890));
    const HostVolume &host = HostVolume::hostFileSystem();
    ASSERT_TRUE(host.moveFile(tree.root() + u"/a", other.path() + u"/a").ok());
    EXPECT_FALSE(tree.exists("a"));
    const VolumeLookup moved = host.facts(other.path() + u"/a");
    ASSERT_TRUE(moved.found());
    EXPECT_EQ(moved.entry.size, 7);
    EXPECT_EQ(moved.entry.modified().toSecsSinceEpoch(), 1234567890);
}

} // namespace
} // namespace vorn
