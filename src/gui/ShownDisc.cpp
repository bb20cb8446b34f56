#include "gui/ShownDisc.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"

namespace vorn {

bool ShownDisc::load(Catalogue &catalogue, int discPosition)
{
    reset();
    if (discPosition <= 0 || discPosition > catalogue.discCount())
        return false;
    const QString id = catalogue.disc(discPosition).identifier;
    if (!DiscArchive::unpack(catalogue, id, QStringLiteral(".rep;.fic;.sig;")))
        return false;
    auto folders = TreeFiles::readFolderFile(catalogue.workingCopy(id, QStringLiteral(".rep")));
    if (!folders)
        return false;
    identifier = id;
    position = discPosition;
    tree.folders = std::move(*folders);
    if (tree.folders.empty())
        tree.folders.resize(1);
    bookmarks = BookmarkFile::read(catalogue, id);
    return true;
}

void ShownDisc::reset()
{
    loader.close();
    identifier.clear();
    position = 0;
    tree = DiscTree();
    bookmarks.assign(1, BookmarkRecord());
    texts.forget();
    tags.forget();
}

bool ShownDisc::isFileBookmarked(int fileNumber) const
{
    for (size_t i = 1; i < bookmarks.size(); ++i) {
        if (bookmarks[i].kind == 1 && bookmarks[i].number == fileNumber)
            return true;
    }
    return false;
}

bool ShownDisc::isFolderBookmarked(int folderNumber) const
{
    for (size_t i = 1; i < bookmarks.size(); ++i) {
        if (bookmarks[i].kind == 2 && bookmarks[i].number == folderNumber)
            return true;
    }
    return false;
}

} // namespace vorn
