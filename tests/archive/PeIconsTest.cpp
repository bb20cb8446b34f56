#include "ArchiveFixtures.h"

#include "capture/PeIcons.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

IconImage image(int size, char fill, int length)
{
    return IconImage(size, size, QByteArray(length, fill));
}

class PeIconsTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(PeIconsTest, IndexChoosesTheGroupNegativeIndexItsResourceId)
{
    const IconGroupResource named(0, {image(48, 'n', 40)}, "MAINICON");
    const IconGroupResource first(101, {image(16, 'a', 30), image(32, 'b', 50)});
    const IconGroupResource second(7, {image(32, 'c', 60)});
    const QString path = write("app.exe", makePe({named, first, second}));
    EXPECT_EQ(countPeIconGroups(path), 3);

    struct Case { int index; std::vector<IconImage> expected; };
    const Case cases[] = {
        {0, named.images},
        {1, first.images},
        {2, second.images},
        {-7, second.images},
        {-101, first.images},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        const std::optional<QByteArray> icon = readPeIcon(path, c.index);
        ASSERT_TRUE(icon.has_value());
        EXPECT_EQ(*icon, makeIco(c.expected));
    }
    for (const int missing : {3, 100, -1, -8}) {
        SCOPED_TRACE(missing);
        EXPECT_FALSE(readPeIcon(path, missing).has_value());
    }
}

TEST_F(PeIconsTest, FilesWithoutIconsGiveNone)
{
    const QString stub = write("stub.exe", makePeStub());
    const QString text = write("text.exe", "MZ but nothing else");
    const QString empty = write("empty.dll", {});
    for (const QString &path : {stub, text, empty, m_dir.filePath("missing.exe")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(countPeIconGroups(path), 0);
        EXPECT_FALSE(readPeIcon(path, 0).has_value());
    }
}

TEST_F(PeIconsTest, ImagesBeyondTheSizeCapAreLeftOut)
{
    const IconGroupResource group(1, {image(16, 's', 100), image(255, 'h', int(kMaxIconFileSize)),
                                      image(32, 't', 200)});
    const QString path = write("huge.exe", makePe({group}));
    const std::optional<QByteArray> icon = readPeIcon(path, 0);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(*icon, makeIco({image(16, 's', 100), image(32, 't', 200)}));
}

TEST_F(PeIconsTest, BrokenOffsetsGiveNoIconAndNoCrash)
{
    const QByteArray good = makePe({IconGroupResource(1, {image(16, 'a', 64)})});
    // Every 4-byte field of the headers and the resource tree set to values that
    // point nowhere, one at a time.
    const quint32 hostile[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x80000010u, 0x00001000u, 0};
    int readable = 0;
    for (qsizetype at = 0x3C; at + 4 <= good.size() && at < 0x400; at += 2) {
        for (const quint32 value : hostile) {
            QByteArray bytes = good;
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = char((value >> (8 * i)) & 0xFF);
            const QString path = write("broken.exe", bytes);
            const std::optional<QByteArray> icon = readPeIcon(path, 0);
            if (icon) {
                ++readable;
                EXPECT_LE(icon->size(), kMaxIconFileSize);
            }
            countPeIconGroups(path);
        }
    }
    // Most changes land in padding or leave the tree intact; what matters is no crash.
    EXPECT_GT(readable, 0);
}

TEST_F(PeIconsTest, SelfReferringDirectoriesEnd)
{
    QByteArray bytes = makePe({IconGroupResource(1, {image(16, 'a', 64)})});
    // The first type entry's subdirectory points back at the root.
    const qsizetype root = 0x200;
    bytes[root + 16 + 4] = 0;
    bytes[root + 16 + 5] = 0;
    bytes[root + 16 + 6] = 0;
    bytes[root + 16 + 7] = char(0x80);
    const QString path = write("loop.exe", bytes);
    EXPECT_FALSE(readPeIcon(path, 0).has_value());
    EXPECT_FALSE(readPeIcon(path, -3).has_value());
}

} // namespace
