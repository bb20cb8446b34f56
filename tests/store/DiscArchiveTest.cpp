#include "store/DiscArchive.h"
#include "store/ZipTail.h"
#include "StoreFixture.h"

#include <QDirIterator>
#include <zip.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

struct Member { QString name; QByteArray data; int method = 0; };

// Reads an archive with libzip directly, independently of the code under test.
std::vector<Member> membersOf(const QString &path)
{
    std::vector<Member> members;
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return members;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        members.push_back({QString::fromUtf8(stat.name), data, stat.comp_method});
    }
    zip_discard(archive);
    return members;
}

QStringList namesOf(const std::vector<Member> &members)
{
    QStringList names;
    for (const Member &m : members)
        names << m.name;
    return names;
}

struct DiscArchiveTest : test::StoreFixture
{
    void work(const QString &extension, const QByteArray &content)
    {
        ASSERT_TRUE(writeFile(catalogue.workingCopy("42", extension), content));
    }
    QString archive() const { return catalogue.archivePath("42"); }
};

} // namespace

TEST_F(DiscArchiveTest, PackAddsSelectedMembersInOrderUnderBareNamesWithTheComment)
{
    for (const char *extension : {".id3", ".fic", ".rep", ".text", ".sig"})
        work(extension, QByteArray(4000, extension[1]));
    const QString comment = "NOM=Été 2004\r\nDES=line one\r\nline two";
    QString error;
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::CataloguingRun, comment, 6, &error)) << error.toStdString();
    auto members = membersOf(archive());
    EXPECT_EQ(namesOf(members), QStringList({"42.rep", "42.fic", "42.text", "42.id3"}));   // .sig not selected
    EXPECT_EQ(members[0].data, QByteArray(4000, 'r'));
    EXPECT_EQ(members[0].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(DiscArchive::readComment(archive()), comment);
    EXPECT_EQ(DiscArchive::readMember(archive(), "42.FIC").value_or("none"), QByteArray(4000, 'f'));
    EXPECT_FALSE(DiscArchive::readMember(archive(), "42.sig") || DiscArchive::readMember(catalogue.archivePath("404"), "404.rep"));

    // Flag word 0 rewrites only the comment; a selected working copy that is missing keeps its member.
    QFile::remove(catalogue.workingCopy("42", ".rep"));
    work(".fic", "files v2");
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", 0, "NOM=B", 4));
    EXPECT_EQ(membersOf(archive())[1].data, QByteArray(4000, 'f'));
    EXPECT_EQ(DiscArchive::readComment(archive()), "NOM=B");
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep | Member::Fic, "NOM=C", 0));   // level 0 stores
    members = membersOf(archive());
    EXPECT_EQ(namesOf(members), QStringList({"42.rep", "42.fic", "42.text", "42.id3"}));
    EXPECT_EQ(members[0].data, QByteArray(4000, 'r'));
    EXPECT_EQ(members[1].data, "files v2");
    EXPECT_EQ(members[1].method, ZIP_CM_STORE);
}

TEST_F(DiscArchiveTest, UnpackSelectsByExtensionIgnoringCase)
{
    for (const char *extension : {".rep", ".fic", ".text"})
        work(extension, extension);
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep | Member::Fic | Member::Text, "", 4));
    // A member that is not there is no error; text after the last ";" is ignored; "" takes all.
    const struct { const char *list; QStringList expected; } cases[] = {
        {".fic;.rep;.sig;", {"42.fic", "42.rep"}}, {".TEXT;", {"42.text"}}, {".fic", {}},
        {"", {"42.fic", "42.rep", "42.text"}},
    };
    for (const auto &c : cases) {
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path());
        EXPECT_TRUE(DiscArchive::unpack(catalogue, "42", QString::fromLatin1(c.list))) << c.list;
        EXPECT_EQ(tempEntries(), c.expected) << c.list;
    }
    EXPECT_EQ(readFile(catalogue.workingCopy("42", ".rep")), ".rep");
    EXPECT_FALSE(DiscArchive::unpack(catalogue, "404", ".rep;"));
}

TEST_F(DiscArchiveTest, UnpackNeverWritesOutsideTheTargetFolder)
{
    const QString hostile = data.filePath("hostile.zip");
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(hostile).constData(), ZIP_CREATE, &code);
    ASSERT_NE(zip, nullptr);
    for (const char *name : {"../escape.rep", "/etc/vorn-abs.rep", "C:\\x.rep", "a/../../up.rep", "..\\..\\win.rep", "..", "dir/"})
        zip_file_add(zip, name, zip_source_buffer(zip, "x", 1, 0), ZIP_FL_ENC_RAW);
    ASSERT_EQ(zip_close(zip), 0);

    QTemporaryDir outer;
    QDir().mkpath(outer.filePath("inner/target"));
    DiscArchive::unpackArchive(hostile, "", outer.filePath("inner/target"));
    QStringList everywhere;
    QDirIterator it(outer.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        everywhere << QDir(outer.path()).relativeFilePath(it.next()).remove("inner/target/");
    everywhere.sort();
    EXPECT_EQ(everywhere, QStringList({"escape.rep", "up.rep", "vorn-abs.rep", "win.rep", "x.rep"}));
    EXPECT_FALSE(QFile::exists("/etc/vorn-abs.rep"));
}

TEST_F(DiscArchiveTest, CommentsOfMissingDamagedAndOlderArchives)
{
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("404")), QString());
    EXPECT_FALSE(DiscArchive::tryReadComment(catalogue.archivePath("404")).has_value());
    work(".rep", QByteArray(20000, 'z'));
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep, "NOM=Whole", 0));
    const QByteArray whole = readFile(archive());
    const struct { const char *what; QByteArray bytes; bool readable; } cases[] = {
        {"not a zip", "just some text, no archive at all", false},
        {"cut before the end of the comment", whole.left(whole.size() - 3), false},
        {"whole", whole, true},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(writeFile(catalogue.archivePath("7"), c.bytes));
        QString error;
        EXPECT_EQ(DiscArchive::tryReadComment(catalogue.archivePath("7"), &error).has_value(), c.readable) << c.what;
        EXPECT_EQ(error.isEmpty(), c.readable) << c.what;
    }
    // A comment in the Windows ANSI code page (which libzip refuses to write: patched by hand).
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep, "", 0));
    QByteArray ansiArchive = readFile(archive());
    const QByteArray ansi = "NOM=Caf\xe9 \x80";
    ansiArchive[ansiArchive.size() - 2] = char(ansi.size());
    ASSERT_TRUE(writeFile(catalogue.archivePath("8"), ansiArchive + ansi));
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("8")), QString::fromUtf8("NOM=Café €"));

    // The end of an archive is read a few kilobytes first: a comment, or a central
    // directory, longer than that is still read whole.
    const QString longComment = "NOM=Long\r\nDES=" + QString(30000, u'd');
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep, longComment, 0));
    EXPECT_EQ(DiscArchive::readComment(archive()), longComment);
    const QString many = catalogue.archivePath("9");
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(many).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    for (int i = 0; i < 300; ++i) {
        const QByteArray name = "member-with-a-rather-long-name-" + QByteArray::number(i) + ".txt";
        zip_file_add(zip, name.constData(), zip_source_buffer(zip, "x", 1, 0), 0);
    }
    zip_set_archive_comment(zip, "NOM=Many", 8);
    ASSERT_EQ(zip_close(zip), 0);
    QFile file(many);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<ZipTail> fromFile = readZipTail(file);
    const std::optional<ZipTail> fromMemory = parseZipTail(readFile(many));
    ASSERT_TRUE(fromFile && fromMemory);
    EXPECT_EQ(fromFile->comment, "NOM=Many");
    ASSERT_EQ(fromFile->entries.size(), 300u);
    EXPECT_EQ(fromFile->entries.back().name, fromMemory->entries.back().name);
    EXPECT_EQ(fromFile->entries.back().localOffset, fromMemory->entries.back().localOffset);
}

TEST_F(DiscArchiveTest, FailedWritesLeaveThePreviousArchiveByteForByte)
{
    work(".rep", "folders");
    ASSERT_TRUE(DiscArchive::pack(catalogue, "42", Member::Rep, "NOM=Before", 4));
    const QByteArray before = readFile(archive());
    QString error;
    EXPECT_FALSE(DiscArchive::pack(catalogue, "42", 0, QString(70000, u'x'), 4, &error));   // comment too long
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(archive()), before);
    EXPECT_FALSE(DiscArchive::pack(catalogue, "10", 0, "NOM=Empty", 4, &error));   // no member at all
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("10")));
    ASSERT_TRUE(writeFile(catalogue.archivePath("9"), "garbage"));   // a damaged archive is never replaced
    EXPECT_FALSE(DiscArchive::pack(catalogue, "9", Member::Rep, "NOM=X", 4));
    EXPECT_EQ(readFile(catalogue.archivePath("9")), "garbage");

    // A full disk: the write is cut short at several sizes in a child process.
    QByteArray big(3 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char((i * 7919) >> 3);
    work(".fic", big);
    for (rlim_t limit : {rlim_t(100), rlim_t(64 << 10), rlim_t(1 << 20)}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
            QString message;   // names the archive
            _exit(DiscArchive::pack(catalogue, "42", Member::Fic, "NOM=After", 0, &message) ? 0
                  : message.startsWith(archive()) ? 3 : 4);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << limit;
        EXPECT_EQ(readFile(archive()), before) << limit;
    }
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files, QDir::Name), QStringList({"42.VORN", "9.VORN"}));   // nothing left behind
}

namespace {

using StoredMember = Member;

// Writes an archive member by member with the given compression methods.
bool writeZip(const QString &path, const std::vector<Member> &members)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const Member &m : members) {
        zip_source_t *source = zip_source_buffer(archive, m.data.constData(), zip_uint64_t(m.data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, m.name.toUtf8().constData(), source, ZIP_FL_OVERWRITE);
        if (index < 0 || zip_set_file_compression(archive, zip_uint64_t(index), m.method, 0) < 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

QByteArray noise(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += char(random() % 8 == 0 ? 'a' + random() % 26 : ' ' + i % 7);
    return bytes;
}

} // namespace

// The reader used by searches: stored and deflated members read straight from the
// file, other methods through the library, damaged members left out, and the same
// buffers reused from one archive to the next.
TEST_F(DiscArchiveTest, MemberReaderReadsWhatTheLibraryReads)
{
    const QString path = data.filePath("42.VORN");
    const std::vector<StoredMember> members = {
        {"42.rep", "folders", ZIP_CM_STORE},
        {"sub/42.fic", noise(200000, 1), ZIP_CM_DEFLATE},
        {"42.text", noise(3000, 2), ZIP_CM_DEFLATE},
        {"42.id3", noise(5000, 3), ZIP_CM_BZIP2},
        {"42.txt", "", ZIP_CM_DEFLATE},
    };
    ASSERT_TRUE(writeZip(path, members));
    const auto read = [&](DiscArchive::MemberReader &reader, const QString &extensions,
                          qint64 limit = 1 << 30) {
        std::vector<StoredMember> got;
        if (!reader.read(path, extensions, limit))
            got.push_back({"unreadable", {}});
        for (const auto &m : reader.members())
            got.push_back({m.name, m.data.toByteArray()});
        return got;
    };

    DiscArchive::MemberReader reader;
    for (int pass = 0; pass < 2; ++pass) {
        const auto direct = read(reader, ".rep;.FIC;.txt;");
        ASSERT_EQ(namesOf(direct), QStringList({"42.rep", "42.fic", "42.txt"}));
        EXPECT_EQ(direct[0].data, members[0].data);
        EXPECT_EQ(direct[1].data, members[1].data);
        EXPECT_TRUE(direct[2].data.isEmpty());
    }
    const auto throughLibrary = read(reader, ".id3;.text;");
    ASSERT_EQ(namesOf(throughLibrary), QStringList({"42.text", "42.id3"}));
    EXPECT_EQ(throughLibrary[0].data, members[2].data);
    EXPECT_EQ(throughLibrary[1].data, members[3].data);
    EXPECT_EQ(namesOf(read(reader, ".rep;.fic;", 1000)), QStringList({"42.rep"}));

    // One flipped byte in the deflated file list: that member is left out.
    QByteArray archive = readFile(path);
    const auto tail = parseZipTail(archive);
    ASSERT_TRUE(tail.has_value());
    const ZipEntry &fic = tail->entries[1];
    archive[qsizetype(fic.localOffset) + 30 + fic.name.size() + qsizetype(fic.compressedSize / 2)] ^= 0x55;
    ASSERT_TRUE(writeFile(path, archive));
    EXPECT_EQ(namesOf(read(reader, ".rep;.fic;")), QStringList({"42.rep"}));

    ASSERT_TRUE(writeFile(path, "not an archive"));
    EXPECT_EQ(namesOf(read(reader, ".rep;")), QStringList({"unreadable"}));
    bool readable = true;
    EXPECT_TRUE(DiscArchive::readMembers(data.filePath("404.VORN"), ".rep;", 100, &readable).empty());
    EXPECT_FALSE(readable);
}
