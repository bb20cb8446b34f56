#include "store/Mp3TagStore.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/Records.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

const QString kId = QStringLiteral("77");

// "[section]" / "key=value" lines read back without the store's own reader.
QMap<QString, QMap<QString, QString>> sectionsOf(const QByteArray &bytes)
{
    QMap<QString, QMap<QString, QString>> sections;
    QString current;
    for (const QByteArray &raw : bytes.split('\n')) {
        QString line = QString::fromUtf8(raw);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2);
            sections[current];
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        EXPECT_GT(equals, 0) << line.toStdString();
        sections[current][line.left(equals)] = line.mid(equals + 1);
    }
    return sections;
}

class Mp3TagStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath("data");
        QDir(m_root.path()).mkpath("temp");
        catalogue.dataFolder = m_root.filePath("data") + '/';
        catalogue.tempFolder = m_root.filePath("temp") + '/';
    }
    QString storePath() const { return catalogue.workingCopy(kId, ".id3"); }

    QTemporaryDir m_root;
    Catalogue catalogue;
};

} // namespace

TEST_F(Mp3TagStoreTest, SectionsAreDecimalFileNumbersWithTheSixKeys)
{
    struct Case { qint64 fileNumber; Mp3Tags tags; };
    const Case cases[] = {
        {0, {"Morning Light", "Dawn", "The Band", "", 1999, "1"}},
        {12, {QStringLiteral("Été"), "", QStringLiteral("Zoë"), "live, 2 takes", 0, "03/12"}},
        {1234567, {"", "", "", "", 2024, ""}},
    };
    Mp3TagStore store;
    for (const Case &c : cases)
        store.set(c.fileNumber, c.tags);
    ASSERT_TRUE(store.save(storePath()));

    const auto sections = sectionsOf(readFile(storePath()));
    ASSERT_EQ(sections.size(), 3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fileNumber);
        const QString name = QString::number(c.fileNumber);
        ASSERT_TRUE(sections.contains(name));
        const auto &keys = sections[name];
        EXPECT_EQ(keys.size(), 6);
        EXPECT_EQ(keys.value("TIT"), c.tags.title);
        EXPECT_EQ(keys.value("ALB"), c.tags.album);
        EXPECT_EQ(keys.value("ART"), c.tags.artist);
        EXPECT_EQ(keys.value("COM"), c.tags.comment);
        EXPECT_EQ(keys.value("YEA"), QString::number(c.tags.year));
        EXPECT_EQ(keys.value("PIS"), c.tags.track);
    }

    Mp3TagReader reader;
    for (const Case &c : cases)
        EXPECT_EQ(reader.read(catalogue, kId, c.fileNumber), c.tags) << c.fileNumber;
    EXPECT_EQ(reader.read(catalogue, kId, 5), Mp3Tags());
}

TEST_F(Mp3TagStoreTest, ALineBreakInAValueCannotAddKeys)
{
    Mp3TagStore store;
    store.set(3, {"t", "a", "r", "first\r\nYEA=1066\nsecond", 2001, "2"});
    store.set(4, {"u", "", "", "", 0, ""});
    Mp3TagStore reread;
    reread.parse(store.serialize());
    const Mp3Tags tags = reread.tags(3);
    EXPECT_EQ(tags.year, 2001);
    EXPECT_FALSE(tags.comment.contains('\n'));
    EXPECT_TRUE(tags.comment.startsWith("first"));
    EXPECT_EQ(reread.tags(4).title, "u");
    EXPECT_EQ(reread.count(), 2);
}

TEST_F(Mp3TagStoreTest, StoreWithoutMp3FilesIsAnEmptyFile)
{
    ASSERT_TRUE(writeFile(storePath(), "[9]\r\nTIT=old tags of another file\r\n"));
    Mp3TagStore store;
    ASSERT_TRUE(store.save(storePath()));
    EXPECT_TRUE(QFileInfo::exists(storePath()));
    EXPECT_EQ(QFileInfo(storePath()).size(), 0);
    Mp3TagReader reader;
    EXPECT_EQ(reader.read(catalogue, kId, 9), Mp3Tags());
}

TEST_F(Mp3TagStoreTest, MissingWorkingCopyIsUnpackedFromTheDiscArchive)
{
    Mp3TagStore store;
    store.set(0, {"Song", "Album", "Artist", "", 2010, "7"});
    ASSERT_TRUE(store.save(storePath()));
    ASSERT_TRUE(DiscArchive::pack(catalogue, kId, Member::Id3, QString(), 6));
    ASSERT_TRUE(QFile::remove(storePath()));

    Mp3TagReader reader;
    EXPECT_EQ(reader.read(catalogue, kId, 0).artist, "Artist");
    EXPECT_TRUE(QFileInfo::exists(storePath()));

    Mp3TagReader other;
    EXPECT_EQ(other.read(catalogue, "404", 0), Mp3Tags());
}

