#pragma once

#include <QByteArray>
#include <QString>

namespace vorn {

class UserPrompt;

// An export file (a page, a text list) is never written into the data folder itself,
// under any name: it could replace a disc archive or the keyword list. True when
// `path` may be written; otherwise the refusal (782, with the path) is shown.
bool exportTargetAllowed(const QString &dataFolder, const QString &path, UserPrompt &prompt);

// Writes one whole file of an export (a page, a picture, a text list): into a
// temporary file beside it, renamed over the target once complete, so a failed or cut
// short write never leaves a half file under the final name. With `durable`, the file
// reaches the disk before it replaces the target, and its folder entry after; the
// pages of an HTML export skip that (a flush per page makes the export of a large
// catalogue several times slower) and are flushed together, with one call, before the
// index page that links them is written durably. False on failure, with `error`
// naming the path and the reason.
bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error, bool durable = false);

} // namespace vorn
