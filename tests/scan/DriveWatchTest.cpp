#include "scan/DriveWatch.h"
#include "scan/FakeDriveSystem.h"
#include "scan/ScanFixtures.h"
#include "scan/cDrive.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::FakeDriveSystem;
using test::HostTree;

// Optical drive D (sr0) and virtual drives V and W (folders of a temporary tree),
// with settings and VORN_DRIVES set for the test only.
class DriveFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        ASSERT_TRUE(tree.folder("v"));
        ASSERT_TRUE(tree.folder("w"));
        setVolume("v", "label=VEE\nserial=-5\n");
        m_variable.emplace("V=" + tree.bytes("v") + ";W=" + tree.bytes("w"));
        system->devices = {u"/dev/sr0"_s};
        system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
        layer = std::make_unique<DriveLayer>(system);
        ASSERT_EQ(layer->letters(), u"DVW"_s);
    }
    void setVolume(const QByteArray &folder, const QByteArray &content)
    {
        ASSERT_TRUE(tree.file(folder + "/.vorn-volume", content));
    }

    test::IsolatedSettings settings;
    HostTree tree;
    std::shared_ptr<FakeDriveSystem> system = std::make_shared<FakeDriveSystem>();
    std::unique_ptr<DriveLayer> layer;

private:
    std::optional<test::DrivesVariable> m_variable;
};

using DriveLetterTest = DriveFixture;

TEST_F(DriveLetterTest, LetterRules)
{
    cDrive drive(*layer);
    struct Case { QString set; QString letter; qint32 type; QString numberId; };
    const Case cases[] = {
        {u"7"_s, QString(), 7, QString()},
        {QString(), QString(), 7, QString()},
        {u" v"_s, QString(), 7, QString()},
        {u"é"_s, QString(), 7, QString()},
        {u"v"_s, u"V"_s, 5, u"-5"_s},
        {u"vw"_s, u"V"_s, 5, u"-5"_s},
        {u"V:\\"_s, u"V"_s, 5, u"-5"_s},
        {u"d"_s, u"D"_s, 5, u"0"_s},          // optical drive without disc
        {u"q"_s, u"Q"_s, 1, u"0"_s},          // no such drive
        {u"A"_s, u"A"_s, 1, u"0"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.set.toStdString());
        drive.setLetter(u"V"_s);              // start from a drive with a volume
        drive.setLetter(c.set);
        EXPECT_EQ(drive.Letter(), c.letter);
        EXPECT_EQ(drive.DriveType(), c.type);
        EXPECT_EQ(drive.NumberID(), c.numberId);
        if (c.numberId != u"-5"_s) {
            EXPECT_EQ(drive.volume(), QString());
            EXPECT_EQ(drive.FileSystem(), QString());
            EXPECT_FALSE(drive.hasDisc());
        }
    }
}

TEST_F(DriveLetterTest, VolumeFacts)
{
    cDrive drive(*layer);
    drive.setLetter(u"v"_s);
    EXPECT_TRUE(drive.hasDisc());
    EXPECT_EQ(drive.volume(), u"VEE"_s);
    EXPECT_EQ(drive.FileSystem(), u"ext4"_s);
    EXPECT_EQ(drive.rootPath(), u"V:\\"_s);

    // Option 1: the type only.
    drive.setOptions(1);
    drive.Refresh();
    EXPECT_EQ(drive.DriveType(), 5);
    EXPECT_EQ(drive.NumberID(), QString());
    EXPECT_EQ(drive.volume(), QString());
    EXPECT_FALSE(drive.hasDisc());
    drive.setOptions(0);

    // An optical disc with a Joliet descriptor.
    auto image = test::isoDisc("PRIMARY");
    const QByteArray joliet = test::isoSupplementary(u"Été"_s, "%/@", 7);
    image->put(17, joliet);
    image->put(18, test::isoTerminator());
    system->insert(u"/dev/sr0"_s, image);
    drive.setLetter(u"D"_s);
    EXPECT_EQ(drive.volume(), u"Été"_s);
    EXPECT_EQ(drive.NumberID(), QString::number(laneSumSerial(joliet)));
    EXPECT_EQ(drive.FileSystem(), u"CDFS"_s);

    // The walker's volume.
    drive.setLetter(u"W"_s);
    const DriveVolumeOpening opening = drive.openVolume();
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), QString::fromUtf8(tree.bytes("w")));
    drive.setLetter(u"7"_s);
    EXPECT_EQ(drive.openVolume().volume, nullptr);
    EXPECT_FALSE(drive.openVolume().message.isEmpty());
}

class RecognitionTest : public DriveFixture
{
protected:
    void SetUp() override
    {
        DriveFixture::SetUp();
        addDisc(u"-5"_s, u"Alpha"_s);
        addDisc(u"1234"_s, u"Beta"_s);
    }
    void addDisc(const QString &identifier, const QString &name)
    {
        DiscRecord record;
        record.identifier = identifier;
        record.name = name;
        catalogue.discs.push_back(record);
    }

    Catalogue catalogue;
};

TEST_F(RecognitionTest, StatesAndTexts)
{
    cDrive drive(*layer);
    struct Case
    {
        const char *name;
        QByteArray volumeFile;        // of folder v; empty: folder removed
        QString key;
        QString text;
        DriveState state;
        int position;
    };
    const Case cases[] = {
        {"catalogued", "serial=-5\nlabel=whatever", u"V:-5"_s, u"V:\\[Alpha]"_s, DriveState::Catalogued, 1},
        {"another disc, same serial", "serial=1234\nlabel=Other", u"V:1234"_s, u"V:\\[Beta]"_s,
         DriveState::Catalogued, 2},
        {"not catalogued", "serial=99", u"V:99"_s, u"V:\\[CD non archivé]"_s, DriveState::NotCatalogued, 0},
        {"empty", {}, u"V:0"_s, u"V:\\[Aucun CD dans le lecteur]"_s, DriveState::Empty, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.volumeFile.isEmpty()) {
            ASSERT_EQ(::unlink(tree.bytes("v/.vorn-volume").constData()), 0);
            ASSERT_EQ(::rmdir(tree.bytes("v").constData()), 0);
        } else {
            setVolume("v", c.volumeFile);
        }
        drive.setLetter(u"V"_s);
        const DriveEntry entry = describeDrive(drive, catalogue);
        EXPECT_EQ(entry.key, c.key);
        EXPECT_EQ(entry.text, c.text);
        EXPECT_EQ(entry.state, c.state);
        EXPECT_EQ(entry.position, c.position);
        EXPECT_EQ(entry.image, u"LCD"_s);
    }

    // The filter hides the name; the disc's own icon replaces the drive image.
    setVolume("w", "serial=1234");
    drive.setLetter(u"W"_s);
    catalogue.discIcons.insert(u"1234"_s, QByteArray("icon"));
    const DriveEntry hidden = describeDrive(drive, catalogue, [](int position) { return position != 2; });
    EXPECT_EQ(hidden.text, u"W:\\[Hors du filtre]"_s);
    EXPECT_EQ(hidden.image, u"I1234"_s);
    EXPECT_EQ(describeDrive(drive, catalogue, [](int) { return true; }).text, u"W:\\[Beta]"_s);

    // English texts at the same identifiers plus 1000.
    setLanguageOffset(1000);
    drive.setLetter(u"D"_s);
    EXPECT_EQ(describeDrive(drive, catalogue).text, u"D:\\[No disc in the drive]"_s);
    setLanguageOffset(0);
}

TEST_F(RecognitionTest, WatchSeesChangesAtTheNextTick)
{
    cDrive drive(*layer);
    const QString letters = layer->letters();
    auto keysOf = [](const std::vector<DriveEntry> &entries) {
        QStringList keys;
        for (const DriveEntry &entry : entries)
            keys << entry.key;
        return keys;
    };

    std::vector<DriveEntry> entries = readDrives(drive, letters, catalogue);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].key, u"D:0"_s);
    EXPECT_EQ(entries[1].key, u"V:-5"_s);
    EXPECT_TRUE(entries[2].key.startsWith(u"W:"_s));
    EXPECT_EQ(entries[0].state, DriveState::Empty);
    EXPECT_EQ(entries[1].text, u"V:\\[Alpha]"_s);
    EXPECT_EQ(entries[2].state, DriveState::NotCatalogued);   // w: a made-up serial
    EXPECT_FALSE(findChangedDrive(drive, letters, keysOf(entries)).has_value());

    // A catalogued disc goes into D.
    auto image = test::isoDisc("BETA DISC", 11);
    const qint32 serial = laneSumSerial(*image->readSector(16));
    addDisc(QString::number(serial), u"Gamma"_s);
    system->insert(u"/dev/sr0"_s, image);
    EXPECT_EQ(findChangedDrive(drive, letters, keysOf(entries)), u'D');
    entries = readDrives(drive, letters, catalogue);
    EXPECT_EQ(entries[0].key, u"D:"_s + QString::number(serial));
    EXPECT_EQ(entries[0].text, u"D:\\[Gamma]"_s);
    EXPECT_EQ(entries[0].label, u"BETA DISC"_s);
    EXPECT_EQ(entries[0].position, 3);
    EXPECT_FALSE(findChangedDrive(drive, letters, keysOf(entries)).has_value());

    // The disc in V changes.
    setVolume("v", "serial=1234\nlabel=whatever-else");
    EXPECT_EQ(findChangedDrive(drive, letters, keysOf(entries)), u'V');
    entries = readDrives(drive, letters, catalogue);
    EXPECT_EQ(entries[1].text, u"V:\\[Beta]"_s);

    // The disc leaves D.
    system->remove(u"/dev/sr0"_s);
    EXPECT_EQ(findChangedDrive(drive, letters, keysOf(entries)), u'D');
    entries = readDrives(drive, letters, catalogue);
    EXPECT_EQ(entries[0].text, u"D:\\[Aucun CD dans le lecteur]"_s);
    EXPECT_EQ(entries[0].key, u"D:0"_s);
}

TEST(DriveEntryKeys, ChangeTest)
{
    struct Case { QString key; QString numberId; bool changed; };
    const Case cases[] = {
        {u"D:123"_s, u"123"_s, false}, {u"D:123"_s, u"124"_s, true},  {u"D:0"_s, u"0"_s, false},
        {u"D:-5"_s, u"-5"_s, false},   {u"D:-5"_s, u"5"_s, true},     {u"D:"_s, QString(), false},
        {u"D:abc"_s, u"ABC"_s, false}, {u"D:12"_s, u"123"_s, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        EXPECT_EQ(driveEntryChanged(c.key, c.numberId), c.changed);
    }
}

TEST_F(RecognitionTest, TickSkipsDriveAAndLettersWithoutEntry)
{
    qputenv("VORN_DRIVES", "A=" + tree.bytes("v") + ";V=" + tree.bytes("v"));
    layer->findDrives();
    ASSERT_EQ(layer->letters(), u"ADV"_s);
    cDrive drive(*layer);
    // A is never looked at; a drive without entry is left alone.
    EXPECT_FALSE(findChangedDrive(drive, u"AV"_s, {u"A:777"_s, u"V:-5"_s}).has_value());
    EXPECT_FALSE(findChangedDrive(drive, u"DV"_s, {u"V:-5"_s}).has_value());
    EXPECT_EQ(findChangedDrive(drive, u"DV"_s, {u"v:-5"_s, u"D:1"_s}), u'D');
    // Keys of other entries never match a drive letter.
    EXPECT_FALSE(findChangedDrive(drive, u"DV"_s, {u"Filtre"_s, u"__3"_s, u"V:-5"_s}).has_value());
}

} // namespace
} // namespace vorn
