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
#include <random>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::HostTree;

QString sortedJoin(QStringList names)
{
    names.sort();
    return names.join(u',');
}

// What a folder object shows after reading `path`: "name@date: folders / files", each
// list sorted, the date in seconds or empty; "missing" when it does not exist (and
// shows nothing of a former listing).
QString shown(cDirectory &d, const QString &path)
{
    d.setFullPath(path);
    const QDateTime &date = d.DateCreation();
    if (!d.Exist())
        return d.FilesCount() + d.DirectoriesCount() == 0 && !date.isValid() ? u"missing"_s : u"missing, not cleared"_s;
    return d.DirectoryName() + u'@' + (date.isValid() ? QString::number(date.toSecsSinceEpoch()) : QString()) + u": "
           + sortedJoin(d.Directories()) + u" / " + sortedJoin(d.Files());
}

TEST(PathSyntax, TrailingSeparatorsComponentsAndJoins)
{
    const struct { const char *path, *trimmed, *last; } cases[] = {
        {"D:\\a\\b\\\\", "D:\\a\\b", "b"}, {"D:\\", "D:", ""}, {"D:", "D:", ""}, {"\\", "", ""},
        {"\\a", "\\a", "a"}, {"D:\\a\\.", "D:\\a\\.", "a"}, {"\\d:", "\\d:", "d:"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(removeTrailingSeparators(QString::fromLatin1(c.path)), QString::fromLatin1(c.trimmed)) << c.path;
        EXPECT_EQ(lastPathComponent(QString::fromLatin1(c.path), u'\\'), QString::fromLatin1(c.last)) << c.path;
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
    ASSERT_TRUE(tree.folder("sub") && tree.file("sub/a.txt") && tree.file("file.txt") && tree.folder("bad"));
    ASSERT_TRUE(tree.touch("sub", 1300000000) && tree.touch(".", 1400000000));
    const HostVolume host(tree.root());
    test::FaultyVolume volume(host);
    volume.failListing(u"\\bad"_s);
    const QString root = u"@: bad,sub / file.txt"_s;   // a root has no name and no date
    const struct { const char *path; QString shows; } cases[] = {
        {"D:\\", root}, {"D:", root}, {"\\", root}, {"  D:\\  ", root}, {"D:\\sub", u"sub@1300000000:  / a.txt"_s},
        {"\\missing", u"missing"_s}, {"\\file.txt", u"missing"_s}, {"\\sub\\a.txt", u"missing"_s},
        {"D:\\bad", u"missing"_s},   // exists but cannot be read
    };
    cDirectory directory(volume);   // one object: nothing of a former listing may stay
    for (const auto &c : cases) {
        directory.setFullPath(u"D:\\sub"_s);
        EXPECT_EQ(shown(directory, QString::fromLatin1(c.path)), c.shows) << c.path;
        EXPECT_EQ(directory.ReadError(), c.path == std::string("D:\\bad") ? EIO : 0) << c.path;
    }
    const HostVolume nothing(tree.root() + u"/nothing-here");
    cDirectory missingDrive(nothing);
    EXPECT_EQ(shown(missingDrive, u"E:\\"_s), u"missing"_s);
    // Host paths, without a volume.
    cDirectory onHost;
    EXPECT_EQ(shown(onHost, tree.root() + u"/sub/"), u"sub@1300000000:  / a.txt"_s);
    EXPECT_TRUE(shown(onHost, u"/"_s).startsWith(u"@: "_s));
}

TEST(cDirectory, FilterMatchesFileNamesIgnoringCaseAndDotNamesAreSkipped)
{
    HostTree tree;
    for (const char *name : {"x.ico", "Y.ICO", "x.icon", "a1.txt", "ab.txt", "README", ".hidden", "..double"})
        ASSERT_TRUE(tree.file(name));
    for (const char *name : {"folder.ico.d", ".git"})
        ASSERT_TRUE(tree.folder(name));
    const HostVolume volume(tree.root());
    const struct { const char *filter; QString files; } cases[] = {   // the filter never hides folders
        {"*.ICO", u"Y.ICO,x.ico"_s}, {"a#.txt", u"a1.txt"_s}, {"[ab]?.TXT", u"a1.txt,ab.txt"_s}, {"readme", u"README"_s},
        {"", u"README,Y.ICO,a1.txt,ab.txt,x.ico,x.icon"_s},
    };
    for (const auto &c : cases) {
        cDirectory directory(volume);
        directory.setFilter(QString::fromLatin1(c.filter));
        EXPECT_EQ(shown(directory, u"\\"_s), QString(u"@: folder.ico.d / "_s + c.files)) << c.filter;
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
    QStringList descending = ascending, folders;
    std::reverse(descending.begin(), descending.end());
    for (const QString &name : ascending)
        folders.append(u"D"_s + name);
    const HostVolume volume(tree.root());
    cDirectory plain(volume);
    plain.setFullPath(u"\\"_s);
    const struct { int order; QStringList expected; } cases[] = {
        {-1, ascending}, {1, descending}, {0, plain.Files()}, {2, plain.Files()}};
    for (const auto &c : cases) {
        cDirectory directory(volume);
        directory.setSortFiles(c.order);
        directory.setSortDirectories(-1);
        directory.setFullPath(u"\\"_s);
        EXPECT_EQ(directory.Files(), c.expected) << c.order;
        EXPECT_EQ(directory.Directories(), folders) << c.order;
    }
}

TEST(cDirectory, NamesWithAwkwardCharactersAndBytes)
{
    HostTree tree;
    const struct { QByteArray bytes; QString name, stored; } cases[] = {
        {"say \"hi\".txt", u"say \"hi\".txt"_s, u"say 'hi'.txt"_s}, {"cr\rlf\n.txt", u"cr\rlf\n.txt"_s, u"cr lf .txt"_s},
        {"\n\r\"", u"\n\r\""_s, u"  '"_s}, {"comma, kept.txt", u"comma, kept.txt"_s, u"comma, kept.txt"_s},
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
    cDirectory d(volume);
    EXPECT_EQ(shown(d, u"D:\\"_s), u"@: sub / escape"_s);
    EXPECT_EQ(shown(d, u"D:\\sub"_s).section(u':', 1), u" deeper / loop1,loop2,self"_s);
    EXPECT_EQ(shown(d, u"D:\\sub\\deeper"_s).section(u':', 1), u"  / f.txt,up"_s);
    EXPECT_EQ(shown(d, u"D:\\escape"_s), u"missing"_s);
    EXPECT_EQ(shown(d, u"D:\\sub\\self"_s), u"missing"_s);
}

TEST(cDirectory, YieldsEveryHundredFilesAndStopsWhenCancelled)
{
    HostTree tree;
    for (int i = 0; i < 250; ++i)
        ASSERT_TRUE(tree.file(QByteArray::number(i) + ".txt") && (i >= 150 || tree.folder("d" + QByteArray::number(i))));
    ASSERT_TRUE(tree.folder("few"));
    for (int i = 0; i < 99; ++i)
        ASSERT_TRUE(tree.file("few/" + QByteArray::number(i)));
    const HostVolume volume(tree.root());
    const struct { const char *path, *filter; int cancelAt, yields, files, folders; bool cancelled; } cases[] = {
        {"\\", "*", 0, 2, 250, 151, false},
        {"\\", "1*", 0, 2, 111, 151, false},   // files that do not match count too
        {"\\", "*", 1, 1, 100, -1, true},      // -1: whatever was listed before the stop
        {"\\", "*", 2, 2, 200, -1, true},
        {"\\few", "*", 1, 0, 99, 0, false},    // 99 files: never yields
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
        EXPECT_EQ(c.folders < 0 ? -1 : directory.DirectoriesCount(), c.folders);
        EXPECT_EQ(directory.WasCancelled(), c.cancelled);
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
    EXPECT_FALSE(directory.Exist() || tree.exists("empty"));
}

TEST(cFile, NameParts)
{
    const struct { const char *fullName, *parts; } cases[] = {   // path | name | extension | name without it
        {"D:\\dir\\name.tar.gz", "D:\\dir|name.tar.gz|gz|name.tar"}, {"\\README", "|README||README"},
        {"D:\\a.b\\file", "D:\\a.b|file||file"}, {"D:\\.hidden", "D:|.hidden|hidden|"}, {"name.", "|name.||name"},
        {"", "|||"}, {"/tmp/dir.d/a.b.c", "/tmp/dir.d|a.b.c|c|a.b"},
    };
    const HostVolume volume(u"/nonexistent"_s);
    for (const auto &c : cases) {
        cFile file = c.fullName[0] == '/' ? cFile() : cFile(volume);
        file.setFullName(QString::fromLatin1(c.fullName));
        EXPECT_EQ(QStringList({file.Path(), file.FileName(), file.Extension(), file.NameWithoutExtension()}).join(u'|'),
                  QString::fromLatin1(c.parts)) << c.fullName;
        EXPECT_FALSE(file.exists());
    }
}

TEST(cFile, SizeAndDateFollowTheOptions)
{
    HostTree tree;
    ASSERT_TRUE(tree.file("f.bin", "12345") && tree.touch("f.bin", 1111111111));
    ASSERT_TRUE(tree.file("big.iso", {}, (qint64(4) << 30) + 1) && tree.folder("dir"));
    const HostVolume volume(tree.root());
    const struct { int options; const char *name; bool exists; qint64 size, date; } cases[] = {
        {7, "f.bin", true, 5, 1111111111}, {3, "f.bin", true, 5, 1111111111}, {2, "f.bin", true, 5, 0},
        {1, "f.bin", true, 0, 1111111111}, {0, "f.bin", true, 0, 0}, {7, "big.iso", true, (qint64(4) << 30) + 1, -1},
        {7, "dir", false, 0, 0}, {7, "missing", false, 0, 0}, {7, "", false, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.name << " " << c.options);
        cFile file(volume);
        file.setOptions(c.options);
        file.setFullName(u"D:\\"_s + QString::fromLatin1(c.name));
        EXPECT_EQ(file.exists(), c.exists);
        EXPECT_EQ(file.FileSize(), c.size);
        const QDateTime &date = file.DateLastModification();
        EXPECT_EQ(c.date < 0 ? -1 : date.isValid() ? date.toSecsSinceEpoch() : 0, c.date);
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
    EXPECT_TRUE(file.Move(root + u"/to/").ok());
    EXPECT_EQ(file.FullName(), QString(root + u"/to/a.txt"));
    EXPECT_TRUE(file.exists() && !tree.exists("a.txt"));
    EXPECT_TRUE(file.Rename(u"b.txt"_s).ok());
    EXPECT_EQ(file.FullName(), QString(root + u"/to/b.txt"));
    EXPECT_TRUE(tree.exists("to/b.txt"));
    EXPECT_EQ(file.Rename(u"taken.txt"_s).error, EEXIST);   // never replaces a file
    EXPECT_EQ(test::readFile(root + u"/to/taken.txt"), QByteArray("t"));
    EXPECT_EQ(file.Rename(u"x/y"_s).error, EINVAL);
    cFile taken;
    taken.setFullName(root + u"/taken.txt");
    EXPECT_EQ(taken.Move(root + u"/to").error, EEXIST);
    EXPECT_EQ(test::readFile(root + u"/taken.txt"), QByteArray("mine"));
    ASSERT_EQ(::chmod(tree.bytes("to/b.txt").constData(), 0444), 0);
    EXPECT_TRUE(file.Delete().ok());
    EXPECT_FALSE(file.exists() || tree.exists("to/b.txt"));
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
    const HostVolume nothing(tree.root() + u"/nothing-here");
    const struct { const Volume *volume; QString path; PathKind kind; } cases[] = {
        {&volume, u"D:"_s, PathKind::Folder}, {&volume, u"\\dir"_s, PathKind::Folder},
        {&volume, u"D:\\dir\\f"_s, PathKind::File}, {&volume, u"\\link"_s, PathKind::File},
        {&volume, u"\\nothing"_s, PathKind::Missing}, {&volume, QString(), PathKind::Missing},
        {&nothing, u"D:"_s, PathKind::Missing}, {nullptr, tree.root() + u"/link", PathKind::Folder},   // the host follows links
    };
    for (const auto &c : cases) {
        cPath path = c.volume ? cPath(*c.volume) : cPath();
        path.setPath(c.path);
        EXPECT_EQ(path.kind(), c.kind) << c.path.toStdString();
    }
}

} // namespace
} // namespace vorn
