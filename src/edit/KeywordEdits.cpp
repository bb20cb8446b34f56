#include "edit/KeywordEdits.h"

#include "edit/Commit.h"
#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "store/Catalogue.h"
#include "store/KeywordCodes.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

namespace vorn::edit {

namespace {

EditResult checkName(const Catalogue &catalogue, const QString &name, int ownPosition)
{
    if (name.contains(u';'))
        return EditResult::refused(521);
    const int found = KeywordList::find(catalogue, name);
    if (found > 0 && found != ownPosition)
        return EditResult::refused(305, name);
    return EditResult::done();
}

// The discs in the array that carry the keyword.
std::vector<int> carriers(const Catalogue &catalogue, int number)
{
    std::vector<int> positions;
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        if (carriesKeyword(catalogue.disc(position).keywordCodes, number))
            positions.push_back(position);
    }
    return positions;
}

// Writes each carrier's record again with `changes`, or hands the carriers over.
EditResult updateCarriers(Catalogue &catalogue, Commit &commit, const std::vector<int> &positions,
                          const DiscInfoChanges &changes, bool rewriteDiscs, std::vector<int> *changedDiscs)
{
    for (int position : positions) {
        if (!rewriteDiscs) {
            if (changedDiscs)
                changedDiscs->push_back(position);
            continue;
        }
        if (EditResult written = applyDiscInfo(catalogue, commit, position, changes, 0); !written.ok())
            return written;
    }
    return EditResult::done();
}

} // namespace

EditResult addKeyword(Catalogue &catalogue, const QString &name, int *position)
{
    const QString trimmed = DiscName::cleaned(name);
    if (trimmed.isEmpty())
        return EditResult::done();
    if (EditResult checked = checkName(catalogue, trimmed, 0); !checked.ok())
        return checked;
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    if (EditResult checked = checkName(catalogue, trimmed, 0); !checked.ok())
        return checked;
    const int added = KeywordList::add(catalogue, trimmed);
    commit.keywordsChanged();
    if (EditResult written = commit.writeKeywordsIfNeeded(); !written.ok()) {
        catalogue.keywords.pop_back();
        return written;
    }
    if (position)
        *position = added;
    return EditResult::done();
}

EditResult renameKeyword(Catalogue &catalogue, int number, const QString &newName, bool rewriteDiscs,
                         std::vector<int> *changedDiscs)
{
    const QString trimmed = DiscName::cleaned(newName);
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    const int position = KeywordList::findNumber(catalogue, qint16(number));
    if (position == 0 || trimmed.isEmpty())
        return EditResult::refused(0, QString::number(number));
    if (EditResult checked = checkName(catalogue, trimmed, position); !checked.ok())
        return checked;
    const QString oldName = catalogue.keywords[size_t(position)].name;
    catalogue.keywords[size_t(position)].name = trimmed;
    commit.keywordsChanged();
    if (EditResult written = commit.writeKeywordsIfNeeded(); !written.ok()) {
        catalogue.keywords[size_t(position)].name = oldName;
        return written;
    }
    DiscInfoChanges changes;
    changes.removeKeywords = {oldName};
    changes.addKeywords = {trimmed};
    return updateCarriers(catalogue, commit, carriers(catalogue, number), changes, rewriteDiscs, changedDiscs);
}

EditResult deleteKeyword(Catalogue &catalogue, int number, bool rewriteDiscs, std::vector<int> *changedDiscs)
{
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    const int position = KeywordList::findNumber(catalogue, qint16(number));
    if (position == 0)
        return EditResult::refused(0, QString::number(number));
    const KeywordEntry removed = catalogue.keywords[size_t(position)];
    catalogue.keywords.erase(catalogue.keywords.begin() + position);
    commit.keywordsChanged();
    if (EditResult written = commit.writeKeywordsIfNeeded(); !written.ok()) {
        catalogue.keywords.insert(catalogue.keywords.begin() + position, removed);
        return written;
    }
    const std::vector<int> positions = carriers(catalogue, number);
    for (int disc : positions) {
        std::vector<int> numbers = keywordNumbers(catalogue.disc(disc).keywordCodes);
        std::erase(numbers, number);
        catalogue.disc(disc).keywordCodes = keywordCodesOf(numbers);
    }
    DiscInfoChanges changes;
    changes.removeKeywords = {removed.name};
    return updateCarriers(catalogue, commit, positions, changes, rewriteDiscs, changedDiscs);
}

QString codesWithKeyword(const QString &codes, int number, bool carried)
{
    std::vector<int> numbers = keywordNumbers(codes);
    std::erase(numbers, number);
    if (carried)
        numbers.push_back(number);
    return keywordCodesOf(numbers);
}

EditResult writeDiscKeywords(Catalogue &catalogue, const QStringList &identifiers)
{
    if (identifiers.isEmpty())
        return EditResult::done();
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    for (const QString &identifier : identifiers) {
        const int position = findDisc(catalogue, identifier);
        if (position == 0)
            continue;
        QStringList names;
        for (int number : keywordNumbers(catalogue.disc(position).keywordCodes)) {
            if (const int at = KeywordList::findNumber(catalogue, qint16(number)))
                names << catalogue.keywords[size_t(at)].name;
        }
        DiscInfoChanges changes;
        changes.keywords = names;
        if (EditResult written = applyDiscInfo(catalogue, commit, position, changes, 0); !written.ok())
            return written;
    }
    return EditResult::done();
}

} // namespace vorn::edit
