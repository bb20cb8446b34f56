#include "edit/DiscCataloguing.h"

#include "capture/Autorun.h"
#include "edit/Commit.h"
#include "edit/DiscNames.h"
#include "edit/KeywordSync.h"
#include "scan/CataloguingRun.h"
#include "scan/DescriptionsUpdate.h"
#include "scan/Volume.h"
#include "scan/VolumeDiscFiles.h"
#include "settings/OptionsWord.h"
#include "store/Catalogue.h"
#include "store/DataFolderLock.h"
#include "store/DiscOperations.h"
#include "store/DiscSort.h"
#include "store/RecordText.h"

namespace vorn::edit {

namespace {

// The run and the failure it ended with: a cancel has no message.
EditResult runFailure(const QString &error)
{
    if (error.isEmpty())
        return {EditResult::Outcome::Cancelled, 0, {}};
    return EditResult::failed(441, error);
}

// A run into a data folder that cannot be written would be lost: say so before it.
bool readOnly(const Catalogue &catalogue)
{
    DataFolderLock probe(catalogue.dataFolder);
    return probe.lockIfFree() == DataFolderLock::State::ReadOnly;
}

void readOwnIcon(const Catalogue &catalogue, const Volume &volume, const QString &identifier)
{
    ReadAutorunIcon(VolumeDiscFiles(volume), identifier, catalogue.tempFolder);
}

} // namespace

EditResult catalogueDisc(Catalogue &catalogue, const NewDisc &disc, const CaptureSettings &capture,
                         const FilterTable &filters, const Volume &volume, RunObserver &observer)
{
    const QString identifier = validDiscIdentifier(disc.identifier);
    if (identifier.isEmpty())
        return EditResult::refused(707, disc.identifier);
    if (findDisc(catalogue, identifier) > 0)
        return EditResult::refused(709, identifier);
    const QString name = DiscName::normalised(disc.name);
    const DiscName::Problem problem = DiscName::check(catalogue, name, 0);
    if (problem == DiscName::Problem::Empty)
        return EditResult::refused(406);
    if (problem != DiscName::Problem::None)
        return EditResult::refused(DiscName::message(problem, 344), name);
    DiscInfoChanges keywords;
    keywords.keywords = disc.keywords;
    if (EditResult checked = checkDiscInfo(keywords); !checked.ok())
        return checked;
    if (readOnly(catalogue))
        return EditResult::failed(705, catalogue.dataFolder);

    DiscRecord record;
    record.identifier = identifier;
    record.name = name;
    record.volumeLabel = disc.volumeLabel;
    record.icon = disc.icon;
    record.excluded = disc.excluded ? 1 : 0;
    record.keywordCodes = QStringLiteral("|");
    deleteWorkingCopies(catalogue, identifier);
    catalogue.discs.push_back(record);
    catalogue.current = catalogue.discCount();

    const auto rollBack = [&](EditResult result) {
        const int position = findDisc(catalogue, identifier);
        if (position > 0)
            removeDiscFromArray(catalogue, position);
        deleteWorkingCopies(catalogue, identifier);
        catalogue.current = 0;
        catalogue.memberFlags = 0;
        return result;
    };

    CataloguingRun run(catalogue, volume, filters, observer);
    const CataloguingRequest request{identifier, capture.options & ~Opt::ExcludedFromSearch, capture.maxTextSize, true};
    if (!run.run(request))
        return rollBack(runFailure(run.error()));
    readOwnIcon(catalogue, volume, identifier);

    {
        Commit commit(catalogue);
        if (EditResult begun = commit.begin(); !begun.ok())
            return rollBack(begun);
        DiscRecord &appended = catalogue.disc(findDisc(catalogue, identifier));
        appended.keywordCodes = keywordCodesFromNames(catalogue, terminatedNames(disc.keywords));
        if (EditResult written = commit.writeKeywordsIfNeeded(); !written.ok())
            return rollBack(written);
        QString error;
        if (!writeRecord(catalogue, appended, 4, &error))
            return rollBack(EditResult::failed(441, error));
        storeOwnIcon(catalogue, identifier);
    }
    deleteWorkingCopies(catalogue, identifier);
    catalogue.current = 0;
    sortDiscArray(catalogue);
    return EditResult::done();
}

EditResult updateDisc(Catalogue &catalogue, int position, const CaptureSettings &capture, const FilterTable &filters,
                      const Volume &volume, RunObserver &observer, const DiscInfoChanges &changes)
{
    if (position < 1 || position > catalogue.discCount())
        return EditResult::refused(708);
    DiscInfoChanges checked = changes;
    if (changes.name) {
        checked.name = DiscName::normalised(*changes.name);
        const DiscName::Problem problem = DiscName::check(catalogue, *checked.name, position);
        if (problem == DiscName::Problem::Empty)
            checked.name.reset();
        else if (problem != DiscName::Problem::None)
            return EditResult::refused(DiscName::message(problem, 344), *checked.name);
    }
    if (EditResult valid = checkDiscInfo(checked); !valid.ok())
        return valid;
    if (readOnly(catalogue))
        return EditResult::failed(705, catalogue.dataFolder);

    const QString identifier = catalogue.disc(position).identifier;
    const auto finish = [&](EditResult result) {
        deleteWorkingCopies(catalogue, identifier);
        catalogue.current = 0;
        catalogue.memberFlags = 0;
        return result;
    };
    deleteWorkingCopies(catalogue, identifier);
    catalogue.current = position;
    const DescriptionsUpdateOutcome outcome =
        recatalogueKeepingDescriptions(catalogue, position, volume, filters, capture.options & ~Opt::ExcludedFromSearch,
                                       capture.maxTextSize, observer, false);
    if (!outcome.completed)
        return finish(runFailure(outcome.error));
    readOwnIcon(catalogue, volume, identifier);

    {
        Commit commit(catalogue);
        if (EditResult begun = commit.begin(); !begun.ok())
            return finish(begun);
        const int runFlags = catalogue.memberFlags;
        if (EditResult written = applyDiscInfo(catalogue, commit, position, checked, runFlags); !written.ok())
            return finish(written);
        storeOwnIcon(catalogue, identifier);
    }
    const bool renamed = checked.name.has_value();
    finish(EditResult::done());
    if (renamed) {
        sortDiscArray(catalogue);
        giveDuplicateSuffixes(catalogue);
    }
    return EditResult::done();
}

} // namespace vorn::edit
