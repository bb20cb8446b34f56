#include "scan/FaultyVolume.h"
#include "scan/PathSyntax.h"
#include "scan/ScanFixtures.h"
#include "scan/StoredName.h"
#include "scan/Volume.h"
#include "scan/cDirectory.h"
#include "scan/cFile.h"
#include "scan/cPath.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <random>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::HostTree;

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

TEST(PathSyntax, TrailingSeparatorsComponentsAndJoins)
{
    const struct { const char *path, *trimmed, *last; } cases[] = {
        {"D:\\a\\b\\\\", "D:\\a\\b", "b"}, {"D:\\", "D:", ""}, {"D:", "D:", ""}, {"\\", "", ""},
        {"\\a", "\\a", "a"}, {"D:\\a\\.", "D:\\a\\.", "a"}, {"\\d:", "\\d:", "d:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(removeTrailingSeparators(QString::fromLatin1(c.path)), QString::fromLatin1(c.trimmed));
        EXPECT_EQ(lastPathComponent(QString::fromLatin1(c.path), u'\\'), QString::fromLatin1(c.last));
    }
    EXPECT_EQ(lastPathComponent(u"/", u'/'), QString());
    EXPECT_EQ(lastPathComponent(u"C:", u'/'), u"C:"_s); // no drive prefixes on the host
    EXPECT_EQ(joinPath(u"D:\\"_s, u"x"_s), u"D:\\x"_s);
    EXPECT_EQ(joinPath(u"/"_s, u"x"_s, u'/'), u"/x"_s);
    EXPECT_EQ(pathComponents(u"D:\\\\a\\.\\b\\", u'\\'), QStringList({u"a"_s, u"b"_s}));
}

TEST(cDirectory, WhatAPathNames)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("sub") && tree.file("sub/a.txt") && tree.file("file.txt"));
    ASSERT_TRUE(tree.touch("sub", 1300000000) && tree.touch(".", 1400000000));
    const HostVolume volume(tree.root());
    const HostVolume missingDrive(tree.root() + u"/nothing-here");
    const struct { const Volume *volume; const char *path; bool exists; const char *name; qint64 date; int items; } cases[] = {
        {&volume, "D:\\", true, "", 0, 2}, {&volume, "D:", true, "", 0, 2}, {&volume, "\\", true, "", 0, 2},
        {&volume, "  D:\\  ", true, "", 0, 2},      // a root has no name and no date
        {&volume, "D:\\sub", true, "sub", 1300000000, 1},
        {&volume, "\\missing", false, "", 0, 0}, {&volume, "\\file.txt", false, "", 0, 0},
        {&volume, "\\sub\\a.txt", false, "", 0, 0}, {&missingDrive, "E:\\", false, "", 0, 0},
    };
    cDirectory directory(volume);   // one object: nothing of a former listing may stay
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        if (c.volume != &volume)
            directory = cDirectory(*c.volume);
        directory.setFullPath(QString::fromLatin1(c.path));
        EXPECT_EQ(directory.Exist(), c.exists);
        if (c.exists) {
            EXPECT_EQ(directory.DirectoryName(), QString::fromLatin1(c.name));
        }
        EXPECT_EQ(directory.DateCreation().isValid() ? directory.DateCreation().toSecsSinceEpoch() : 0, c.date);
        EXPECT_EQ(directory.FilesCount() + directory.DirectoriesCount(), c.items);
    }
    // Host paths, without a volume.
    cDirectory host;
    host.setFullPath(tree.root() + u"/sub/");
    EXPECT_EQ(host.DirectoryName(), u"sub"_s);
    EXPECT_EQ(host.DateCreation().toSecsSinceEpoch(), 1300000000);
    EXPECT_EQ(host.Files(), QStringList{u"a.txt"_s});
    host.setFullPath(u"/"_s);
    EXPECT_TRUE(host.Exist());
    EXPECT_EQ(host.DirectoryName(), QString());
    EXPECT_FALSE(host.DateCreation().isValid());
}

TEST(cDirectory, FilterMatchesFileNamesIgnoringCaseAndDotNamesAreSkipped)
{
    HostTree tree;
    for (const char *name : {"x.ico", "Y.ICO", "x.icon", "a1.txt", "ab.txt", "b.txt", "README", ".hidden", "..double"})
        ASSERT_TRUE(tree.file(name));
    for (const char *name : {"folder.ico.d", "nomatch", ".git"})
        ASSERT_TRUE(tree.folder(name));
    const HostVolume volume(tree.root());
    const struct { const char *filter; QStringList files; } cases[] = {
        {"*.ICO", {u"Y.ICO"_s, u"x.ico"_s}},
        {"a#.txt", {u"a1.txt"_s}},
        {"[ab]?.TXT", {u"a1.txt"_s, u"ab.txt"_s}},
        {"readme", {u"README"_s}},
        {"", {u"README"_s, u"Y.ICO"_s, u"a1.txt"_s, u"ab.txt"_s, u"b.txt"_s, u"x.icon"_s, u"x.ico"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.filter);
        cDirectory directory(volume);
        directory.setFilter(QString::fromLatin1(c.filter));
        directory.setFullPath(u"\\"_s);
        EXPECT_EQ(sorted(directory.Files()), sorted(c.files));
        // The filter never hides folders.
        EXPECT_EQ(sorted(directory.Directories()), QStringList({u"folder.ico.d"_s, u"nomatch"_s}));
        EXPECT_EQ(directory.Filter(), c.filter[0] ? QString::fromLatin1(c.filter) : u"*"_s);
    }
}

TEST(cDirectory, SortsByNameIgnoringCase)
{
    HostTree tree;
    const QStringList ascending = {u"10"_s, u"9"_s, u"A.txt"_s, u"a.txt"_s, u"apple"_s, u"b.txt"_s,
                                   u"Zebra"_s, u"\u00e9clair"_s, u"\u00c9clat"_s, u"\u00e9t\u00e9"_s};
    QStringList scrambled = ascending;   // the platform order is whatever the folder gives
    std::shuffle(scrambled.begin(), scrambled.end(), std::mt19937(7));
    for (const QString &name : scrambled)
        ASSERT_TRUE(tree.file(name.toUtf8()) && tree.folder("D" + name.toUtf8()));
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QStringList folders;
    for (const QString &name : ascending)
        folders.append(u"D"_s + name);

    const HostVolume volume(tree.root());
    cDirectory plain(volume);
    plain.setFullPath(u"\\"_s);
    const struct { int order; QStringList expected; } cases[] = {
        {-1, ascending}, {1, descending}, {0, plain.Files()}, {2, plain.Files()}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.order);
        cDirectory directory(volume);
        directory.setSortFiles(c.order);
        directory.setSortDirectories(-1);
        directory.setFullPath(u"\\"_s);
        EXPECT_EQ(directory.Files(), c.expected);
        EXPECT_EQ(directory.Directories(), folders);
    }
}

TEST(cDirectory, NamesWithAwkwardCharactersAndBytes)
{
    HostTree tree;
    const struct { QByteArray bytes; QString name; QString stored; } cases[] = {
        {"say \"hi\".txt", u"say \"hi\".txt"_s, u"say 'hi'.txt"_s},
        {"cr\rlf\n.txt", u"cr\rlf\n.txt"_s, u"cr lf .txt"_s},
        {"\n\r\"", u"\n\r\""_s, u"  '"_s},
        {"comma, kept.txt", u"comma, kept.txt"_s, u"comma, kept.txt"_s},
        {"\xE9t\xE9.txt", u"\u00e9t\u00e9.txt"_s, u"\u00e9t\u00e9.txt"_s},
    };
    for (const auto &c : cases)
        ASSERT_TRUE(tree.file(c.bytes, c.bytes + "!"));
    const HostVolume volume(tree.root());
    cDirectory directory(volume);
    directory.setFullPath(u"D:\\"_s);
    ASSERT_EQ(directory.FilesCount(), int(std::size(cases)));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_TRUE(directory.Files().contains(c.name));
        cFile file(volume);
        file.setFullName(u"D:\\" + c.name);
        EXPECT_EQ(file.FileSize(), c.bytes.size() + 1);
        EXPECT_EQ(storedName(c.name), c.stored);
    }
}

TEST(cDirectory, LinksAreListedAsFilesAndNeverEntered)
{
    HostTree tree;
    QTemporaryDir outside;
    ASSERT_TRUE(tree.folder("sub") && tree.folder("sub/deeper") && tree.file("sub/deeper/f.txt"));
    ASSERT_TRUE(tree.link("..", "sub/deeper/up") && tree.link(".", "sub/self"));
    ASSERT_TRUE(tree.link("loop2", "sub/loop1") && tree.link("loop1", "sub/loop2"));
    ASSERT_TRUE(tree.link(QFile::encodeName(outside.path()), "escape"));
    const HostVolume volume(tree.root());

    // Walk the whole drive the way a cataloguing run does.
    QStringList folders, files;
    std::deque<QString> queue{u"D:\\"_s};
    while (!queue.empty() && folders.size() < 100) {
        cDirectory directory(volume);
        directory.setFullPath(queue.front());
        queue.pop_front();
        ASSERT_TRUE(directory.Exist()) << directory.FullPath().toStdString();
        folders.append(directory.FullPath());
        for (const QString &name : directory.Files())
            files.append(joinPath(directory.FullPath(), name));
        for (const QString &name : directory.Directories())
            queue.push_back(joinPath(directory.FullPath(), name));
    }
    EXPECT_EQ(folders, QStringList({u"D:\\"_s, u"D:\\sub"_s, u"D:\\sub\\deeper"_s}));
    EXPECT_EQ(sorted(files), sorted({u"D:\\escape"_s, u"D:\\sub\\self"_s, u"D:\\sub\\loop1"_s, u"D:\\sub\\loop2"_s,
                                     u"D:\\sub\\deeper\\f.txt"_s, u"D:\\sub\\deeper\\up"_s}));
    cDirectory escape(volume);
    escape.setFullPath(u"D:\\escape"_s);
    EXPECT_FALSE(escape.Exist());
}

TEST(cDirectory, AnUnreadableFolderDoesNotExist)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("bad") && tree.file("bad/a.txt") && tree.folder("good"));
    const HostVolume host(tree.root());
    test::FaultyVolume volume(host);
    volume.failListing(u"\\bad"_s);
    cDirectory root(volume);
    root.setSortDirectories(-1);
    root.setFullPath(u"D:\\"_s);
    EXPECT_EQ(root.Directories(), QStringList({u"bad"_s, u"good"_s}));
    root.setFullPath(u"D:\\bad"_s);
    EXPECT_FALSE(root.Exist());
    EXPECT_EQ(root.ReadError(), EIO);
    EXPECT_EQ(root.FilesCount(), 0);
    EXPECT_FALSE(root.DateCreation().isValid());
    root.setFullPath(u"D:\\good"_s);
    EXPECT_TRUE(root.Exist());
    EXPECT_EQ(root.ReadError(), 0);
}

TEST(cDirectory, YieldsEveryHundredFilesAndStopsWhenCancelled)
{
    HostTree tree;
    for (int i = 0; i < 250; ++i)
        ASSERT_TRUE(tree.file(QByteArray::number(i) + ".txt"));
    for (int i = 0; i < 150; ++i)
        ASSERT_TRUE(tree.folder("d" + QByteArray::number(i)));
    ASSERT_TRUE(tree.folder("few"));
    for (int i = 0; i < 99; ++i)
        ASSERT_TRUE(tree.file("few/" + QByteArray::number(i)));
    const HostVolume volume(tree.root());
    const struct { const char *path, *filter; int cancelAt, yields, files; bool cancelled; } cases[] = {
        {"\\", "*", 0, 2, 250, false},
        {"\\", "1*", 0, 2, 111, false},    // files that do not match count too
        {"\\", "*", 1, 1, 100, true},
        {"\\", "*", 2, 2, 200, true},
        {"\\few", "*", 1, 0, 99, false},   // 99 files: never yields
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.path << " " << c.filter << " cancel at " << c.cancelAt);
        test::RecordingObserver observer;
        observer.cancelAtYield = c.cancelAt;
        cDirectory directory(volume, &observer);
        directory.setFilter(QString::fromLatin1(c.filter));
        directory.setFullPath(QString::fromLatin1(c.path));
        EXPECT_TRUE(directory.Exist());
        EXPECT_EQ(observer.yields, c.yields);
        EXPECT_EQ(directory.FilesCount(), c.files);
        EXPECT_EQ(directory.WasCancelled(), c.cancelled);
        if (!c.cancelled && c.path[1] == '\0') {
            EXPECT_EQ(directory.DirectoriesCount(), 151);
        }
    }
}

TEST(cDirectory, DeleteDirectoryRemovesOnlyAnEmptyFolder)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("empty") && tree.folder("full") && tree.file("full/x"));
    cDirectory directory;
    directory.setFullPath(tree.root() + u"/full/");
    EXPECT_FALSE(directory.DeleteDirectory());
    EXPECT_EQ(directory.Files(), QStringList{u"x"_s});
    directory.setFullPath(tree.root() + u"/empty");
    EXPECT_TRUE(directory.DeleteDirectory());
    EXPECT_FALSE(directory.Exist());
    EXPECT_FALSE(tree.exists("empty"));
}

TEST(cFile, NameParts)
{
    const struct { const char *fullName, *path, *name, *extension, *withoutExtension; } cases[] = {
        {"D:\\dir\\name.tar.gz", "D:\\dir", "name.tar.gz", "gz", "name.tar"},
        {"\\README", "", "README", "", "README"},
        {"D:\\a.b\\file", "D:\\a.b", "file", "", "file"},
        {"D:\\.hidden", "D:", ".hidden", "hidden", ""},
        {"name.", "", "name.", "", "name"},
        {"", "", "", "", ""},
    };
    const HostVolume volume(u"/nonexistent"_s);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fullName);
        cFile file(volume);
        file.setFullName(QString::fromLatin1(c.fullName));
        EXPECT_EQ(file.Path(), QString::fromLatin1(c.path));
        EXPECT_EQ(file.FileName(), QString::fromLatin1(c.name));
        EXPECT_EQ(file.Extension(), QString::fromLatin1(c.extension));
        EXPECT_EQ(file.NameWithoutExtension(), QString::fromLatin1(c.withoutExtension));
        EXPECT_FALSE(file.exists());
    }
    cFile host;
    host.setFullName(u"/tmp/dir.d/a.b.c"_s);
    EXPECT_EQ(host.Path(), u"/tmp/dir.d"_s);
    EXPECT_EQ(host.Extension(), u"c"_s);
}

TEST(cFile, SizeAndDateFollowTheOptions)
{
    HostTree tree;
    ASSERT_TRUE(tree.file("f.bin", "12345") && tree.touch("f.bin", 1111111111));
    ASSERT_TRUE(tree.file("big.iso", {}, (qint64(4) << 30) + 1) && tree.folder("dir"));
    const HostVolume volume(tree.root());
    const struct { int options; qint64 size; bool dated; } cases[] = {
        {7, 5, true}, {3, 5, true}, {2, 5, false}, {1, 0, true}, {0, 0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options);
        cFile file(volume);
        file.setOptions(c.options);
        file.setFullName(u"D:\\f.bin"_s);
        EXPECT_TRUE(file.exists());
        EXPECT_EQ(file.FileSize(), c.size);
        EXPECT_EQ(file.DateLastModification().isValid() ? file.DateLastModification().toSecsSinceEpoch() : 0,
                  c.dated ? 1111111111 : 0);
    }
    cFile file(volume);
    file.setFullName(u"D:\\big.iso"_s);
    EXPECT_EQ(file.FileSize(), (qint64(4) << 30) + 1);
    for (const char *notAFile : {"D:\\dir", "D:\\missing", "D:\\"}) {
        SCOPED_TRACE(notAFile);
        file.setFullName(QString::fromLatin1(notAFile));
        EXPECT_FALSE(file.exists());
        EXPECT_EQ(file.FileSize(), 0);
        EXPECT_FALSE(file.DateLastModification().isValid());
    }
}

TEST(cFile, MoveRenameAndDelete)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("to") && tree.file("a.txt", "a") && tree.file("to/taken.txt", "t"));
    ASSERT_TRUE(tree.file("taken.txt", "mine"));
    const QString root = tree.root();
    cFile file;
    file.setFullName(root + u"/a.txt");
    EXPECT_EQ(file.Move(root + u"/missing-folder").error, ENOENT);
    EXPECT_EQ(file.FullName(), QString(root + u"/a.txt"));
    EXPECT_TRUE(file.exists());
    EXPECT_TRUE(file.Move(root + u"/to/").ok());
    EXPECT_EQ(file.FullName(), QString(root + u"/to/a.txt"));
    EXPECT_TRUE(file.exists());
    EXPECT_FALSE(tree.exists("a.txt"));
    EXPECT_TRUE(file.Rename(u"b.txt"_s).ok());
    EXPECT_EQ(file.FullName(), QString(root + u"/to/b.txt"));
    EXPECT_TRUE(tree.exists("to/b.txt"));
    EXPECT_EQ(file.Rename(u"taken.txt"_s).error, EEXIST);
    EXPECT_EQ(test::readFile(root + u"/to/taken.txt"), QByteArray("t"));
    EXPECT_EQ(file.Rename(u"x/y"_s).error, EINVAL);
    cFile taken;
    taken.setFullName(root + u"/taken.txt");
    EXPECT_EQ(taken.Move(root + u"/to").error, EEXIST);
    EXPECT_EQ(test::readFile(root + u"/taken.txt"), QByteArray("mine"));
    ASSERT_EQ(::chmod(tree.bytes("to/b.txt").constData(), 0444), 0);
    EXPECT_TRUE(file.Delete().ok());
    EXPECT_FALSE(file.exists());
    EXPECT_FALSE(tree.exists("to/b.txt"));
    EXPECT_EQ(file.Delete().error, ENOENT);

    // Failures of the volume are reported and leave the object where it was.
    const HostVolume host(root);
    test::FaultyVolume volume(host);
    volume.failChange(u"\\taken.txt"_s, EACCES);
    cFile refused(volume);
    refused.setFullName(u"D:\\taken.txt"_s);
    EXPECT_EQ(refused.Delete().error, EACCES);
    EXPECT_TRUE(refused.exists());
    EXPECT_EQ(refused.Rename(u"b.txt"_s).error, EACCES);
    EXPECT_EQ(refused.FullName(), u"D:\\taken.txt"_s);
}

TEST(cPath, Kinds)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("dir") && tree.file("dir/f") && tree.link("dir", "link"));
    const HostVolume volume(tree.root());
    const struct { const char *path; PathKind kind; } cases[] = {
        {"D:", PathKind::Folder}, {"\\dir", PathKind::Folder}, {"D:\\dir\\f", PathKind::File},
        {"\\link", PathKind::File}, {"\\nothing", PathKind::Missing}, {"", PathKind::Missing},
    };
    for (const auto &c : cases) {
        cPath path(volume);
        path.setPath(QString::fromLatin1(c.path));
        EXPECT_EQ(path.kind(), c.kind) << c.path;
    }
    cPath host;
    host.setPath(tree.root() + u"/link");
    EXPECT_EQ(host.kind(), PathKind::Folder);
    EXPECT_EQ(pathKind(HostVolume(tree.root() + u"/nothing-here"), u"D:"_s), PathKind::Missing);
}

} // namespace
} // namespace vorn
