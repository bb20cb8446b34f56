#pragma once

#include "capture/ArchiveMembers.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vorn {

// The parts of a stored member path that may be written below a folder: separators
// "/" and "\" alike, a leading drive ("C:") and leading separators dropped, "." parts
// dropped. nullopt when a part is ".." or cannot be a file name, or nothing is left.
std::optional<QStringList> confinedPathParts(const QString &storedPath);

// Writes `bytes` to `folder` followed by the parts, creating the folders between;
// refuses to write through a symbolic link or anywhere outside `folder`. A file that is
// there already is replaced. Returns the written path, empty on failure.
QString writeConfined(const QString &folder, const QStringList &parts, const QByteArray &bytes);

// Reads one member as text (at most `limit` bytes) in a pass of its own.
std::optional<QByteArray> readWholeMember(ArchiveKind kind, const QString &archivePath, const ArchiveListing &listing,
                                          int index, qint64 limit, UserPrompt *prompt);

} // namespace vorn
