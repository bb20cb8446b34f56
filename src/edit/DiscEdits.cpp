#include "edit/DiscEdits.h"

#include "edit/Commit.h"
#include "edit/DiscNames.h"
#include "edit/KeywordSync.h"
#include "store/Catalogue.h"
#include "store/DiscOperations.h"
#include "store/DiscRekey.h"
#include "store/DiscSort.h"
#include "store/FileListLoader.h"
#include "store/RecordText.h"

namespace vorn::edit {

namespace {

constexpr qsizetype FieldValueLimit = 100;
constexpr qsizetype RecordSizeLimit = 0xFFFF;

bool holdsSemicolon(const QStringList &texts)
{
    for (const QString &text : texts) {
        if (text.contains(u';'))
            return true;
    }
    return false;
}

void removeName(QStringList &names, const QString &name)
{
    names.removeIf([&](const QString &each) { return each.compare(name, Qt::CaseInsensitive) == 0; });
}

// The description as the record keeps it: CRLF line breaks; other control characters
// but the tab are dropped.
QString storedDescription(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    text.removeIf([](QChar c) { return c != u'\n' && c != u'\t' && DiscName::isControlCharacter(c); });
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

bool validPosition(const Catalogue &catalogue, int position)
{
    return position >= 1 && position <= catalogue.discCount();
}

} // namespace

EditResult checkDiscInfo(const DiscInfoChanges &changes)
{
    QStringList texts = changes.addKeywords + changes.removeKeywords + changes.keywords.value_or(QStringList());
    for (const FieldPair &pair : changes.fieldValues)
        texts << pair.name << pair.value;
    for (const auto &renamed : changes.renamedFields)
        texts << renamed.second;
    if (holdsSemicolon(texts))
        return EditResult::refused(521);
    return EditResult::done();
}

EditResult applyDiscInfo(Catalogue &catalogue, Commit &commit, int position, const DiscInfoChanges &changes,
                         int memberFlags)
{
    const QString identifier = catalogue.disc(position).identifier;
    const std::optional<RecordReading> reading = readRecord(catalogue, identifier);
    if (!reading)
        return EditResult::failed(441, catalogue.archivePath(identifier));

    QStringList keywords = changes.keywords.value_or(keywordNamesOf(reading->keywordNames));
    for (const QString &name : changes.removeKeywords)
        removeName(keywords, name);
    for (const QString &name : changes.addKeywords) {
        removeName(keywords, name);
        keywords << name;
    }
    DiscRecord record = reading->record;
    record.identifier = identifier;
    record.keywordCodes = keywordCodesFromNames(catalogue, terminatedNames(keywords));
    applyFieldTexts(catalogue, record, reading->fieldNames, reading->fieldValues);
    for (const FieldPair &change : changes.fieldValues) {
        // Names and values stay on the record's lines: control characters go.
        const QString name = DiscName::cleaned(change.name).left(FieldValueLimit);
        const QString value = DiscName::cleaned(change.value).left(FieldValueLimit);
        auto pair = std::find_if(record.fields.begin(), record.fields.end(), [&](const FieldPair &each) {
            return each.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (pair != record.fields.end())
            pair->value = value;
        else if (!name.isEmpty())
            record.fields.push_back({name, value});
        if (!name.isEmpty() && !catalogue.fieldNames.contains(name, Qt::CaseInsensitive))
            catalogue.fieldNames << name;
    }
    for (const auto &[from, to] : changes.renamedFields) {
        for (FieldPair &pair : record.fields) {
            if (pair.name.compare(from, Qt::CaseInsensitive) == 0)
                pair.name = to;
        }
    }
    for (const QString &removed : changes.removedFields)
        std::erase_if(record.fields,
                      [&](const FieldPair &pair) { return pair.name.compare(removed, Qt::CaseInsensitive) == 0; });
    if (changes.name)
        record.name = *changes.name;
    if (changes.description)
        record.description = storedDescription(*changes.description);
    if (changes.icon)
        record.icon = *changes.icon;
    if (changes.excluded)
        record.excluded = *changes.excluded ? 1 : 0;

    // An archive comment holds at most 65,535 bytes: a longer record is refused before
    // anything is written.
    if (const qsizetype bytes = recordText(record, catalogue.keywords).toUtf8().size(); bytes > RecordSizeLimit)
        return EditResult::refused(EditResult::TooLongMessage);
    if (EditResult written = commit.writeKeywordsIfNeeded(); !written.ok())
        return written;
    const int callersFlags = catalogue.memberFlags;
    catalogue.memberFlags = memberFlags;
    QString error;
    if (!writeRecord(catalogue, record, 4, &error)) {
        catalogue.memberFlags = callersFlags;
        return EditResult::failed(441, error);
    }
    keepInArray(catalogue, position, std::move(record));
    return EditResult::done();
}

EditResult changeDiscInfo(Catalogue &catalogue, int position, const DiscInfoChanges &changes)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    if (EditResult checked = checkDiscInfo(changes); !checked.ok())
        return checked;
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    return applyDiscInfo(catalogue, commit, position, changes, 0);
}

namespace {

// Applies a field change to every disc whose record has the field, then fixes the
// field-name list: `name` goes, `newName` (when given) takes its place.
EditResult changeFieldEverywhere(Catalogue &catalogue, const QString &name, const DiscInfoChanges &changes,
                                 const QString &newName)
{
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const std::optional<RecordReading> reading = readRecord(catalogue, catalogue.disc(position).identifier);
        if (!reading || !keywordNamesOf(reading->fieldNames).contains(name, Qt::CaseInsensitive))
            continue;
        if (EditResult written = applyDiscInfo(catalogue, commit, position, changes, 0); !written.ok())
            return written;
    }
    for (qsizetype i = catalogue.fieldNames.size() - 1; i >= 1; --i) {
        if (catalogue.fieldNames[i].compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (newName.isEmpty())
            catalogue.fieldNames.removeAt(i);
        else
            catalogue.fieldNames[i] = newName;
    }
    return EditResult::done();
}

} // namespace

EditResult renameField(Catalogue &catalogue, const QString &name, const QString &newName)
{
    const QString trimmed = DiscName::cleaned(newName).left(FieldValueLimit);
    if (trimmed.isEmpty() || trimmed == name)
        return EditResult::done();
    if (trimmed.contains(u';'))
        return EditResult::refused(521);
    for (int i = 1; i < catalogue.fieldNames.size(); ++i) {
        if (catalogue.fieldNames[i].compare(trimmed, Qt::CaseInsensitive) == 0
            && catalogue.fieldNames[i].compare(name, Qt::CaseInsensitive) != 0)
            return EditResult::refused(537, trimmed);
    }
    DiscInfoChanges changes;
    changes.renamedFields = {{name, trimmed}};
    return changeFieldEverywhere(catalogue, name, changes, trimmed);
}

EditResult deleteField(Catalogue &catalogue, const QString &name)
{
    DiscInfoChanges changes;
    changes.removedFields = {name};
    return changeFieldEverywhere(catalogue, name, changes, QString());
}

EditResult renameDisc(Catalogue &catalogue, int position, const QString &name, int takenMessage)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    const QString normalised = DiscName::normalised(name);
    const DiscName::Problem problem = DiscName::check(catalogue, normalised, position);
    if (problem == DiscName::Problem::Empty || catalogue.disc(position).name == normalised)
        return EditResult::done();
    if (problem != DiscName::Problem::None)
        return EditResult::refused(DiscName::message(problem, takenMessage), normalised);
    DiscInfoChanges changes;
    changes.name = normalised;
    EditResult result = changeDiscInfo(catalogue, position, changes);
    if (result.ok()) {
        sortDiscArray(catalogue);
        giveDuplicateSuffixes(catalogue);
    }
    return result;
}

EditResult rekeyDisc(Catalogue &catalogue, int position, const QString &newIdentifier)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    const QString identifier = validDiscIdentifier(newIdentifier);
    if (identifier.isEmpty())
        return EditResult::refused(707, newIdentifier);
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    QString error;
    if (!vorn::rekeyDisc(catalogue, position, identifier, &error))
        return EditResult::failed(441, error);
    return EditResult::done();
}

EditResult deleteDisc(Catalogue &catalogue, int position, FileListLoader *loader)
{
    if (!validPosition(catalogue, position))
        return EditResult::refused(708);
    Commit commit(catalogue);
    if (EditResult begun = commit.begin(); !begun.ok())
        return begun;
    if (loader)
        loader->close();
    QString error;
    if (!deleteDiscArchive(catalogue, catalogue.disc(position).identifier, &error))
        return EditResult::failed(441, error);
    removeDiscFromArray(catalogue, position);
    return EditResult::done();
}

} // namespace vorn::edit
