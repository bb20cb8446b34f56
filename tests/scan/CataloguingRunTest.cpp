#include "capture/FilterTable.h"
#include "common/DayDate.h"
#include "common/LineFields.h"
#include "common/ProfileFile.h"
#include "scan/CataloguingRun.h"
#include "scan/DescriptionsUpdate.h"
#include "scan/FaultyVolume.h"
#include "scan/IsoVolume.h"
#include "scan/ScanFixtures.h"
#include "scan/Volume.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <utime.h>
#include <zip.h>

using namespace vorn;
using namespace Qt::StringLiterals;
using Answer = UserPrompt::Answer;

namespace {

// An MP3 file: an ID3v2.3 tag with title and artist, then an MPEG frame header.
QByteArray mp3(const QByteArray &title, const QByteArray &artist)
{
    const auto size = [](int n, int bits) {
        QByteArray out;
        for (int shift = 3 * bits; shift >= 0; shift -= bits)
            out += char((n >> shift) & ((1 << bits) - 1));
        return out;
    };
    const auto frame = [&](const char *id, const QByteArray &text) -> QByteArray {
        return id + size(int(text.size()) + 1, 8) + QByteArray(3, '\0') + text;
    };
    const QByteArray body = frame("TIT2", title) + frame("TPE1", artist);
    return QByteArray("ID3\x03\x00\x00", 6) + size(int(body.size()), 7) + body + "\xff\xfb\x90\x64" + QByteArray(400, '\0');
}

// A ZIP file made with libzip: (name, content) pairs in order.
QByteArray zipOf(const std::vector<std::pair<const char *, QByteArray>> &members)
{
    QTemporaryDir dir;
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(dir.filePath("z.zip")).constData(), ZIP_CREATE, &code);
    for (const auto &[name, content] : members)
        zip_file_add(archive, name, zip_source_buffer(archive, content.constData(), zip_uint64_t(content.size()), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(archive);
    return test::readFile(dir.filePath("z.zip"));
}

struct Line { QString name; qint64 owner, size; DescriptionTriple descriptions; qint64 link; };

// The file list read back with the plain field reader, not with the tree-file code.
std::vector<Line> fileLines(const QString &path)
{
    std::vector<Line> lines;
    forEachLine(test::readFile(path), [&](QByteArrayView line) {
        const LineFields f(line);
        lines.push_back({f.text(0), f.integer(1), f.integer(2), TreeFiles::splitDescriptions(f.text(4)), f.integer(5)});
        return true;
    });
    lines.erase(lines.begin());   // the header
    return lines;
}

class CataloguingRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().identifier = "1";
        catalogue.discs.back().name = "Already there";
    }

    void file(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(test::writeFile(disc.filePath(relative), bytes));
    }

    // Appends the disc's record as the cataloguing dialog does, then runs.
    bool run(qint32 options, qint64 maxSize, const Volume *volume = nullptr)
    {
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().identifier = "77";
        catalogue.current = catalogue.discCount();
        const HostVolume host(disc.path());
        return CataloguingRun(catalogue, volume ? *volume : host, filters, observer).run({"77", options, maxSize, true});
    }

    QString working(const char *extension) const { return catalogue.workingCopy("77", QString::fromLatin1(extension)); }

    QTemporaryDir disc, data, temp;
    Catalogue catalogue;
    FilterTable filters = BuildFilterTable(u"*.TXT;README;", u"*.ZIP;", u"*.CAB;", u"*.RAR;");
    test::RecordingObserver observer;
};

TEST_F(CataloguingRunTest, FoldersBreadthFirstSortedOddNamesAndDotNamesSkipped)
{
    for (const auto &[name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"b/z/deep.dat", "1"}, {"B2/file.dat", "22"}, {"a/y.dat", "333"}, {"a/x/inner.dat", "4444"},
             {".hidden/secret.dat", "5"}, {".dotfile", "6"}, {"Root.DAT", ""}, {"root2.dat", "7"},
             {"quote\"name.dat", "q"}, {"comma,name.dat", "c"}, {"line\nbreak.dat", "l"}, {"blank /in.dat", "8"}})
        file(name, bytes);
    QFile huge(disc.filePath("huge.iso"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(5LL << 30));   // sparse: costs no disk space
    const QDateTime when(QDate(2001, 5, 6), QTime(12, 0));
    const utimbuf times{when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
    ASSERT_EQ(utime(QFile::encodeName(disc.filePath("a")).constData(), &times), 0);

    ASSERT_TRUE(run(0, 0));
    const QByteArray rep = test::readFile(working(".rep"));
    QStringList folders;
    forEachLine(rep, [&](QByteArrayView line) {
        folders << QStringLiteral("%1:%2%3").arg(LineFields(line).text(0)).arg(LineFields(line).integer(1))
                       .arg(line.endsWith(",\"\"") ? "" : " described");
        return true;
    });
    EXPECT_EQ(folders, QStringList({"/VORN_Rep/:200", "a:0", "b:0", "B2:0", "blank :0", "x:1", "z:2"}));
    EXPECT_TRUE(rep.contains(QByteArray("\"a\",0," + formatNumber(dayNumberFromDateTime(when)))));

    QStringList files;
    for (const Line &l : fileLines(working(".fic")))
        files << QStringLiteral("%1@%2=%3").arg(l.name).arg(l.owner).arg(l.size);
    EXPECT_EQ(files, QStringList({"comma,name.dat@0=1", "huge.iso@0=5368709120", "line break.dat@0=1",
                                  "quote'name.dat@0=1", "Root.DAT@0=0", "root2.dat@0=1", "y.dat@1=3",
                                  "file.dat@3=2", "in.dat@4=1", "inner.dat@5=4", "deep.dat@6=1"}));
    EXPECT_EQ(catalogue.memberFlags, 567);
    EXPECT_TRUE(QFile::exists(working(".text")) && QFile::exists(working(".id3")));
    EXPECT_EQ(catalogue.discCount(), 2);
}

TEST_F(CataloguingRunTest, TextsAtTheSizeLimitFirstLinesAndMp3Tags)
{
    const QByteArray exact = QByteArray("Hello\r\n").append(QByteArray(193, 'w'));
    const qint64 limit = exact.size();
    for (const auto &[name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"A_EXACT.TXT", exact}, {"B_OVER.TXT", exact + "!"}, {"C_NOCR.TXT", "one line without a break"},
             {"D_EMPTY.TXT", ""}, {"E_QUOTES.TXT", "  say \"hi\" there \r\nmore"},
             {"F_LONG.TXT", QByteArray(150, 'x') + "\r\n"}, {"readme", "plain\r\n"}, {"G_NOT_TEXT.DAT", "data\r\n"},
             {"Song.mp3", mp3("Morning", "The Band")}, {"sub/Quiet.MP3", mp3("", "")},
             {QString("d/").repeated(110) + "bottom.dat", "b"}})
        file(name, bytes);

    ASSERT_TRUE(run(1 | 2, limit));
    QStringList shown;   // name, text number, automatic description
    for (const Line &l : fileLines(working(".fic")))
        shown << QStringLiteral("%1|%2|%3").arg(l.name).arg(l.link).arg(l.descriptions.automatic);
    EXPECT_EQ(shown, QStringList({"A_EXACT.TXT|1|Hello", "B_OVER.TXT|0|", "C_NOCR.TXT|2|", "D_EMPTY.TXT|0|",
                                  "E_QUOTES.TXT|3|say 'hi' there ", "F_LONG.TXT|4|" + QString(99, u'x'),
                                  "G_NOT_TEXT.DAT|0|", "readme|5|plain", "Song.mp3|0|[MP3] The Band : Morning",
                                  "Quiet.MP3|0|[MP3] ", "bottom.dat|0|"}));
    ProfileFile tags;
    ASSERT_TRUE(tags.load(working(".id3")));
    EXPECT_EQ(tags.sections(), QStringList({"8", "9"}));   // by file number
    EXPECT_EQ(tags.value("8", "TIT"), "Morning");
    EXPECT_EQ(tags.value("8", "ART"), "The Band");
    EXPECT_EQ(TreeFiles::readFolderFile(working(".rep")).value_or(std::vector<FolderRecord>()).size(), 112u);

    // The store, read by byte offsets: text 1 is the whole exact file and its CRLF.
    const QByteArray store = test::readFile(working(".text"));
    ProfileFile profile;
    profile.parse(store.left(store.indexOf("\r\n\r\n") + 4));
    const qint64 h = profile.value("TxtSize", "Size").toLongLong();
    EXPECT_EQ(store.mid(h + 2, exact.size() + 2), exact + "\r\n");
    EXPECT_TRUE(store.contains(QByteArray(QByteArray::number(limit + 2) + ";")));
    EXPECT_FALSE(store.contains(QByteArray(QByteArray::number(limit + 3) + ";")));
}

// Names and kinds a Linux folder may hold: nothing is opened but regular files.
TEST_F(CataloguingRunTest, LinuxFolderCataloguesInOneRunWithEveryTextCaptured)
{
    for (const char *pipe : {"pipe.txt", "pipe.mp3", "pipe.zip"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(disc.filePath(pipe)).constData(), 0644), 0);
    file("crlf.txt", "Windows\r\nline two");
    file("lf.txt", "Linux\nline two\n");
    file("e\\f/in.txt", "Inside\r\n");
    file("a\\b.txt", "Backslash\r\n");
    file("tab\there.txt", "Tab\r\n");

    ASSERT_TRUE(run(1 | 2 | 4 | 8, 1024));
    EXPECT_TRUE(observer.scripted.questions.isEmpty());
    const QString wide(kStoredBackslash);
    EXPECT_EQ(TreeFiles::readFolderFile(working(".rep")).value_or(std::vector<FolderRecord>()).at(1).name, "e" + wide + "f");
    QStringList shown;   // name, owner, text number, automatic description
    for (const Line &l : fileLines(working(".fic")))
        shown << QStringLiteral("%1|%2|%3|%4").arg(l.name).arg(l.owner).arg(l.link).arg(l.descriptions.automatic);
    EXPECT_EQ(shown, QStringList({"a" + wide + "b.txt|0|1|Backslash", "crlf.txt|0|2|Windows", "lf.txt|0|3|Linux",
                                  "pipe.mp3|0|0|[MP3] ", "pipe.txt|0|0|", "pipe.zip|0|0|", "tab\there.txt|0|4|Tab",
                                  "in.txt|1|5|Inside"}));
    // Opening a stored path later (shell open) reaches the real host name.
    EXPECT_EQ(HostVolume(disc.path()).hostPath("\\e" + wide + "f\\in.txt"), disc.filePath("e\\f/in.txt"));
}

TEST_F(CataloguingRunTest, CancellingLeavesTheDiscArrayAndTemporaryFolderAsBefore)
{
    for (int i = 0; i < 450; ++i)
        file(QStringLiteral("f%1.dat").arg(i), "x");
    observer.cancelAtYield = 4;
    EXPECT_FALSE(run(1, 1024));
    EXPECT_EQ(catalogue.discCount(), 1);
    EXPECT_EQ(catalogue.disc(1).name, "Already there");
    EXPECT_EQ(catalogue.current, 0);
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(observer.progressTexts.last().contains(LoadText(356)));
}

TEST_F(CataloguingRunTest, UnreadableFolderAsksToRetry)
{
    file("bad/inside.dat", "1");
    file("good.dat", "2");
    const HostVolume host(disc.path());
    const struct { std::deque<Answer> answers; bool completed; int files; } cases[] = {
        {{Answer::Yes, Answer::Yes}, true, 2},   // third try reads the folder
        {{Answer::No}, true, 1},                 // the folder stays empty
        {{Answer::Cancel}, false, 0},            // clean-up as for a cancel
    };
    for (const auto &c : cases) {
        test::FaultyVolume flaky(host);
        flaky.failListing("bad", EIO, 2);
        observer.scripted.answers = c.answers;
        observer.scripted.questions.clear();
        catalogue.discs.resize(2);
        EXPECT_EQ(run(0, 0, &flaky), c.completed);
        EXPECT_TRUE(observer.scripted.questions.first().startsWith(LoadText(303)));
        EXPECT_TRUE(observer.scripted.questions.first().endsWith("\n\\bad\\"));
        EXPECT_EQ(catalogue.discCount(), c.completed ? 2 : 1);
        ASSERT_EQ(QFile::exists(working(".fic")), c.completed);
        if (c.completed) {
            EXPECT_EQ(int(fileLines(working(".fic")).size()), c.files);
        }
    }
}

TEST_F(CataloguingRunTest, DescriptionsUpdateKeepsWhatTheUserTyped)
{
    file("Docs/NOTES.TXT", "Notes\r\nabout the disc");
    file("Docs/keep.dat", "k");
    file("Music/Song.mp3", mp3("Song", "Singer"));
    ASSERT_TRUE(run(1 | 2, 10240));
    ASSERT_TRUE(writeRecord(catalogue, catalogue.disc(2), 4));

    // The user describes a folder and two files; one of them matches its automatic text.
    DiscTree tree{*TreeFiles::readFolderFile(working(".rep")), *TreeFiles::readFileList(working(".fic"))};
    tree.folders[1].description = "Documents folder";
    for (FileRecord &f : tree.files)
        f.descriptions.user = f.name == "keep.dat" ? "Mine" : f.name == "NOTES.TXT" ? "Notes" : "";
    ASSERT_TRUE(TreeFiles::rewriteFolderFile(catalogue, "77", tree) && TreeFiles::rewriteFileList(catalogue, "77", tree));
    catalogue.memberFlags = 2 | 4;
    ASSERT_TRUE(writeRecord(catalogue, catalogue.disc(2), 4));

    // The disc changes: the MP3 file is gone, a file is added.
    QDir(disc.filePath("Music")).removeRecursively();
    file("Docs/added.dat", "a");
    for (const char *ext : {".rep", ".fic", ".text", ".id3"})
        QFile::remove(working(ext));
    observer.scripted.answers = {Answer::Yes};
    const HostVolume host(disc.path());
    const DescriptionsUpdateOutcome outcome = updateDescriptions(catalogue, 2, host, filters, 1 | 2, 10240, observer);
    ASSERT_TRUE(outcome.completed) << outcome.error.toStdString();
    EXPECT_EQ(outcome.restored, 2);
    EXPECT_EQ(catalogue.discCount(), 2);

    ASSERT_TRUE(DiscArchive::unpack(catalogue, "77", ".rep;.fic;.id3;"));
    EXPECT_EQ((*TreeFiles::readFolderFile(working(".rep")))[1].description, "Documents folder");
    QStringList users;
    for (const FileRecord &f : TreeFiles::readFileList(working(".fic")).value_or(std::vector<FileRecord>()))
        users << f.name + u'=' + f.descriptions.user;
    // NOTES.TXT's description equals its automatic text: not kept as the user's.
    EXPECT_EQ(users, QStringList({"added.dat=", "keep.dat=Mine", "NOTES.TXT="}));
    EXPECT_EQ(test::readFile(working(".id3")), "");  // no tags of a file that is gone
}

TEST_F(CataloguingRunTest, ArchiveMembersFollowTheirArchiveWithTextsAndTags)
{
    file("A.ZIP", zipOf({{"docs/README.TXT", "Packed notes\r\nline two"}, {"music/Song.mp3", mp3("Inside", "Zipped")},
                         {"big/LARGE.TXT", QByteArray(5000, 'L')}}));
    file("B.ZIP", zipOf({}));   // no members
    file("C.zip", "not a zip at all");
    file("D.ZIP", zipOf({{"x.dat", "x"}}));

    ASSERT_TRUE(run(1 | 2 | 4 | 8, 1024));
    QStringList shown;
    for (const Line &l : fileLines(working(".fic")))
        shown << QStringLiteral("%1|%2|%3|%4|%5").arg(l.name).arg(l.owner).arg(l.link)
                     .arg(l.descriptions.automatic, l.descriptions.archivePath);
    const QString summary = LoadText(378).chopped(2);
    EXPECT_EQ(shown, QStringList({"A.ZIP|0|-999999999|" + summary + " 3|", "README.TXT|-999999999|1|Packed notes|docs",
                                  "Song.mp3|-999999999|0|[MP3] Zipped : Inside|music", "LARGE.TXT|-999999999|0||big",
                                  "B.ZIP|0|0||", "C.zip|0|0||", "D.ZIP|0|-6|" + summary + " 1|", "x.dat|-6|0||"}));
    ProfileFile tags;
    ASSERT_TRUE(tags.load(working(".id3")));
    EXPECT_EQ(tags.sections(), QStringList({"2"}));
    EXPECT_EQ(tags.value("2", "TIT"), "Inside");
    const QByteArray store = test::readFile(working(".text"));
    EXPECT_TRUE(store.contains("Packed notes\r\nline two\r\n"));
    EXPECT_FALSE(store.contains("LLLL"));
    // Nothing of the members was left in the temporary folder.
    QStringList left = QDir(temp.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, QStringList({"77.fic", "77.id3", "77.rep", "77.text"}));
}

TEST_F(CataloguingRunTest, ImageCataloguesAsTheFolderItWasMadeFrom)
{
    if (!test::hasGenisoimage())
        GTEST_SKIP() << "genisoimage is not installed";
    file("readme.txt", "Hello from the image\r\nsecond line");
    file(u"A rather long name, with spaces & odd letters \u00e9 \u00fc \u00f1 \u2014 and more (1).dat"_s, "odd");
    file("nested/deeper/notes.txt", "Deep notes");
    file("nested/empty.dat", "");
    file("A.ZIP", zipOf({{"docs/README.TXT", "Packed notes"}}));
    file("song.mp3", mp3("Title", "Artist"));
    const utimbuf times{1'200'000'000, 1'200'000'000};
    for (QDirIterator it(disc.path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
        ASSERT_EQ(utime(QFile::encodeName(it.next()).constData(), &times), 0);
    const auto outputs = [&] {
        return QByteArrayList{test::readFile(working(".rep")), test::readFile(working(".fic")),
                              test::readFile(working(".text")), test::readFile(working(".id3"))};
    };
    ASSERT_TRUE(run(1 | 2 | 4 | 8, 1024));
    const QByteArrayList fromFolder = outputs();
    ASSERT_TRUE(fromFolder[2].contains("Deep notes") && fromFolder[3].contains("Artist"));

    // Rock Ridge names beside Joliet names (cut to 64 characters without -joliet-long),
    // then Rock Ridge names alone: the whole names, as Linux shows the mounted image.
    QTemporaryDir images;
    for (const QStringList &options : {QStringList{"-J", "-R", "-joliet-long"}, QStringList{"-J", "-R"}, QStringList{"-R"}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const QString image = images.filePath(u"disc.iso"_s);
        ASSERT_TRUE(test::makeIsoImage(disc.path(), image, options));
        const IsoOpening opening = IsoVolume::open(image);
        ASSERT_NE(opening.volume, nullptr) << opening.message.toStdString();
        catalogue.discs.pop_back();
        ASSERT_TRUE(run(1 | 2 | 4 | 8, 1024, opening.volume.get()));
        EXPECT_EQ(outputs(), fromFolder);
    }
}

} // namespace
