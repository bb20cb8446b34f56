#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace vorn {

// CRC-32 (ISO 3309, the one ZIP, RAR and PNG use); `crc` continues an earlier run.
quint32 crc32(QByteArrayView bytes, quint32 crc = 0);

} // namespace vorn
