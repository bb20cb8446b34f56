#include "edit/CoverEdits.h"

#include "common/RunObserver.h"
#include "edit/Commit.h"
#include "export/Reports.h"
#include "store/Catalogue.h"
#include "store/CoverMembers.h"
#include "store/CoverPicture.h"
#include "store/DataFolderLock.h"
#include "store/DiscArchive.h"
#include "store/Records.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorn::edit {

namespace {

const QString PictureExtension = QStringLiteral(".img1");
const QString ThumbnailExtension = QStringLiteral(".imi");
constexpr int CoverMembersFlags = Member::Img1 | Member::Imi;
// The picture is mostly compressed already; the thumbnail bitmap shrinks well.
constexpr int PackLevel = 4;

bool writeWorkingCopy(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

// Under a lock already held: the working copies `extensions` stand for are packed
// with the archive's comment as it stands, in one archive write.
EditResult packWithStoredRecord(Catalogue &catalogue, const QString &identifier, int memberFlags)
{
    const QString archive = catalogue.archivePath(identifier);
    QString error;
    const std::optional<QString> comment = DiscArchive::tryReadComment(archive, &error);
    if (!comment)
        return EditResult::failed(441, archive + u' ' + error);
    if (!DiscArchive::pack(catalogue, identifier, memberFlags, *comment, PackLevel, &error))
        return EditResult::failed(441, error);
    return EditResult::done();
}

// Writes both working copies and stores them, under the data folder's lock.
EditResult storeCover(Catalogue &catalogue, int position, const QByteArray &picture, const QByteArray &thumbnail)
{
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    const QString identifier = catalogue.disc(position).identifier;
    QString error;
    if (!writeWorkingCopy(catalogue.workingCopy(identifier, PictureExtension), picture, &error)
        || !writeWorkingCopy(catalogue.workingCopy(identifier, ThumbnailExtension), thumbnail, &error))
        return EditResult::failed(441, error);
    return packWithStoredRecord(catalogue, identifier, CoverMembersFlags);
}

// A thumbnail made while building the strip goes into the archive only when no other
// copy of VORN is writing: it is made again another time otherwise.
void storeThumbnail(Catalogue &catalogue, const QString &identifier, const QByteArray &thumbnail)
{
    DataFolderLock lock(catalogue.dataFolder);
    if (lock.lockIfFree() != DataFolderLock::State::Held)
        return;
    QString error;
    if (!writeWorkingCopy(catalogue.workingCopy(identifier, ThumbnailExtension), thumbnail, &error))
        return;
    packWithStoredRecord(catalogue, identifier, Member::Imi);
}

bool validPosition(const Catalogue &catalogue, int position)
{
    return position >= 1 && position <= catalogue.discCount();
}

} // namespace

EditResult setCover(Catalogue &catalogue, int position, const QString &picturePath)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    const Cover::PictureProblem problem = Cover::checkPicture(picturePath);
    if (problem != Cover::PictureProblem::None)
        return EditResult::refused(Cover::problemMessage(problem), picturePath);
    QFile file(picturePath);
    if (!file.open(QIODevice::ReadOnly))
        return EditResult::refused(815, picturePath);
    const QByteArray picture = file.readAll();
    const QByteArray thumbnail = Cover::CreationMiniature(picture);
    if (thumbnail.isEmpty())
        return EditResult::refused(812, picturePath);
    return storeCover(catalogue, position, picture, thumbnail);
}

EditResult deleteCover(Catalogue &catalogue, int position)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    return storeCover(catalogue, position, QByteArray(), QByteArray());
}

QString coverWorkingCopy(const Catalogue &catalogue, const QString &identifier)
{
    const QString path = catalogue.workingCopy(identifier, PictureExtension);
    if (!QFileInfo::exists(path))
        DiscArchive::unpack(catalogue, identifier, PictureExtension + u';');
    return QFileInfo(path).size() > 0 ? path : QString();
}

bool anyCover(const Catalogue &catalogue)
{
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const std::optional<CoverMembers> cover =
            readCoverMembers(catalogue.archivePath(catalogue.disc(position).identifier));
        if (cover && cover->hasCover())
            return true;
    }
    return false;
}

std::vector<DiscThumbnail> collectThumbnails(Catalogue &catalogue, RunObserver &observer)
{
    std::vector<DiscThumbnail> thumbnails;
    for (int position = 1; position <= catalogue.discCount() && !observer.cancelled(); ++position) {
        const DiscRecord &disc = catalogue.disc(position);
        const QString archive = catalogue.archivePath(disc.identifier);
        std::optional<CoverMembers> cover = readCoverMembers(archive);
        if (cover && cover->needsThumbnail()) {
            const std::optional<QByteArray> picture =
                DiscArchive::readMember(archive, disc.identifier + PictureExtension);
            cover->thumbnail = picture ? Cover::CreationMiniature(*picture) : QByteArray();
            if (!cover->thumbnail.isEmpty())
                storeThumbnail(catalogue, disc.identifier, cover->thumbnail);
        }
        if (cover && cover->hasCover() && !cover->thumbnail.isEmpty())
            thumbnails.push_back({position, disc.identifier, disc.name, disc.keywordCodes, cover->thumbnail});
        observer.yield();
    }
    return thumbnails;
}

bool thumbnailPassesFilter(const DiscThumbnail &thumbnail, int filter)
{
    return Reports::passesKeywordFilter(thumbnail.keywordCodes, filter);
}

} // namespace vorn::edit
