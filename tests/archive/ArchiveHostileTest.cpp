#include "ArchiveFixtures.h"

#include "capture/ArchiveInput.h"
#include "capture/CabFile.h"
#include "capture/RarMembers.h"
#include "capture/ZipMembers.h"

#include <random>

#include <sys/stat.h>

namespace {

using HostileTest = ArchiveTest;

TEST_F(HostileTest, MembersLyingAboutTheirSizeAreNeverInflatedPastTheLimits)
{
    RawZipEntry text{"bomb.txt", QByteArray(1024, 'x'), 10ll << 30};
    RawZipEntry song{"bomb.mp3", QByteArray(1024, 'x'), 10ll << 30};
    QString path = write("bomb.zip", makeRawZip({text, song}));
    ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 2u);
    EXPECT_EQ(listing.members[0].size, 10ll << 30);
    auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0, qint64(1) << 40), mp3Request(1)});
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_LE(delivered[1].content.head.size(), 1024);

    // Claiming 100 bytes in both headers while the stream inflates to 2 MB.
    path = file("liar.zip");
    ASSERT_TRUE(makeZipFile(path, {{"liar.txt", QByteArray(2 * 1024 * 1024, 'L')}}));
    QByteArray bytes = readFile(path);
    for (const char *signature : {"PK\x03\x04", "PK\x01\x02"}) {
        const qsizetype sizeAt = bytes.indexOf(signature) + (signature[2] == '\x03' ? 22 : 24);
        bytes.replace(sizeAt, 4, QByteArray("\x64\0\0\0", 4));
    }
    ASSERT_TRUE(writeFile(path, bytes));
    listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].size, 100);
    delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0, 1000)});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_LE(delivered[0].content.head.size(), 1000);
}

TEST_F(HostileTest, DeflatedStreamIsGivenUpPastTheMp3Limit)
{
    const QByteArray zeros(kMp3StreamLimit + 4096, '\0');
    const QString path = file("zeros.zip");
    ASSERT_TRUE(makeZipFile(path, {{"zeros.mp3", zeros}, {"zeros.txt", zeros}}));
    const auto delivered = readAll(ArchiveKind::Zip, path, listArchiveMembers(ArchiveKind::Zip, path),
                                   {mp3Request(0), textRequest(1, 1000)});
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_EQ(delivered[0].content.head, QByteArray(10, '\0'));
    EXPECT_TRUE(delivered[0].content.tail128.isEmpty());
    EXPECT_FALSE(delivered[1].content.complete);
}

TEST_F(HostileTest, OneHundredThousandMembersWithZip64OrAWrappedCount)
{
    std::vector<RawZipEntry> entries;
    for (int i = 0; i < 100000; ++i)
        entries.push_back({"d" + QByteArray::number(i / 1000) + "/f" + QByteArray::number(i) + ".txt", QByteArray::number(i)});
    for (const bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped);
        const QString path = write("many.zip", makeRawZip(entries, {}, false, {}, wrapped));
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
        EXPECT_FALSE(listing.damaged);
        ASSERT_EQ(listing.members.size(), 100000u);
        EXPECT_EQ(listing.members[99999].name, QStringLiteral("f99999.txt"));
        EXPECT_EQ(listing.members[99999].path, QStringLiteral("d99"));
        EXPECT_EQ(heads(readAll(ArchiveKind::Zip, path, listing, {textRequest(99999), textRequest(5)})), QList<QByteArray>({"5", "99999"}));
    }
}

TEST_F(HostileTest, NamedPipeIsNeverOpened)
{
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("pipe.zip")).constData(), 0600), 0);
    for (const ArchiveKind kind : {ArchiveKind::Zip, ArchiveKind::Cab, ArchiveKind::Rar}) {
        const ArchiveListing listing = listArchiveMembers(kind, file("pipe.zip"));
        EXPECT_FALSE(listing.recognised);
        EXPECT_TRUE(listing.members.empty());
    }
}

// Damage ends a listing, marked damaged, after the members before it; what is no
// archive at all is not recognised.
TEST_F(HostileTest, DamageEndsTheListingAfterTheMembersBeforeIt)
{
    QByteArray zip = makeRawZip({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    zip[zip.indexOf("PK\x01\x02", zip.indexOf("PK\x01\x02") + 1) + 1] = 'X';   // the second central entry
    const QByteArray rar = makeRar4({{"a.txt", "a"}, {"b.txt", "b"}});
    // Byte 7 starts the archive header, 20 the first file header, 20 + 38 the second.
    const auto flipped = [&](qsizetype at, char mask) { QByteArray bytes = rar; bytes[at] = char(bytes[at] ^ mask); return bytes; };
    struct Case { ArchiveKind kind; QByteArray bytes; bool recognised, damaged; int members; };
    const Case cases[] = {
        {ArchiveKind::Zip, zip, true, true, 1},
        // Cut inside the second file entry, after header, folder and first entry.
        {ArchiveKind::Cab, makeCab({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}).left(36 + 8 + 22 + 10), true, true, 1},
        {ArchiveKind::Cab, "just text", false, false, 0},
        {ArchiveKind::Rar, rar, true, false, 2},
        {ArchiveKind::Rar, makeRar4({{"a.txt", "a"}}, false, false), true, false, 1},   // no end block
        {ArchiveKind::Rar, flipped(20 + 2, 0x01), true, true, 0},
        {ArchiveKind::Rar, flipped(20 + 38 + 30, 0x40), true, true, 1},
        {ArchiveKind::Rar, flipped(9, 0x01), true, true, 0},
        {ArchiveKind::Rar, rar.left(20 + 38 + 10), true, true, 1},
        {ArchiveKind::Rar, "Rar! but not really", false, false, 0},
        {ArchiveKind::Rar, {}, false, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        const ArchiveListing listing = listArchiveMembers(c.kind, write("x", c.bytes));
        EXPECT_EQ(std::pair(listing.recognised, listing.damaged), std::pair(c.recognised, c.damaged));
        ASSERT_EQ(int(listing.members.size()), c.members);
        if (c.members > 0) {
            EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));
        }
    }
}

// libarchive reads out of bounds on a stored CAB data block claiming more unpacked
// bytes than it holds, or over 32 KB: such cabinets are listed, their members not read.
TEST_F(HostileTest, CabDataBlocksTheLibraryMisreadsAreNotHandedToIt)
{
    QByteArray cab = makeCab({{"a.txt", "hello"}, {"b.txt", QByteArray(300, 'b')}});
    const qsizetype block = qsizetype(le32(cab, 36));
    for (quint16 unpacked : {quint16(306), quint16(40000)}) {
        cab[block + 6] = char(unpacked & 0xFF);
        cab[block + 7] = char(unpacked >> 8);
        const QString path = write("lying.cab", cab);
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, path);
        ASSERT_EQ(listing.members.size(), 2u) << unpacked;
        const auto delivered = readAll(ArchiveKind::Cab, path, listing, {textRequest(0), textRequest(1)});
        ASSERT_EQ(delivered.size(), 2u);
        EXPECT_TRUE(delivered[0].content.head.isEmpty() && delivered[1].content.head.isEmpty()) << unpacked;
    }
}

// Cuts and flips bytes of every kind of archive and reads what is left: whatever the
// damage, listing and reading end, every request is answered once, and nothing is
// written anywhere.
TEST_F(HostileTest, TruncatedAndCorruptedArchives)
{
    const QString zipPath = file("good.zip");
    ASSERT_TRUE(makeZipFile(zipPath, {{"docs/"}, {"docs/readme.txt", QByteArray(3000, 'r')},
                                      {"song.mp3", mp3Bytes(20000)}, {"stored.mp3", mp3Bytes(3000), false}}));
    const std::pair<ArchiveKind, QByteArray> samples[] = {
        {ArchiveKind::Zip, readFile(zipPath)},
        {ArchiveKind::Zip, makeRawZip({{"a.txt", "aaaa"}, {"b.mp3", mp3Bytes(500)}}, makePe({}), false)},
        {ArchiveKind::Cab, makeCab({{"a.txt", QByteArray(40000, 'a')}, {"d\\b.mp3", mp3Bytes(1000)}})},
        {ArchiveKind::Rar, makeRar4({{"a.txt", "aaaa"}, {"d\\b.mp3", mp3Bytes(1000)}, {"c.txt", "cc"}})},
        {ArchiveKind::Rar, makeRar5({{"a.txt", "aaaa"}, {"d/b.mp3", mp3Bytes(1000)}})},
    };
    std::mt19937 random(20240601);
    for (const auto &[kind, sample] : samples) {
        for (int variant = 0; variant < 190; ++variant) {
            QByteArray bytes = sample.left(sample.size() * qMin(variant, 40) / 40);   // 40 cuts, then flips
            for (int i = variant < 40 ? 0 : 1 + int(random() % 4); i > 0; --i)
                bytes[qsizetype(random() % quint32(bytes.size()))] = char(random() & 0xFF);
            const QString path = write("variant", bytes);
            const ArchiveListing listing = listArchiveMembers(kind, path);
            EXPECT_LE(listing.members.size(), kMaxArchiveMembers);
            std::vector<MemberRequest> requests{textRequest(int(listing.members.size()) + 3)};
            for (int i = 0; i < int(listing.members.size()); ++i)
                requests.insert(requests.end(), {textRequest(i, 100000), mp3Request(i)});
            ScriptedPrompt prompt;
            const auto delivered = readAll(kind, path, listing, requests, &prompt);
            EXPECT_EQ(delivered.size(), requests.size());
            for (const Delivered &d : delivered) {
                EXPECT_LE(d.content.head.size(), d.want == MemberRequest::Want::Text ? 100000 : kMp3StreamLimit);
                EXPECT_LE(d.content.tail128.size(), 128);
            }
        }
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"good.zip", "variant"}));
}

} // namespace
