#include "scan/DriveWatch.h"

#include "scan/cDrive.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/RecordText.h"

namespace vorn {

namespace {
constexpr int kEmptyDriveText = 90;
constexpr int kNotCataloguedText = 91;
constexpr int kOutsideFilterText = 504;
} // namespace

DriveEntry describeDrive(const cDrive &drive, const Catalogue &catalogue, const DiscFilter &passes)
{
    DriveEntry entry;
    const QString letter = drive.Letter();
    entry.key = letter + u':' + (drive.hasDisc() ? drive.NumberID() : QStringLiteral("0"));
    entry.image = drive.DriveType() == kDriveRemovable ? QStringLiteral("DIS") : QStringLiteral("LCD");
    entry.label = drive.volume();
    const QString root = letter + QStringLiteral(":\\");
    if (!drive.hasDisc()) {
        entry.state = DriveState::Empty;
        entry.text = root + LoadText(kEmptyDriveText);
        return entry;
    }
    entry.position = findDisc(catalogue, drive.NumberID());
    if (entry.position == 0) {
        entry.state = DriveState::NotCatalogued;
        entry.text = root + LoadText(kNotCataloguedText);
        return entry;
    }
    entry.state = DriveState::Catalogued;
    const bool shown = !passes || passes(entry.position);
    entry.text = root + u'[' + (shown ? catalogue.disc(entry.position).name : LoadText(kOutsideFilterText)) + u']';
    const QString identifier = catalogue.disc(entry.position).identifier;
    if (catalogue.discIcons.contains(identifier))
        entry.image = u'I' + identifier;
    return entry;
}

std::vector<DriveEntry> readDrives(cDrive &drive, QStringView cdLetters, const Catalogue &catalogue,
                                   const DiscFilter &passes)
{
    std::vector<DriveEntry> entries;
    entries.reserve(size_t(cdLetters.size()));
    for (QChar letter : cdLetters) {
        drive.setLetter(QString(letter));
        entries.push_back(describeDrive(drive, catalogue, passes));
    }
    return entries;
}

bool driveEntryChanged(QStringView entryKey, QStringView numberId)
{
    return entryKey.mid(2).compare(numberId, Qt::CaseInsensitive) != 0;
}

std::optional<QChar> findChangedDrive(cDrive &drive, QStringView cdLetters, const QStringList &driveEntryKeys)
{
    for (QChar letter : cdLetters) {
        if (letter == u'A')
            continue;
        drive.setLetter(QString(letter));
        for (const QString &key : driveEntryKeys) {
            if (key.size() >= 2 && key[0].toUpper() == letter.toUpper() && key[1] == u':') {
                if (driveEntryChanged(key, drive.NumberID()))
                    return letter;
                break;
            }
        }
    }
    return std::nullopt;
}

} // namespace vorn
