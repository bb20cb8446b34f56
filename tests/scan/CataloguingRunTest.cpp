#include "capture/FilterTable.h"
#include "common/DayDate.h"
#include "common/LineFields.h"
#include "common/ProfileFile.h"
#include "scan/FaultyVolume.h"
#include "scan/CataloguingRun.h"
#include "scan/DescriptionsUpdate.h"
#include "scan/Volume.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <zip.h>
#include <utime.h>

using namespace vorn;
using Answer = UserPrompt::Answer;

namespace {

// An MP3 file: an ID3v2.3 tag with title and artist, then a few MPEG frames.
QByteArray mp3(const QByteArray &title, const QByteArray &artist)
{
    auto frame = [](const char *id, const QByteArray &text) {
        QByteArray data(1, '\0');
        data.append(text);
        QByteArray out(id);
        const int n = int(data.size());
        out += char(n >> 24); out += char(n >> 16); out += char(n >> 8); out += char(n);
        out += QByteArray(2, '\0');
        out.append(data);
        return out;
    };
    QByteArray body = frame("TIT2", title);
    body.append(frame("TPE1", artist));
    const int n = int(body.size());
    QByteArray tag("ID3\x03\x00\x00", 6);
    tag += char((n >> 21) & 0x7f); tag += char((n >> 14) & 0x7f); tag += char((n >> 7) & 0x7f); tag += char(n & 0x7f);
    tag.append(body);
    tag.append(QByteArray("\xff\xfb\x90\x64", 4));
    tag.append(QByteArray(400, '\0'));
    return tag;
}

void setTime(const QString &path, int year, int month, int day)
{
    const QDateTime when(QDate(year, month, day), QTime(12, 0));
    utimbuf times{when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
    utime(QFile::encodeName(path).constData(), &times);
}

struct Line { QString name; qint64 owner; qint64 size; DescriptionTriple descriptions; qint64 link; };

// The file list read back with the plain field reader, not with the tree-file code.
std::vector<Line> fileLines(const QString &path)
{
    std::vector<Line> lines;
    bool header = true;
    forEachLine(test::readFile(path), [&](QByteArrayView line) {
        if (header) {
            header = false;
            return true;
        }
        const LineFields fields(line);
        lines.push_back({fields.text(0), fields.integer(1), fields.integer(2),
                         TreeFiles::splitDescriptions(fields.text(4)), fields.integer(5)});
        return true;
    });
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
        DiscRecord before;
        before.identifier = "1";
        before.name = "Already there";
        catalogue.discs.push_back(before);
    }

    void file(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(test::writeFile(disc.filePath(relative), bytes));
    }

    // Appends the disc's record as the cataloguing dialog does, then runs.
    bool run(qint32 options, qint64 maxSize, const Volume *volume = nullptr)
    {
        DiscRecord record;
        record.identifier = "77";
        record.name = "New disc";
        catalogue.discs.push_back(record);
        catalogue.current = catalogue.discCount();
        const HostVolume host(disc.path());
        CataloguingRun walk(catalogue, volume ? *volume : host, filters, observer);
        return walk.run({"77", options, maxSize, true});
    }

    QString working(const char *extension) const
    {
        return catalogue.workingCopy("77", QString::fromLatin1(extension));
    }

    QTemporaryDir disc;
    QTemporaryDir data;
    QTemporaryDir temp;
    Catalogue catalogue;
    FilterTable filters = BuildFilterTable(u"*.TXT;README;", u"*.ZIP;", u"*.CAB;", u"*.RAR;");
    test::RecordingObserver observer;
};

} // namespace

TEST_F(CataloguingRunTest, FoldersBreadthFirstSortedAndDotNamesSkipped)
{
    file("b/z/deep.dat", "1");
    file("B2/file.dat", "22");
    file("a/y.dat", "333");
    file("a/x/inner.dat", "4444");
    file(".hidden/secret.dat", "5");
    file(".dotfile", "6");
    file("Root.DAT", "");
    file("root2.dat", "7");
    setTime(disc.filePath("a"), 2001, 5, 6);
    setTime(disc.filePath("b/z"), 2003, 1, 2);

    ASSERT_TRUE(run(0, 0));
    const QByteArray rep = test::readFile(working(".rep"));
    QStringList folders;
    forEachLine(rep, [&](QByteArrayView line) {
        const LineFields f(line);
        folders << QStringLiteral("%1:%2:%3").arg(f.text(0)).arg(f.integer(1)).arg(line.endsWith(",\"\"") ? "empty" : "");
        return true;
    });
    EXPECT_EQ(folders, QStringList({"/VORN_Rep/:200:empty", "a:0:empty", "b:0:empty", "B2:0:empty",
                                    "x:1:empty", "z:2:empty"}));
    EXPECT_TRUE(rep.contains(QByteArray(QByteArray("\"a\",0,") + formatNumber(dayNumberFromDateTime(QDateTime(QDate(2001, 5, 6), QTime(12, 0)))))));

    const auto lines = fileLines(working(".fic"));
    QStringList files;
    for (const Line &l : lines)
        files << QStringLiteral("%1@%2=%3").arg(l.name).arg(l.owner).arg(l.size);
    EXPECT_EQ(files, QStringList({"Root.DAT@0=0", "root2.dat@0=1", "y.dat@1=3", "file.dat@3=2",
                                  "inner.dat@4=4", "deep.dat@5=1"}));
    EXPECT_EQ(catalogue.memberFlags, 567);
    EXPECT_TRUE(QFile::exists(working(".text")));
    EXPECT_TRUE(QFile::exists(working(".id3")));
    EXPECT_EQ(catalogue.discCount(), 2);
}

TEST_F(CataloguingRunTest, TextCaptureAtTheSizeLimitAndTheFirstLineRule)
{
    const QByteArray exact = QByteArray("Hello\r\n").append(QByteArray(193, 'w'));
    const qint64 limit = exact.size();
    file("A_EXACT.TXT", exact);
    file("B_OVER.TXT", exact + "!");
    file("C_NOCR.TXT", "one line without a break");
    file("D_EMPTY.TXT", "");
    file("E_QUOTES.TXT", "  say \"hi\" there \r\nmore");
    file("F_LONG.TXT", QByteArray(150, 'x') + "\r\n");
    file("readme", "plain\r\n");
    file("G_NOT_TEXT.DAT", "data\r\n");

    ASSERT_TRUE(run(1 | 2, limit));
    const auto lines = fileLines(working(".fic"));
    ASSERT_EQ(lines.size(), 8u);
    QHash<QString, Line> byName;
    for (const Line &l : lines)
        byName.insert(l.name, l);
    EXPECT_EQ(byName["A_EXACT.TXT"].link, 1);
    EXPECT_EQ(byName["A_EXACT.TXT"].descriptions.automatic, "Hello");
    EXPECT_EQ(byName["B_OVER.TXT"].link, 0);
    EXPECT_EQ(byName["C_NOCR.TXT"].link, 2);
    EXPECT_EQ(byName["C_NOCR.TXT"].descriptions.automatic, "");
    EXPECT_EQ(byName["D_EMPTY.TXT"].link, 0);
    EXPECT_EQ(byName["E_QUOTES.TXT"].descriptions.automatic, "say 'hi' there ");
    EXPECT_EQ(byName["F_LONG.TXT"].descriptions.automatic, QString(99, u'x'));
    EXPECT_EQ(byName["readme"].link, 5);
    EXPECT_EQ(byName["G_NOT_TEXT.DAT"].link, 0);

    // The store, read by byte offsets: text 1 is the whole exact file and its CRLF.
    const QByteArray store = test::readFile(working(".text"));
    ProfileFile profile;
    profile.parse(store.left(store.indexOf("\r\n\r\n") + 4));
    const qint64 h = profile.value("TxtSize", "Size").toLongLong();
    EXPECT_EQ(store.mid(h + 2, exact.size() + 2), exact + "\r\n");
    EXPECT_TRUE(store.contains(QByteArray(QByteArray::number(limit + 2) + ";")));
    EXPECT_FALSE(store.contains(QByteArray(QByteArray::number(limit + 3) + ";")));
}

TEST_F(CataloguingRunTest, Mp3TagsAreStoredUnderTheirFileNumbersWithOrWithoutArchiveOptions)
{
    file("a.dat", "x");
    file("Song.mp3", mp3("Morning", "The Band"));
    file("sub/Quiet.MP3", mp3("", ""));
    ASSERT_TRUE(run(1, 1024));
    ProfileFile tags;
    ASSERT_TRUE(tags.load(working(".id3")));
    EXPECT_EQ(tags.sections(), QStringList({"1", "2"}));
    EXPECT_EQ(tags.value("1", "TIT"), "Morning");
    EXPECT_EQ(tags.value("1", "ART"), "The Band");
    const auto lines = fileLines(working(".fic"));
    EXPECT_EQ(lines[1].descriptions.automatic, "[MP3] The Band : Morning");
    EXPECT_EQ(lines[2].descriptions.automatic, "[MP3] ");
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
    struct Case { std::deque<Answer> answers; bool completed; int files; };
    const Case cases[] = {
        {{Answer::Yes, Answer::Yes}, true, 2},   // third try reads the folder
        {{Answer::No}, true, 1},                 // the folder stays empty
        {{Answer::Cancel}, false, 0},            // clean-up as for a cancel
    };
    for (const Case &c : cases) {
        test::FaultyVolume flaky(host);
        flaky.failListing("bad", EIO, 2);
        observer.scripted.answers = c.answers;
        observer.scripted.questions.clear();
        catalogue.discs.resize(2);
        EXPECT_EQ(run(0, 0, &flaky), c.completed);
        EXPECT_TRUE(observer.scripted.questions.first().startsWith(LoadText(303)));
        EXPECT_TRUE(observer.scripted.questions.first().endsWith("\nbad"));
        if (c.completed) {
            EXPECT_EQ(int(fileLines(working(".fic")).size()), c.files);
            EXPECT_EQ(catalogue.discCount(), 2);
        } else {
            EXPECT_EQ(catalogue.discCount(), 1);
            EXPECT_FALSE(QFile::exists(working(".fic")));
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
    DiscTree tree;
    tree.folders = *TreeFiles::readFolderFile(working(".rep"));
    tree.files = *TreeFiles::readFileList(working(".fic"));
    tree.folders[1].description = "Documents folder";
    for (FileRecord &f : tree.files) {
        if (f.name == "keep.dat")
            f.descriptions.user = "Mine";
        if (f.name == "NOTES.TXT")
            f.descriptions.user = "Notes";
    }
    ASSERT_TRUE(TreeFiles::rewriteFolderFile(catalogue, "77", tree));
    ASSERT_TRUE(TreeFiles::rewriteFileList(catalogue, "77", tree));
    catalogue.memberFlags = 2 | 4;
    ASSERT_TRUE(writeRecord(catalogue, catalogue.disc(2), 4));

    // The disc changes: the MP3 file is gone, a file is added.
    QDir(disc.filePath("Music")).removeRecursively();
    file("Docs/added.dat", "a");
    for (const char *ext : {".rep", ".fic", ".text", ".id3"})
        QFile::remove(working(ext));

    observer.scripted.answers = {Answer::Yes};
    const HostVolume host(disc.path());
    const DescriptionsUpdateOutcome outcome =
        updateDescriptions(catalogue, 2, host, filters, 1 | 2, 10240, observer);
    ASSERT_TRUE(outcome.completed) << outcome.error.toStdString();
    EXPECT_EQ(outcome.restored, 2);
    EXPECT_EQ(catalogue.discCount(), 2);

    ASSERT_TRUE(DiscArchive::unpack(catalogue, "77", ".rep;.fic;.id3;"));
    const auto folders = *TreeFiles::readFolderFile(working(".rep"));
    EXPECT_EQ(folders[1].description, "Documents folder");
    QHash<QString, DescriptionTriple> files;
    const std::vector<FileRecord> fresh = TreeFiles::readFileList(working(".fic")).value_or(std::vector<FileRecord>());
    for (const FileRecord &f : fresh)
        files.insert(f.name, f.descriptions);
    EXPECT_EQ(files["keep.dat"].user, "Mine");
    EXPECT_EQ(files["NOTES.TXT"].user, "");          // equal to its automatic text
    EXPECT_TRUE(files.contains("added.dat"));
    EXPECT_FALSE(files.contains("Song.mp3"));
    EXPECT_EQ(test::readFile(working(".id3")), "");  // no tags of a file that is gone
}

namespace {

// A ZIP file made with libzip: (name, content) pairs in order.
QByteArray zipOf(const std::vector<std::pair<const char *, QByteArray>> &members)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("z.zip");
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE, &code);
    for (const auto &[name, content] : members) {
        zip_source_t *source = zip_source_buffer(archive, content.constData(), zip_uint64_t(content.size()), 0);
        zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(archive);
    return test::readFile(path);
}

} // namespace

TEST_F(CataloguingRunTest, ArchiveMembersFollowTheirArchiveWithTextsAndTags)
{
    const QByteArray song = mp3("Inside", "Zipped");
    const QByteArray first = zipOf({{"docs/README.TXT", "Packed notes\r\nline two"},
                                    {"music/Song.mp3", song},
                                    {"big/LARGE.TXT", QByteArray(5000, 'L')}});
    file("A.ZIP", first);                       // file number 0
    file("B.ZIP", zipOf({}));                   // no members
    file("C.zip", "not a zip at all");
    file("D.ZIP", zipOf({{"x.dat", "x"}}));

    ASSERT_TRUE(run(1 | 2 | 4 | 8, 1024));
    const auto lines = fileLines(working(".fic"));
    QStringList shown;
    for (const Line &l : lines)
        shown << QStringLiteral("%1|%2|%3|%4|%5").arg(l.name).arg(l.owner).arg(l.link)
                     .arg(l.descriptions.automatic, l.descriptions.archivePath);
    QString summary3 = LoadText(378);
    summary3.chop(2);
    EXPECT_EQ(shown, QStringList({
                         "A.ZIP|0|-999999999|" + summary3 + " 3|",
                         "README.TXT|-999999999|1|Packed notes|docs",
                         "Song.mp3|-999999999|0|[MP3] Zipped : Inside|music",
                         "LARGE.TXT|-999999999|0||big",
                         "B.ZIP|0|0||",
                         "C.zip|0|0||",
                         "D.ZIP|0|-6|" + summary3 + " 1|",
                         "x.dat|-6|0||",
                     }));
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

TEST_F(CataloguingRunTest, OddNamesHugeFilesAndDeepFolders)
{
    file("quote\"name.dat", "q");
    file("comma,name.dat", "c");
    file("line\nbreak.dat", "l");
    QString deep;
    for (int i = 0; i < 110; ++i)
        deep += QStringLiteral("d/");
    file(deep + "bottom.dat", "b");
    {
        QFile huge(disc.filePath("huge.iso"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(5LL << 30));   // sparse: costs no disk space
    }
    ASSERT_TRUE(run(0, 0));
    const auto lines = fileLines(working(".fic"));
    QHash<QString, qint64> sizes;
    for (const Line &l : lines)
        sizes.insert(l.name, l.size);
    EXPECT_EQ(sizes.value("quote'name.dat", -1), 1);
    EXPECT_EQ(sizes.value("comma,name.dat", -1), 1);
    EXPECT_EQ(sizes.value("line break.dat", -1), 1);
    EXPECT_EQ(sizes.value("huge.iso", -1), 5LL << 30);
    EXPECT_EQ(sizes.value("bottom.dat", -1), 1);
    const auto folders = TreeFiles::readFolderFile(working(".rep"));
    ASSERT_TRUE(folders.has_value());
    EXPECT_EQ(folders->size(), 111u);   // the root and 110 nested folders
}
