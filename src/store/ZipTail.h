#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

class QFile;

namespace vorn {

// One member as the central directory describes it.
struct ZipEntry
{
    QByteArray name;
    quint16 flags = 0;
    quint16 method = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 size = 0;
    quint32 localOffset = 0;
};

// What the end of a ZIP archive says: its comment and its members.
struct ZipTail
{
    QByteArray comment;
    std::vector<ZipEntry> entries;
    bool namesKnown = false; // false for archives using the ZIP64 extensions
    qint64 directoryOffset = 0;
};

// Reads a ZIP archive's end-of-central-directory record and central directory
// straight from the end of the file, without opening the archive through the ZIP
// library: opening a data folder reads thousands of them, usually in one read each.
// nullopt (with a message) when the file is not a complete ZIP archive.
std::optional<ZipTail> readZipTail(QFile &file, QString *error = nullptr);

// The same over the archive's whole content already in memory.
std::optional<ZipTail> parseZipTail(QByteArrayView wholeFile, QString *error = nullptr);

// The comment alone.
std::optional<QByteArray> readZipComment(QFile &file, QString *error = nullptr);

} // namespace vorn
