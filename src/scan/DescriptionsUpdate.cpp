#include "scan/DescriptionsUpdate.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "scan/CataloguingRun.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/FileListLoader.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QHash>

#include <vector>

namespace vorn {

namespace {

struct KeptText
{
    QString path;
    QString text;
};

QString slashesTurned(const QString &text)
{
    return QString(text).replace(u'/', u'\\');
}

} // namespace

DescriptionsUpdateOutcome recatalogueKeepingDescriptions(Catalogue &catalogue, int position, const Volume &volume,
                                                         const FilterTable &filters, qint32 options, qint64 maxTextSize,
                                                         RunObserver &observer, bool ask)
{
    DescriptionsUpdateOutcome outcome;
    if (position < 1 || position > catalogue.discCount())
        return outcome;
    if (ask && observer.prompt().askYesNo(LoadText(622) + u'\n' + LoadText(623)) != UserPrompt::Answer::Yes)
        return outcome;

    // What the user typed, by path.
    std::vector<KeptText> folderTexts;
    std::vector<KeptText> fileTexts;
    {
        DiscTree old;
        if (loadDiscTree(catalogue, position, old)) {
            for (int k = 1; k < int(old.folders.size()); ++k) {
                if (!old.folders[size_t(k)].description.isEmpty())
                    folderTexts.push_back({TreeFiles::folderPath(old, k), old.folders[size_t(k)].description});
            }
            for (int f = 0; f < int(old.files.size()); ++f) {
                const QString &user = old.files[size_t(f)].descriptions.user;
                if (!user.isEmpty())
                    fileTexts.push_back({TreeFiles::filePath(old, f), user});
            }
        }
    }

    const QString identifier = catalogue.disc(position).identifier;
    CataloguingRequest request;
    request.identifier = identifier;
    request.options = options;
    request.maxTextSize = maxTextSize;
    request.recordAppended = false;
    CataloguingRun run(catalogue, volume, filters, observer);
    if (!run.run(request)) {
        outcome.error = run.error();
        return outcome;
    }

    if (!folderTexts.empty() || !fileTexts.empty()) {
        observer.progress(LoadText(354));
        DiscTree fresh;
        auto folders = TreeFiles::readFolderFile(catalogue.workingCopy(identifier, QStringLiteral(".rep")));
        if (folders)
            fresh.folders = std::move(*folders);
        auto files = TreeFiles::readFileList(catalogue.workingCopy(identifier, QStringLiteral(".fic")));
        if (files)
            fresh.files = std::move(*files);

        // First new folder or file of each path, ignoring case.
        QHash<QString, int> folderAt;
        for (int k = int(fresh.folders.size()) - 1; k >= 1; --k)
            folderAt.insert(TreeFiles::folderPath(fresh, k).toCaseFolded(), k);
        QHash<QString, int> fileAt;
        for (int f = int(fresh.files.size()) - 1; f >= 0; --f)
            fileAt.insert(TreeFiles::filePath(fresh, f).toCaseFolded(), f);

        const size_t total = folderTexts.size() + fileTexts.size();
        size_t done = 0;
        auto tick = [&] {
            if (++done % 10 == 0)
                observer.progress(LoadText(354) + u'\n' + QString::number(done * 100 / total) + u'%');
        };
        for (const KeptText &kept : folderTexts) {
            const auto at = folderAt.constFind(kept.path.toCaseFolded());
            if (at != folderAt.constEnd()) {
                fresh.folders[size_t(*at)].description = kept.text;
                ++outcome.restored;
            }
            tick();
        }
        for (const KeptText &kept : fileTexts) {
            const auto at = fileAt.constFind(kept.path.toCaseFolded());
            if (at != fileAt.constEnd()) {
                DescriptionTriple &triple = fresh.files[size_t(*at)].descriptions;
                const bool automatic = kept.text == triple.automatic || kept.text == triple.archivePath
                    || slashesTurned(kept.text) == slashesTurned(triple.archivePath);
                if (!automatic) {
                    triple.user = kept.text;
                    ++outcome.restored;
                }
            }
            tick();
        }
        if (outcome.restored > 0
            && (!TreeFiles::rewriteFolderFile(catalogue, identifier, fresh, &outcome.error)
                || !TreeFiles::rewriteFileList(catalogue, identifier, fresh, &outcome.error))) {
            return outcome;
        }
    }
    outcome.completed = true;
    return outcome;
}

DescriptionsUpdateOutcome updateDescriptions(Catalogue &catalogue, int position, const Volume &volume,
                                             const FilterTable &filters, qint32 options, qint64 maxTextSize,
                                             RunObserver &observer, bool ask)
{
    DescriptionsUpdateOutcome outcome =
        recatalogueKeepingDescriptions(catalogue, position, volume, filters, options, maxTextSize, observer, ask);
    if (outcome.completed && !writeRecord(catalogue, catalogue.disc(position), 4, &outcome.error))
        outcome.completed = false;
    return outcome;
}

} // namespace vorn
