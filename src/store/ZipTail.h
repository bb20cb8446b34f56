#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QFile;

namespace vorn {

// What the end of a ZIP archive says: its comment and its member names.
struct ZipTail
{
    QByteArray comment;
    QList<QByteArray> memberNames;
    bool namesKnown = false;   // false for archives using the ZIP64 extensions
};

// Reads a ZIP archive's end-of-central-directory record and central directory
// straight from the end of the file, without opening the archive through the ZIP
// library: opening a data folder reads thousands of them, usually in one read each.
// nullopt (with a message) when the file is not a complete ZIP archive.
std::optional<ZipTail> readZipTail(QFile &file, QString *error = nullptr);

// The comment alone.
std::optional<QByteArray> readZipComment(QFile &file, QString *error = nullptr);

} // namespace vorn
