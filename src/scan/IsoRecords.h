#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

namespace vorn {

// Directory records of an ISO 9660 tree, with the names of its Joliet or Rock Ridge
// extensions.

// Bytes of the image from a position, or fewer when the image ends first.
using IsoByteReader = std::function<QByteArray(qint64 offset, qint64 length)>;

struct IsoExtent
{
    qint64 sector = 0;
    qint64 length = 0; // bytes
};

enum class IsoNames { Plain, Joliet, RockRidge };

struct IsoRecord
{
    QString name;
    bool isFolder = false;
    bool isSymlink = false;
    bool relocated = false; // a Rock Ridge child link: the folder's length is in its "." record
    qint64 modifiedMs = 0; // ms since the epoch (UTC); 0 when unrecorded
    std::vector<IsoExtent> extents; // several for a file recorded in parts
    qint64 size() const;
};

// The time of a 7-byte recording date (years since 1900, month, day, hour, minute,
// second, offset from UTC in quarters of an hour); 0 when the date is unset or invalid.
qint64 isoRecordingTime(QByteArrayView date);

// Number of bytes to skip at the start of each system use area when the record is the
// root's "." record and opens with a Rock Ridge "SP" entry; -1 when it does not.
int rockRidgeSkip(QByteArrayView dotRecord);

// The records of a folder's bytes, "." and ".." left out, a file recorded in parts
// given as one record. With Rock Ridge names, `suspSkip` is the skip of the "SP" entry
// and `read` serves continuation areas; records moved away by relocation are left out.
std::vector<IsoRecord> parseIsoFolder(QByteArrayView bytes, IsoNames names, int suspSkip, const IsoByteReader &read);

} // namespace vorn
