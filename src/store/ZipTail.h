#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QFile;

namespace vorn {

// Reads a ZIP archive's comment straight from its end-of-central-directory record,
// without parsing the whole archive: opening a data folder reads thousands of them.
// nullopt (with a message) when the file is not a complete ZIP archive.
std::optional<QByteArray> readZipComment(QFile &file, QString *error = nullptr);

// The member names of the central directory, read the same cheap way; nullopt when the
// file is not a complete ZIP archive (or uses the ZIP64 extensions).
std::optional<QList<QByteArray>> readZipMemberNames(QFile &file);

} // namespace vorn
