#include "ArchiveFixtures.h"

#include "capture/PeIcons.h"

namespace {

using PeIconsTest = ArchiveTest;

TEST_F(PeIconsTest, IndexChoosesTheGroupNegativeIndexItsResourceId)
{
    const IconGroupResource named{0, {image(48, 'n', 40)}, "MAINICON"};
    const IconGroupResource first{101, {image(16, 'a', 30), image(32, 'b', 50)}};
    const IconGroupResource second{7, {image(32, 'c', 60)}};
    // An image that would take the file past the size cap is left out.
    const IconGroupResource huge{8, {image(16, 's', 100), image(255, 'h', int(kMaxIconFileSize)), image(32, 't', 200)}};
    const QString path = write("app.exe", makePe({named, first, second, huge}));
    const std::pair<int, std::vector<IconImage>> cases[] = {
        {0, named.images}, {1, first.images}, {2, second.images}, {-7, second.images}, {-101, first.images},
        {3, {huge.images[0], huge.images[2]}},
    };
    for (const auto &[index, images] : cases) {
        const std::optional<QByteArray> icon = readPeIcon(path, index);
        ASSERT_TRUE(icon.has_value()) << index;
        EXPECT_EQ(*icon, makeIco(images)) << index;
    }
    for (const int missing : {4, 100, -1, -9})
        EXPECT_FALSE(readPeIcon(path, missing).has_value()) << missing;
}

TEST_F(PeIconsTest, FilesWithoutIconsGiveNone)
{
    for (const QString &path : {write("stub.exe", makePe({})), write("text.exe", "MZ but nothing else"),
                                write("empty.dll", {}), file("missing.exe")}) {
        EXPECT_FALSE(readPeIcon(path, 0).has_value()) << path.toStdString();
    }
}

TEST_F(PeIconsTest, BrokenOffsetsGiveNoIconAndNoCrash)
{
    const QByteArray good = makePe({{1, {image(16, 'a', 64)}}});
    // Every 4-byte field of the headers and the resource tree set to values that
    // point nowhere, one at a time.
    int readable = 0;
    for (qsizetype at = 0x3C; at + 4 <= good.size() && at < 0x400; at += 2) {
        for (const quint32 value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x80000010u, 0x00001000u, 0u}) {
            QByteArray bytes = good;
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = char((value >> (8 * i)) & 0xFF);
            const QString path = write("broken.exe", bytes);
            const std::optional<QByteArray> icon = readPeIcon(path, 0);
            readable += icon.has_value();
            EXPECT_LE(icon.value_or(QByteArray()).size(), kMaxIconFileSize);
        }
    }
    // Most changes land in padding or leave the tree intact; what matters is no crash.
    EXPECT_GT(readable, 0);

    // The first type entry's subdirectory points back at the root.
    QByteArray loop = good;
    loop.replace(0x200 + 16 + 4, 4, QByteArray("\0\0\0\x80", 4));
    const QString path = write("loop.exe", loop);
    EXPECT_FALSE(readPeIcon(path, 0).has_value());
    EXPECT_FALSE(readPeIcon(path, -3).has_value());
}

} // namespace
