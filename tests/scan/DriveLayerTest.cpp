#include "scan/DriveLayer.h"
#include "scan/FakeDriveSystem.h"
#include "scan/MountTable.h"
#include "scan/ScanFixtures.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::DrivesVariable;
using test::FakeDriveSystem;
using test::HostTree;

QString describe(const std::vector<DriveSpec> &drives)
{
    QStringList parts;
    for (const DriveSpec &d : drives)
        parts << QString(d.letter) + u'=' + (d.kind == DriveKind::Optical ? d.device : d.folder);
    return parts.join(u' ');
}

TEST(DriveAssignments, Parsing)
{
    struct Case
    {
        QString text;
        QString expected;    // "L=folder" joined by blanks
    };
    const Case cases[] = {
        {u"X=/some/folder;Y=/other"_s, u"X=/some/folder Y=/other"_s},
        {u" x = /a b ; y:=/c ;"_s, u"X=/a b Y=/c"_s},
        {u"Z="_s, u"Z="_s},
        {u"no equals;=/x;XY=/x;7=/x;É=/x;Q=/ok"_s, u"Q=/ok"_s},
        {u"A=/p=q"_s, u"A=/p=q"_s},
        {QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QStringList got;
        for (const auto &[letter, folder] : parseDriveAssignments(c.text))
            got << QString(letter) + u'=' + folder;
        EXPECT_EQ(got.join(u' '), c.expected);
    }
}

TEST(DriveAssignments, Letters)
{
    QStringList many;
    for (int i = 0; i < 30; ++i)
        many << u"/dev/sr%1"_s.arg(i);

    struct Case
    {
        const char *name;
        QList<QPair<QChar, QString>> settings;
        std::optional<QString> environment;
        QStringList optical;
        QString expected;
    };
    const Case cases[] = {
        {"optical from D", {}, std::nullopt, {u"/dev/sr0"_s, u"/dev/sr1"_s}, u"D=/dev/sr0 E=/dev/sr1"_s},
        {"settings and optical", {{u'X', u"/a"_s}}, std::nullopt, {u"/dev/sr0"_s}, u"D=/dev/sr0 X=/a"_s},
        {"environment replaces a letter", {{u'X', u"/a"_s}, {u'Y', u"/b"_s}}, u"X=/c"_s, {},
         u"X=/c Y=/b"_s},
        {"environment removes a letter", {{u'X', u"/a"_s}, {u'Y', u"/b"_s}}, u"Y="_s, {}, u"X=/a"_s},
        {"empty environment keeps the settings", {{u'X', u"/a"_s}}, QString(), {}, u"X=/a"_s},
        {"virtual drive takes D", {}, u"D=/v"_s, {u"/dev/sr0"_s, u"/dev/sr1"_s},
         u"D=/v E=/dev/sr0 F=/dev/sr1"_s},
        {"virtual drive between optical ones", {{u'E', u"/v"_s}}, std::nullopt,
         {u"/dev/sr0"_s, u"/dev/sr1"_s}, u"D=/dev/sr0 E=/v F=/dev/sr1"_s},
        {"folder cleaned", {}, u"V=/a/./b//c/"_s, {}, u"V=/a/b/c"_s},
        {"no drive", {}, std::nullopt, {}, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(describe(assignDriveLetters(c.settings, c.environment, c.optical)), c.expected);
    }

    const std::vector<DriveSpec> all = assignDriveLetters({}, std::nullopt, many);
    ASSERT_EQ(all.size(), 23u);     // D to Z
    EXPECT_EQ(all.back().letter, u'Z');
    EXPECT_EQ(all.back().device, u"/dev/sr22"_s);

    const std::vector<DriveSpec> home = assignDriveLetters({}, u"H=~/discs"_s, {});
    ASSERT_EQ(home.size(), 1u);
    EXPECT_EQ(home[0].folder, QDir::homePath() + u"/discs"_s);
    const std::vector<DriveSpec> relative = assignDriveLetters({}, u"R=rel/dir"_s, {});
    ASSERT_EQ(relative.size(), 1u);
    EXPECT_EQ(relative[0].folder, QDir::current().absoluteFilePath(u"rel/dir"_s));
}

TEST(DriveLayer, VirtualDrivesFromSettingsAndEnvironment)
{
    test::IsolatedSettings settings;
    Settings::write(u"Drives"_s, u"W"_s, u"/from/settings/w"_s);
    Settings::write(u"Drives"_s, u"x"_s, u"/from/settings/x"_s);
    Settings::write(u"Drives"_s, u"bad key"_s, u"/ignored"_s);
    auto system = std::make_shared<FakeDriveSystem>();
    system->devices = {u"/dev/sr0"_s};

    {
        const DrivesVariable unset(std::nullopt);
        DriveLayer layer(system);
        EXPECT_EQ(layer.letters(), u"DWX"_s);
        ASSERT_NE(layer.drive(u'x'), nullptr);
        EXPECT_EQ(layer.drive(u'X')->folder, u"/from/settings/x"_s);
        EXPECT_EQ(layer.drive(u'D')->kind, DriveKind::Optical);
        EXPECT_EQ(layer.drive(u'E'), nullptr);
    }
    {
        const DrivesVariable set(QByteArray("X=/from/env/x;D=/from/env/d;W="));
        DriveLayer layer(system);
        EXPECT_EQ(layer.letters(), u"DEX"_s);
        EXPECT_EQ(layer.drive(u'X')->folder, u"/from/env/x"_s);
        EXPECT_EQ(layer.drive(u'D')->kind, DriveKind::Virtual);
        EXPECT_EQ(layer.drive(u'E')->device, u"/dev/sr0"_s);

        // Finding the drives again reads the settings again.
        Settings::write(u"Drives"_s, u"Q"_s, u"/from/settings/q"_s);
        layer.findDrives();
        EXPECT_EQ(layer.letters(), u"DEQX"_s);
    }
}

class OpticalDriveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        system->devices = {u"/dev/sr0"_s};
        system->state[u"/dev/sr0"_s] = {};
    }

    test::IsolatedSettings settings;
    DrivesVariable variable{std::nullopt};
    std::shared_ptr<FakeDriveSystem> system = std::make_shared<FakeDriveSystem>();
};

TEST_F(OpticalDriveTest, CheapTestReadsDescriptorsOnlyAfterAChange)
{
    DriveLayer layer(system);
    ASSERT_EQ(layer.letters(), u"D"_s);

    // First look: the drive has never been read.
    std::vector<DriveReadJob> jobs = layer.takeChangedDrives();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(system->discOpens, 0);
    // An empty drive is not opened at all.
    layer.store(jobs[0].run());
    EXPECT_EQ(system->discOpens, 0);
    EXPECT_FALSE(layer.volume(u'D').has_value());
    EXPECT_TRUE(layer.takeChangedDrives().empty());

    system->insert(u"/dev/sr0"_s, test::isoDisc("FIRST"));
    jobs = layer.takeChangedDrives();
    ASSERT_EQ(jobs.size(), 1u);
    // Handed out and not back yet: not handed out twice.
    EXPECT_TRUE(layer.takeChangedDrives().empty());
    const DriveReading reading = jobs[0].run();
    EXPECT_EQ(system->discOpens, 1);
    layer.store(reading);
    ASSERT_TRUE(layer.volume(u'D').has_value());
    EXPECT_EQ(layer.volume(u'D')->label, u"FIRST"_s);
    EXPECT_EQ(system->discOpens, 1);
    EXPECT_TRUE(layer.takeChangedDrives().empty());

    // Another disc, seen without the watch: the next question reads it.
    system->insert(u"/dev/sr0"_s, test::isoDisc("SECOND", 2));
    EXPECT_EQ(layer.volume(u'D')->label, u"SECOND"_s);
    EXPECT_EQ(system->discOpens, 2);
    EXPECT_TRUE(layer.takeChangedDrives().empty());

    // Mounting changes the cheap state too.
    system->mounts = "/dev/sr0 /media/cd iso9660 ro 0 0\n";
    EXPECT_EQ(layer.takeChangedDrives().size(), 1u);

    system->remove(u"/dev/sr0"_s);
    EXPECT_FALSE(layer.volume(u'D').has_value());
}

TEST_F(OpticalDriveTest, StatusDecidesWhetherToRead)
{
    DriveLayer layer(system);
    struct Case { DriveStatus status; bool opened; bool volume; };
    const Case cases[] = {
        {DriveStatus::NoDisc, false, false},  {DriveStatus::TrayOpen, false, false},
        {DriveStatus::NotReady, false, false}, {DriveStatus::DiscOk, true, true},
        {DriveStatus::Unknown, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.status));
        system->insert(u"/dev/sr0"_s, test::isoDisc("DISC"));
        system->state[u"/dev/sr0"_s].status = c.status;
        const int opens = system->discOpens;
        EXPECT_EQ(layer.volume(u'D').has_value(), c.volume);
        EXPECT_EQ(system->discOpens > opens, c.opened);
    }

    // A disc whose descriptors do not read is an empty drive.
    auto blank = std::make_shared<test::SectorImage>(40);
    system->insert(u"/dev/sr0"_s, blank);
    EXPECT_FALSE(layer.volume(u'D').has_value());
    // So is a device that cannot be opened.
    system->insert(u"/dev/sr0"_s, nullptr);
    EXPECT_FALSE(layer.volume(u'D').has_value());
}

TEST_F(OpticalDriveTest, OpeningTheVolumeMountsWhenNeeded)
{
    system->mountLine = "/dev/sr0 /media/user/NEW\\040DISC iso9660 ro 0 0\n";
    DriveLayer layer(system);

    // Empty drive.
    DriveVolumeOpening opening = layer.openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    EXPECT_EQ(opening.message, u"Aucun CD n'est inséré dans le lecteur"_s);
    EXPECT_TRUE(system->calls.isEmpty());

    // Mounted under an alias of the device.
    system->insert(u"/dev/sr0"_s, test::isoDisc("DISC"));
    system->mounts = "/dev/vda1 / ext4 rw 0 0\n/dev/cdrom /media/cd\\040rom iso9660 ro 0 0\n";
    opening = layer.openVolume(u'D');
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), u"/media/cd rom"_s);
    EXPECT_TRUE(system->calls.isEmpty());

    // Not mounted: mounted through the desktop.
    system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
    opening = layer.openVolume(u'D');
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), u"/media/user/NEW DISC"_s);
    EXPECT_EQ(system->calls, QStringList{u"mount /dev/sr0"_s});

    // Mounting refused: a message naming the drive, the command and the reason.
    system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
    system->mountSucceeds = false;
    opening = layer.openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    EXPECT_TRUE(opening.message.contains(u"D:"_s));
    EXPECT_TRUE(opening.message.contains(u"udisksctl mount -b /dev/sr0"_s));
    EXPECT_TRUE(opening.message.contains(system->mountDetail));

    // Mounting said yes but the mount table shows nothing.
    system->mountSucceeds = true;
    system->mountLine.clear();
    opening = layer.openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    EXPECT_FALSE(opening.message.isEmpty());

    // Not a drive.
    EXPECT_EQ(layer.openVolume(u'Q').volume, nullptr);
}

TEST_F(OpticalDriveTest, TrayCommandsGoToOpticalDrivesOnly)
{
    HostTree tree;
    const DrivesVariable drives(QByteArray("V=") + QFile::encodeName(tree.root()));
    DriveLayer layer(system);
    ASSERT_EQ(layer.letters(), u"DV"_s);
    layer.ejectTray(u'D');
    layer.closeTray(u'd');
    layer.ejectTray(u'V');
    layer.closeTray(u'V');
    layer.ejectTray(u'Q');
    EXPECT_EQ(system->calls, (QStringList{u"eject /dev/sr0"_s, u"close /dev/sr0"_s}));
}

TEST(VirtualDrive, ChangesSeenByTheCheapTest)
{
    test::IsolatedSettings settings;
    HostTree tree;
    ASSERT_TRUE(tree.folder("disc"));
    ASSERT_TRUE(tree.file("disc/.vorn-volume", "label=ONE\nserial=1\n"));
    const DrivesVariable variable(QByteArray("V=") + tree.bytes("disc") + ";W=" + tree.bytes("none"));
    auto system = std::make_shared<FakeDriveSystem>();
    DriveLayer layer(system);
    ASSERT_EQ(layer.letters(), u"VW"_s);

    for (const DriveReadJob &job : layer.takeChangedDrives())
        layer.store(job.run());
    EXPECT_EQ(layer.volume(u'V')->serial, 1);
    EXPECT_FALSE(layer.volume(u'W').has_value());
    EXPECT_TRUE(layer.takeChangedDrives().empty());

    struct Step { const char *name; std::function<bool()> change; QString letters; };
    const Step steps[] = {
        {"volume file rewritten", [&] { return tree.file("disc/.vorn-volume", "label=TWO\nserial=22\n"); }, u"V"_s},
        // The folder's time is set as well: two changes within one clock tick of the
        // file system would otherwise leave it as it was.
        {"file added at the root",
         [&] { return tree.file("disc/new.txt", "x") && tree.touch("disc", 1200000000); }, u"V"_s},
        {"volume file removed", [&] { return ::unlink(tree.bytes("disc/.vorn-volume").constData()) == 0; }, u"V"_s},
        {"missing folder made", [&] { return tree.folder("none"); }, u"W"_s},
        {"nothing", [] { return true; }, QString()},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(step.change());
        QString letters;
        for (const DriveReadJob &job : layer.takeChangedDrives()) {
            letters += job.drive.letter;
            layer.store(job.run());
        }
        EXPECT_EQ(letters, step.letters);
    }
    EXPECT_EQ(layer.volume(u'V')->label, u"disc"_s);
    EXPECT_TRUE(layer.volume(u'W').has_value());

    const DriveVolumeOpening opening = layer.openVolume(u'V');
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), QString::fromUtf8(tree.bytes("disc")));
    EXPECT_TRUE(system->calls.isEmpty());
}

TEST(MountTable, ParsingAndLookups)
{
    const QByteArray text = "sysfs /sys sysfs rw 0 0\n"
                            "/dev/vda1 / ext4 rw 0 0\n"
                            "short line\n"
                            "\n"
                            "/dev/sr0 /media/a\\040b\\011c\\134d iso9660 ro 0 0\n"
                            "/dev/sr1 /media/cd udf ro 0 0\n"
                            "/dev/sr0 /media/again iso9660 ro 0 0\n"
                            "odd \\04 x 0 0";
    const std::vector<MountEntry> table = parseMountTable(text);
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[2].target, u"/media/a b\tc\\d"_s);
    EXPECT_EQ(table[3].fileSystem, u"udf"_s);
    EXPECT_EQ(table[5].target, u"\\04"_s);

    const auto same = [](const QString &a, const QString &b) { return a == b; };
    EXPECT_EQ(findMountPoint(table, u"/dev/sr0"_s, same), u"/media/again"_s);
    EXPECT_EQ(findMountPoint(table, u"/dev/sr1"_s, same), u"/media/cd"_s);
    EXPECT_EQ(findMountPoint(table, u"/dev/sr2"_s, same), QString());

    struct Case { QString path; QString mount; };
    const Case cases[] = {
        {u"/media/cd"_s, u"/media/cd"_s},
        {u"/media/cd/x/y"_s, u"/media/cd"_s},
        {u"/media/cdrom/x"_s, u"/"_s},
        {u"/sys/block"_s, u"/sys"_s},
        {u"/home"_s, u"/"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const MountEntry *entry = mountHolding(table, c.path);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->target, c.mount);
    }
    EXPECT_EQ(mountHolding({}, u"/x"_s), nullptr);
}

} // namespace
} // namespace vorn
