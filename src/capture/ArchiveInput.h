#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <memory>

namespace vorn {

// Random reads from an archive file through one window, so that walking thousands of
// small headers costs a few large reads. Reads past the end come back short.
class ArchiveInput
{
public:
    bool open(const QString &path);
    // A device opened for reading that can seek (a file inside a disc image).
    bool open(std::unique_ptr<QIODevice> device);
    bool isOpen() const { return m_device && m_device->isOpen(); }
    qint64 size() const { return m_size; }

    // The bytes [pos, pos + count), fewer when the file ends first (or on a read
    // error). Valid until the next call. `count` is at most kMaxPeek.
    QByteArrayView peek(qint64 pos, qint64 count);
    QByteArray read(qint64 pos, qint64 count) { return peek(pos, count).toByteArray(); }

    static constexpr qint64 kMaxPeek = 4 * 1024 * 1024;

private:
    std::unique_ptr<QIODevice> m_device;
    qint64 m_size = 0;
    QByteArray m_window;
    qint64 m_windowPos = 0;
};

// Little-endian numbers from a byte view; 0 when the view is too short.
quint16 le16(QByteArrayView bytes, qsizetype at);
quint32 le32(QByteArrayView bytes, qsizetype at);
quint64 le64(QByteArrayView bytes, qsizetype at);

} // namespace vorn
