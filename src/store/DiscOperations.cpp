#include "store/DiscOperations.h"

#include "common/UserPrompt.h"
#include "settings/AppFolders.h"
#include "settings/StringTable.h"
#include "store/ArchiveTransfer.h"
#include "store/Catalogue.h"
#include "store/DataFolderList.h"
#include "store/DataFolderLock.h"
#include "store/FileListLoader.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorn {

void removeDiscFromArray(Catalogue &catalogue, int position)
{
    if (position < 1 || position > catalogue.discCount())
        return;
    catalogue.discs.erase(catalogue.discs.begin() + position);
    if (catalogue.current == position)
        catalogue.current = 0;
    else if (catalogue.current > position)
        --catalogue.current;
}

bool deleteDisc(Catalogue &catalogue, int position, UserPrompt &prompt, FileListLoader *loader)
{
    if (position < 1 || position > catalogue.discCount())
        return false;
    const DiscRecord &disc = catalogue.disc(position);
    if (prompt.askYesNo(LoadText(347) + u'\n' + disc.name) != UserPrompt::Answer::Yes)
        return false;
    if (loader)
        loader->close();
    QString error;
    if (!deleteDiscArchive(catalogue, disc.identifier, &error)) {
        prompt.fail(error);
        return false;
    }
    removeDiscFromArray(catalogue, position);
    return true;
}

bool deleteDiscArchive(const Catalogue &catalogue, const QString &identifier, QString *error)
{
    const QString archive = catalogue.archivePath(identifier);
    QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner);
    QFile file(archive);
    if (file.exists() && !file.remove()) {
        if (error)
            *error = archive + u'\n' + file.errorString();
        return false;
    }
    return true;
}

bool exportDiscArchive(Catalogue &catalogue, int position, bool move, UserPrompt &prompt)
{
    const QString folder = prompt.chooseFolder(LoadText(451));
    if (folder.isEmpty())
        return false;
    return exportDiscArchiveTo(catalogue, position, folder, move, prompt);
}

bool exportDiscArchiveTo(Catalogue &catalogue, int position, const QString &folder, bool move, UserPrompt &prompt)
{
    if (position < 1 || position > catalogue.discCount())
        return false;
    const QString identifier = catalogue.disc(position).identifier;
    const QString source = catalogue.archivePath(identifier);
    const QString target = archivePathIn(withTrailingSeparator(folder), identifier);
    int refusal = refuseTransferInto(catalogue.dataFolder, folder);
    if (refusal == 0)
        refusal = refuseTransferOf(source, target);
    if (refusal != 0) {
        prompt.fail(LoadText(refusal) + u'\n' + QDir::toNativeSeparators(target));
        return false;
    }
    if (QFileInfo::exists(target)) {
        if (prompt.askYesNo(LoadText(420) + u'\n' + LoadText(545)) != UserPrompt::Answer::Yes)
            return false;
    }
    // A move changes the data folder: it waits for the folder's lock like any change.
    DataFolderLock lock(catalogue.dataFolder);
    if (move && lock.lock() != DataFolderLock::State::Held) {
        prompt.fail(LoadText(704));
        return false;
    }
    const bool done = move ? moveAtomically(source, target) : copyAtomically(source, target);
    if (!done) {
        prompt.fail(target + u'\n' + LoadText(441));
        return false;
    }
    if (move)
        removeDiscFromArray(catalogue, position);
    prompt.inform(QStringLiteral("1 ") + LoadText(466));
    return true;
}

ElsewhereAnswer lookInOtherDataFolders(Catalogue &catalogue, const DataFolderList &folders, const QString &identifier,
                                       UserPrompt &prompt)
{
    const QString open = withTrailingSeparator(catalogue.dataFolder);
    for (const QString &folder : folders.folders()) {
        if (namesSamePlace(folder, open))
            continue;
        const QString archive = archivePathIn(folder, identifier);
        if (!QFileInfo::exists(archive))
            continue;
        const auto reading = readRecord(archive, identifier);
        const QString name = reading ? reading->record.name : QString();
        const QString question = LoadText(603) + u'\n' + folder + u'\n' + LoadText(605) + name + u'\n' + LoadText(604);
        switch (prompt.askYesNoCancel(question)) {
        case UserPrompt::Answer::Yes: {
            DataFolderLock lock(catalogue.dataFolder);
            if (lock.lock() != DataFolderLock::State::Held
                || !copyAtomically(archive, catalogue.archivePath(identifier))) {
                prompt.fail(catalogue.archivePath(identifier) + u'\n' + LoadText(441));
                return ElsewhereAnswer::Cancelled;
            }
            return ElsewhereAnswer::Copied;
        }
        case UserPrompt::Answer::No:
            return ElsewhereAnswer::CatalogueAnew;
        default:
            return ElsewhereAnswer::Cancelled;
        }
    }
    return ElsewhereAnswer::NotFound;
}

} // namespace vorn
