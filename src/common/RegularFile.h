#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

namespace vorn {

enum class LinkRule { Follow, DoNotFollow };

// Opens a file for reading only when it is a regular file: the open never waits
// (O_NONBLOCK, so a named pipe without a writer or a device cannot hold it), then the
// open descriptor itself is examined, so what is read is what was checked. A FIFO,
// socket, device or folder is closed again at once and gives -1. The descriptor
// returned reads blocking, as an ordinary file does. With DoNotFollow a symbolic
// link gives -1.
int openRegularFile(const QByteArray &hostPath, LinkRule links = LinkRule::Follow);

// The same as a QFile that owns the descriptor; nullptr when it is not a regular file.
std::unique_ptr<QFile> openRegularQFile(const QString &hostPath, LinkRule links = LinkRule::Follow);
// The same from the path's bytes as the file system holds them.
std::unique_ptr<QFile> openRegularQFile(const QByteArray &hostPath, LinkRule links);

} // namespace vorn
