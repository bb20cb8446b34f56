#include "scan/DriveLayer.h"

#include "scan/FolderVolume.h"
#include "scan/MountTable.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include <sys/stat.h>

namespace vorn {

namespace {

const QString kDrivesSection = QStringLiteral("Drives");
constexpr char kDrivesVariable[] = "VORN_DRIVES";
constexpr int kNoDiscText = 301;

std::optional<QChar> driveLetter(QStringView key)
{
    key = key.trimmed();
    if (key.endsWith(u':'))
        key.chop(1);
    if (key.size() != 1)
        return std::nullopt;
    const QChar letter = key[0].toUpper();
    if (letter < u'A' || letter > u'Z')
        return std::nullopt;
    return letter;
}

QString hostFolder(QString folder)
{
    folder = folder.trimmed();
    if (folder.isEmpty())
        return {};
    if (folder == u"~" || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return QDir::cleanPath(QDir(folder).absolutePath());
}

void appendStat(QByteArray &signature, const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        signature += "-|";
        return;
    }
    for (qint64 value :
         {qint64(st.st_mode), qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
          qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec)})
        signature += QByteArray::number(value) + ',';
    signature += '|';
}

QString mountPointOf(const DriveSpec &drive, const DriveSystem &system)
{
    const std::vector<MountEntry> table = parseMountTable(system.mountTable());
    return findMountPoint(table, drive.device, [&system](const QString &source, const QString &device) {
        return system.sameDevice(source, device);
    });
}

bool mayHoldDisc(DriveStatus status)
{
    return status == DriveStatus::DiscOk || status == DriveStatus::Unknown;
}

QString mountFailureText(const DriveSpec &drive, const QString &detail)
{
    const bool english = LanguageOffset() == 1000;
    QString text = english ? QStringLiteral("The disc in drive %1: could not be mounted (udisksctl mount -b %2).")
                           : QStringLiteral("Le disque du lecteur %1: n'a pas pu être monté (udisksctl mount -b %2).");
    text = text.arg(drive.letter, drive.device);
    if (!detail.isEmpty())
        text += u'\n' + detail;
    return text;
}

} // namespace

QList<QPair<QChar, QString>> parseDriveAssignments(QStringView text)
{
    QList<QPair<QChar, QString>> assignments;
    for (QStringView part : text.split(u';')) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0)
            continue;
        const std::optional<QChar> letter = driveLetter(part.first(equals));
        if (!letter)
            continue;
        assignments.append({*letter, part.sliced(equals + 1).trimmed().toString()});
    }
    return assignments;
}

std::vector<DriveSpec> assignDriveLetters(const QList<QPair<QChar, QString>> &fromSettings,
                                          const std::optional<QString> &fromEnvironment,
                                          const QStringList &opticalDevices)
{
    std::map<char16_t, QString> folders;
    auto assign = [&folders](QChar letter, const QString &folder) {
        const QString host = hostFolder(folder);
        if (host.isEmpty())
            folders.erase(letter.unicode());
        else
            folders[letter.unicode()] = host;
    };
    for (const auto &[key, folder] : fromSettings)
        assign(key, folder);
    if (fromEnvironment)
        for (const auto &[letter, folder] : parseDriveAssignments(*fromEnvironment))
            assign(letter, folder);

    std::vector<DriveSpec> drives;
    for (const auto &[letter, folder] : folders)
        drives.push_back({QChar(letter), DriveKind::Virtual, {}, folder});
    char16_t next = u'D';
    for (const QString &device : opticalDevices) {
        while (next <= u'Z' && folders.count(next))
            ++next;
        if (next > u'Z')
            break;
        drives.push_back({QChar(next), DriveKind::Optical, device, {}});
        ++next;
    }
    std::sort(drives.begin(), drives.end(), [](const DriveSpec &a, const DriveSpec &b) { return a.letter < b.letter; });
    return drives;
}

QByteArray driveSignature(const DriveSpec &drive, const DriveSystem &system)
{
    QByteArray signature;
    if (drive.kind == DriveKind::Virtual) {
        signature = "V|";
        appendStat(signature, drive.folder);
        appendStat(signature, QDir(drive.folder).filePath(QString::fromLatin1(kVolumeFileName)));
        return signature;
    }
    signature = "O|" + QByteArray::number(int(system.driveStatus(drive.device))) + '|'
        + system.mediaSignature(drive.device) + '|' + QFile::encodeName(mountPointOf(drive, system));
    return signature;
}

DriveReading readDrive(const DriveSpec &drive, const DriveSystem &system)
{
    DriveReading reading;
    reading.letter = drive.letter;
    reading.signature = driveSignature(drive, system);
    if (drive.kind == DriveKind::Virtual && isDiscImagePath(drive.folder)) {
        if (const IsoOpening image = IsoVolume::open(drive.folder); image.volume)
            reading.volume = image.disc;
        return reading;
    }
    if (drive.kind == DriveKind::Virtual) {
        reading.volume = readFolderVolume(drive.folder);
        if (reading.volume) {
            const std::vector<MountEntry> table = parseMountTable(system.mountTable());
            const QString canonical = QFileInfo(drive.folder).canonicalFilePath();
            if (const MountEntry *mount = mountHolding(table, canonical))
                reading.volume->fileSystem = mount->fileSystem;
        }
        return reading;
    }
    if (!mayHoldDisc(system.driveStatus(drive.device)))
        return reading;
    if (const std::unique_ptr<SectorReader> reader = system.openDisc(drive.device))
        reading.volume = readDiscVolume(*reader);
    return reading;
}

DriveLayer::DriveLayer(std::shared_ptr<const DriveSystem> system) : m_system(std::move(system))
{
    findDrives();
}

DriveLayer &DriveLayer::host()
{
    static DriveLayer layer(hostDriveSystem());
    return layer;
}

void DriveLayer::findDrives()
{
    QList<QPair<QChar, QString>> fromSettings;
    for (const auto &[key, folder] : Settings::readSection(kDrivesSection))
        if (const std::optional<QChar> letter = driveLetter(key))
            fromSettings.append({*letter, folder});
    std::optional<QString> fromEnvironment;
    if (qEnvironmentVariableIsSet(kDrivesVariable))
        fromEnvironment = qEnvironmentVariable(kDrivesVariable);
    m_drives = assignDriveLetters(fromSettings, fromEnvironment, m_system->opticalDevices());
    forgetReadings();
}

const DriveSpec *DriveLayer::drive(QChar letter) const
{
    letter = letter.toUpper();
    for (const DriveSpec &entry : m_drives)
        if (entry.letter == letter)
            return &entry;
    return nullptr;
}

QString DriveLayer::letters() const
{
    QString text;
    for (const DriveSpec &entry : m_drives)
        text += entry.letter;
    return text;
}

std::vector<DriveReadJob> DriveLayer::takeChangedDrives()
{
    std::vector<DriveReadJob> jobs;
    for (const DriveSpec &entry : m_drives) {
        const QByteArray signature = driveSignature(entry, *m_system);
        const auto reading = m_readings.find(entry.letter.unicode());
        if (reading != m_readings.end() && reading->second.signature == signature)
            continue;
        const auto handed = m_handedOut.find(entry.letter.unicode());
        if (handed != m_handedOut.end() && handed->second == signature)
            continue;
        m_handedOut[entry.letter.unicode()] = signature;
        jobs.push_back({entry, m_system});
    }
    return jobs;
}

void DriveLayer::store(const DriveReading &reading)
{
    if (!drive(reading.letter))
        return;
    m_readings[reading.letter.unicode()] = reading;
    m_handedOut.erase(reading.letter.unicode());
}

std::optional<DiscVolume> DriveLayer::volume(QChar letter)
{
    const DriveSpec *entry = drive(letter);
    if (!entry)
        return std::nullopt;
    const auto reading = m_readings.find(entry->letter.unicode());
    if (reading != m_readings.end() && reading->second.signature == driveSignature(*entry, *m_system))
        return reading->second.volume;
    const DriveReading fresh = readDrive(*entry, *m_system);
    store(fresh);
    return fresh.volume;
}

void DriveLayer::forgetReadings()
{
    m_readings.clear();
    m_handedOut.clear();
}

DriveVolumeOpening DriveLayer::openVolume(QChar letter)
{
    DriveVolumeOpening opening;
    const DriveSpec *entry = drive(letter);
    if (!entry || !volume(letter)) {
        opening.message = LoadText(kNoDiscText);
        return opening;
    }
    if (entry->kind == DriveKind::Virtual && isDiscImagePath(entry->folder)) {
        IsoOpening image = IsoVolume::open(entry->folder);
        opening.image = std::move(image.volume);
        opening.message = image.message;
        return opening;
    }
    if (entry->kind == DriveKind::Virtual) {
        opening.volume = std::make_unique<HostVolume>(entry->folder);
        return opening;
    }
    QString mountPoint = mountPointOf(*entry, *m_system);
    if (mountPoint.isEmpty()) {
        const MountAttempt attempt = m_system->mount(entry->device);
        if (attempt.ok)
            mountPoint = mountPointOf(*entry, *m_system);
        if (mountPoint.isEmpty()) {
            opening.message = mountFailureText(*entry, attempt.detail);
            return opening;
        }
    }
    opening.volume = std::make_unique<HostVolume>(mountPoint);
    return opening;
}

void DriveLayer::ejectTray(QChar letter) const
{
    if (const DriveSpec *entry = drive(letter); entry && entry->kind == DriveKind::Optical)
        m_system->ejectTray(entry->device);
}

void DriveLayer::closeTray(QChar letter) const
{
    if (const DriveSpec *entry = drive(letter); entry && entry->kind == DriveKind::Optical)
        m_system->closeTray(entry->device);
}

} // namespace vorn
