#include "scan/FolderVolume.h"
#include "scan/ScanFixtures.h"

#include <gtest/gtest.h>

#include <QDir>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::HostTree;

TEST(VolumeFile, Lines)
{
    struct Case { const char *name; QByteArray bytes; std::optional<QString> label; std::optional<qint32> serial; };
    const Case cases[] = {
        {"both", "label=MY DISC\nserial=1234567890\n", u"MY DISC"_s, 1234567890},
        {"negative serial", "serial=-1969383041\nlabel=X", u"X"_s, -1969383041},
        {"CRLF and blanks", "  Label =  Spaced Out  \r\n SERIAL = 42 \r\n", u"Spaced Out"_s, 42},
        {"lowest", "serial=-2147483648", std::nullopt, std::numeric_limits<qint32>::min()},
        {"too big", "serial=2147483648", std::nullopt, std::nullopt},
        {"not decimal", "serial=0x10\nlabel=L", u"L"_s, std::nullopt},
        {"trailing garbage", "serial=12abc", std::nullopt, std::nullopt},
        {"missing label", "serial=7", std::nullopt, 7},
        {"missing serial", "label=Only", u"Only"_s, std::nullopt},
        {"empty label", "label=\nserial=1", QString(), 1},
        {"equals inside the label", "label=a=b", u"a=b"_s, std::nullopt},
        {"first valid value counts", "serial=abc\nserial=5\nserial=6\nlabel=one\nlabel=two", u"one"_s, 5},
        {"Windows-1252 label", "label=Caf\xE9", u"Caf\u00E9"_s, std::nullopt},
        {"garbage", QByteArray("\x00\xFF\x13garbage\n==\nnolabel\n", 21), std::nullopt, std::nullopt},
        {"nothing", "", std::nullopt, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const VolumeFileValues values = parseVolumeFile(c.bytes);
        EXPECT_EQ(values.label, c.label);
        EXPECT_EQ(values.serial, c.serial);
    }
}

VolumeEntry entry(const QString &name, bool folder, qint64 size, qint64 modifiedMs)
{
    VolumeEntry e;
    e.name = name;
    e.isFolder = folder;
    e.size = size;
    e.modifiedMs = modifiedMs;
    e.hasFacts = true;
    return e;
}

std::vector<VolumeEntry> sampleListing()
{
    return {entry(u"b.txt"_s, false, 10, 1000000000500), entry(u"é.txt"_s, false, 1, 0),
            entry(u"a"_s, true, 4096, 999999999000)};
}

TEST(ListingHash, FixedValue)
{
    // FNV-1a over "DISC\0" and, by UTF-8 name, name, kind, size, seconds, each
    // followed by a NUL; computed once outside this program. Any change here changes
    // every identifier of every virtual disc already catalogued.
    EXPECT_EQ(listingHash(u"DISC"_s, sampleListing()), 235011113u);
}

TEST(ListingHash, WhatCountsAndWhatDoesNot)
{
    const quint32 base = listingHash(u"DISC"_s, sampleListing());

    struct Change
    {
        const char *name;
        std::function<void(QString &, std::vector<VolumeEntry> &)> apply;
        bool changes;
    };
    const Change changes[] = {
        {"order of the listing", [](QString &, auto &l) { std::reverse(l.begin(), l.end()); }, false},
        {"folder size", [](QString &, auto &l) { l[2].size = 8192; }, false},
        {"fraction of a second", [](QString &, auto &l) { l[0].modifiedMs += 400; }, false},
        {"dot entry", [](QString &, auto &l) { l.push_back(entry(u".vorn-volume"_s, false, 5, 1)); }, false},
        {"entry without facts",
         [](QString &, auto &l) {
             VolumeEntry vanished;
             vanished.name = u"gone"_s;
             l.push_back(vanished);
         },
         false},
        {"label", [](QString &label, auto &) { label = u"DISC2"_s; }, true},
        {"file size", [](QString &, auto &l) { l[0].size = 11; }, true},
        {"one second later", [](QString &, auto &l) { l[0].modifiedMs += 1000; }, true},
        {"renamed", [](QString &, auto &l) { l[0].name = u"c.txt"_s; }, true},
        {"kind", [](QString &, auto &l) { l[1].isFolder = true; l[1].size = 0; }, true},
        {"added", [](QString &, auto &l) { l.push_back(entry(u"new"_s, false, 0, 0)); }, true},
        {"removed", [](QString &, auto &l) { l.pop_back(); }, true},
    };
    for (const Change &change : changes) {
        SCOPED_TRACE(change.name);
        QString label = u"DISC"_s;
        std::vector<VolumeEntry> listing = sampleListing();
        change.apply(label, listing);
        EXPECT_EQ(listingHash(label, listing) != base, change.changes);
    }
}

TEST(FolderVolume, FromVolumeFileOrMadeUp)
{
    HostTree tree;
    ASSERT_TRUE(tree.folder("disc"));
    ASSERT_TRUE(tree.file("disc/readme.txt", "hello"));
    ASSERT_TRUE(tree.touch("disc/readme.txt", 1100000000));
    const QString folder = tree.root() + u"/disc"_s;

    // No volume file: the folder's name, a serial from the listing.
    std::optional<DiscVolume> volume = readFolderVolume(folder);
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->label, u"disc"_s);
    const qint32 madeUp = volume->serial;
    EXPECT_EQ(readFolderVolume(folder + u"/"_s)->serial, madeUp);

    // Content at the root changes the serial.
    ASSERT_TRUE(tree.file("disc/more.txt", "x"));
    EXPECT_NE(readFolderVolume(folder)->serial, madeUp);
    ASSERT_EQ(::unlink(tree.bytes("disc/more.txt").constData()), 0);
    EXPECT_EQ(readFolderVolume(folder)->serial, madeUp);

    // A label only: the serial is made up from that label.
    ASSERT_TRUE(tree.file("disc/.vorn-volume", "label=Holidays\n"));
    volume = readFolderVolume(folder);
    EXPECT_EQ(volume->label, u"Holidays"_s);
    const HostVolume root(folder);
    EXPECT_EQ(volume->serial, qint32(listingHash(u"Holidays"_s, root.listFolder({}, ListDetail::Facts).entries)));

    // Both values given.
    ASSERT_TRUE(tree.file("disc/.vorn-volume", "label=Holidays\nserial=-5\n"));
    volume = readFolderVolume(folder);
    EXPECT_EQ(volume->label, u"Holidays"_s);
    EXPECT_EQ(volume->serial, -5);

    // A serial only: the folder's name.
    ASSERT_TRUE(tree.file("disc/.vorn-volume", "serial=77"));
    volume = readFolderVolume(folder);
    EXPECT_EQ(volume->label, u"disc"_s);
    EXPECT_EQ(volume->serial, 77);

    // No folder, or a file in its place: an empty drive.
    EXPECT_FALSE(readFolderVolume(tree.root() + u"/missing"_s).has_value());
    EXPECT_FALSE(readFolderVolume(folder + u"/readme.txt"_s).has_value());
    EXPECT_FALSE(readFolderVolume(QString()).has_value());
}

} // namespace
} // namespace vorn
