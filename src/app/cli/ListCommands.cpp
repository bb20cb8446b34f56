#include "cli/ListCommands.h"

#include "cli/CliSession.h"
#include "common/DayDate.h"
#include "common/TabSeparated.h"
#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/FileListLoader.h"
#include "store/KeywordCodes.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

namespace vorn::cli {

namespace {

QString dateOrEmpty(double dayNumber)
{
    return dayNumber == 0 ? QString() : dateTextFromDayNumber(dayNumber);
}

QString keywordNames(const Catalogue &catalogue, const QString &codes)
{
    QStringList names;
    for (size_t i = 1; i < catalogue.keywords.size(); ++i) {
        const KeywordEntry &keyword = catalogue.keywords[i];
        if (carriesKeyword(codes, keyword.number))
            names << keyword.name;
    }
    return names.join(u';');
}

// Folder paths end with "\"; the root's is empty.
QString folderLine(const DiscTree &tree, int folder)
{
    return tabRow({QStringLiteral("D"), TreeFiles::folderPath(tree, folder), QString(),
                   dateOrEmpty(tree.folders[size_t(folder)].date), tree.folders[size_t(folder)].description});
}

QString fileLine(const DiscTree &tree, int number)
{
    const FileRecord &file = tree.files[size_t(number)];
    QString path;
    if (file.owner >= 0) {
        path = TreeFiles::filePath(tree, number);
    } else {
        const int archive = TreeFiles::archiveOfMember(file.owner);
        path = TreeFiles::filePath(tree, archive) + u'\\';
        if (!file.descriptions.archivePath.isEmpty())
            path += file.descriptions.archivePath + u'\\';
        path += file.name;
    }
    return tabRow({file.owner >= 0 ? QStringLiteral("F") : QStringLiteral("M"), path, QString::number(file.size),
                   dateOrEmpty(file.date), TreeFiles::displayDescription(file.descriptions)});
}

} // namespace

int listCommand(Context &context, const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        context.err << "vorn-cli: list takes no arguments\n";
        return WrongUsage;
    }
    CliSession session(context);
    if (!session.open())
        return Failed;
    const Catalogue &catalogue = session.catalogue;
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        const DiscRecord &disc = catalogue.disc(i);
        context.out << tabRow(
            {disc.identifier, disc.name, dateOrEmpty(disc.burnDate), keywordNames(catalogue, disc.keywordCodes)})
                    << '\n';
    }
    return Done;
}

int showCommand(Context &context, const QStringList &arguments)
{
    if (arguments.size() != 1) {
        context.err << "vorn-cli: usage: show ID\n";
        return WrongUsage;
    }
    CliSession session(context);
    if (!session.open())
        return Failed;
    Catalogue &catalogue = session.catalogue;
    const int position = findDisc(catalogue, arguments.first().trimmed());
    if (position == 0) {
        context.err << "vorn-cli: no disc " << arguments.first() << " in " << catalogue.dataFolder << '\n';
        return Failed;
    }
    const QString identifier = catalogue.disc(position).identifier;
    const QString archive = catalogue.archivePath(identifier);
    context.out << DiscArchive::readComment(archive).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << "\n\n";

    DiscTree tree;
    if (!DiscArchive::unpack(catalogue, identifier, QStringLiteral(".rep;.fic;"))) {
        context.err << "vorn-cli: " << archive << ": cannot be read\n";
        return Failed;
    }
    if (auto folders = TreeFiles::readFolderFile(catalogue.workingCopy(identifier, QStringLiteral(".rep"))))
        tree.folders = std::move(*folders);
    FileListLoader loader;
    loader.load(catalogue, tree, FileListLoader::WholeFile, position);
    const bool failed = loader.failed();
    loader.close();

    const DiscRecord &disc = catalogue.disc(position);
    // The labels the properties window gives these figures, in the language of the run.
    const std::pair<int, qint64> statistics[] = {{393, disc.totalSize},   {648, disc.capturedSize},
                                                 {394, disc.fileCount},   {597, disc.archiveCount},
                                                 {596, disc.memberCount}, {593, disc.capturedCount}};
    for (const auto &[label, value] : statistics)
        context.out << LoadText(label).trimmed() << ' ' << value << '\n';
    context.out << '\n';

    const int folderCount = int(tree.folders.size());
    int nextFolder = 1;
    for (int number = 0; number < int(tree.files.size()); ++number) {
        const qint32 owner = tree.files[size_t(number)].owner;
        while (owner >= 0 && nextFolder <= owner && nextFolder < folderCount)
            context.out << folderLine(tree, nextFolder++) << '\n';
        context.out << fileLine(tree, number) << '\n';
    }
    while (nextFolder < folderCount)
        context.out << folderLine(tree, nextFolder++) << '\n';
    if (failed) {
        context.err << "vorn-cli: the file list of this disc could not be read to its end\n";
        return Failed;
    }
    return Done;
}

} // namespace vorn::cli
