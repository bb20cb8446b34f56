#include "capture/ArchiveInput.h"

#include "common/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <unistd.h>

namespace vorn {

namespace {
constexpr qint64 kWindowSize = 256 * 1024;
}

bool ArchiveInput::open(const QString &path)
{
    m_device.reset();
    const int fd = openRegularFile(QFile::encodeName(path));
    if (fd < 0)
        return false;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return open(std::move(file));
}

bool ArchiveInput::open(std::unique_ptr<QIODevice> device)
{
    m_device.reset();
    if (!device || !device->isOpen() || device->isSequential())
        return false;
    m_device = std::move(device);
    m_size = m_device->size();
    m_window.clear();
    m_windowPos = 0;
    return true;
}

QByteArrayView ArchiveInput::peek(qint64 pos, qint64 count)
{
    if (pos < 0 || count <= 0 || pos >= m_size || !isOpen())
        return {};
    count = std::min({count, kMaxPeek, m_size - pos});
    const qint64 windowEnd = m_windowPos + m_window.size();
    if (pos < m_windowPos || pos + count > windowEnd) {
        const qint64 length = std::min(std::max(count, kWindowSize), m_size - pos);
        m_window.resize(length);
        qint64 got = -1;
        if (m_device->seek(pos))
            got = m_device->read(m_window.data(), length);
        m_window.resize(std::max<qint64>(got, 0));
        m_windowPos = pos;
        count = std::min<qint64>(count, m_window.size());
    }
    return QByteArrayView(m_window).sliced(pos - m_windowPos, count);
}

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    if (at < 0 || at + 2 > bytes.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data() + at);
    return quint16(p[0] | (p[1] << 8));
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data() + at);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

quint64 le64(QByteArrayView bytes, qsizetype at)
{
    if (at < 0 || at + 8 > bytes.size())
        return 0;
    return quint64(le32(bytes, at)) | (quint64(le32(bytes, at + 4)) << 32);
}

} // namespace vorn
