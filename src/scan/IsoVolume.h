#pragma once

#include "scan/DiscDescriptors.h"
#include "scan/IsoRecords.h"
#include "scan/Volume.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace vorn {

class IsoVolume;

// An image opened as a disc, or why it cannot be.
struct IsoOpening
{
    std::unique_ptr<IsoVolume> volume;
    DiscVolume disc; // label and serial from the descriptors, as for the burnt disc
    QString message; // for the user when volume is null
};

// An ISO 9660 image file read as a disc, without mounting, with the names Linux shows
// for it mounted: the primary tree with its Rock Ridge names when it has them, else the
// Joliet tree when the image has one, else the primary tree's own names.
// Paths are written as on a drive ("\" separators, an optional "D:" prefix). The image
// is never written (EROFS).
//
// Whatever an image holds, reading it ends: a folder's extent is read at most once
// and only under its first parent (so folders pointing back at an ancestor, or shared
// by several parents, are left out), lengths are cut at the image's end, and the
// bytes read as folders are bounded.
class IsoVolume final : public Volume
{
public:
    static IsoOpening open(const QString &imagePath);
    ~IsoVolume() override;

    QChar separator() const override { return QChar(u'\\'); }
    bool isRoot(QStringView path) const override;

    FolderListing listFolder(const QString &path, ListDetail detail) const override;
    VolumeLookup facts(const QString &path) const override;
    std::unique_ptr<QIODevice> openFile(const QString &path) const override;
    // A copy of the file in a temporary folder (the last one asked for; the previous
    // copy is removed), for readers that need a file name.
    QString hostPath(const QString &path) const override;

private:
    struct Folder
    {
        int error = 0;
        std::vector<IsoRecord> records;
        QHash<QString, qsizetype> byName;
    };

    IsoVolume(const QString &imagePath, qint64 imageSize);
    QByteArray readBytes(qint64 offset, qint64 length) const;
    const Folder &folder(const IsoRecord &record) const;
    // The record a path names (the root for a root path); nullptr with *error set when none.
    const IsoRecord *resolve(QStringView path, int &error) const;
    VolumeEntry entryOf(const IsoRecord &record) const;

    QString m_imagePath;
    qint64 m_imageSize = 0;
    IsoNames m_names = IsoNames::Plain;
    int m_suspSkip = 0;
    IsoRecord m_root;

    mutable std::recursive_mutex m_mutex;
    mutable QFile m_image;
    mutable std::unordered_map<qint64, std::unique_ptr<Folder>> m_folders;
    mutable QSet<qint64> m_claimed; // folder extents already listed under a parent
    mutable qint64 m_folderBytesRead = 0;
    mutable std::unique_ptr<QTemporaryDir> m_copies;
    mutable QString m_lastCopy;
};

// True when a host path names an image file the system reads as a disc (a regular file
// whose name ends in ".iso", in any case).
bool isDiscImagePath(const QString &hostPath);

} // namespace vorn
