#include "store/DiscRekey.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/DiscSort.h"
#include "store/IconStore.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorn {

namespace {

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Every member kind a disc archive may hold.
constexpr int kAllMembers =
    Member::Rep | Member::Fic | Member::Text | Member::Ico | Member::Img1 | Member::Imi | Member::Sig | Member::Id3;

} // namespace

bool rekeyDisc(Catalogue &catalogue, int position, const QString &newIdentifier, QString *error)
{
    if (position < 1 || position > catalogue.discCount())
        return refuse(error, QStringLiteral("no such disc"));
    const QString oldId = catalogue.disc(position).identifier;
    const QString newId = newIdentifier.trimmed();
    bool number = false;
    newId.toInt(&number);
    if (!number || newId.compare(oldId, Qt::CaseInsensitive) == 0)
        return refuse(error, QStringLiteral("not a new disc identifier: ") + newIdentifier);
    if (QFileInfo::exists(catalogue.archivePath(newId)))
        return refuse(error, catalogue.archivePath(newId) + QStringLiteral(" already exists"));

    deleteWorkingCopies(catalogue, newId);
    if (!DiscArchive::unpack(catalogue, oldId, QString())) {
        deleteWorkingCopies(catalogue, oldId);
        return refuse(error, catalogue.archivePath(oldId) + QStringLiteral(" cannot be read"));
    }
    const QDir temp(catalogue.tempFolder);
    const QStringList copies = temp.entryList({oldId + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : copies) {
        const QString extension = name.mid(oldId.size());
        if (!QFile::rename(temp.filePath(name), catalogue.workingCopy(newId, extension))) {
            deleteWorkingCopies(catalogue, oldId);
            deleteWorkingCopies(catalogue, newId);
            return refuse(error, temp.filePath(name) + QStringLiteral(" cannot be renamed"));
        }
    }

    DiscRecord moved = catalogue.disc(position);
    moved.identifier = newId;
    const int savedFlags = catalogue.memberFlags;
    catalogue.memberFlags = kAllMembers;
    QString packError;
    if (!writeRecord(catalogue, moved, 4, &packError)) {
        catalogue.memberFlags = savedFlags;
        QFile::remove(catalogue.archivePath(newId));
        deleteWorkingCopies(catalogue, newId);
        return refuse(error, packError);
    }
    catalogue.memberFlags = savedFlags;
    QFile::remove(catalogue.archivePath(oldId));

    const bool hasOwnIcon = QFileInfo::exists(catalogue.workingCopy(newId, QStringLiteral(".ico")));
    if (hasOwnIcon) {
        QFile icon(catalogue.workingCopy(newId, QStringLiteral(".ico")));
        if (icon.open(QIODevice::ReadOnly))
            catalogue.discIcons.insert(newId, icon.readAll());
        IconStore::add(catalogue, newId);
    } else if (catalogue.discIcons.contains(oldId)) {
        catalogue.discIcons.insert(newId, catalogue.discIcons.value(oldId));
        IconStore::addSeveral(catalogue, {newId});
    }
    if (catalogue.discIcons.remove(oldId) > 0)
        IconStore::remove(catalogue, oldId);
    catalogue.disc(position).identifier = newId;
    deleteWorkingCopies(catalogue, newId);
    return true;
}

} // namespace vorn
