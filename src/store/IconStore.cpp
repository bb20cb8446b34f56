#include "store/IconStore.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace vorn::IconStore {

namespace {

// The number at the start of an icon's file name ("-5.ico" -> "-5", "0012.ico" -> "12"),
// or empty text when the name does not start with one.
QString leadingNumber(QStringView name)
{
    qsizetype i = 0;
    while (i < name.size() && name[i] == u' ')
        ++i;
    const qsizetype signStart = i;
    if (i < name.size() && (name[i] == u'-' || name[i] == u'+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < name.size() && name[i] >= u'0' && name[i] <= u'9')
        ++i;
    if (i == digitsStart)
        return {};
    bool ok = false;
    const qint64 value = name.sliced(signStart, i - signStart).toLongLong(&ok);
    return ok ? QString::number(value) : QString();
}

// A private folder inside the temporary folder, so the working copies of the disc
// shown (its own <id>.ico among them) are never touched.
std::unique_ptr<QTemporaryDir> scratchFolder(const Catalogue &catalogue)
{
    auto folder = std::make_unique<QTemporaryDir>(catalogue.tempFolder + QStringLiteral("icons-XXXXXX"));
    if (!folder->isValid())
        return nullptr;
    return folder;
}

} // namespace

// Icons are read straight from the store into memory: opening a data folder of
// thousands of discs should not write and delete a file per icon.
int load(Catalogue &catalogue)
{
    const QString store = catalogue.iconStorePath();
    if (!QFileInfo(store).isFile())
        return 0;
    int added = 0;
    constexpr qint64 IconSizeLimit = 4 << 20;
    for (auto &[name, bytes] : DiscArchive::readMembers(store, QStringLiteral(".ICO;"), IconSizeLimit)) {
        const QString identifier = leadingNumber(name);
        if (!identifier.isEmpty() && !catalogue.discIcons.contains(identifier)) {
            catalogue.discIcons.insert(identifier, std::move(bytes));
            ++added;
        }
    }
    return added;
}

bool add(const Catalogue &catalogue, const QString &identifier)
{
    const QString icon = catalogue.workingCopy(identifier, QStringLiteral(".ico"));
    if (!QFileInfo(icon).isFile())
        return false;
    return DiscArchive::packFiles({icon}, catalogue.iconStorePath(), QString(), 9);
}

bool addSeveral(const Catalogue &catalogue, const QStringList &identifiers)
{
    const auto folder = scratchFolder(catalogue);
    if (!folder)
        return false;
    QStringList files;
    for (const QString &identifier : identifiers) {
        const auto it = catalogue.discIcons.constFind(identifier);
        if (it == catalogue.discIcons.constEnd())
            continue;
        const QString path = folder->filePath(identifier + QStringLiteral(".ico"));
        if (files.contains(path))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*it) != it->size())
            return false;
        files.append(path);
    }
    if (files.isEmpty())
        return true;
    return DiscArchive::packFiles(files, catalogue.iconStorePath(), QString(), 9);
}

bool remove(const Catalogue &catalogue, const QString &identifier)
{
    return DiscArchive::removeMember(catalogue.iconStorePath(), identifier + QStringLiteral(".ico"));
}

} // namespace vorn::IconStore
