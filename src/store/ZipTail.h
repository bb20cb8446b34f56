#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

namespace vorn {

// Reads a ZIP archive's comment straight from its end-of-central-directory record,
// without parsing the whole archive: opening a data folder reads thousands of them.
// nullopt (with a message) when the file is not a complete ZIP archive.
std::optional<QByteArray> readZipComment(QFile &file, QString *error = nullptr);

} // namespace vorn
