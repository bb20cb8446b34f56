#include "scan/DiscImages.h"
#include "scan/DriveLayer.h"
#include "scan/FakeDriveSystem.h"
#include "scan/IsoVolume.h"
#include "scan/ScanFixtures.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;

class IsoVolumeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::hasGenisoimage())
            GTEST_SKIP() << "genisoimage is not installed";
        setLanguageOffset(1000);
        ASSERT_TRUE(QDir(tree.path()).mkpath(u"nested/deeper"_s));
        ASSERT_TRUE(test::writeFile(tree.filePath(u"readme.txt"_s), "Hello"));
        ASSERT_TRUE(test::writeFile(tree.filePath(u"nested/deeper/notes.txt"_s), "Deep"));
    }

    QByteArray image(const QStringList &options)
    {
        const QString path = work.filePath(u"made.iso"_s);
        return test::makeIsoImage(tree.path(), path, options) ? test::readFile(path) : QByteArray();
    }

    IsoOpening open(const QByteArray &bytes)
    {
        const QString path = work.filePath(u"disc.iso"_s);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return IsoVolume::open(path);
    }

    QTemporaryDir tree, work;
};

// Entries met by walking every folder and reading every file; -1 past a depth no
// honest image reaches.
int walk(const Volume &volume, const QString &path, int depth = 0)
{
    if (depth > 40)
        return -1;
    int count = 0;
    for (const VolumeEntry &entry : volume.listFolder(path, ListDetail::Facts).entries) {
        ++count;
        const QString child = path + u'\\' + entry.name;
        if (entry.isFolder) {
            const int below = walk(volume, child, depth + 1);
            if (below < 0)
                return -1;
            count += below;
        } else if (const std::unique_ptr<QIODevice> content = volume.openFile(child)) {
            content->readAll();
        }
    }
    return count;
}

qsizetype sectorOfType(const QByteArray &image, quint8 type)
{
    for (qsizetype sector = 16; (sector + 1) * kDiscSectorSize <= image.size(); ++sector)
        if (quint8(image[sector * kDiscSectorSize]) == type)
            return sector;
    return -1;
}

TEST_F(IsoVolumeTest, LabelAndSerialFromTheActiveDescriptorOfTheImage)
{
    const struct { QStringList options; quint8 active; } cases[] = {
        {{"-J", "-R", "-V", "MY DISC"}, 2},
        {{"-R", "-V", "MY DISC"}, 1},
        {{"-J", "-R", "-udf", "-V", "MY DISC"}, 2},   // ISO/UDF bridge: read through its ISO 9660 tree
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const QByteArray bytes = image(c.options);
        const qsizetype active = sectorOfType(bytes, c.active);
        ASSERT_GT(active, 0);
        const IsoOpening opening = open(bytes);
        ASSERT_NE(opening.volume, nullptr);
        EXPECT_EQ(opening.disc.label, u"MY DISC"_s);
        EXPECT_EQ(opening.disc.serial, laneSumSerial(QByteArrayView(bytes).sliced(active * kDiscSectorSize, kDiscSectorSize)));
        EXPECT_EQ(walk(*opening.volume, QString()), 4);
        // A virtual drive naming the image reads the same volume.
        const DriveReading reading = readDrive({u'I', DriveKind::Virtual, {}, work.filePath(u"disc.iso"_s)},
                                               test::FakeDriveSystem());
        ASSERT_TRUE(reading.volume);
        EXPECT_EQ(reading.volume->serial, opening.disc.serial);
    }
}

TEST_F(IsoVolumeTest, FilesThatAreNoReadableImageGiveOneMessageAndNoDisc)
{
    const QByteArray good = image({"-J", "-R"});
    ASSERT_FALSE(good.isEmpty());
    QByteArray udf;
    const auto udfSectors = test::udfImage();
    for (qint64 sector = 0; const auto bytes = udfSectors->readSector(sector); ++sector)
        udf += *bytes;
    const struct { const char *what; QByteArray bytes; int message; } cases[] = {
        {"empty", {}, 1930},
        {"zero-filled", QByteArray(64 * kDiscSectorSize, '\0'), 1930},
        {"text", QByteArray(40 * kDiscSectorSize, 'x'), 1930},
        {"cut in the descriptors", good.left(16 * kDiscSectorSize + 100), 1930},
        {"cut before the root folder", good.left(19 * kDiscSectorSize), 1930},
        {"UDF only", udf, 1931},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const IsoOpening opening = open(c.bytes);
        EXPECT_EQ(opening.volume, nullptr);
        EXPECT_TRUE(opening.message.startsWith(LoadText(c.message - 1000))) << opening.message.toStdString();
    }
}

// Patches the Joliet record of `name` (its 32-bit both-endian field at `field`).
bool patchRecord(QByteArray &image, const QString &name, int field, quint32 value)
{
    QByteArray utf16;
    for (const QChar c : name)
        utf16 += char(c.unicode() >> 8), utf16 += char(c.unicode() & 0xFF);
    // The name is met in the path table too: the record is where a record's lengths fit.
    qsizetype at = -1;
    for (qsizetype found = image.indexOf(utf16); found >= 0 && at < 0; found = image.indexOf(utf16, found + 1))
        if (found >= 33 && quint8(image[found - 1]) >= utf16.size() && quint8(image[found - 33]) >= 33 + utf16.size())
            at = found - 33;
    if (at < 0)
        return false;
    for (int i = 0; i < 4; ++i) {
        image[at + field + i] = char(value >> (8 * i));
        image[at + field + 7 - i] = char(value >> (8 * i));
    }
    return true;
}

TEST_F(IsoVolumeTest, HostileImagesAreReadToAnEnd)
{
    const QByteArray good = image({"-J"});
    const qsizetype joliet = sectorOfType(good, 2);
    ASSERT_GT(joliet, 0);
    const quint32 root = quint8(good[joliet * kDiscSectorSize + 158]) | quint8(good[joliet * kDiscSectorSize + 159]) << 8;
    const struct { const char *what; QString name; int field; quint32 value; int entries; } cases[] = {
        {"folder pointing back at the root", u"deeper"_s, 2, root, 2},
        {"folder of absurd length", u"nested"_s, 10, 0xFFFFFFF0u, -2},
        {"folder past the end", u"nested"_s, 2, 0x7FFFFFF0u, 2},
        {"file past the end", u"notes.txt"_s, 2, 0x7FFFFFF0u, 4},
        {"file of absurd length", u"readme.txt"_s, 10, 0xFFFFFFF0u, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes = good;
        ASSERT_TRUE(patchRecord(bytes, c.name, c.field, c.value));
        const IsoOpening opening = open(bytes);
        ASSERT_NE(opening.volume, nullptr);
        const int entries = walk(*opening.volume, QString());
        EXPECT_GE(entries, 0);
        if (c.entries >= 0) {
            EXPECT_EQ(entries, c.entries);
        }
    }
}

} // namespace
} // namespace vorn
