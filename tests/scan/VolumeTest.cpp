#include "scan/ScanFixtures.h"
#include "scan/Volume.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
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

QByteArray contentOf(const std::unique_ptr<QIODevice> &file) { return file ? file->readAll() : "(not opened)"; }

class HostVolumeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tree.folder("sub") && tree.file("sub/f.txt", "hello") && tree.touch("sub/f.txt", 1000000000));
        ASSERT_TRUE(tree.file(".vorn-volume", "label=X\n") && tree.link("sub/f.txt", "linkfile"));
        ASSERT_TRUE(tree.link(QFile::encodeName(outside.path()), "linkdir") && tree.link("nowhere", "dangling"));
    }

    QTemporaryDir outside;
    HostTree tree;
};

TEST_F(HostVolumeTest, ListsKindsAndFactsWithoutFollowingLinks)
{
    const HostVolume volume(tree.root());
    for (ListDetail detail : {ListDetail::Kinds, ListDetail::Facts}) {
        const FolderListing listing = volume.listFolder(u"\\"_s, detail);
        ASSERT_TRUE(listing.ok());
        const auto entries = byName(listing);
        ASSERT_EQ(entries.size(), 5u);
        EXPECT_TRUE(entries.at(u"sub"_s).isFolder);
        EXPECT_FALSE(entries.at(u".vorn-volume"_s).isFolder);
        for (const QString &name : {u"linkfile"_s, u"linkdir"_s, u"dangling"_s}) {
            EXPECT_TRUE(entries.at(name).isSymlink) << name.toStdString();
            EXPECT_FALSE(entries.at(name).isFolder) << name.toStdString();
        }
    }
    const auto sub = byName(volume.listFolder(u"\\sub"_s, ListDetail::Facts));
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub.at(u"f.txt"_s).size, 5);
    EXPECT_EQ(sub.at(u"f.txt"_s).modified().toSecsSinceEpoch(), 1000000000);
}

TEST_F(HostVolumeTest, PathFormsOfADrive)
{
    const HostVolume volume(tree.root() + u'/');
    const struct { const char *path; bool found; } cases[] = {
        {"D:\\sub\\f.txt", true}, {"\\sub\\f.txt", true}, {"sub\\f.txt", true}, {"x:\\\\sub\\\\f.txt\\", true},
        {"\\.\\sub\\.\\f.txt", true}, {"\\sub\\..\\sub\\f.txt", false}, {"..\\outside", false},
        {"\\sub/f.txt", false}, {"\\SUB\\f.txt", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const VolumeLookup lookup = volume.facts(QString::fromLatin1(c.path));
        EXPECT_EQ(lookup.found(), c.found);
        EXPECT_EQ(lookup.found() ? lookup.entry.name + u'/' + QString::number(lookup.entry.size) : QString(),
                  c.found ? u"f.txt/5"_s : QString());
    }
    for (const char *root : {"", "\\", "D:", "D:\\", "\\\\"}) {
        EXPECT_TRUE(volume.isRoot(QString::fromLatin1(root))) << root;
        EXPECT_TRUE(volume.facts(QString::fromLatin1(root)).entry.isFolder) << root;
    }
    EXPECT_FALSE(volume.isRoot(u"D:\\sub"_s));
    // Files open; folders do not.
    EXPECT_EQ(contentOf(volume.openFile(u"D:\\sub\\f.txt"_s)), "hello");
    for (const QString &path : {u"\\sub"_s, u"\\"_s, u"\\sub\\missing"_s})
        EXPECT_EQ(volume.openFile(path), nullptr) << path.toStdString();
    EXPECT_EQ(volume.hostPath(u"D:\\sub\\f.txt"_s), QString(tree.root() + u"/sub/f.txt"));
}

TEST_F(HostVolumeTest, LinksAreFollowedOnTheHostOnly)
{
    const HostVolume drive(tree.root());
    const VolumeLookup linkdir = drive.facts(u"\\linkdir"_s);
    ASSERT_TRUE(linkdir.found());
    EXPECT_TRUE(linkdir.entry.isSymlink);
    EXPECT_FALSE(linkdir.entry.isFolder);
    EXPECT_FALSE(drive.listFolder(u"\\linkdir"_s, ListDetail::Kinds).ok());
    EXPECT_EQ(drive.openFile(u"\\linkfile"_s), nullptr);
    EXPECT_TRUE(drive.facts(u"\\dangling"_s).found());

    const HostVolume &host = HostVolume::hostFileSystem();
    const QString root = tree.root();
    const VolumeLookup followed = host.facts(root + u"/linkdir");
    ASSERT_TRUE(followed.found());
    EXPECT_TRUE(followed.entry.isFolder);
    EXPECT_FALSE(followed.entry.isSymlink);
    EXPECT_TRUE(host.listFolder(root + u"/linkdir", ListDetail::Kinds).ok());
    const auto entries = byName(host.listFolder(root, ListDetail::Kinds));
    EXPECT_TRUE(entries.at(u"linkdir"_s).isFolder);
    EXPECT_EQ(entries.at(u"linkfile"_s).size, 5);
    EXPECT_FALSE(entries.at(u"dangling"_s).isFolder);
    EXPECT_TRUE(entries.at(u"dangling"_s).isSymlink);
    EXPECT_EQ(contentOf(host.openFile(root + u"/linkfile")), "hello");
}

TEST(HostVolume, MissingRootAndVanishingEntries)
{
    const HostVolume volume(u"/nonexistent/vorn-drive"_s);
    EXPECT_EQ(volume.facts(u"\\"_s).error, ENOENT);
    EXPECT_EQ(volume.listFolder(u"\\"_s, ListDetail::Kinds).error, ENOENT);
    EXPECT_FALSE(HostVolume(QString()).facts(u"\\"_s).found());

    // An entry removed between the listing and its stat is skipped.
    HostTree tree;
    ASSERT_TRUE(tree.file("a.txt") && tree.file("gone.txt") && tree.file("z.txt"));
    HostVolume hooked(tree.root());
    hooked.setListingHook([](const QByteArray &hostPath) {
        if (hostPath.endsWith("/gone.txt"))
            ::unlink(hostPath.constData());
    });
    const FolderListing listing = hooked.listFolder(u"\\"_s, ListDetail::Facts);
    EXPECT_TRUE(listing.ok());
    const auto entries = byName(listing);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.count(u"gone.txt"_s), 0u);
}

TEST(HostVolume, NamesReadAsUtf8OrWindows1252FindTheirBytesAgain)
{
    HostTree tree;
    const struct { QByteArray bytes; QString name; } cases[] = {
        {"caf\xE9.txt", u"caf\u00e9.txt"_s},       // Windows-1252 é
        {"na\xC3\xAFve.txt", u"na\u00efve.txt"_s},  // UTF-8 ï
        {"\x80uro", u"\u20acuro"_s},                // Windows-1252 €
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
        EXPECT_TRUE(volume.facts(u"\\" + c.name).found());
        EXPECT_EQ(contentOf(volume.openFile(u"\\" + c.name)), c.bytes);
    }
    // A name that is not UTF-8 has no faithful host path text.
    EXPECT_TRUE(volume.hostPath(u"\\" + cases[0].name).isEmpty());

    // One name in two encodings, in two folders: each path reaches its own bytes.
    ASSERT_TRUE(tree.folder("old") && tree.folder("new"));
    ASSERT_TRUE(tree.file("old/\xE9.txt", "old") && tree.file("new/\xC3\xA9.txt", "new"));
    for (const HostVolume *on : {&volume, &HostVolume::hostFileSystem()}) {
        const QChar sep = on->separator();
        const QString base = sep == u'/' ? tree.root() : QString();
        for (const char *folder : {"old", "new"}) {
            SCOPED_TRACE(folder);
            const QString path = base + sep + QString::fromLatin1(folder);
            const FolderListing listing = on->listFolder(path, ListDetail::Kinds);
            ASSERT_EQ(listing.entries.size(), 1u);
            EXPECT_EQ(listing.entries[0].name, u"\u00e9.txt"_s);
            EXPECT_EQ(contentOf(on->openFile(path + sep + u"\u00e9.txt"_s)), QByteArray(folder));
        }
    }
}

TEST(HostVolume, SizesBeyondFourGibibytesAndARootThatStays)
{
    HostTree tree;
    const qint64 size = (qint64(5) << 30) + 7;
    ASSERT_TRUE(tree.file("big.iso", {}, size));
    const HostVolume volume(tree.root());
    EXPECT_EQ(volume.facts(u"\\big.iso"_s).entry.size, size);
    const FolderListing listing = volume.listFolder(u"\\"_s, ListDetail::Facts);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].size, size);

    EXPECT_EQ(volume.removeFolder(u"D:\\"_s).error, EBUSY);
    EXPECT_FALSE(volume.removeFile(u"\\"_s).ok());
    EXPECT_EQ(volume.moveFile(u"\\big.iso"_s, u"\\"_s).error, EBUSY);
    EXPECT_TRUE(tree.exists("big.iso"));
}

TEST(HostVolume, MovesAcrossFileSystemsByCopying)
{
    HostTree tree;
    QTemporaryDir other(u"/dev/shm/vorn-test-XXXXXX"_s);
    struct stat here, there;
    if (!other.isValid() || ::stat(QFile::encodeName(tree.root()).constData(), &here) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at hand";
    ASSERT_TRUE(tree.file("a", "content") && tree.touch("a", 1234567890));
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
