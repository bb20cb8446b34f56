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
// short write never leaves a half file under the final name. The file is not forced
// to the disk: unlike a disc archive, an export can be written again, and a flush per
// page makes the export of a large catalogue several times slower. False on failure,
// with `error` naming the path and the reason.
bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace vorn
