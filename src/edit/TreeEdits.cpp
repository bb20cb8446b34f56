#include "edit/TreeEdits.h"

#include "capture/TextCapture.h"
#include "edit/Commit.h"
#include "edit/DiscNames.h"
#include "store/BookmarkFile.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/TreeFiles.h"

#include <QFile>

#include <algorithm>
#include <functional>

namespace vorn::edit {

namespace {

bool sameItem(const BookmarkRecord &a, const BookmarkRecord &b)
{
    return a.name.compare(b.name, Qt::CaseInsensitive) == 0 && a.path.compare(b.path, Qt::CaseInsensitive) == 0;
}

// Under the lock: the member `extension` unpacked afresh, changed by `change` (which
// writes the working copy and answers false with *error on failure), packed back with
// the archive's comment.
EditResult changeMember(Catalogue &catalogue, int position, const QString &extension, int bit,
                        const std::function<bool(const QString &workingCopy, QString *error)> &change)
{
    if (position < 1 || position > catalogue.discCount())
        return EditResult::refused(708);
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    const QString identifier = catalogue.disc(position).identifier;
    const QString archive = catalogue.archivePath(identifier);
    QString error;
    const std::optional<QString> comment = DiscArchive::tryReadComment(archive, &error);
    const QString workingCopy = catalogue.workingCopy(identifier, extension);
    QFile::remove(workingCopy);
    if (!comment || !DiscArchive::unpack(catalogue, identifier, extension + u';'))
        return EditResult::failed(441, archive + u' ' + error);
    if (!change(workingCopy, &error))
        return EditResult::failed(441, error);
    if (!DiscArchive::pack(catalogue, identifier, bit, *comment, 4, &error))
        return EditResult::failed(441, error);
    return EditResult::done();
}

} // namespace

QString lineText(const QString &text)
{
    QString line = CleanLine(text);
    line.removeIf(DiscName::isControlCharacter);
    return line;
}

EditResult setFolderDescription(Catalogue &catalogue, int position, int folder, const QString &text)
{
    return changeMember(
        catalogue, position, QStringLiteral(".rep"), Member::Rep, [&](const QString &path, QString *error) {
            DiscTree tree;
            auto folders = TreeFiles::readFolderFile(path);
            if (!folders || folder < 1 || folder >= int(folders->size())) {
                *error = path + QStringLiteral(": no folder ") + QString::number(folder);
                return false;
            }
            tree.folders = std::move(*folders);
            tree.folders[size_t(folder)].description = lineText(text);
            return TreeFiles::rewriteFolderFile(catalogue, catalogue.disc(position).identifier, tree, error);
        });
}

EditResult setFileDescription(Catalogue &catalogue, int position, int file, const QString &text)
{
    return changeMember(
        catalogue, position, QStringLiteral(".fic"), Member::Fic, [&](const QString &path, QString *error) {
            DiscTree tree;
            auto files = TreeFiles::readFileList(path);
            if (!files || file < 0 || file >= int(files->size())) {
                *error = path + QStringLiteral(": no file ") + QString::number(file);
                return false;
            }
            tree.files = std::move(*files);
            tree.files[size_t(file)].descriptions.user = lineText(text);
            return TreeFiles::rewriteFileList(catalogue, catalogue.disc(position).identifier, tree, error);
        });
}

EditResult setFoldersExcluded(Catalogue &catalogue, int position, const std::vector<int> &folders, bool excluded,
                              std::vector<FolderRecord> *written)
{
    return changeMember(
        catalogue, position, QStringLiteral(".rep"), Member::Rep, [&](const QString &path, QString *error) {
            DiscTree tree;
            auto read = TreeFiles::readFolderFile(path);
            if (!read) {
                *error = path;
                return false;
            }
            tree.folders = std::move(*read);
            for (const int folder : folders) {
                if (folder < 1 || folder >= int(tree.folders.size())) {
                    *error = path + QStringLiteral(": no folder ") + QString::number(folder);
                    return false;
                }
                qint32 &flags = tree.folders[size_t(folder)].flags;
                flags = (flags & ~1) | (excluded ? 1 : 0);
            }
            if (!TreeFiles::rewriteFolderFile(catalogue, catalogue.disc(position).identifier, tree, error))
                return false;
            if (written)
                *written = std::move(tree.folders);
            return true;
        });
}

std::optional<BookmarkRecord> folderBookmark(const DiscTree &tree, int folder)
{
    if (folder < 1 || folder >= int(tree.folders.size()))
        return std::nullopt;
    const FolderRecord &record = tree.folders[size_t(folder)];
    return BookmarkRecord{2, record.name, TreeFiles::folderPath(tree, record.parent), folder, {}, record.parent};
}

std::optional<BookmarkRecord> fileBookmark(const DiscTree &tree, int file)
{
    if (file < 0 || file >= int(tree.files.size()) || tree.files[size_t(file)].owner < 0)
        return std::nullopt;
    const FileRecord &record = tree.files[size_t(file)];
    return BookmarkRecord{1, record.name, TreeFiles::folderPath(tree, record.owner), file, {}, record.owner};
}

std::optional<BookmarkRecord> bookmarkAt(const DiscTree &tree, const QString &path)
{
    if (path.endsWith(u'\\')) {
        for (int folder = 1; folder < int(tree.folders.size()); ++folder) {
            if (TreeFiles::folderPath(tree, folder).compare(path, Qt::CaseInsensitive) == 0)
                return folderBookmark(tree, folder);
        }
        return std::nullopt;
    }
    for (int file = 0; file < int(tree.files.size()); ++file) {
        if (tree.files[size_t(file)].owner >= 0
            && TreeFiles::filePath(tree, file).compare(path, Qt::CaseInsensitive) == 0)
            return fileBookmark(tree, file);
    }
    return std::nullopt;
}

bool applyBookmarkChange(std::vector<BookmarkRecord> &bookmarks, const BookmarkRecord &item, BookmarkChange change,
                         const QString &description)
{
    if (bookmarks.empty())
        bookmarks.emplace_back();
    const auto from = bookmarks.begin() + 1;
    if (change == BookmarkChange::Describe) {
        const auto same = std::find_if(from, bookmarks.end(), [&](const BookmarkRecord &each) {
            return each.kind == item.kind && each.number == item.number;
        });
        if (same != bookmarks.end()) {
            same->description = description;
            return true;
        }
        change = BookmarkChange::Toggle;
    }
    const auto found =
        std::find_if(from, bookmarks.end(), [&](const BookmarkRecord &each) { return sameItem(each, item); });
    switch (change) {
    case BookmarkChange::Set:
        if (found == bookmarks.end()) {
            bookmarks.push_back(item);
            bookmarks.back().description = description;
        } else {
            found->description = description;
        }
        return true;
    case BookmarkChange::Add:
        if (found == bookmarks.end())
            bookmarks.push_back(item);
        return true;
    case BookmarkChange::Remove:
        if (found != bookmarks.end())
            bookmarks.erase(found);
        return false;
    default:
        if (found != bookmarks.end()) {
            bookmarks.erase(found);
            return false;
        }
        bookmarks.push_back(item);
        bookmarks.back().description.clear();
        return true;
    }
}

EditResult changeBookmark(Catalogue &catalogue, int position, const BookmarkRecord &item, BookmarkChange change,
                          const QString &description, std::vector<BookmarkRecord> *bookmarks, bool *bookmarked)
{
    return changeMember(catalogue, position, QStringLiteral(".sig"), Member::Sig,
                        [&](const QString &path, QString *error) {
                            std::vector<BookmarkRecord> list = BookmarkFile::read(path);
                            const bool marked = applyBookmarkChange(list, item, change, lineText(description));
                            if (!BookmarkFile::write(path, list)) {
                                *error = path;
                                return false;
                            }
                            if (bookmarks)
                                *bookmarks = std::move(list);
                            if (bookmarked)
                                *bookmarked = marked;
                            return true;
                        });
}

} // namespace vorn::edit
