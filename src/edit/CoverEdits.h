#pragma once

#include "edit/EditResult.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace vorn {

class RunObserver;
struct Catalogue;

// Covers of catalogued discs: the picture member <id>.img1 and its thumbnail <id>.imi
// are always written together, with one archive write under the data folder's lock,
// the information record kept as the archive holds it.
namespace edit {

// Gives the disc at `position` the picture file as its cover. The file is checked
// first (812 not a picture, 813 cut short, 814 over 50 MB, 815 unreadable: refused,
// nothing written); then it is copied byte for byte to the working copy <id>.img1,
// its thumbnail made into <id>.imi, and both are stored.
EditResult setCover(Catalogue &catalogue, int position, const QString &picturePath);

// Takes the cover away: both members are stored empty (0 bytes).
EditResult deleteCover(Catalogue &catalogue, int position);

// The working copy of the disc's cover picture, unpacked from the archive when the
// temporary folder lacks it; empty text when the disc has no cover (no member, an
// empty one, or an archive that cannot be read).
QString coverWorkingCopy(const Catalogue &catalogue, const QString &identifier);

// True when at least one disc of the data folder has a cover.
bool anyCover(const Catalogue &catalogue);

struct DiscThumbnail
{
    int position = 0; // in the disc array
    QString identifier;
    QString name;
    QString keywordCodes;
    QByteArray bitmap; // the <id>.imi bytes
};

// The thumbnails of the strip, one per disc with a cover, in disc-array order. A disc
// whose archive holds a cover but no thumbnail gets one made and stored into its
// archive when the data folder's lock is free (else it is made again next time); a
// picture that cannot be read gives no thumbnail and no message. The observer's
// yield() runs after each disc; a cancel ends the walk early.
std::vector<DiscThumbnail> collectThumbnails(Catalogue &catalogue, RunObserver &observer);

// Whether the strip shows a disc's thumbnail under the disc list's keyword filter:
// 0 shows all, k > 0 the discs carrying keyword k, k < 0 those not carrying -k.
bool thumbnailPassesFilter(const DiscThumbnail &thumbnail, int filter);

} // namespace edit
} // namespace vorn
