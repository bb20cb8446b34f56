#pragma once

#include <QString>
#include <optional>

namespace vorn {

// The icon a disc declares for itself: key "icon" of section "[autorun]" in the file
// "Autorun.inf" at its root (file, section and key found ignoring case). The value
// names an icon file, or a program or library with an optional "," and icon index,
// relative to the disc's root ("\" or "/" separators). The icon is written to
// `tempFolder` & `identifier` & ".ico" (an icon file as it is, or the chosen icon
// group of a program rebuilt as an icon file) and that path is returned; an empty
// text when the disc declares no icon or it cannot be read. Nothing outside the disc
// is ever read: a leading separator means the disc's root, paths climbing out of the
// root, drive letters and links leading elsewhere are refused, and an icon file over
// kMaxIconFileSize is ignored.
QString ReadAutorunIcon(const QString &driveRoot, const QString &identifier, const QString &tempFolder);

// The "icon" value taken apart: the file and the icon index (0 when none is given;
// the index is read as a number the way the platform reads one: leading spaces, a
// sign, then digits).
struct AutorunIconValue
{
    QString file;
    int index = 0;
    bool indexGiven = false;
};
std::optional<AutorunIconValue> parseAutorunIconValue(const QString &value);

// A file below a host folder from a path relative to it (leading separators
// ignored), each part matched ignoring case when no part of that exact name exists.
// Empty when it is not there, is not a plain file, or would lie outside the folder.
QString findBelowRoot(const QString &root, const QString &relativePath);

} // namespace vorn
