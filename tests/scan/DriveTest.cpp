#include "scan/DriveLayer.h"
#include "scan/DriveWatch.h"
#include "scan/FakeDriveSystem.h"
#include "scan/MountTable.h"
#include "scan/ScanFixtures.h"
#include "scan/cDrive.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <functional>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::DrivesVariable;
const QString sr0 = u"/dev/sr0"_s;

QString describe(const std::vector<DriveSpec> &drives)
{
    QStringList parts;
    for (const DriveSpec &d : drives)
        parts << QString(d.letter) + u'=' + (d.kind == DriveKind::Optical ? d.device : d.folder);
    return parts.join(u' ');
}

TEST(DriveLayer, VirtualDrivesFromSettingsAndEnvironment)
{
    test::IsolatedSettings settings;
    Settings::write(u"Drives"_s, u"W"_s, u"/from/settings/w"_s);
    Settings::write(u"Drives"_s, u"x"_s, u"/from/settings/x"_s);
    Settings::write(u"Drives"_s, u"bad key"_s, u"/ignored"_s);
    auto system = std::make_shared<test::FakeDriveSystem>();
    system->devices = {sr0};
    std::optional<DrivesVariable> variable(std::in_place, std::nullopt);
    DriveLayer layer(system);
    EXPECT_EQ(describe(layer.drives()), u"D=/dev/sr0 W=/from/settings/w X=/from/settings/x"_s);
    ASSERT_NE(layer.drive(u'x'), nullptr);
    EXPECT_EQ(layer.drive(u'x')->folder, u"/from/settings/x"_s);
    EXPECT_EQ(layer.drive(u'E'), nullptr);
    // Finding the drives again reads the settings and the environment again.
    variable.emplace(QByteArray("X=/from/env/x;D=/from/env/d;W="));
    Settings::write(u"Drives"_s, u"Q"_s, u"/from/settings/q"_s);
    layer.findDrives();
    EXPECT_EQ(describe(layer.drives()), u"D=/from/env/d E=/dev/sr0 Q=/from/settings/q X=/from/env/x"_s);
}

TEST(DriveAssignments, ParsingAndLetters)
{
    const struct { QString text, expected; } parsed[] = {
        {u"X=/some/folder;Y=/other"_s, u"X=/some/folder Y=/other"_s}, {u" x = /a b ; y:=/c ;"_s, u"X=/a b Y=/c"_s},
        {u"Z="_s, u"Z="_s}, {u"no equals;=/x;XY=/x;7=/x;É=/x;Q=/ok"_s, u"Q=/ok"_s}, {u"A=/p=q"_s, u"A=/p=q"_s},
        {QString(), QString()},
    };
    for (const auto &c : parsed) {
        QStringList got;
        for (const auto &[letter, folder] : parseDriveAssignments(c.text))
            got << QString(letter) + u'=' + folder;
        EXPECT_EQ(got.join(u' '), c.expected) << c.text.toStdString();
    }

    QStringList many;
    for (int i = 0; i < 30; ++i)
        many << u"/dev/sr%1"_s.arg(i);
    const QStringList two = many.mid(0, 2);
    using Pairs = QList<QPair<QChar, QString>>;
    const Pairs xy = {{u'X', u"/a"_s}, {u'Y', u"/b"_s}};
    const struct { const char *name; Pairs settings; std::optional<QString> environment; QStringList optical; QString expected; } cases[] = {
        {"optical from D", {}, std::nullopt, two, u"D=/dev/sr0 E=/dev/sr1"_s},
        {"settings and optical", {{u'X', u"/a"_s}}, std::nullopt, {sr0}, u"D=/dev/sr0 X=/a"_s},
        {"environment replaces a letter", xy, u"X=/c"_s, {}, u"X=/c Y=/b"_s},
        {"environment removes a letter", xy, u"Y="_s, {}, u"X=/a"_s},
        {"empty environment keeps the settings", xy, QString(), {}, u"X=/a Y=/b"_s},
        {"virtual drive takes D", {}, u"D=/v"_s, two, u"D=/v E=/dev/sr0 F=/dev/sr1"_s},
        {"virtual drive between optical ones", {{u'E', u"/v"_s}}, std::nullopt, two, u"D=/dev/sr0 E=/v F=/dev/sr1"_s},
        {"folder cleaned", {}, u"V=/a/./b//c/"_s, {}, u"V=/a/b/c"_s},
        {"home folder", {}, u"H=~/discs"_s, {}, u"H="_s + QDir::homePath() + u"/discs"},
        {"relative folder", {}, u"R=rel/dir"_s, {}, u"R="_s + QDir::current().absoluteFilePath(u"rel/dir"_s)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(describe(assignDriveLetters(c.settings, c.environment, c.optical)), c.expected) << c.name;
    }
    const std::vector<DriveSpec> all = assignDriveLetters({}, std::nullopt, many);
    ASSERT_EQ(all.size(), 23u);   // D to Z
    EXPECT_EQ(all.back().letter, u'Z');
    EXPECT_EQ(all.back().device, u"/dev/sr22"_s);
}

// Optical drive D (sr0, empty) and virtual drives V and W (folders of a temporary
// tree), with settings and VORN_DRIVES set for the test only; discs "-5" Alpha and
// "1234" Beta in the catalogue.
class DriveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        ASSERT_TRUE(tree.folder("v") && tree.folder("w"));
        setVolume("v", "label=VEE\nserial=-5\n");
        variable.emplace("V=" + tree.bytes("v") + ";W=" + tree.bytes("w"));
        system->devices = {sr0};
        system->state[sr0] = {};
        system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
        layer = std::make_unique<DriveLayer>(system);
        ASSERT_EQ(layer->letters(), u"DVW"_s);
        addDisc(u"-5"_s, u"Alpha"_s);
        addDisc(u"1234"_s, u"Beta"_s);
    }
    void setVolume(const QByteArray &folder, const QByteArray &content)
    {
        ASSERT_TRUE(tree.file(folder + "/.vorn-volume", content));
    }
    void addDisc(const QString &identifier, const QString &name)
    {
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().identifier = identifier;
        catalogue.discs.back().name = name;
    }
    // Reads the drives the cheap test hands out, as the watch does; their letters.
    QString readChanged()
    {
        QString letters;
        for (const DriveReadJob &job : layer->takeChangedDrives()) {
            letters += job.drive.letter;
            layer->store(job.run());
        }
        return letters;
    }
    static QStringList keysOf(const std::vector<DriveEntry> &entries)
    {
        QStringList keys;
        for (const DriveEntry &entry : entries)
            keys << entry.key;
        return keys;
    }

    test::IsolatedSettings settings;
    test::HostTree tree;
    std::optional<DrivesVariable> variable;
    std::shared_ptr<test::FakeDriveSystem> system = std::make_shared<test::FakeDriveSystem>();
    std::unique_ptr<DriveLayer> layer;
    Catalogue catalogue;
};

TEST_F(DriveTest, CheapTestReadsDescriptorsOnlyAfterAChange)
{
    EXPECT_EQ(readChanged(), u"DVW"_s);   // never read yet
    EXPECT_EQ(system->discOpens, 0);      // an empty drive is not opened
    EXPECT_FALSE(layer->volume(u'D').has_value());
    EXPECT_EQ(readChanged(), QString());

    system->insert(sr0, test::isoDisc("FIRST"));
    std::vector<DriveReadJob> jobs = layer->takeChangedDrives();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(layer->takeChangedDrives().empty());   // handed out and not back yet
    layer->store(jobs[0].run());
    EXPECT_EQ(layer->volume(u'D')->label, u"FIRST"_s);
    EXPECT_EQ(system->discOpens, 1);
    EXPECT_EQ(readChanged(), QString());

    // Another disc, seen without the watch: the next question reads it.
    system->insert(sr0, test::isoDisc("SECOND", 2));
    EXPECT_EQ(layer->volume(u'D')->label, u"SECOND"_s);
    EXPECT_EQ(system->discOpens, 2);
    EXPECT_EQ(readChanged(), QString());
    // Mounting changes the cheap state too.
    system->mounts += "/dev/sr0 /media/cd iso9660 ro 0 0\n";
    EXPECT_EQ(readChanged(), u"D"_s);
    system->remove(sr0);
    EXPECT_FALSE(layer->volume(u'D').has_value());
}

TEST_F(DriveTest, VirtualDriveChangesSeenByTheCheapTest)
{
    EXPECT_EQ(readChanged(), u"DVW"_s);
    EXPECT_EQ(layer->volume(u'V')->serial, -5);
    const struct { const char *name; std::function<bool()> change; QString letters; } steps[] = {
        {"volume file rewritten", [&] { return tree.file("v/.vorn-volume", "label=TWO\nserial=22\n"); }, u"V"_s},
        // The folder's time is set as well: two changes within one clock tick of the
        // file system would otherwise leave it as it was.
        {"file added at the root", [&] { return tree.file("v/new.txt", "x") && tree.touch("v", 1200000000); }, u"V"_s},
        {"volume file removed", [&] { return ::unlink(tree.bytes("v/.vorn-volume").constData()) == 0; }, u"V"_s},
        {"folder removed", [&] { return ::rmdir(tree.bytes("w").constData()) == 0; }, u"W"_s},
        {"folder made", [&] { return tree.folder("w"); }, u"W"_s},
        {"nothing", [] { return true; }, QString()},
    };
    for (const auto &step : steps) {
        ASSERT_TRUE(step.change()) << step.name;
        EXPECT_EQ(readChanged(), step.letters) << step.name;
    }
    EXPECT_EQ(layer->volume(u'V')->label, u"v"_s);
    const DriveVolumeOpening opening = layer->openVolume(u'V');
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), QString::fromUtf8(tree.bytes("v")));
    EXPECT_TRUE(system->calls.isEmpty());
}

TEST_F(DriveTest, StatusDecidesWhetherToRead)
{
    const struct { DriveStatus status; bool read; } cases[] = {
        {DriveStatus::NoDisc, false}, {DriveStatus::TrayOpen, false}, {DriveStatus::NotReady, false},
        {DriveStatus::DiscOk, true},  {DriveStatus::Unknown, true}};
    for (const auto &c : cases) {
        system->insert(sr0, test::isoDisc("DISC"));
        system->state[sr0].status = c.status;
        const int opens = system->discOpens;
        EXPECT_EQ(layer->volume(u'D').has_value(), c.read) << int(c.status);
        EXPECT_EQ(system->discOpens > opens, c.read) << int(c.status);
    }
    // A disc whose descriptors do not read, or a device that cannot be opened: an empty drive.
    system->insert(sr0, std::make_shared<test::SectorImage>(40));
    EXPECT_FALSE(layer->volume(u'D').has_value());
    system->insert(sr0, nullptr);
    EXPECT_FALSE(layer->volume(u'D').has_value());
}

TEST_F(DriveTest, OpeningTheVolumeMountsWhenNeeded)
{
    system->mountLine = "/dev/sr0 /media/user/NEW\\040DISC iso9660 ro 0 0\n";
    DriveVolumeOpening opening = layer->openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    EXPECT_EQ(opening.message, u"Aucun CD n'est inséré dans le lecteur"_s);

    system->insert(sr0, test::isoDisc("DISC"));
    system->mounts = "/dev/vda1 / ext4 rw 0 0\n/dev/cdrom /media/cd\\040rom iso9660 ro 0 0\n";
    opening = layer->openVolume(u'D');   // mounted under an alias of the device
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), u"/media/cd rom"_s);
    EXPECT_TRUE(system->calls.isEmpty());

    system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
    opening = layer->openVolume(u'D');   // not mounted: mounted through the desktop
    ASSERT_NE(opening.volume, nullptr);
    EXPECT_EQ(opening.volume->rootFolder(), u"/media/user/NEW DISC"_s);
    EXPECT_EQ(system->calls, QStringList{u"mount /dev/sr0"_s});

    // Mounting refused: a message naming the drive, the command and the reason.
    system->mounts = "/dev/vda1 / ext4 rw 0 0\n";
    system->mountSucceeds = false;
    opening = layer->openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    for (const QString &part : {u"D:"_s, u"udisksctl mount -b /dev/sr0"_s, system->mountDetail})
        EXPECT_TRUE(opening.message.contains(part)) << part.toStdString();
    // Mounting said yes but the mount table shows nothing.
    system->mountSucceeds = true;
    system->mountLine.clear();
    opening = layer->openVolume(u'D');
    EXPECT_EQ(opening.volume, nullptr);
    EXPECT_FALSE(opening.message.isEmpty());
    EXPECT_EQ(layer->openVolume(u'Q').volume, nullptr);   // no drive

    // Tray commands go to optical drives only.
    system->calls.clear();
    layer->ejectTray(u'D');
    layer->closeTray(u'd');
    layer->ejectTray(u'V');
    layer->closeTray(u'V');
    layer->ejectTray(u'Q');
    EXPECT_EQ(system->calls, (QStringList{u"eject /dev/sr0"_s, u"close /dev/sr0"_s}));
}

// "letter type id label file-system" of a drive object, "+" when it holds a disc.
QString facts(const cDrive &d)
{
    return QStringList({d.Letter(), QString::number(d.DriveType()), d.NumberID(), d.volume(), d.FileSystem()}).join(u' ')
           + (d.hasDisc() ? u"+"_s : QString());
}

QString facts(const DriveEntry &e)
{
    return QStringList({e.key, e.text, QString::number(int(e.state)), QString::number(e.position), e.image, e.label})
        .join(u'|');
}

TEST_F(DriveTest, DriveLetterRulesAndVolumeFacts)
{
    cDrive drive(*layer);
    const struct { QString set, facts; } cases[] = {
        {u"7"_s, u" 7   "_s}, {QString(), u" 7   "_s}, {u" v"_s, u" 7   "_s}, {u"é"_s, u" 7   "_s},
        {u"v"_s, u"V 5 -5 VEE ext4+"_s}, {u"vw"_s, u"V 5 -5 VEE ext4+"_s}, {u"V:\\"_s, u"V 5 -5 VEE ext4+"_s},
        {u"d"_s, u"D 5 0  "_s},   // optical drive without disc
        {u"q"_s, u"Q 1 0  "_s},   // no such drive
    };
    for (const auto &c : cases) {
        drive.setLetter(u"V"_s);   // start from a drive with a volume
        drive.setLetter(c.set);
        EXPECT_EQ(facts(drive), c.facts) << c.set.toStdString();
    }
    EXPECT_EQ(drive.openVolume().volume, nullptr);
    drive.setLetter(u"W"_s);
    ASSERT_NE(drive.openVolume().volume, nullptr);
    EXPECT_EQ(drive.openVolume().volume->rootFolder(), QString::fromUtf8(tree.bytes("w")));
    drive.setLetter(u"7"_s);
    EXPECT_FALSE(drive.openVolume().message.isEmpty());
    drive.setOptions(1);   // the type only
    drive.setLetter(u"V"_s);
    EXPECT_EQ(facts(drive), u"V 5   "_s);
    drive.setOptions(0);

    // An optical disc with a Joliet descriptor.
    auto image = test::isoDisc("PRIMARY");
    const QByteArray joliet = test::isoSupplementary(u"Été"_s, "%/@", 7);
    image->put(17, joliet);
    image->put(18, test::isoTerminator());
    system->insert(sr0, image);
    drive.setLetter(u"D"_s);
    EXPECT_EQ(facts(drive), u"D 5 %1 Été CDFS+"_s.arg(laneSumSerial(joliet)));
    EXPECT_EQ(drive.rootPath(), u"D:\\"_s);
}

TEST_F(DriveTest, EntryStatesAndTexts)
{
    cDrive drive(*layer);
    const struct { QByteArray volumeFile; QString facts; } cases[] = {   // key|text|state|position|image|label
        {"serial=-5\nlabel=whatever", u"V:-5|V:\\[Alpha]|2|1|LCD|whatever"_s},
        {"serial=1234\nlabel=Other", u"V:1234|V:\\[Beta]|2|2|LCD|Other"_s},
        {"serial=99", u"V:99|V:\\[CD non archivé]|1|0|LCD|v"_s},
        {{}, u"V:0|V:\\[Aucun CD dans le lecteur]|0|0|LCD|"_s},   // folder removed
    };
    for (const auto &c : cases) {
        if (c.volumeFile.isEmpty()) {
            ASSERT_TRUE(::unlink(tree.bytes("v/.vorn-volume").constData()) == 0
                        && ::rmdir(tree.bytes("v").constData()) == 0);
        } else {
            setVolume("v", c.volumeFile);
        }
        drive.setLetter(u"V"_s);
        EXPECT_EQ(facts(describeDrive(drive, catalogue)), c.facts);
    }
    // The filter hides the name; the disc's own icon replaces the drive image.
    setVolume("w", "serial=1234");
    drive.setLetter(u"W"_s);
    catalogue.discIcons.insert(u"1234"_s, QByteArray("icon"));
    EXPECT_EQ(facts(describeDrive(drive, catalogue, [](int position) { return position != 2; })),
              u"W:1234|W:\\[Hors du filtre]|2|2|I1234|w"_s);
    EXPECT_EQ(describeDrive(drive, catalogue, [](int) { return true; }).text, u"W:\\[Beta]"_s);
    setLanguageOffset(1000);   // English texts at the same identifiers plus 1000
    drive.setLetter(u"D"_s);
    EXPECT_EQ(describeDrive(drive, catalogue).text, u"D:\\[No disc in the drive]"_s);
    setLanguageOffset(0);
}

TEST_F(DriveTest, WatchSeesChangesAtTheNextTick)
{
    cDrive drive(*layer);
    const QString letters = layer->letters();
    std::vector<DriveEntry> entries = readDrives(drive, letters, catalogue);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(facts(entries[0]), u"D:0|D:\\[Aucun CD dans le lecteur]|0|0|LCD|"_s);
    EXPECT_EQ(entries[1].text, u"V:\\[Alpha]"_s);
    EXPECT_EQ(entries[2].state, DriveState::NotCatalogued);   // w: a made-up serial
    EXPECT_FALSE(findChangedDrive(drive, letters, keysOf(entries)).has_value());

    // A catalogued disc goes into D.
    auto image = test::isoDisc("BETA DISC", 11);
    const qint32 serial = laneSumSerial(*image->readSector(16));
    addDisc(QString::number(serial), u"Gamma"_s);
    system->insert(sr0, image);
    EXPECT_EQ(findChangedDrive(drive, letters, keysOf(entries)), u'D');
    entries = readDrives(drive, letters, catalogue);
    EXPECT_EQ(facts(entries[0]), u"D:%1|D:\\[Gamma]|2|3|LCD|BETA DISC"_s.arg(serial));
    EXPECT_FALSE(findChangedDrive(drive, letters, keysOf(entries)).has_value());

    setVolume("v", "serial=1234\nlabel=whatever-else");   // the disc in V changes
    EXPECT_EQ(findChangedDrive(drive, letters, keysOf(entries)), u'V');
    EXPECT_EQ(readDrives(drive, letters, catalogue)[1].text, u"V:\\[Beta]"_s);

    // Drive A is never looked at; a drive without entry is left alone; other entries'
    // keys never match a drive letter.
    qputenv("VORN_DRIVES", "A=" + tree.bytes("v") + ";V=" + tree.bytes("v"));
    layer->findDrives();
    ASSERT_EQ(layer->letters(), u"ADV"_s);
    EXPECT_FALSE(findChangedDrive(drive, u"AV"_s, {u"A:777"_s, u"V:1234"_s}).has_value());
    EXPECT_FALSE(findChangedDrive(drive, u"DV"_s, {u"V:1234"_s}).has_value());
    EXPECT_EQ(findChangedDrive(drive, u"DV"_s, {u"v:1234"_s, u"D:1"_s}), u'D');
    EXPECT_FALSE(findChangedDrive(drive, u"DV"_s, {u"Filtre"_s, u"__3"_s, u"V:1234"_s}).has_value());
}

TEST(DriveEntryKeys, ChangeTest)
{
    const struct { QString key, numberId; bool changed; } cases[] = {
        {u"D:123"_s, u"123"_s, false}, {u"D:123"_s, u"124"_s, true}, {u"D:0"_s, u"0"_s, false},
        {u"D:-5"_s, u"-5"_s, false},   {u"D:-5"_s, u"5"_s, true},    {u"D:"_s, QString(), false},
        {u"D:abc"_s, u"ABC"_s, false}, {u"D:12"_s, u"123"_s, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(driveEntryChanged(c.key, c.numberId), c.changed) << c.key.toStdString() << " " << c.numberId.toStdString();
}

TEST(MountTable, ParsingAndLookups)
{
    const std::vector<MountEntry> table = parseMountTable("sysfs /sys sysfs rw 0 0\n/dev/vda1 / ext4 rw 0 0\n"
                                                         "short line\n\n"
                                                         "/dev/sr0 /media/a\\040b\\011c\\134d iso9660 ro 0 0\n"
                                                         "/dev/sr1 /media/cd udf ro 0 0\n"
                                                         "/dev/sr0 /media/again iso9660 ro 0 0\nodd \\04 x 0 0");
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[2].target, u"/media/a b\tc\\d"_s);
    EXPECT_EQ(table[3].fileSystem, u"udf"_s);
    EXPECT_EQ(table[5].target, u"\\04"_s);

    const auto same = [](const QString &a, const QString &b) { return a == b; };
    EXPECT_EQ(findMountPoint(table, sr0, same), u"/media/again"_s);   // the last mount hides the others
    EXPECT_EQ(findMountPoint(table, u"/dev/sr1"_s, same), u"/media/cd"_s);
    EXPECT_EQ(findMountPoint(table, u"/dev/sr2"_s, same), QString());
    const struct { QString path, mount; } cases[] = {
        {u"/media/cd"_s, u"/media/cd"_s}, {u"/media/cd/x/y"_s, u"/media/cd"_s}, {u"/media/cdrom/x"_s, u"/"_s},
        {u"/sys/block"_s, u"/sys"_s},     {u"/home"_s, u"/"_s},
    };
    for (const auto &c : cases) {
        const MountEntry *entry = mountHolding(table, c.path);
        EXPECT_EQ(entry ? entry->target : u"(none)"_s, c.mount) << c.path.toStdString();
    }
    EXPECT_EQ(mountHolding({}, u"/x"_s), nullptr);
}

} // namespace
} // namespace vorn
