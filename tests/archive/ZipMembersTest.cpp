#include "ArchiveFixtures.h"

#include "capture/ArchiveChecksum.h"
#include "capture/ArchiveMembers.h"
#include "capture/ZipMembers.h"
#include "common/DayDate.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

using namespace vorn;
using namespace vorn::test;

namespace {

class ZipTest : public ::testing::Test
{
protected:
    void SetUp() override { resetZipPasswordRefusal(); }
    void TearDown() override { resetZipPasswordRefusal(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        EXPECT_TRUE(writeFile(file(name), bytes));
        return file(name);
    }
    QTemporaryDir m_dir;
};

TEST_F(ZipTest, ListsNamesFoldersSizesAndDatesToTheMinute)
{
    const QString path = file("a.zip");
    ASSERT_TRUE(makeZipFile(path, {
        {"docs/", {}, true, {}, dosDate(2001, 2, 3), dosTime(4, 5, 6)},
        {"docs/read me.txt", "hello", true, {}, dosDate(2001, 2, 3), dosTime(4, 5, 58)},
        {"top.txt", QByteArray(3000, 'x'), false, {}, dosDate(1999, 12, 31), dosTime(23, 59, 30)},
        {"a/b/c/deep.dat", "1234567", true, {}, dosDate(2010, 6, 15), dosTime(12, 0, 0)},
    }));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 4u);

    struct Expected { const char *name; const char *path; qint64 size; bool folder; QDateTime date; };
    const Expected expected[] = {
        {"", "docs", 0, true, QDateTime(QDate(2001, 2, 3), QTime(4, 5))},
        {"read me.txt", "docs", 5, false, QDateTime(QDate(2001, 2, 3), QTime(4, 5))},
        {"top.txt", "", 3000, false, QDateTime(QDate(1999, 12, 31), QTime(23, 59))},
        {"deep.dat", "a\\b\\c", 7, false, QDateTime(QDate(2010, 6, 15), QTime(12, 0))},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ArchiveMember &m = listing.members[i];
        EXPECT_EQ(m.name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(m.path, QString::fromUtf8(expected[i].path));
        EXPECT_EQ(m.size, expected[i].size);
        EXPECT_EQ(m.folder, expected[i].folder);
        EXPECT_FALSE(m.encrypted);
        EXPECT_DOUBLE_EQ(m.date, dayNumberFromDateTime(expected[i].date));
    }

    MemberList members;
    EXPECT_TRUE(ListZipMembers(path, members));
    EXPECT_EQ(members.size(), 4u);
}

TEST_F(ZipTest, DecodesNamesByFlagExtraFieldAndHost)
{
    QByteArray unicodeExtra("\x75\x70", 2);
    const QByteArray legacy("caf\x82.txt");
    QByteArray extraBody;
    extraBody.append('\x01');
    const quint32 crc = crc32(legacy);
    for (int i = 0; i < 4; ++i)
        extraBody.append(char((crc >> (8 * i)) & 0xFF));
    extraBody.append(QString::fromUtf8("ça va.txt").toUtf8());
    unicodeExtra.append(char(extraBody.size()));
    unicodeExtra.append('\0');
    unicodeExtra.append(extraBody);

    RawZipEntry utf8{QString::fromUtf8("dir/naïve.txt").toUtf8(), "x"};
    utf8.flags = 0x0800;
    RawZipEntry dos{legacy, "x"};
    dos.versionMadeBy = 0x0014;
    RawZipEntry unixHost{QByteArray("caf\xE9.txt"), "x"};
    unixHost.versionMadeBy = 0x0314;
    RawZipEntry withExtra{legacy, "x"};
    withExtra.extra = unicodeExtra;
    const QString path = write("names.zip", makeRawZip({utf8, dos, unixHost, withExtra}));

    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 4u);
    EXPECT_EQ(listing.members[0].name, QString::fromUtf8("naïve.txt"));
    EXPECT_EQ(listing.members[0].path, QStringLiteral("dir"));
    EXPECT_EQ(listing.members[1].name, QString::fromUtf8("café.txt"));   // code page 850
    EXPECT_EQ(listing.members[2].name, QString::fromUtf8("café.txt"));   // Windows-1252
    EXPECT_EQ(listing.members[3].name, QString::fromUtf8("ça va.txt"));
}

TEST_F(ZipTest, ReadsTextAndMp3MembersInOnePassInMemberOrder)
{
    const QByteArray song = mp3Bytes(5000);
    const QString path = file("mixed.zip");
    ASSERT_TRUE(makeZipFile(path, {
        {"readme.txt", "Hello\r\nworld", true},
        {"music/song.mp3", song, true},
        {"stored.mp3", song, false},
        {"big.txt", QByteArray(2000, 'b'), true},
    }));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 4u);

    const auto delivered = readAll(ArchiveKind::Zip, path, listing,
                                   {textRequest(3, 1999), mp3Request(2), textRequest(0), mp3Request(1),
                                    textRequest(7)});
    ASSERT_EQ(delivered.size(), 5u);
    // The request naming no member is answered first; the others in member order.
    EXPECT_EQ(delivered[0].index, 7);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_EQ(delivered[1].index, 0);
    EXPECT_EQ(delivered[2].index, 1);
    EXPECT_EQ(delivered[3].index, 2);
    EXPECT_EQ(delivered[4].index, 3);

    EXPECT_TRUE(delivered[1].content.complete);
    EXPECT_EQ(delivered[1].content.head, QByteArray("Hello\r\nworld"));
    for (int i : {2, 3}) {
        SCOPED_TRACE(i);
        const MemberContent &c = delivered[i].content;
        EXPECT_TRUE(c.complete);
        EXPECT_EQ(c.size, song.size());
        EXPECT_EQ(c.head, song.left(25));   // the tag header and the 15 bytes it announces
        EXPECT_EQ(c.tail128, song.right(128));
    }
    // One byte over the limit: not read.
    EXPECT_FALSE(delivered[4].content.complete);
    EXPECT_TRUE(delivered[4].content.head.isEmpty());

    const auto exact = readAll(ArchiveKind::Zip, path, listing, {textRequest(3, 2000)});
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_TRUE(exact[0].content.complete);
    EXPECT_EQ(exact[0].content.head.size(), 2000);
}

TEST_F(ZipTest, ShortMp3MemberGivesItsWholeBytesAsTail)
{
    const QString path = file("short.zip");
    ASSERT_TRUE(makeZipFile(path, {{"a.mp3", "TAGxyz", true}}));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {mp3Request(0)});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_TRUE(delivered[0].content.complete);
    EXPECT_EQ(delivered[0].content.tail128, QByteArray("TAGxyz"));
    EXPECT_EQ(delivered[0].content.size, 6);
}

TEST_F(ZipTest, SelfExtractingProgramListsAndReadsItsArchive)
{
    const std::vector<RawZipEntry> entries{{"setup/readme.txt", "inside"}, {"b.txt", "bee"}};
    const QByteArray stub = makePeStub() + QByteArray(5000, '\x90');
    for (const bool adjusted : {false, true}) {
        SCOPED_TRACE(adjusted);
        const QString path = write(adjusted ? "adjusted.exe" : "plain.exe",
                                   makeRawZip(entries, stub, adjusted));
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
        ASSERT_EQ(listing.members.size(), 2u);
        EXPECT_EQ(listing.members[0].name, QStringLiteral("readme.txt"));
        EXPECT_EQ(listing.members[0].path, QStringLiteral("setup"));
        const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0), textRequest(1)});
        ASSERT_EQ(delivered.size(), 2u);
        EXPECT_EQ(delivered[0].content.head, QByteArray("inside"));
        EXPECT_EQ(delivered[1].content.head, QByteArray("bee"));
    }
}

TEST_F(ZipTest, ProgramThatIsNoArchiveListsNothing)
{
    // A local header at the start would fool a reader that scans from the front.
    QByteArray program = makePeStub();
    program.prepend(QByteArray("PK\x03\x04", 4));
    program.append(QByteArray(200000, '\0'));
    const QString path = write("plain.exe", program);
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    EXPECT_FALSE(listing.recognised);
    EXPECT_TRUE(listing.members.empty());
    MemberList members{ArchiveMember{}};
    EXPECT_FALSE(ListZipMembers(path, members));
    EXPECT_TRUE(members.empty());

    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0)});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_FALSE(delivered[0].content.complete);
}

TEST_F(ZipTest, ArchiveCommentUpToItsLongestIsFound)
{
    const QString path = write("comment.zip", makeRawZip({{"a.txt", "a"}}, {}, false, QByteArray(65535, 'c')));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));
}

TEST_F(ZipTest, ExtractZipMemberWritesTheFileNameIntoTheFolder)
{
    const QString path = file("x.zip");
    ASSERT_TRUE(makeZipFile(path, {
        {"README.TXT", "top"},
        {"docs/readme.txt", "docs"},
        {"other/readme.txt", "other"},
        {"big.txt", QByteArray(100, 'b')},
    }));
    QTemporaryDir target;
    struct Case { const char *name; const char *folder; qint64 limit; bool ok; const char *content; };
    const Case cases[] = {
        {"readme.txt", "", 1000, true, "top"},           // top level, case ignored
        {"readme.txt", "DOCS", 1000, true, "docs"},
        {"readme.txt", "elsewhere", 1000, true, "top"},  // first of that name in any folder
        {"big.txt", "", 100, true, nullptr},
        {"big.txt", "", 99, false, nullptr},
        {"missing.txt", "", 1000, false, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name + std::string(" in ") + c.folder);
        QDir(target.path()).removeRecursively();
        QDir().mkpath(target.path());
        EXPECT_EQ(ExtractZipMember(path, QString::fromUtf8(c.name), QString::fromUtf8(c.folder),
                                   target.path(), c.limit, nullptr),
                  c.ok);
        const QStringList written = QDir(target.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        EXPECT_EQ(written.size(), c.ok ? 1 : 0);
        if (c.content) {
            EXPECT_EQ(readFile(target.filePath(written.value(0))), QByteArray(c.content));
        }
    }
}

class ZipPasswordTest : public ZipTest
{
protected:
    void SetUp() override
    {
        ZipTest::SetUp();
        if (!zip_encryption_method_supported(ZIP_EM_TRAD_PKWARE, 1))
            GTEST_SKIP() << "libzip cannot write encrypted members";
        m_path = file("secret.zip");
        ASSERT_TRUE(makeZipFile(m_path, {
            {"open.txt", "plain"},
            {"one.txt", "first secret", true, "pw"},
            {"two.txt", "second secret", true, "pw"},
            {"song.mp3", mp3Bytes(100), true, "pw"},
        }));
        m_listing = listArchiveMembers(ArchiveKind::Zip, m_path);
        ASSERT_EQ(m_listing.members.size(), 4u);
    }
    QString m_path;
    ArchiveListing m_listing;
};

TEST_F(ZipPasswordTest, ListsEncryptedMembersAsSuch)
{
    EXPECT_FALSE(m_listing.members[0].encrypted);
    EXPECT_TRUE(m_listing.members[1].encrypted);
    EXPECT_TRUE(m_listing.members[3].encrypted);
}

TEST_F(ZipPasswordTest, AsksOnceAndTriesTheAnswerOnLaterMembers)
{
    ScriptedPrompt prompt;
    prompt.inputs = {"wrong", "pw"};
    const auto delivered = readAll(ArchiveKind::Zip, m_path, m_listing,
                                   {textRequest(0), textRequest(1), textRequest(2), mp3Request(3)}, &prompt);
    ASSERT_EQ(delivered.size(), 4u);
    EXPECT_EQ(delivered[0].content.head, QByteArray("plain"));
    EXPECT_EQ(delivered[1].content.head, QByteArray("first secret"));
    EXPECT_EQ(delivered[2].content.head, QByteArray("second secret"));
    EXPECT_TRUE(delivered[3].content.complete);   // the known password opens the MP3 too
    EXPECT_EQ(prompt.questions, QStringList({"Please Enter The Password!", "Please Enter The Password!"}));
    EXPECT_FALSE(zipPasswordRefused());
}

TEST_F(ZipPasswordTest, EmptyAnswerStopsAskingUntilReset)
{
    ScriptedPrompt prompt;
    prompt.inputs = {""};
    auto delivered = readAll(ArchiveKind::Zip, m_path, m_listing, {textRequest(1), textRequest(2)}, &prompt);
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_EQ(prompt.questions.size(), 1);
    EXPECT_TRUE(zipPasswordRefused());

    // Another archive later in the run: no question.
    prompt.inputs = {"pw"};
    delivered = readAll(ArchiveKind::Zip, m_path, m_listing, {textRequest(1)}, &prompt);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_EQ(prompt.questions.size(), 1);

    resetZipPasswordRefusal();
    delivered = readAll(ArchiveKind::Zip, m_path, m_listing, {textRequest(1)}, &prompt);
    EXPECT_TRUE(delivered[0].content.complete);
}

TEST_F(ZipPasswordTest, Mp3MembersNeverAskAndOverLimitTextNeverAsks)
{
    ScriptedPrompt prompt;
    prompt.inputs = {"pw"};
    const auto delivered = readAll(ArchiveKind::Zip, m_path, m_listing, {mp3Request(3), textRequest(1, 5)}, &prompt);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_TRUE(prompt.questions.isEmpty());
}

TEST_F(ZipTest, AesEncryptedMemberOpensWithItsPassword)
{
    if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1))
        GTEST_SKIP() << "no AES in this libzip";
    const QString path = file("aes.zip");
    ASSERT_TRUE(makeZipFile(path, {{"a.txt", "aes text", true, "key"}}, true));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ScriptedPrompt prompt;
    prompt.inputs = {"key"};
    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0)}, &prompt);
    EXPECT_EQ(delivered[0].content.head, QByteArray("aes text"));
}

} // namespace
