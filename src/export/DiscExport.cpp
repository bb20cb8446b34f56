#include "export/DiscExport.h"

#include "common/UserPrompt.h"
#include "settings/AppFolders.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/ArchiveTransfer.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorn {

namespace {

using Answer = UserPrompt::Answer;
using Outcome = DiscExportResult::Outcome;

// An absolute path without control characters that does not name something other
// than a folder.
bool isFolderPath(const QString &path)
{
    if (path.trimmed().isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    for (const QChar c : path) {
        if (c.unicode() < 0x20)
            return false;
    }
    const QFileInfo info(path);
    return !info.exists() || info.isDir();
}

bool holdsDiscArchives(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.VORN")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    return !names.isEmpty();
}

// The target folder, or one target archive, is the data folder or a source archive
// under another name: copying over it (after removing the "old" target) would destroy
// the source, so nothing is asked and nothing is done.
bool refuseTarget(const Catalogue &catalogue, const DiscExportRequest &request, UserPrompt &prompt)
{
    const QString folder = withTrailingSeparator(request.folder);
    if (const int refusal = refuseTransferInto(catalogue.dataFolder, folder)) {
        prompt.fail(LoadText(refusal) + u'\n' + QDir::toNativeSeparators(folder));
        return true;
    }
    for (const int position : request.positions) {
        if (position < 1 || position > catalogue.discCount())
            continue;
        const QString identifier = catalogue.disc(position).identifier;
        const QString target = archivePathIn(folder, identifier);
        if (const int refusal = refuseTransferOf(catalogue.archivePath(identifier), target)) {
            prompt.fail(LoadText(refusal) + u'\n' + QDir::toNativeSeparators(target));
            return true;
        }
    }
    return false;
}

} // namespace

QString initialExportFolder(const Catalogue &catalogue)
{
    const QString stored = Settings::read(QStringLiteral("Dirs"), QStringLiteral("Export"));
    if (!stored.isEmpty())
        return stored;
    return catalogue.dataFolder + QStringLiteral("Export");
}

DiscExportResult exportDiscs(const Catalogue &catalogue, const DiscExportRequest &request, UserPrompt &prompt)
{
    DiscExportResult result;
    if (!isFolderPath(request.folder)) {
        prompt.warn(LoadText(430));
        result.outcome = Outcome::InvalidFolder;
        return result;
    }
    const QString folder = withTrailingSeparator(request.folder);
    result.folder = folder;
    if (refuseTarget(catalogue, request, prompt)) {
        result.outcome = Outcome::TargetIsSource;
        return result;
    }

    const QString count = LoadText(450) + u' ' + QString::number(request.positions.size()) + QStringLiteral(" CD?");
    if (prompt.askYesNo(count) != Answer::Yes)
        return result;

    if (!QFileInfo(folder).isDir()) {
        if (prompt.askYesNo(LoadText(464) + folder + LoadText(465)) != Answer::Yes)
            return result;
        if (!QDir().mkpath(folder)) {
            prompt.fail(LoadText(439));
            result.outcome = Outcome::CreateFailed;
            return result;
        }
    }

    result.outcome = Outcome::Stopped;
    if (holdsDiscArchives(folder) && prompt.askYesNo(LoadText(461)) == Answer::Yes)
        return result;

    for (const int position : request.positions) {
        if (position < 1 || position > catalogue.discCount())
            continue;
        const QString identifier = catalogue.disc(position).identifier;
        const QString source = catalogue.archivePath(identifier);
        const QString target = archivePathIn(folder, identifier);
        if (const int refusal = refuseTransferOf(source, target)) {
            // Only reachable when the folder changed under the export since the first check.
            prompt.fail(LoadText(refusal) + u'\n' + QDir::toNativeSeparators(target));
            return result;
        }
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            const QString question = LoadText(420) + u'\n' + QDir::toNativeSeparators(target) + u'\n' + LoadText(545);
            if (prompt.askYesNo(question) != Answer::Yes)
                continue;
            if (!QFile::remove(target)) {
                prompt.fail(LoadText(440));
                return result;
            }
        }
        if (!copyAtomically(source, target)) {
            if (prompt.askYesNo(LoadText(474) + u'\n' + LoadText(602)) != Answer::Yes)
                return result;
            continue;
        }
        ++result.exported;
        if (request.move && QFile::remove(source))
            ++result.moved;
    }

    result.outcome = Outcome::Exported;
    prompt.inform(QString::number(result.exported) + LoadText(466));
    Settings::write(QStringLiteral("Dirs"), QStringLiteral("Export"), folder);
    return result;
}

} // namespace vorn
