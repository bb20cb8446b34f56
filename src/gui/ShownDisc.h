#pragma once

#include "store/BookmarkFile.h"
#include "store/CapturedTextStore.h"
#include "store/FileListLoader.h"
#include "store/Mp3TagStore.h"
#include "store/TreeFiles.h"

#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;

// What the browser holds of the disc it shows: the folder records, the file records
// read so far, the bookmarks and the readers of the side files.
struct ShownDisc
{
    QString identifier;
    int position = 0;
    DiscTree tree;
    FileListLoader loader;
    std::vector<BookmarkRecord> bookmarks{1};
    CapturedTextReader texts;
    Mp3TagReader tags;

    // Unpacks the disc's folder file, file list and bookmarks into the temporary
    // folder and reads the folder file. False when one of them cannot be read.
    bool load(Catalogue &catalogue, int discPosition);
    void reset();

    bool isFileBookmarked(int fileNumber) const;
    bool isFolderBookmarked(int folderNumber) const;
};

} // namespace vorn
