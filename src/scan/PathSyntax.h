#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace vorn {

// Path texts: "\" inside a disc, the native "/" for host folders.

// Removes every trailing separator: "D:\a\\" gives "D:\a", "\" gives "".
QString removeTrailingSeparators(const QString &path, QChar separator = u'\\');

// The names a path goes through below its root. Empty and "." components are
// dropped; with "\" separators a leading drive prefix ("D:") is dropped too.
QStringList pathComponents(QStringView path, QChar separator);

// The last component; empty for a root ("D:", "D:\", "\", "/").
QString lastPathComponent(QStringView path, QChar separator);

// folder (its trailing separators removed), the separator, name.
QString joinPath(const QString &folder, const QString &name, QChar separator = u'\\');

} // namespace vorn
