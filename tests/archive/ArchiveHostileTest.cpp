#include "ArchiveFixtures.h"

#include "capture/ArchiveInput.h"
#include "capture/CabFile.h"
#include "capture/RarMembers.h"
#include "capture/ZipMembers.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <random>

#include <sys/stat.h>

namespace {

// Every file below `folder`, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}

class HostileTest : public ArchiveTest
{
protected:
    void SetUp() override
    {
        resetZipPasswordRefusal();
        QDir().mkpath(m_target);
    }
    // Files in any folder below the test's folder but the target; the archives are at its
    // top, and the target deep enough that a name climbing out of it lands in a folder.
    QStringList strayFiles() const
    {
        return filesBelow(m_dir.path()).filter(QRegularExpression("^(?!t/a/b/inner/)[^/]+/"));
    }
    const QString m_target = file("t/a/b/inner");
};

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
    EXPECT_FALSE(ExtractZipMember(path, "bomb.txt", "", m_target, 10 * 1024 * 1024, nullptr));
    EXPECT_TRUE(filesBelow(m_target).isEmpty());

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

TEST_F(HostileTest, TraversalNamesNeverWriteOutsideTheFolder)
{
    const QByteArray names[] = {"../../evil1.txt", "/tmp/evil2.txt", "C:\\evil3.txt", "..\\..\\evil4.txt",
                                "sub/../../evil5.txt", "a/..", "..", "c:evil6.txt"};
    std::vector<RawZipEntry> zipEntries;
    std::vector<CabEntry> cabEntries;
    std::vector<Rar4Entry> rarEntries;
    for (const QByteArray &name : names) {
        zipEntries.push_back({name, "evil"});
        cabEntries.push_back({QByteArray(name).replace('/', '\\'), "evil"});
        rarEntries.push_back({QString::fromLatin1(name).replace(u'/', u'\\'), "evil"});
    }
    const QString zip = write("evil.zip", makeRawZip(zipEntries));
    const QString cab = write("evil.cab", makeCab(cabEntries));
    const QString rar = write("evil.rar", makeRar4(rarEntries));
    for (const ArchiveMember &member : listArchiveMembers(ArchiveKind::Zip, zip).members)
        ExtractZipMember(zip, member.name, member.path, m_target, 1000, nullptr);
    CABFile cabFile;
    cabFile.setCabName(cab);
    QStringList rarResults;
    for (const Rar4Entry &entry : rarEntries) {
        cabFile.Extract(entry.name, m_target, 1000);
        rarResults << QString::number(ExtractRarMember(rar, entry.name, m_target, 1000));
    }
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(u' ').toStdString();
    // Climbing names are refused; absolute and drive paths land inside the folder.
    EXPECT_EQ(rarResults, QStringList({"16", "0", "0", "16", "16", "16", "16", "0"}));
    const QStringList written = filesBelow(m_target);
    for (const char *expected : {"evil1.txt", "evil2.txt", "evil3.txt", "evil4.txt", "evil5.txt", "tmp/evil2.txt", "evil6.txt"})
        EXPECT_TRUE(written.contains(QString::fromLatin1(expected))) << expected;
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
        const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(99999), textRequest(5)});
        ASSERT_EQ(delivered.size(), 2u);
        EXPECT_EQ(delivered[0].content.head, QByteArray("5"));
        EXPECT_EQ(delivered[1].content.head, QByteArray("99999"));
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

TEST_F(HostileTest, DamagedCentralDirectoryListsTheMembersBeforeTheDamage)
{
    QByteArray bytes = makeRawZip({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    bytes[bytes.indexOf("PK\x01\x02", bytes.indexOf("PK\x01\x02") + 1) + 1] = 'X';
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, write("damaged.zip", bytes));
    EXPECT_TRUE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));
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
            MemberList members;
            const int result = kind == ArchiveKind::Rar ? ListRarMembers(path, members) : RarResult::Success;
            EXPECT_TRUE(result == RarResult::Success || result == RarResult::CannotOpen || result == RarResult::BadData);
        }
    }
    EXPECT_TRUE(strayFiles().isEmpty());
    EXPECT_TRUE(filesBelow(m_target).isEmpty());
}

} // namespace
