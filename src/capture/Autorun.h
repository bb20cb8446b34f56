#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace vorn {

// The files of a disc as the icon reader reads them, by a path inside the disc (see
// discPathParts). nullptr when the path is not there, is not a plain file, or would
// leave the disc.
class DiscFiles
{
public:
    virtual ~DiscFiles() = default;
    virtual std::unique_ptr<QIODevice> open(const QString &relativePath) const = 0;
};

// A host folder standing for the disc's root.
class HostDiscFiles final : public DiscFiles
{
public:
    explicit HostDiscFiles(QString root) : m_root(std::move(root)) {}
    std::unique_ptr<QIODevice> open(const QString &relativePath) const override;

private:
    QString m_root;
};

// The parts of a path inside a disc, from its root: "\" or "/" separators, "." and
// ".." resolved. nullopt for a path naming the root itself, one climbing out of the
// root, or one with a drive letter (another disc, or this one under a letter the
// program cannot know).
std::optional<QStringList> discPathParts(const QString &relativePath);

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
QString ReadAutorunIcon(const DiscFiles &disc, const QString &identifier, const QString &tempFolder);
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
