#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vorn {

// Bits of the member flag word: which working copies a pack puts into a disc archive.
namespace Member {
enum : int {
    Rep = 2, // ".rep" folder file
    Fic = 4, // ".fic" file list
    Text = 16, // ".text" captured-text store
    Ico = 32, // ".ico" disc icon
    Img1 = 64, // ".img1" cover picture
    Imi = 128, // ".imi" second cover picture
    Sig = 256, // ".sig" bookmark file
    Id3 = 512, // ".id3" MP3 tag store
    CataloguingRun = 567,
};
}

struct FieldPair
{
    QString name;
    QString value;
};

struct KeywordEntry
{
    QString name;
    qint16 number = 0;
};

// One disc of the disc array: what its information record says, plus the statistics
// the file-list loader fills once the whole file list has been read.
struct DiscRecord
{
    QString identifier;
    QString name; // may carry the display suffix " <.NN.>"
    QString keywordCodes; // "|3|7|"; empty or "|" when none
    quint8 excluded = 0; // "EXR": left out of searches when non-zero
    QString description; // may hold CRLF line breaks
    std::vector<FieldPair> fields;
    QString icon; // "ICO": stock icon key, empty for the disc's own icon
    QString volumeLabel; // "VOL"
    double burnDate = 0; // "GRV" as a day number; 0 = not yet known

    // Filled by a full read of the file list; 0 until then.
    qint64 totalSize = 0;
    qint64 capturedSize = 0;
    qint32 fileCount = 0;
    qint32 archiveCount = 0;
    qint32 memberCount = 0;
    qint32 capturedCount = 0;
    bool fileListRead = false;
};

// Bit of a folder record's flags: the folder is left out of searches.
inline constexpr qint32 FolderExcludedFromSearch = 1;

// One line of the folder file. Folder 0 (the root) has no line.
struct FolderRecord
{
    QString name;
    qint32 parent = 0;
    double date = 0;
    QString description;
    qint32 flags = 0; // FolderExcludedFromSearch
};

// The three parts of a file's stored description.
struct DescriptionTriple
{
    QString user; // "£MD¤"
    QString automatic; // "£AD¤"
    QString archivePath; // "£PD¤"
};

// One line of the file list; file numbers count lines from 0.
struct FileRecord
{
    QString name;
    qint32 owner = 0; // >= 0 folder number; < 0 archive member (see memberOwner)
    qint64 size = 0;
    double date = 0;
    DescriptionTriple descriptions;
    qint32 link = 0; // > 0 captured text number; < 0 archive own number negated
};

// Link number and member owner of an archive at file number 0.
inline constexpr qint32 ArchiveAtZero = -999999999;

// One line of a disc's bookmark file.
struct BookmarkRecord
{
    quint8 kind = 1; // 1 file, 2 folder
    QString name;
    QString path; // path of the folder holding it
    qint32 number = 0; // file or folder number
    QString description;
    qint32 folder = 0; // a file's owner field, a folder's parent
};

} // namespace vorn
