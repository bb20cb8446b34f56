#include "ArchiveFixtures.h"

#include "capture/ArchiveChecksum.h"
#include "capture/ZipMembers.h"

#include <zip.h>

namespace {

using ZipTest = ArchiveTest;

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

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
    EXPECT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    expectMembers(listing, {{"", "docs", 0, true, false, at(2001, 2, 3, 4, 5)},
                            {"read me.txt", "docs", 5, false, false, at(2001, 2, 3, 4, 5)},
                            {"top.txt", "", 3000, false, false, at(1999, 12, 31, 23, 59)},
                            {"deep.dat", "a\\b\\c", 7, false, false, at(2010, 6, 15, 12, 0)}});
}

TEST_F(ZipTest, DecodesNamesByFlagExtraFieldAndHost)
{
    // Info-ZIP Unicode path extra field: version, CRC-32 of the stored name, UTF-8 name.
    const QByteArray legacy("caf\x82.txt");
    QByteArray body("\x01", 1);
    for (int i = 0; i < 4; ++i)
        body.append(char((crc32(legacy) >> (8 * i)) & 0xFF));
    body.append(QString::fromUtf8("ça va.txt").toUtf8());
    const QByteArray unicodeExtra = QByteArray("\x75\x70", 2) + char(body.size()) + '\0' + body;
    const QString path = write("names.zip", makeRawZip({
        {QString::fromUtf8("dir/naïve.txt").toUtf8(), "x", -1, 0x0800},
        {legacy, "x", -1, 0, 0x0014},                      // DOS: code page 850
        {QByteArray("caf\xE9.txt"), "x", -1, 0, 0x0314},   // Unix: Windows-1252
        {legacy, "x", -1, 0, 20, unicodeExtra},
    }));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 4u);
    EXPECT_EQ(listing.members[0].path, QStringLiteral("dir"));
    const char *names[] = {"naïve.txt", "café.txt", "café.txt", "ça va.txt"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(listing.members[i].name, QString::fromUtf8(names[i])) << i;
}

TEST_F(ZipTest, ReadsTextAndMp3MembersInOnePassInMemberOrder)
{
    const QByteArray song = mp3Bytes(5000);
    const QString path = file("mixed.zip");
    ASSERT_TRUE(makeZipFile(path, {{"readme.txt", "Hello\r\nworld"}, {"music/song.mp3", song},
                                   {"stored.mp3", song, false}, {"big.txt", QByteArray(2000, 'b')},
                                   {"short.mp3", "TAGxyz"}}));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 5u);
    const auto delivered = readAll(ArchiveKind::Zip, path, listing,
                                   {textRequest(3, 1999), mp3Request(4), mp3Request(2), textRequest(0),
                                    mp3Request(1), textRequest(7)});
    ASSERT_EQ(delivered.size(), 6u);
    // The request naming no member is answered first; the others in member order.
    const int order[] = {7, 0, 1, 2, 3, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(delivered[i].index, order[i]) << i;
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_TRUE(delivered[1].content.complete);
    EXPECT_EQ(delivered[1].content.head, QByteArray("Hello\r\nworld"));
    for (int i : {2, 3}) {
        const MemberContent &c = delivered[i].content;
        EXPECT_TRUE(c.complete) << i;
        EXPECT_EQ(c.size, song.size()) << i;
        EXPECT_EQ(c.head, song.left(25)) << i;   // the tag header and the 15 bytes it announces
        EXPECT_EQ(c.tail128, song.right(128)) << i;
    }
    // One byte over the limit: not read.
    EXPECT_FALSE(delivered[4].content.complete);
    EXPECT_TRUE(delivered[4].content.head.isEmpty());
    // A member shorter than 128 bytes is its own tail.
    EXPECT_TRUE(delivered[5].content.complete);
    EXPECT_EQ(delivered[5].content.tail128, QByteArray("TAGxyz"));
    EXPECT_EQ(delivered[5].content.size, 6);

    const auto exact = readAll(ArchiveKind::Zip, path, listing, {textRequest(3, 2000)});
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_TRUE(exact[0].content.complete);
    EXPECT_EQ(exact[0].content.head.size(), 2000);
}

TEST_F(ZipTest, FindsTheArchiveInsideProgramsAndAfterLongComments)
{
    const std::vector<RawZipEntry> entries{{"setup/readme.txt", "inside"}, {"b.txt", "bee"}};
    const QByteArray stub = makePe({}) + QByteArray(5000, '\x90');
    const QByteArray variants[] = {makeRawZip(entries, stub, false), makeRawZip(entries, stub, true),
                                   makeRawZip(entries, {}, false, QByteArray(65535, 'c'))};
    for (const QByteArray &bytes : variants) {
        const QString path = write("sfx.exe", bytes);
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
        ASSERT_EQ(listing.members.size(), 2u);
        EXPECT_EQ(listing.members[0].path, QStringLiteral("setup"));
        EXPECT_EQ(heads(readAll(ArchiveKind::Zip, path, listing, {textRequest(0), textRequest(1)})), QList<QByteArray>({"inside", "bee"}));
    }
}

TEST_F(ZipTest, ProgramThatIsNoArchiveListsNothing)
{
    // A local header at the start would fool a reader that scans from the front.
    const QString path = write("plain.exe", "PK\x03\x04" + makePe({}) + QByteArray(200000, '\0'));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    EXPECT_FALSE(listing.recognised);
    EXPECT_TRUE(listing.members.empty());
    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0)});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_FALSE(delivered[0].content.complete);
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
        ASSERT_TRUE(makeZipFile(m_path, {{"open.txt", "plain"}, {"one.txt", "first secret", true, "pw"},
                                         {"two.txt", "second secret", true, "pw"}, {"song.mp3", mp3Bytes(100), true, "pw"}}));
        m_listing = listArchiveMembers(ArchiveKind::Zip, m_path);
        ASSERT_EQ(m_listing.members.size(), 4u);
        EXPECT_FALSE(m_listing.members[0].encrypted);
        EXPECT_TRUE(m_listing.members[1].encrypted);
        EXPECT_TRUE(m_listing.members[3].encrypted);
    }
    std::vector<Delivered> read(const std::vector<MemberRequest> &requests) { return readAll(ArchiveKind::Zip, m_path, m_listing, requests, &m_prompt); }
    QString m_path;
    ArchiveListing m_listing;
    ScriptedPrompt m_prompt;
};

TEST_F(ZipPasswordTest, AsksOnlyForTextWithinTheLimitAndTriesAnswersOnLaterMembers)
{
    m_prompt.inputs = {"pw"};
    auto delivered = read({mp3Request(3), textRequest(1, 5)});   // no question for these
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_TRUE(m_prompt.questions.isEmpty());

    m_prompt.inputs = {"wrong", "pw"};
    delivered = read({textRequest(0), textRequest(1), textRequest(2), mp3Request(3)});
    EXPECT_EQ(heads(delivered).first(3), QList<QByteArray>({"plain", "first secret", "second secret"}));
    EXPECT_TRUE(delivered.at(3).content.complete);   // the known password opens the MP3 too
    EXPECT_EQ(m_prompt.questions, QStringList({"Please Enter The Password!", "Please Enter The Password!"}));
    EXPECT_FALSE(zipPasswordRefused());
}

TEST_F(ZipPasswordTest, EmptyAnswerStopsAskingUntilReset)
{
    m_prompt.inputs = {""};
    auto delivered = read({textRequest(1), textRequest(2)});
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_EQ(m_prompt.questions.size(), 1);
    EXPECT_TRUE(zipPasswordRefused());
    m_prompt.inputs = {"pw"};   // a later archive of the run: no question
    EXPECT_FALSE(read({textRequest(1)})[0].content.complete);
    EXPECT_EQ(m_prompt.questions.size(), 1);
    resetZipPasswordRefusal();
    EXPECT_TRUE(read({textRequest(1)})[0].content.complete);
}

} // namespace
