#include "scan/FolderVolume.h"
#include "scan/ScanFixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;

TEST(VolumeFile, Lines)
{
    const struct { QByteArray bytes; std::optional<QString> label; std::optional<qint32> serial; } cases[] = {
        {"label=MY DISC\nserial=1234567890\n", u"MY DISC"_s, 1234567890},
        {"serial=-1969383041\nlabel=X", u"X"_s, -1969383041},
        {"  Label =  Spaced Out  \r\n SERIAL = 42 \r\n", u"Spaced Out"_s, 42},
        {"serial=-2147483648", std::nullopt, std::numeric_limits<qint32>::min()},
        {"serial=2147483648", std::nullopt, std::nullopt},
        {"serial=0x10\nlabel=L", u"L"_s, std::nullopt},
        {"serial=12abc", std::nullopt, std::nullopt},
        {"label=\nserial=1", QString(), 1},
        {"label=a=b", u"a=b"_s, std::nullopt},
        {"serial=abc\nserial=5\nserial=6\nlabel=one\nlabel=two", u"one"_s, 5},   // the first valid line counts
        {"label=Caf\xE9", u"Caf\u00E9"_s, std::nullopt},                          // Windows-1252
        {QByteArray("\x00\xFF\x13garbage\n==\nnolabel\n", 21), std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        const VolumeFileValues values = parseVolumeFile(c.bytes);
        EXPECT_EQ(values.label, c.label);
        EXPECT_EQ(values.serial, c.serial);
    }
}

VolumeEntry entry(const QString &name, bool folder, qint64 size, qint64 modifiedMs)
{
    return VolumeEntry{name, folder, false, size, modifiedMs, true};
}

TEST(ListingHash, FixedValueAndWhatCounts)
{
    const std::vector<VolumeEntry> sample = {entry(u"b.txt"_s, false, 10, 1000000000500),
                                             entry(u"é.txt"_s, false, 1, 0), entry(u"a"_s, true, 4096, 999999999000)};
    // FNV-1a over "DISC\0" and, by UTF-8 name, name, kind, size, seconds, each followed
    // by a NUL; computed once outside this program. A change here changes the
    // identifier of every virtual disc already catalogued.
    const quint32 base = listingHash(u"DISC"_s, sample);
    EXPECT_EQ(base, 235011113u);

    using Listing = std::vector<VolumeEntry>;
    const struct { const char *name; std::function<void(QString &, Listing &)> apply; bool changes; } changes[] = {
        {"order of the listing", [](QString &, Listing &l) { std::reverse(l.begin(), l.end()); }, false},
        {"folder size", [](QString &, Listing &l) { l[2].size = 8192; }, false},
        {"fraction of a second", [](QString &, Listing &l) { l[0].modifiedMs += 400; }, false},
        {"dot entry", [](QString &, Listing &l) { l.push_back(entry(u".vorn-volume"_s, false, 5, 1)); }, false},
        {"entry without facts",
         [](QString &, Listing &l) { l.push_back(entry(u"gone"_s, false, 3, 5)); l.back().hasFacts = false; }, false},
        {"label", [](QString &label, Listing &) { label = u"DISC2"_s; }, true},
        {"file size", [](QString &, Listing &l) { l[0].size = 11; }, true},
        {"one second later", [](QString &, Listing &l) { l[0].modifiedMs += 1000; }, true},
        {"renamed", [](QString &, Listing &l) { l[0].name = u"c.txt"_s; }, true},
        {"kind", [](QString &, Listing &l) { l[1].isFolder = true; l[1].size = 0; }, true},
        {"added", [](QString &, Listing &l) { l.push_back(entry(u"new"_s, false, 0, 0)); }, true},
        {"removed", [](QString &, Listing &l) { l.pop_back(); }, true},
    };
    for (const auto &change : changes) {
        QString label = u"DISC"_s;
        Listing listing = sample;
        change.apply(label, listing);
        EXPECT_EQ(listingHash(label, listing) != base, change.changes) << change.name;
    }
}

TEST(FolderVolume, FromVolumeFileOrMadeUp)
{
    test::HostTree tree;
    ASSERT_TRUE(tree.folder("disc") && tree.file("disc/readme.txt", "hello") && tree.touch("disc/readme.txt", 1100000000));
    const QString folder = tree.root() + u"/disc"_s;

    // No volume file: the folder's name, a serial from the root's listing.
    std::optional<DiscVolume> volume = readFolderVolume(folder);
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->label, u"disc"_s);
    const qint32 madeUp = volume->serial;
    EXPECT_EQ(readFolderVolume(folder + u"/"_s)->serial, madeUp);
    ASSERT_TRUE(tree.file("disc/more.txt", "x"));
    EXPECT_NE(readFolderVolume(folder)->serial, madeUp);
    ASSERT_EQ(::unlink(tree.bytes("disc/more.txt").constData()), 0);
    EXPECT_EQ(readFolderVolume(folder)->serial, madeUp);

    const HostVolume root(folder);
    const qint32 fromHolidays = qint32(listingHash(u"Holidays"_s, root.listFolder({}, ListDetail::Facts).entries));
    const struct { QByteArray file; QString label; qint32 serial; } cases[] = {
        {"label=Holidays\n", u"Holidays"_s, fromHolidays},   // the serial made up from that label
        {"label=Holidays\nserial=-5\n", u"Holidays"_s, -5},
        {"serial=77", u"disc"_s, 77},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(tree.file("disc/.vorn-volume", c.file));
        volume = readFolderVolume(folder);
        ASSERT_TRUE(volume.has_value());
        EXPECT_EQ(volume->label, c.label) << c.file.toStdString();
        EXPECT_EQ(volume->serial, c.serial) << c.file.toStdString();
    }
    // No folder, or a file in its place: an empty drive.
    EXPECT_FALSE(readFolderVolume(tree.root() + u"/missing"_s).has_value());
    EXPECT_FALSE(readFolderVolume(folder + u"/readme.txt"_s).has_value());
    EXPECT_FALSE(readFolderVolume(QString()).has_value());
}

} // namespace
} // namespace vorn
