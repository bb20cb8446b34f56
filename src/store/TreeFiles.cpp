#include "store/TreeFiles.h"

#include "common/DurableFile.h"
#include "common/LineFields.h"
#include "common/Numbers.h"
#include "store/Catalogue.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace vorn::TreeFiles {

namespace {

const QString UserMarker = QStringLiteral(u"£MD¤");
const QString AutomaticMarker = QStringLiteral(u"£AD¤");
const QString PathMarker = QStringLiteral(u"£PD¤");

constexpr char16_t Pound = u'\u00A3';
constexpr char16_t Currency = u'\u00A4';

qint32 toInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && commitWhole(file))
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace

QByteArray folderFileHeader()
{
    QByteArray out;
    LineWriter(out).text(u"/VORN_Rep/").integer(FormatNumber).integer(0).text(u"").text(u"").endLine();
    return out;
}

QByteArray fileListHeader()
{
    QByteArray out;
    LineWriter(out).text(u"/VORN_Rep/").integer(FormatNumber).integer(0).integer(0).text(u"").text(u"").endLine();
    return out;
}

void appendFolderLine(QByteArray &out, const FolderRecord &folder, FolderFlags form)
{
    LineWriter writer(out);
    writer.text(folder.name).integer(folder.parent).number(folder.date).text(folder.description);
    if (form == FolderFlags::EmptyText)
        writer.text(u"");
    else
        writer.integer(folder.flags);
    writer.endLine();
}

void appendFileLine(QByteArray &out, const FileRecord &file)
{
    LineWriter(out)
        .text(file.name)
        .integer(file.owner)
        .integer(file.size)
        .number(file.date)
        .text(joinDescriptions(file.descriptions))
        .integer(file.link)
        .endLine();
}

FolderRecord parseFolderLine(QByteArrayView line)
{
    const LineFields fields(line);
    FolderRecord folder;
    folder.name = fields.text(0);
    folder.parent = toInt32(fields.integer(1));
    folder.date = fields.number(2);
    folder.description = fields.text(3);
    folder.flags = toInt32(integerValue(fields.text(4)));
    return folder;
}

FileRecord parseFileLine(QByteArrayView line)
{
    return parseFileLine(LineFields(line));
}

FileRecord parseFileLine(const LineFields &fields)
{
    FileRecord file;
    file.name = fields.text(0);
    file.owner = toInt32(fields.integer(1));
    file.size = fields.integer(2);
    if (file.size == 0)
        file.size = 1;
    file.date = fields.number(3);
    file.descriptions = splitDescriptions(fields.text(4));
    file.link = toInt32(fields.integer(5));
    return file;
}

std::vector<FolderRecord> parseFolderFile(QByteArrayView data)
{
    std::vector<FolderRecord> folders(1);
    forEachRecordLine(data, [&](QByteArrayView line) {
        folders.push_back(parseFolderLine(line));
        return true;
    });
    return folders;
}

std::vector<FileRecord> parseFileList(QByteArrayView data)
{
    std::vector<FileRecord> files;
    files.reserve(size_t(data.size() / 48));
    forEachRecordLine(data, [&](QByteArrayView line) {
        files.push_back(parseFileLine(line));
        return true;
    });
    return files;
}

std::optional<std::vector<FolderRecord>> readFolderFile(const QString &path)
{
    const std::optional<QByteArray> data = readWholeFile(path);
    if (!data)
        return std::nullopt;
    return parseFolderFile(*data);
}

std::optional<std::vector<FileRecord>> readFileList(const QString &path)
{
    const std::optional<QByteArray> data = readWholeFile(path);
    if (!data)
        return std::nullopt;
    return parseFileList(*data);
}

QByteArray folderFileBytes(const std::vector<FolderRecord> &folders, FolderFlags form)
{
    QByteArray out = folderFileHeader();
    for (const FolderRecord &folder : folders) {
        if (!folder.name.isEmpty())
            appendFolderLine(out, folder, form);
    }
    return out;
}

QByteArray fileListBytes(const std::vector<FileRecord> &files)
{
    QByteArray out = fileListHeader();
    out.reserve(qsizetype(files.size()) * 64 + out.size());
    for (const FileRecord &file : files) {
        if (!file.name.isEmpty())
            appendFileLine(out, file);
    }
    return out;
}

bool rewriteFolderFile(const Catalogue &catalogue, const QString &identifier, const DiscTree &tree, QString *error)
{
    return writeWholeFile(catalogue.workingCopy(identifier, QStringLiteral(".rep")), folderFileBytes(tree.folders),
                          error);
}

bool rewriteFileList(const Catalogue &catalogue, const QString &identifier, const DiscTree &tree, QString *error)
{
    return writeWholeFile(catalogue.workingCopy(identifier, QStringLiteral(".fic")), fileListBytes(tree.files), error);
}

QString joinDescriptions(const DescriptionTriple &triple)
{
    QString joined;
    if (!triple.user.isEmpty())
        joined += UserMarker + triple.user;
    if (!triple.automatic.isEmpty())
        joined += AutomaticMarker + triple.automatic;
    if (!triple.archivePath.isEmpty())
        joined += PathMarker + triple.archivePath;
    return joined;
}

DescriptionTriple splitDescriptions(const QString &stored)
{
    DescriptionTriple triple;
    if (stored.isEmpty())
        return triple;
    const bool marked =
        stored.size() >= 4 && stored[0] == QChar(Pound) && stored[2] == u'D' && stored[3] == QChar(Currency);
    if (!marked) {
        triple.user = stored;
        return triple;
    }
    QStringView rest(stored);
    qsizetype at = rest.indexOf(PathMarker);
    if (at >= 0) {
        triple.archivePath = rest.mid(at + 4).toString();
        rest = rest.left(at);
    }
    at = rest.indexOf(AutomaticMarker);
    if (at >= 0) {
        triple.automatic = rest.mid(at + 4).toString();
        rest = rest.left(at);
    }
    at = rest.indexOf(UserMarker);
    if (at >= 0)
        triple.user = rest.mid(at + 4).toString();
    return triple;
}

QString displayDescription(const DescriptionTriple &triple)
{
    if (!triple.user.isEmpty())
        return triple.user;
    if (!triple.automatic.isEmpty())
        return triple.automatic;
    return triple.archivePath;
}

qint32 archiveLink(int fileNumber)
{
    return fileNumber == 0 ? ArchiveAtZero : -fileNumber;
}

int archiveOfMember(qint32 owner)
{
    if (owner == ArchiveAtZero)
        return 0;
    return owner < 0 ? -owner : owner;
}

QString folderPath(const DiscTree &tree, int folder)
{
    const int count = int(tree.folders.size());
    if (folder <= 0 || folder >= count)
        return {};
    QStringList names;
    int current = folder;
    while (current > 0) {
        names.append(tree.folders[size_t(current)].name);
        const int parent = tree.folders[size_t(current)].parent;
        if (parent < 0 || parent >= current)
            break;
        current = parent;
    }
    QString path;
    for (qsizetype i = names.size() - 1; i >= 0; --i)
        path += names[i] + u'\\';
    return path;
}

QString filePath(const DiscTree &tree, int file)
{
    const int count = int(tree.files.size());
    if (file < 0 || file >= count)
        return {};
    // Walk from the member up to the archive that lies in a folder.
    QStringList names;
    int current = file;
    int folder = -1;
    while (true) {
        const FileRecord &record = tree.files[size_t(current)];
        names.append(record.name);
        if (record.owner >= 0) {
            folder = record.owner;
            break;
        }
        const int archive = archiveOfMember(record.owner);
        if (archive >= current)
            break;
        current = archive;
    }
    QString path = folder >= 0 ? folderPath(tree, folder) : QString();
    for (qsizetype i = names.size() - 1; i >= 0; --i) {
        path += names[i];
        if (i > 0)
            path += u'\\';
    }
    return path;
}

} // namespace vorn::TreeFiles
