#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vorn {

// What a disc archive holds of the disc's cover, read from the archive's central
// directory, with the thumbnail's bytes: building the thumbnail strip reads this for
// every disc, so the cover picture itself is never read here.
struct CoverMembers
{
    qint64 pictureSize = -1; // size of <id>.img1; -1 when the archive has no such member
    qint64 thumbnailSize = -1; // size of <id>.imi; -1 when absent
    QByteArray thumbnail; // the <id>.imi bytes (empty when absent, empty or unreadable)

    bool hasCover() const { return pictureSize > 0; }
    // A cover whose thumbnail is missing (or empty) gets one made.
    bool needsThumbnail() const { return hasCover() && thumbnailSize <= 0; }
};

// nullopt when the archive is missing or is not a readable ZIP archive.
std::optional<CoverMembers> readCoverMembers(const QString &archivePath);

} // namespace vorn
