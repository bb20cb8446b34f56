#pragma once

#include "store/ZipTail.h"

#include <QByteArray>
#include <QByteArrayView>

namespace vorn {

// Reads whole members straight out of an archive whose content is in memory,
// inflating with libdeflate: a search reads thousands of disc archives and this is
// several times quicker than the ZIP library's streams.

// Whether this reader can read the member; the others (ZIP64, encrypted, methods
// other than stored and deflate) are left to the ZIP library.
bool directlyReadable(const ZipEntry &entry);

// The member's data into `out` (its capacity is reused); false when the member is
// damaged: header out of place, data cut short, CRC mismatch.
bool readZipMemberDirect(QByteArrayView archive, const ZipEntry &entry, QByteArray &out);

} // namespace vorn
