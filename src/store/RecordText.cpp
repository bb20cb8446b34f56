#include "store/RecordText.h"

#include "common/DayDate.h"
#include "common/Numbers.h"
#include "store/Catalogue.h"
#include "store/DataFolderLock.h"
#include "store/DiscArchive.h"
#include "store/DiscSort.h"
#include "store/KeywordCodes.h"
#include "store/KeywordList.h"
#include "store/TreeFiles.h"

#include <QFile>
#include <QSet>

#include <algorithm>

namespace vorn {

namespace {

const QString Crlf = QStringLiteral("\r\n");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Calls f for each piece of `text` that ends with ";"; the text after the last ";"
// is not a piece.
template<typename F> void forEachTerminatedPiece(QStringView text, F &&f)
{
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(u';', start);
        if (end < 0)
            return;
        f(text.sliced(start, end - start));
        start = end + 1;
    }
}

enum class Tag { None, Skip, Name, Icon, Excluded, Volume, Keywords, FieldNames, FieldValues, BurnDate, Description };

Tag tagOf(QStringView line)
{
    const QStringView head = line.first(3);
    if (head[0] == u'[' && head.compare(u"[CD", Qt::CaseInsensitive) == 0)
        return Tag::Skip;
    if (line[3] != u'=')
        return Tag::None;
    static const struct
    {
        const char16_t *text;
        Tag tag;
    } tags[] = {
        {u"NOM", Tag::Name},        {u"ICO", Tag::Icon},     {u"EXR", Tag::Excluded},
        {u"VOL", Tag::Volume},      {u"MC_", Tag::Keywords}, {u"FDN", Tag::FieldNames},
        {u"FDV", Tag::FieldValues}, {u"GRV", Tag::BurnDate}, {u"DES", Tag::Description},
    };
    // Plain ASCII keys (all but hand-edited ones) are told apart by their letters
    // raised; any other goes through the full comparison, where a letter such as the
    // long s folds into ASCII.
    const auto upper = [](QChar c) { return c >= u'a' && c <= u'z' ? char16_t(c.unicode() - 32) : c.unicode(); };
    if (head[0].unicode() < 0x80 && head[1].unicode() < 0x80 && head[2].unicode() < 0x80) {
        const char16_t key[] = {upper(head[0]), upper(head[1]), upper(head[2])};
        for (const auto &entry : tags) {
            if (std::equal(key, key + 3, entry.text))
                return entry.tag;
        }
        return Tag::None;
    }
    for (const auto &entry : tags) {
        if (head.compare(QStringView(entry.text), Qt::CaseInsensitive) == 0)
            return entry.tag;
    }
    return Tag::None;
}

} // namespace

bool hasDisplaySuffix(QStringView name)
{
    if (name.size() < 7)
        return false;
    const QStringView tail = name.last(7);
    return tail.startsWith(u" <.") && isDigit(tail[3]) && isDigit(tail[4]) && tail.endsWith(u".>");
}

QString withoutDisplaySuffix(const QString &name)
{
    return hasDisplaySuffix(name) ? name.first(name.size() - 7) : name;
}

QString displaySuffix(int n)
{
    const QString digits = QStringLiteral("0") + QString::number(n);
    return QStringLiteral(" <.") + digits.right(2) + QStringLiteral(".>");
}

QString recordText(const DiscRecord &record, const std::vector<KeywordEntry> &keywords)
{
    QString keywordNames;
    for (size_t i = 1; i < keywords.size(); ++i) {
        if (carriesKeyword(record.keywordCodes, keywords[i].number))
            keywordNames += keywords[i].name + u';';
    }
    QString fieldNames;
    QString fieldValues;
    for (const FieldPair &field : record.fields) {
        if (field.name.isEmpty())
            continue;
        fieldNames += field.name + u';';
        fieldValues += field.value + u';';
    }
    const QString burnDate = record.burnDate == 0 ? QString() : dateTextFromDayNumber(record.burnDate);

    QString text;
    text.reserve(record.description.size() + 256);
    text += QStringLiteral("NOM=") + withoutDisplaySuffix(record.name) + Crlf;
    text += QStringLiteral("ICO=") + record.icon + Crlf;
    text += QStringLiteral("EXR=") + QString::number(record.excluded) + Crlf;
    text += QStringLiteral("VOL=") + record.volumeLabel + Crlf;
    text += QStringLiteral("MC_=") + keywordNames + Crlf;
    text += QStringLiteral("FDN=") + fieldNames + Crlf;
    text += QStringLiteral("FDV=") + fieldValues + Crlf;
    text += QStringLiteral("GRV=") + burnDate + Crlf;
    text += QStringLiteral("DES=") + record.description;
    return text;
}

std::optional<RecordReading> parseRecordText(QStringView text)
{
    RecordReading reading;
    DiscRecord &record = reading.record;
    if (text.isEmpty())
        return reading;

    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        while (!line.isEmpty() && (line.back() == u'\r' || line.back() == u'\n'))
            line.chop(1);
        start = end + 1;

        if (line.size() < 4) {
            record.description += Crlf + line;
            continue;
        }
        const QStringView value = line.sliced(4);
        switch (tagOf(line)) {
        case Tag::Skip:
            break;
        case Tag::Name:
            record.name = value.toString();
            break;
        case Tag::Icon:
            record.icon = value.toString();
            break;
        case Tag::Excluded:
            record.excluded = quint8(std::clamp<qint64>(integerValue(value), 0, 255));
            break;
        case Tag::Volume:
            record.volumeLabel = value.toString();
            break;
        case Tag::Keywords:
            reading.keywordNames = value.toString();
            break;
        case Tag::FieldNames:
            reading.fieldNames = value.toString();
            break;
        case Tag::FieldValues:
            reading.fieldValues = value.toString();
            break;
        case Tag::BurnDate:
            if (!value.isEmpty()) {
                const std::optional<QDateTime> date = parseDateText(value);
                if (!date)
                    return std::nullopt;
                record.burnDate = dayNumberFromDateTime(*date);
            }
            break;
        case Tag::Description:
            record.description = value.toString();
            break;
        case Tag::None:
            record.description += Crlf + line;
            break;
        }
    }
    return reading;
}

QString keywordCodesFromNames(Catalogue &catalogue, QStringView names)
{
    std::vector<int> numbers;
    forEachTerminatedPiece(names, [&](QStringView piece) {
        if (piece.isEmpty())
            return;
        int position = KeywordList::find(catalogue, piece);
        if (position == 0)
            position = KeywordList::add(catalogue, piece.toString());
        numbers.push_back(catalogue.keywords[size_t(position)].number);
    });
    return keywordCodesOf(numbers);
}

void applyFieldTexts(Catalogue &catalogue, DiscRecord &record, QStringView names, QStringView values)
{
    record.fields.clear();
    forEachTerminatedPiece(names, [&](QStringView name) {
        if (name.isEmpty())
            return;
        bool known = false;
        for (qsizetype i = 1; i < catalogue.fieldNames.size() && !known; ++i)
            known = catalogue.fieldNames[i].compare(name, Qt::CaseInsensitive) == 0;
        if (!known)
            catalogue.fieldNames.append(name.toString());
        record.fields.push_back(FieldPair{name.toString(), QString()});
    });
    size_t k = 0;
    forEachTerminatedPiece(values, [&](QStringView value) {
        if (k < record.fields.size())
            record.fields[k].value = value.toString();
        ++k;
    });
}

bool writeRecord(Catalogue &catalogue, const DiscRecord &record, int level, QString *error)
{
    if (record.identifier.isEmpty())
        return true;
    const QString text = recordText(record, catalogue.keywords);
    if (!DiscArchive::pack(catalogue, record.identifier, catalogue.memberFlags, text, level, error))
        return false;
    catalogue.memberFlags = 0;
    return true;
}

std::optional<RecordReading> readRecord(const QString &archivePath, const QString &identifier)
{
    const std::optional<QString> comment = DiscArchive::tryReadComment(archivePath);
    if (!comment)
        return std::nullopt;
    std::optional<RecordReading> reading = parseRecordText(*comment);
    if (reading)
        reading->record.identifier = identifier;
    return reading;
}

std::optional<RecordReading> readRecord(const Catalogue &catalogue, const QString &identifier)
{
    return readRecord(catalogue.archivePath(identifier), identifier);
}

int loadRecordIntoArray(Catalogue &catalogue, const QString &identifier)
{
    std::optional<RecordReading> reading = readRecord(catalogue, identifier);
    if (!reading)
        return 0;
    DiscRecord &record = reading->record;
    record.keywordCodes = keywordCodesFromNames(catalogue, reading->keywordNames);
    applyFieldTexts(catalogue, record, reading->fieldNames, reading->fieldValues);

    int position = findDisc(catalogue, identifier);
    if (position > 0) {
        catalogue.disc(position) = std::move(record);
    } else {
        catalogue.discs.push_back(std::move(record));
        position = catalogue.discCount();
    }
    return position;
}

int findDisc(const Catalogue &catalogue, QStringView identifier)
{
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        if (catalogue.disc(i).identifier.compare(identifier, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

bool hasDuplicateNames(const Catalogue &catalogue)
{
    QSet<QString> seen;
    seen.reserve(catalogue.discCount());
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        const QString key = catalogue.disc(i).name.toCaseFolded();
        if (seen.contains(key))
            return true;
        seen.insert(key);
    }
    return false;
}

void giveDuplicateSuffixes(Catalogue &catalogue)
{
    const int userKey = catalogue.sortKey;
    const bool userDescending = catalogue.sortDescending;
    const bool nameOrder = userKey == 0 && !userDescending;
    if (!nameOrder)
        sortDiscArray(catalogue, 0, false);

    // Case-folded names, kept in step with the array, make each comparison cheap.
    const int n = catalogue.discCount();
    std::vector<QString> folded(static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        folded[size_t(i)] = catalogue.disc(i).name.toCaseFolded();

    for (int i = 2; i <= n; ++i) {
        const QString base = catalogue.disc(i - 1).name;
        const QString baseFolded = folded[size_t(i - 1)];
        int counter = 1;
        for (int j = i; j <= n; ++j) {
            if (folded[size_t(j)] != baseFolded)
                continue;
            catalogue.disc(j).name = base + displaySuffix(counter);
            folded[size_t(j)] = catalogue.disc(j).name.toCaseFolded();
            ++counter;
        }
    }

    if (!nameOrder)
        sortDiscArray(catalogue, userKey, userDescending);
}

bool computeBurnDate(Catalogue &catalogue, int position)
{
    if (position < 1 || position > catalogue.discCount())
        return false;
    const QString identifier = catalogue.disc(position).identifier;
    if (!DiscArchive::unpack(catalogue, identifier, QStringLiteral(".rep;")))
        return false;

    const QString workingCopy = catalogue.workingCopy(identifier, QStringLiteral(".rep"));
    double latest = 0;
    if (const auto folders = TreeFiles::readFolderFile(workingCopy)) {
        for (size_t k = 1; k < folders->size(); ++k)
            latest = std::max(latest, (*folders)[k].date);
    }
    catalogue.disc(position).burnDate = latest;

    // Only the GRV line of the record as the archive holds it now changes, so a
    // newer record written by another copy is kept; the date is only a cache, so it
    // is not written while another copy holds the data folder.
    bool written = false;
    DataFolderLock lock(catalogue.dataFolder);
    if (lock.lockIfFree() == DataFolderLock::State::Held) {
        QStringList lines = DiscArchive::readComment(catalogue.archivePath(identifier)).split(Crlf);
        const auto grv = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
            return line.startsWith(QLatin1String("GRV="), Qt::CaseInsensitive);
        });
        if (grv != lines.end()) {
            *grv = QStringLiteral("GRV=") + (latest == 0 ? QString() : dateTextFromDayNumber(latest));
            written = DiscArchive::pack(catalogue, identifier, 0, lines.join(Crlf), 4);
        }
    }

    if (position != catalogue.current)
        QFile::remove(workingCopy);
    return written;
}

} // namespace vorn
