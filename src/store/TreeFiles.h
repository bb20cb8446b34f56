#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace vorn {

struct Catalogue;
class LineFields;

// A disc's directory tree in memory: folders[k] is folder k (index 0 is the root,
// which has an empty name and no line of its own); files[n] is file number n.
struct DiscTree
{
    std::vector<FolderRecord> folders{1};
    std::vector<FileRecord> files;
};

// Folder file (<id>.rep) and file list (<id>.fic): line files whose first line is a
// header naming the format, then one record per line.
namespace TreeFiles {

inline constexpr int FormatNumber = 200;

// "/VORN_Rep/",200,0,"","" and "/VORN_Rep/",200,0,0,"","" with their CRLF.
QByteArray folderFileHeader();
QByteArray fileListHeader();

// How field 5 of a folder line is written: the cataloguing run leaves it an empty
// text (""), a rewrite stores the flags as a number.
enum class FolderFlags { EmptyText, Number };

void appendFolderLine(QByteArray &out, const FolderRecord &folder, FolderFlags form = FolderFlags::Number);
void appendFileLine(QByteArray &out, const FileRecord &file);

// One record from one line (without its line end). Missing fields read as empty or 0;
// field 5 of a folder line is converted from text by its numeric value; a file size
// of 0 reads as 1.
FolderRecord parseFolderLine(QByteArrayView line);
FileRecord parseFileLine(QByteArrayView line);
FileRecord parseFileLine(const LineFields &fields);

// Whole files: the header line is skipped unread, blank lines are ignored. The
// folder vector starts with the root at index 0.
std::vector<FolderRecord> parseFolderFile(QByteArrayView data);
std::vector<FileRecord> parseFileList(QByteArrayView data);
// nullopt when the file cannot be opened or read.
std::optional<std::vector<FolderRecord>> readFolderFile(const QString &path);
std::optional<std::vector<FileRecord>> readFileList(const QString &path);

// Whole files from records: the header, then every record with a non-empty name
// (the root and deleted records are left out).
QByteArray folderFileBytes(const std::vector<FolderRecord> &folders, FolderFlags form = FolderFlags::Number);
QByteArray fileListBytes(const std::vector<FileRecord> &files);

// Writes the working copy <id>.rep / <id>.fic in the temporary folder from the tree;
// the caller packs it afterwards with bit 2 / 4.
bool rewriteFolderFile(const Catalogue &catalogue, const QString &identifier, const DiscTree &tree,
                       QString *error = nullptr);
bool rewriteFileList(const Catalogue &catalogue, const QString &identifier, const DiscTree &tree,
                     QString *error = nullptr);

// The description triple joined with its markers "£MD¤", "£AD¤", "£PD¤", and back.
// A stored text that does not begin with a marker is all user description.
QString joinDescriptions(const DescriptionTriple &triple);
DescriptionTriple splitDescriptions(const QString &stored);
// The first non-empty of user description, automatic information, path in archive.
QString displayDescription(const DescriptionTriple &triple);

// Link number of an archive with this file number, also the owner of its members:
// the number negated, ArchiveAtZero for file number 0.
qint32 archiveLink(int fileNumber);
// File number of the archive a member with this owner belongs to (owner < 0).
int archiveOfMember(qint32 owner);

// Paths inside the disc with "\" separators. A folder's path is the names of the
// folder and its ancestors (the root excluded), root first, each followed by "\";
// the root's path is empty. A file's path is its folder's path and its name; an
// archive member's path is its archive's path, "\" and its name. Numbers out of
// range, or parent links that do not lead to the root, end the walk there.
QString folderPath(const DiscTree &tree, int folder);
QString filePath(const DiscTree &tree, int file);

} // namespace TreeFiles
} // namespace vorn
