#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

namespace vorn {

class cDrive;
struct Catalogue;

// What the program knows about the disc in a drive.
enum class DriveState { Empty, NotCatalogued, Catalogued };

// One drive entry of the disc list.
struct DriveEntry
{
    QString key; // letter, ":", the drive's NumberID ("0" when empty)
    QString text; // "D:\[Aucun CD dans le lecteur]", "D:\[CD non archivé]", "D:\[name]"
    QString image; // "LCD" (CD-ROM or invalid letter), "DIS" (removable), or "I" & id
    DriveState state = DriveState::Empty;
    int position = 0; // the catalogued disc's position in the disc array; 0 otherwise
    QString label; // the volume label
};

// Decides whether a catalogued disc is shown by the disc list's keyword filter; a
// disc that is not shows "Hors du filtre" in its drive entry.
using DiscFilter = std::function<bool(int position)>;

// The entry of the drive `drive` points at: empty when no volume is read, catalogued
// when its NumberID names a disc of the array, not catalogued otherwise. The image is
// the disc's own icon when the catalogue holds one for its identifier.
DriveEntry describeDrive(const cDrive &drive, const Catalogue &catalogue, const DiscFilter &passes = {});

// The drive entries of every CD drive letter, in the letters' order: points `drive`
// at each letter in turn.
std::vector<DriveEntry> readDrives(cDrive &drive, QStringView cdLetters, const Catalogue &catalogue,
                                   const DiscFilter &passes = {});

// True when a drive entry no longer matches its drive: the key less its first two
// characters differs, ignoring case, from the drive's NumberID.
bool driveEntryChanged(QStringView entryKey, QStringView numberId);

// The watch's test at each tick: for each CD drive letter but "A", points `drive` at
// it and compares the drive entry whose key begins with that letter. Gives the first
// letter whose disc changed; nullopt when none did (a letter without entry is left
// alone).
std::optional<QChar> findChangedDrive(cDrive &drive, QStringView cdLetters, const QStringList &driveEntryKeys);

} // namespace vorn
