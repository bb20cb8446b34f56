#include "ArchiveFixtures.h"

#include "capture/ArchiveMembers.h"
#include "capture/CabFile.h"
#include "capture/RarMembers.h"
#include "capture/ZipMembers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

using namespace vorn;
using namespace vorn::test;

namespace {

// Every file below `folder`, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

class HostileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetZipPasswordRefusal();
        m_archives = m_base.filePath("archives");
        m_target = m_base.filePath("temp/inner");
        QDir().mkpath(m_archives);
        QDir().mkpath(m_target);
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_archives + u'/' + name;
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    // Files anywhere in the test's folder outside the archives' folder and the target.
    QStringList strayFiles() const
    {
        QStringList stray;
        for (const QString &file : filesBelow(m_base.path())) {
            if (!file.startsWith(u"archives/") && !file.startsWith(u"temp/inner/"))
                stray << file;
        }
        return stray;
    }

    QTemporaryDir m_base;
    QString m_archives;
    QString m_target;
};

TEST_F(HostileTest, MemberClaimingTenGigabytesIsNeverInflated)
{
    RawZipEntry text("bomb.txt", QByteArray(1024, 'x'));
    text.claimedSize = 10ll * 1024 * 1024 * 1024;
    RawZipEntry song("bomb.mp3", QByteArray(1024, 'x'));
    song.claimedSize = 10ll * 1024 * 1024 * 1024;
    const QString path = write("bomb.zip", makeRawZip({text, song}));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 2u);
    EXPECT_EQ(listing.members[0].size, 10ll * 1024 * 1024 * 1024);

    const auto delivered = readAll(ArchiveKind::Zip, path, listing,
                                   {textRequest(0, qint64(1) << 40), mp3Request(1)});
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_LE(delivered[1].content.head.size(), 1024);

    EXPECT_FALSE(ExtractZipMember(path, "bomb.txt", "", m_target, 10 * 1024 * 1024, nullptr));
    EXPECT_TRUE(filesBelow(m_target).isEmpty());
}

TEST_F(HostileTest, DeflatedStreamIsGivenUpPastTheMp3Limit)
{
    const QByteArray zeros(kMp3StreamLimit + 4096, '\0');
    const QString path = m_archives + "/zeros.zip";
    ASSERT_TRUE(makeZipFile(path, {{"zeros.mp3", zeros}, {"zeros.txt", zeros}}));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {mp3Request(0), textRequest(1, 1000)});
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_FALSE(delivered[0].content.complete);
    EXPECT_EQ(delivered[0].content.head, QByteArray(10, '\0'));
    EXPECT_TRUE(delivered[0].content.tail128.isEmpty());
    EXPECT_FALSE(delivered[1].content.complete);
}

TEST_F(HostileTest, MemberInflatingPastItsClaimedSizeStopsAtTheLimit)
{
    const QString path = m_archives + "/liar.zip";
    ASSERT_TRUE(makeZipFile(path, {{"liar.txt", QByteArray(2 * 1024 * 1024, 'L')}}));
    // Claim 100 bytes in both headers: the stream still inflates to 2 MB.
    QByteArray bytes = readFile(path);
    for (const QByteArray &signature : {QByteArray("PK\x03\x04", 4), QByteArray("PK\x01\x02", 4)}) {
        const qsizetype at = bytes.indexOf(signature);
        ASSERT_GE(at, 0);
        const qsizetype sizeAt = at + (signature[2] == '\x03' ? 22 : 24);
        bytes[sizeAt] = char(100);
        bytes[sizeAt + 1] = bytes[sizeAt + 2] = bytes[sizeAt + 3] = 0;
    }
    ASSERT_TRUE(writeFile(path, bytes));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].size, 100);
    const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(0, 1000)});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_LE(delivered[0].content.head.size(), 1000);
}

TEST_F(HostileTest, TraversalNamesNeverWriteOutsideTheFolder)
{
    const QByteArray names[] = {"../../evil1.txt", "/tmp/evil2.txt", "C:\\evil3.txt",
                                "..\\..\\evil4.txt", "sub/../../evil5.txt", "a/..", "..", "c:evil6.txt"};
    std::vector<RawZipEntry> zipEntries;
    std::vector<CabEntry> cabEntries;
    std::vector<Rar4Entry> rarEntries;
    for (const QByteArray &name : names) {
        zipEntries.emplace_back(name, "evil");
        cabEntries.emplace_back(QByteArray(name).replace('/', '\\'), "evil");
        rarEntries.emplace_back(QString::fromLatin1(name).replace(u'/', u'\\'), "evil");
    }
    const QString zip = write("evil.zip", makeRawZip(zipEntries));
    const QString cab = write("evil.cab", makeCab(cabEntries));
    const QString rar = write("evil.rar", makeRar4(rarEntries));

    for (const ArchiveMember &member : listArchiveMembers(ArchiveKind::Zip, zip).members)
        ExtractZipMember(zip, member.name, member.path, m_target, 1000, nullptr);
    CABFile cabFile;
    cabFile.setCabName(cab);
    for (const QByteArray &name : names)
        cabFile.Extract(QString::fromLatin1(name).replace(u'/', u'\\'), m_target, 1000);
    QStringList rarResults;
    for (const QByteArray &name : names)
        rarResults << QString::number(ExtractRarMember(rar, QString::fromLatin1(name).replace(u'/', u'\\'), m_target, 1000));

    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(u' ').toStdString();
    // Climbing names are refused; absolute and drive paths land inside the folder.
    EXPECT_EQ(rarResults, QStringList({"16", "0", "0", "16", "16", "16", "16", "0"}));
    const QStringList written = filesBelow(m_target);
    for (const char *expected : {"evil1.txt", "evil2.txt", "evil3.txt", "evil4.txt", "evil5.txt",
                                 "tmp/evil2.txt", "evil6.txt"})
        EXPECT_TRUE(written.contains(QString::fromLatin1(expected))) << expected;
}

TEST_F(HostileTest, OneHundredThousandMembers)
{
    std::vector<RawZipEntry> entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        entries.emplace_back("d" + QByteArray::number(i / 1000) + "/f" + QByteArray::number(i) + ".txt",
                             QByteArray::number(i));
    for (const bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped);
        const QString path = write("many.zip", makeRawZip(entries, {}, false, {}, wrapped));
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
        EXPECT_FALSE(listing.damaged);
        ASSERT_EQ(listing.members.size(), 100000u);
        EXPECT_EQ(listing.members[99999].name, QStringLiteral("f99999.txt"));
        EXPECT_EQ(listing.members[99999].path, QStringLiteral("d99"));
        if (!wrapped) {
            const auto delivered = readAll(ArchiveKind::Zip, path, listing, {textRequest(99999), textRequest(5)});
            ASSERT_EQ(delivered.size(), 2u);
            EXPECT_EQ(delivered[0].content.head, QByteArray("5"));
            EXPECT_EQ(delivered[1].content.head, QByteArray("99999"));
        }
    }
}

TEST_F(HostileTest, NamedPipeIsNeverOpened)
{
    // Opening a pipe for reading would wait for a writer that never comes.
    const QString path = m_archives + "/pipe.zip";
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    for (const ArchiveKind kind : {ArchiveKind::Zip, ArchiveKind::Cab, ArchiveKind::Rar}) {
        const ArchiveListing listing = listArchiveMembers(kind, path);
        EXPECT_FALSE(listing.recognised);
        EXPECT_TRUE(listing.members.empty());
    }
}

TEST_F(HostileTest, DamagedCentralDirectoryListsTheMembersBeforeTheDamage)
{
    QByteArray bytes = makeRawZip({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    const qsizetype second = bytes.indexOf("PK\x01\x02", bytes.indexOf("PK\x01\x02") + 1);
    bytes[second + 1] = 'X';
    const QString path = write("damaged.zip", bytes);
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Zip, path);
    EXPECT_TRUE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));
}

// Cuts and flips bytes of every kind of archive and reads what is left: whatever the
// damage, listing and reading end, every request is answered once, and nothing is
// written anywhere.
TEST_F(HostileTest, TruncatedAndCorruptedArchives)
{
    const QString zipPath = m_archives + "/good.zip";
    ASSERT_TRUE(makeZipFile(zipPath, {{"docs/", {}}, {"docs/readme.txt", QByteArray(3000, 'r')},
                                      {"song.mp3", mp3Bytes(20000)}, {"stored.mp3", mp3Bytes(3000), false}}));
    struct Sample { ArchiveKind kind; QByteArray bytes; };
    const std::vector<Sample> samples{
        {ArchiveKind::Zip, readFile(zipPath)},
        {ArchiveKind::Zip, makeRawZip({{"a.txt", "aaaa"}, {"b.mp3", mp3Bytes(500)}}, makePeStub(), false)},
        {ArchiveKind::Cab, makeCab({{"a.txt", QByteArray(40000, 'a')}, {"d\\b.mp3", mp3Bytes(1000)}})},
        {ArchiveKind::Rar, makeRar4({{"a.txt", "aaaa"}, {"d\\b.mp3", mp3Bytes(1000)}, {"c.txt", "cc"}})},
        {ArchiveKind::Rar, makeRar5({{"a.txt", "aaaa"}, {"d/b.mp3", mp3Bytes(1000)}})},
    };
    std::mt19937 random(20240601);
    int cases = 0;
    for (const Sample &sample : samples) {
        std::vector<QByteArray> variants;
        for (int cut = 0; cut < 40; ++cut)
            variants.push_back(sample.bytes.left(sample.bytes.size() * cut / 40));
        for (int flip = 0; flip < 150; ++flip) {
            QByteArray bytes = sample.bytes;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i)
                bytes[qsizetype(random() % quint32(bytes.size()))] = char(random() & 0xFF);
            variants.push_back(bytes);
        }
        for (const QByteArray &bytes : variants) {
            const QString path = write("variant", bytes);
            const ArchiveListing listing = listArchiveMembers(sample.kind, path);
            EXPECT_LE(listing.members.size(), kMaxArchiveMembers);
            std::vector<MemberRequest> requests;
            for (int i = 0; i < int(listing.members.size()); ++i) {
                requests.push_back(textRequest(i, 100000));
                requests.push_back(mp3Request(i));
            }
            requests.push_back(textRequest(int(listing.members.size()) + 3));
            ScriptedPrompt prompt;
            const auto delivered = readAll(sample.kind, path, listing, requests, &prompt);
            EXPECT_EQ(delivered.size(), requests.size());
            for (const Delivered &d : delivered) {
                if (d.want == MemberRequest::Want::Text && d.content.complete) {
                    EXPECT_LE(d.content.head.size(), 100000);
                }
                EXPECT_LE(d.content.tail128.size(), 128);
            }
            if (sample.kind == ArchiveKind::Rar) {
                MemberList members;
                const int result = ListRarMembers(path, members);
                EXPECT_TRUE(result == RarResult::Success || result == RarResult::CannotOpen
                            || result == RarResult::BadData);
            }
            ++cases;
        }
    }
    EXPECT_EQ(cases, 5 * 190);
    EXPECT_TRUE(strayFiles().isEmpty());
    EXPECT_TRUE(filesBelow(m_target).isEmpty());
}

} // namespace
