#include "search/SearchRun.h"

#include "common/DayDate.h"
#include "common/LineFields.h"
#include "common/Numbers.h"
#include "common/OrderedWorkers.h"
#include "common/RunObserver.h"
#include "common/TextCodec.h"
#include "common/UserPrompt.h"
#include "index/SearchIndex.h"
#include "search/FileLineFilter.h"
#include "settings/StringTable.h"
#include "store/CapturedTextStore.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/Mp3TagStore.h"
#include "store/TreeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace vorn {

std::vector<SearchRow>::iterator findRowById(std::vector<SearchRow> &rows, quint64 id)
{
    const auto found = std::lower_bound(rows.begin(), rows.end(), id,
                                        [](const SearchRow &r, quint64 wanted) { return r.id < wanted; });
    return found != rows.end() && found->id == id ? found : rows.end();
}

void keepOnlyId(SearchRow &row)
{
    SearchRow gone;
    gone.id = row.id;
    row = std::move(gone);
}

bool SearchResultList::takeOut(quint64 id)
{
    const auto found = findRowById(rows, id);
    if (found == rows.end())
        return false;
    const auto place = size_t(found - rows.begin());
    if (m_removed[place])
        return true;
    m_removed[place] = true;
    keepOnlyId(*found);
    if (++m_removedCount > rows.size() / 2)
        closeUp();
    return true;
}

std::vector<SearchRow> SearchResultList::takeRows()
{
    closeUp();
    m_removed.clear();
    return std::move(rows);
}

void SearchResultList::closeUp()
{
    if (m_removedCount == 0)
        return;
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!m_removed[i])
            rows[kept++] = std::move(rows[i]);
    }
    rows.resize(kept);
    m_removed.assign(kept, false);
    m_removedCount = 0;
}

QString searchDateFormat()
{
    // The string table holds the format in the older "mm = month" notation; after
    // the hours "mm" are minutes.
    QString date = LoadText(599);
    date.replace(QStringLiteral("mm"), QStringLiteral("MM"));
    QString time = LoadText(600);
    time.replace(QStringLiteral("AM/PM"), QStringLiteral("AP"));
    return date + u' ' + time;
}

// Row dates are formatted from the stored wall-clock time: file dates were local
// times when recorded, and a time-zone lookup per row would slow long result lists.
QString searchDateText(double dayNumber, const QString &format)
{
    return wallClockFromDayNumber(dayNumber).toString(format);
}

QString searchDateKey(double dayNumber)
{
    const std::optional<WallClock> clock = wallClockParts(dayNumber);
    if (!clock || clock->year < 1000 || clock->year > 9999)
        return wallClockFromDayNumber(dayNumber).toString(QStringLiteral("yyyyMMdd hhmmss"));
    // Written digit by digit: long result lists make one key per row.
    const int fields[] = {clock->year / 100, clock->year % 100, clock->month, clock->day, -1,
                          clock->hour,       clock->minute,     clock->second};
    QString key(15, Qt::Uninitialized);
    QChar *out = key.data();
    for (const int field : fields) {
        if (field < 0) {
            *out++ = u' ';
            continue;
        }
        *out++ = QChar(u'0' + field / 10);
        *out++ = QChar(u'0' + field % 10);
    }
    return key;
}

QString searchSizeText(qint64 kilobytes)
{
    // The last 12 characters of 15 spaces and the figure, written in one piece.
    char digits[24];
    const qsizetype length = std::to_chars(digits, digits + sizeof digits, kilobytes).ptr - digits;
    QString text(12, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < 12 - length; ++i)
        *out++ = u' ';
    for (qsizetype i = std::max<qsizetype>(0, length - 12); i < length; ++i)
        *out++ = QLatin1Char(digits[i]);
    return text;
}

QString searchRowSizeText(const SearchRow &row)
{
    return row.folder ? QStringLiteral(" ") : searchSizeText(row.kilobytes);
}

QString searchRowSizeBytes(const SearchRow &row)
{
    return row.folder ? QString() : QString::number(row.size);
}

qint64 searchKilobytes(qint64 bytes)
{
    const qint64 k = kilobytesFromBytes(bytes);
    return k == 0 ? 1 : k;
}

QString resultLocation(const std::vector<FolderRecord> &folders, qint64 start)
{
    const qint64 count = qint64(folders.size());
    if (start < 0 || start >= count)
        return {};
    if (start == 0) {
        const QString &root = folders[0].name;
        return root.isEmpty() ? QString() : root + u'\\';
    }
    // The names on the way up, then the text made in one piece.
    thread_local std::vector<const QString *> path;
    path.clear();
    qsizetype length = 0;
    qint64 current = start;
    for (qint64 steps = 0; current > 0 && current < count && steps < count; ++steps) {
        const FolderRecord &folder = folders[size_t(current)];
        if (!folder.name.isEmpty()) {
            path.push_back(&folder.name);
            length += folder.name.size() + 1;
        }
        current = folder.parent;
    }
    QString location(length, Qt::Uninitialized);
    QChar *out = location.data();
    for (auto name = path.rbegin(); name != path.rend(); ++name) {
        std::copy_n((*name)->constData(), (*name)->size(), out);
        out += (*name)->size();
        *out++ = u'\\';
    }
    return location;
}

QString searchProgressText(const SearchOutcome &o)
{
    return LoadText(349) + QString::number(o.filesFound) + LoadText(326) + QString::number(o.totalKilobytes) + u' '
        + LoadText(730) + QStringLiteral(" ; ") + QString::number(o.foldersFound) + LoadText(327)
        + QString::number(o.discsExplored) + LoadText(328) + QString::number(o.discsToExplore);
}

QString searchSummaryText(const SearchOutcome &o, int keywordFilter)
{
    const QChar separator = LoadText(500).isEmpty() ? QChar(u' ') : LoadText(500).at(0);
    QString text = LoadText(330) + QString::number(o.filesFound) + LoadText(o.filesFound == 1 ? 331 : 326)
        + groupDigits(o.totalKilobytes, separator) + u' ' + LoadText(730) + QStringLiteral(" ; ")
        + QString::number(o.foldersFound) + LoadText(o.foldersFound == 1 ? 332 : 333) + QString::number(o.discsExplored)
        + LoadText(o.discsExplored == 1 ? 334 : 335);
    if (keywordFilter != 0)
        text += LoadText(503);
    if (o.duplicatesIgnored > 0)
        text += QStringLiteral(" ; (") + QString::number(o.duplicatesIgnored) + LoadText(654);
    return text;
}

QString unreadableArchivesText(const Catalogue &catalogue, const SearchOutcome &outcome)
{
    QStringList names;
    for (const QString &identifier : outcome.unreadable) {
        const QString name = QFileInfo(catalogue.archivePath(identifier)).fileName();
        if (!names.contains(name))
            names << name;
    }
    return names.isEmpty() ? QString() : LoadText(750) + names.join(QStringLiteral(", "));
}

namespace {

constexpr qint64 MemberSizeLimit = qint64(1) << 31;

qint32 toInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// What the run needs of one disc.
struct DiscData
{
    int position = 0;
    bool readable = true;
    bool hasText = false;
    std::vector<FolderRecord> folders{1};
    QByteArray fileList; // in-memory reading
    std::vector<FileLineFilter::Line> lines; // the lines of fileList the test reads
    std::vector<FileRecord> files; // read from the index: the candidates
    // Read from the index: only the folders and files that may match (with the
    // archives the files stand in), the folder array only when there is one.
    bool indexed = false;
    quint32 folderCount = 0;
    std::vector<quint32> folderCandidates;
    std::vector<quint32> fileNumbers;
    QByteArray textStore;
    Mp3TagStore tags;
};

QString memberList(const SearchCriteria &criteria)
{
    QString list = QStringLiteral(".REP;");
    if (criteria.field == SearchField::CapturedText)
        list += QStringLiteral(".Text;");
    if (criteria.files)
        list += QStringLiteral(".FIC;");
    if (criteria.field == SearchField::Mp3Tags)
        list += QStringLiteral(".id3;");
    return list;
}

DiscData readInMemory(const Catalogue &catalogue, int position, const QString &memberList, const FileLineFilter &filter)
{
    DiscData data;
    data.position = position;
    const QString identifier = catalogue.disc(position).identifier;
    const QString archive = catalogue.archivePath(identifier);
    // Each reading thread keeps its buffers from one disc to the next.
    thread_local DiscArchive::MemberReader reader;
    data.readable = reader.read(archive, memberList, MemberSizeLimit);
    const auto named = [&](const QString &name, const char *extension) {
        return name.compare(identifier + QLatin1String(extension), Qt::CaseInsensitive) == 0;
    };
    QByteArrayView fileList;
    for (const DiscArchive::MemberReader::Member &member : reader.members()) {
        if (named(member.name, ".rep")) {
            data.folders = TreeFiles::parseFolderFile(member.data);
        } else if (named(member.name, ".fic")) {
            fileList = member.data;
        } else if (named(member.name, ".text")) {
            data.textStore = member.data.toByteArray();
            data.hasText = true;
        } else if (named(member.name, ".id3")) {
            data.tags.parse(member.data);
        }
    }
    // Only the lines the test reads leave this thread, packed one after the other.
    data.lines = filter.lines(fileList);
    qsizetype packed = 0;
    for (const FileLineFilter::Line &line : data.lines)
        packed += line.length;
    data.fileList.reserve(packed);
    for (FileLineFilter::Line &line : data.lines) {
        const qsizetype offset = data.fileList.size();
        data.fileList.append(fileList.sliced(line.offset, line.length));
        line.offset = offset;
    }
    return data;
}

// The disc from its index part: the folders and files whose texts hold the literal
// of the pattern (ignoring case) or may match it through case folding; every other
// record would be read and refused. nullopt when the part is missing, stale or
// damaged (a damaged part is removed so the next refresh builds it again).
std::optional<DiscData> readIndexed(const Catalogue &catalogue, int position, const SearchIndex &index,
                                    const CompiledCriteria &compiled, QByteArrayView literal)
{
    const QString identifier = catalogue.disc(position).identifier;
    std::optional<IndexedDisc> part = index.load(identifier);
    if (!part || part->streamed())
        return std::nullopt;
    const SearchCriteria &criteria = compiled.criteria();
    const bool names = criteria.field != SearchField::Descriptions;
    const bool descriptions = criteria.field != SearchField::Names;
    DiscData data;
    data.position = position;
    data.indexed = true;
    data.folderCount = part->folderCount();
    bool sound = true;
    if (!part->mayHold(literal, sound))
        return data;
    if (sound && compiled.foldersPossible())
        sound = part->folderCandidates(literal, names, descriptions, data.folderCandidates);
    if (sound && criteria.files) {
        const int descriptionPart = descriptions ? int(criteria.descriptionPart) : -1;
        std::vector<quint32> candidates;
        sound = part->fileCandidates(literal, names, descriptionPart, candidates)
            && (candidates.empty() || part->records(candidates, data.files, data.fileNumbers));
    }
    if (sound && (!data.folderCandidates.empty() || !data.files.empty())) {
        // A row shows the names above its folder (or above its archive's folder).
        std::vector<qint32> named(data.folderCandidates.begin(), data.folderCandidates.end());
        for (const FileRecord &file : data.files)
            named.push_back(file.owner);
        sound = part->folders(data.folders, named);
    }
    if (!sound) {
        index.discard(identifier);
        return std::nullopt;
    }
    return data;
}

// The fields of a file-list line as LineFields splits them, only the six the file
// test needs, without decoding anything.
struct LineSplit
{
    QByteArrayView field[6];

    explicit LineSplit(QByteArrayView line)
    {
        const char *p = line.data();
        const qsizetype n = line.size();
        if (n == 0)
            return;
        qsizetype i = 0;
        const auto find = [&](qsizetype from, char c) {
            if (from >= n)
                return n;
            const void *at = std::memchr(p + from, c, size_t(n - from));
            return at ? static_cast<const char *>(at) - p : n;
        };
        for (int f = 0; f < 6; ++f) {
            while (i < n && (p[i] == ' ' || p[i] == '\t'))
                ++i;
            qsizetype comma;
            if (i < n && p[i] == '"') {
                const qsizetype close = find(i + 1, '"');
                field[f] = line.sliced(i + 1, close - i - 1);
                comma = find(close + 1, ',');
            } else {
                comma = find(i, ',');
                qsizetype last = comma;
                while (last > i && (p[last - 1] == ' ' || p[last - 1] == '\t'))
                    --last;
                field[f] = line.sliced(i, last - i);
            }
            if (comma >= n)
                return;
            i = comma + 1;
        }
    }
};

// A file record as the file test reads it: from a parsed record, or straight from a
// line of the file list with the name decoded only when asked and the whole record
// parsed only when needed.
class FullRecord
{
public:
    explicit FullRecord(const FileRecord &record) : m_record(record) {}
    qint32 owner() const { return m_record.owner; }
    qint32 link() const { return m_record.link; }
    qint64 size() const { return m_record.size; }
    double date() const { return m_record.date; }
    QStringView name() { return m_record.name; }
    const DescriptionTriple &descriptions() { return m_record.descriptions; }
    const FileRecord &record() { return m_record; }

private:
    const FileRecord &m_record;
};

class LineRecord
{
public:
    LineRecord(QByteArrayView line, std::u16string &buffer) : m_line(line), m_split(line), m_buffer(buffer)
    {
        m_owner = toInt32(parseFieldInteger(m_split.field[1]));
        m_link = toInt32(parseFieldInteger(m_split.field[5]));
    }
    qint32 owner() const { return m_owner; }
    qint32 link() const { return m_link; }
    qint64 size() const
    {
        const qint64 size = parseFieldInteger(m_split.field[2]);
        return size == 0 ? 1 : size;
    }
    double date() const { return parseFieldNumber(m_split.field[3]); }
    QStringView name()
    {
        const QByteArrayView raw = m_split.field[0];
        if (isAscii(raw)) {
            m_buffer.resize(size_t(raw.size()));
            for (qsizetype i = 0; i < raw.size(); ++i)
                m_buffer[size_t(i)] = char16_t(static_cast<unsigned char>(raw[i]));
            return QStringView(m_buffer.data(), raw.size());
        }
        if (!m_name)
            m_name = decodeText(raw, detectTextEncoding(m_line));
        return *m_name;
    }
    const DescriptionTriple &descriptions() { return record().descriptions; }
    const FileRecord &record()
    {
        if (!m_record)
            m_record = TreeFiles::parseFileLine(m_line);
        return *m_record;
    }

private:
    QByteArrayView m_line;
    LineSplit m_split;
    std::u16string &m_buffer;
    qint32 m_owner = 0;
    qint32 m_link = 0;
    std::optional<QString> m_name;
    std::optional<FileRecord> m_record;
};

// A folder or file of one disc that passed the test, with its row ready to show.
struct DiscMatch
{
    SearchRow row;
    QString foldedName; // a file's name case-folded, for the duplicates rule
    bool first = false; // the first folder, or file, the test read on this disc
};

// What the per-disc part of a run found: found on the thread that read the disc,
// so rows of many-hit searches are made a few discs ahead of the one being shown.
struct DiscMatches
{
    std::vector<DiscMatch> matches;
    // Where a stop requested before the disc begins takes effect: after the first
    // folder read, at once, after the first file read, or nowhere (no record to stop at).
    enum class FirstStop { AfterFolder, AtOnce, AfterFile, None } firstStop = FirstStop::None;
};

// Tests the folders and files of one disc in order and makes the rows of those that
// pass. Nothing here depends on other discs: the duplicates rule, the counters, the
// warning questions and the stop request are applied when the matches are added.
class DiscMatcher
{
public:
    DiscMatcher(const Catalogue &catalogue, const CompiledCriteria &compiled, const RunObserver &observer,
                DiscData &disc)
        : m_compiled(compiled), m_criteria(compiled.criteria()), m_observer(observer), m_disc(disc),
          m_identifier(catalogue.disc(disc.position).identifier), m_discName(catalogue.disc(disc.position).name)
    {
    }

    DiscMatches run();

private:
    // A stop asked for while the disc is read ends its test early: only the first
    // record can still give a row (the stop takes effect after it), so the rest of a
    // large disc need not be read before the run ends.
    bool stopSeen() { return (++m_recordsRead & 1023) == 0 && m_observer.cancelled(); }
    template<typename Record> bool fileTest(Record &record);
    void onFolder(int number);
    template<typename Record> void onFile(Record &record);
    void addFolder(const FolderRecord &folder, bool first);
    void addFile(const FileRecord &file, bool first);
    // resultLocation of the disc's folder, made once per folder: the rows of a disc
    // often share a few folders.
    const QString &location(qint64 folder);

    const CompiledCriteria &m_compiled;
    const SearchCriteria &m_criteria;
    std::vector<std::optional<QString>> m_locations;
    const RunObserver &m_observer;
    DiscData &m_disc;
    const QString m_identifier;
    const QString m_discName;
    DiscMatches m_found;
    int m_fileNumber = -1;
    int m_recordsRead = 0;
    CurrentArchive m_archive;
    CapturedTextScanner m_scanner;
};

DiscMatches DiscMatcher::run()
{
    using FirstStop = DiscMatches::FirstStop;
    DiscData &disc = m_disc;
    const bool folderRecords = disc.indexed ? disc.folderCount > 0 : disc.folders.size() > 1;
    if (folderRecords)
        m_found.firstStop = FirstStop::AtOnce;
    if (disc.indexed)
        m_found.matches.reserve(disc.folderCandidates.size() + disc.files.size());
    if (disc.indexed) {
        // The folders left out could not match.
        for (const quint32 k : disc.folderCandidates) {
            onFolder(int(k));
            if (stopSeen())
                return std::move(m_found);
        }
    } else if (m_compiled.foldersPossible()) {
        for (size_t k = 1; k < disc.folders.size(); ++k) {
            onFolder(int(k));
            if (stopSeen())
                return std::move(m_found);
        }
    }
    if (!m_criteria.files)
        return std::move(m_found);

    if (disc.indexed) {
        for (size_t i = 0; i < disc.files.size(); ++i) {
            m_fileNumber = int(disc.fileNumbers[i]) - 1;
            FullRecord record(disc.files[i]);
            onFile(record);
            if (stopSeen())
                break;
        }
    } else {
        std::u16string buffer;
        for (const FileLineFilter::Line &line : disc.lines) {
            m_fileNumber = line.number - 1;
            LineRecord record(QByteArrayView(disc.fileList).sliced(line.offset, line.length), buffer);
            onFile(record);
            if (stopSeen())
                break;
        }
    }
    return std::move(m_found);
}

void DiscMatcher::onFolder(int number)
{
    using FirstStop = DiscMatches::FirstStop;
    const bool first = m_found.firstStop != FirstStop::AfterFolder;
    m_found.firstStop = FirstStop::AfterFolder;
    if (m_compiled.matchFolder(m_disc.folders[size_t(number)]))
        addFolder(m_disc.folders[size_t(number)], first);
}

template<typename Record> void DiscMatcher::onFile(Record &record)
{
    using FirstStop = DiscMatches::FirstStop;
    const bool first = m_found.firstStop == FirstStop::None;
    if (first)
        m_found.firstStop = FirstStop::AfterFile;
    ++m_fileNumber;
    if (fileTest(record))
        addFile(record.record(), first);
}

template<typename Record> bool DiscMatcher::fileTest(Record &record)
{
    const std::vector<FolderRecord> &folders = m_disc.folders;
    const qint32 owner = record.owner();
    const qint32 link = record.link();
    if (owner >= 0 && folderExcluded(folders, owner)) {
        if (link < 0)
            m_archive = {true, record.name().toString(), owner};
        return false;
    }
    if (owner < 0) {
        if (!m_criteria.members)
            return false;
        if (m_archive.set && folderExcluded(folders, m_archive.folder))
            return false;
    }
    if (link < 0)
        m_archive = {true, record.name().toString(), owner};

    bool m = false;
    switch (m_criteria.field) {
    case SearchField::CapturedText:
        if (link > 0) {
            const QString text = m_scanner.text(m_identifier, m_disc.textStore, link);
            m = !text.isEmpty() && m_compiled.contentPattern().matches(text);
        }
        break;
    case SearchField::Mp3Tags:
        if (upperExtension(record.name()) == QLatin1String("MP3"))
            m = m_compiled.contentPattern().matches(mp3SearchText(m_disc.tags.tags(m_fileNumber)));
        break;
    default:
        if (m_compiled.patternEmpty()) {
            m = true;
        } else {
            if (m_criteria.field != SearchField::Descriptions)
                m = m_compiled.pattern().matches(record.name());
            if (!m && m_criteria.field != SearchField::Names)
                m = m_compiled.matchDescription(record.descriptions());
        }
        break;
    }
    return m && m_compiled.withinBounds(record.size(), record.date());
}

void DiscMatcher::addFolder(const FolderRecord &folder, bool first)
{
    DiscMatch match;
    match.first = first;
    SearchRow &row = match.row;
    row.folder = true;
    row.name = folder.name;
    row.discName = m_discName;
    row.location = location(folder.parent);
    row.extension = QStringLiteral(" ");
    row.description = folder.description;
    row.date = folder.date;
    row.discPosition = m_disc.position;
    m_found.matches.push_back(std::move(match));
}

void DiscMatcher::addFile(const FileRecord &file, bool first)
{
    DiscMatch match;
    match.first = first;
    SearchRow &row = match.row;
    row.name = file.name;
    row.discName = m_discName;
    if (file.owner >= 0) {
        row.location = location(file.owner);
    } else if (m_archive.set) {
        row.location = m_archive.folder >= 0 ? location(m_archive.folder) + m_archive.name : m_archive.name;
    }
    row.extension = upperExtension(file.name);
    row.description = TreeFiles::displayDescription(file.descriptions);
    row.size = file.size;
    row.kilobytes = searchKilobytes(file.size);
    row.date = file.date;
    row.discPosition = m_disc.position;
    if (m_criteria.latestOnly)
        match.foldedName = file.name.toCaseFolded();
    m_found.matches.push_back(std::move(match));
}

const QString &DiscMatcher::location(qint64 folder)
{
    static const QString none;
    if (folder < 0 || folder >= qint64(m_disc.folders.size()))
        return none;
    if (m_locations.empty())
        m_locations.resize(m_disc.folders.size());
    std::optional<QString> &known = m_locations[size_t(folder)];
    if (!known)
        known = resultLocation(m_disc.folders, folder);
    return *known;
}

class Run
{
public:
    Run(const Catalogue &catalogue, const SearchCriteria &criteria, RunObserver &observer, SearchRowSink &sink,
        const SearchOptions &options)
        : m_catalogue(catalogue), m_compiled(criteria), m_criteria(m_compiled.criteria()), m_lineFilter(m_compiled),
          m_observer(observer), m_sink(sink), m_options(options),
          m_warningText(LoadText(322) + u'\r' + LoadText(323) + u'\r' + LoadText(324) + u'\r' + LoadText(325))
    {
    }

    SearchOutcome run(const std::vector<qint64> &selection);

private:
    bool addMatches(DiscMatches &found);
    void addFile(DiscMatch &match);
    void warningCheck(double factor, bool folderRow);
    bool stopRequested() const { return m_observer.cancelled(); }
    // Whether the index can answer: names and descriptions, searched for a pattern
    // that holds a piece of plain text, read in memory.
    bool indexUsable() const
    {
        return m_options.index
            && (m_criteria.field == SearchField::Names || m_criteria.field == SearchField::Descriptions
                || m_criteria.field == SearchField::NamesAndDescriptions)
            && !m_compiled.patternEmpty() && !m_compiled.pattern().asciiLiteral().isEmpty();
    }
    static qint64 seconds(double date) { return qint64(std::llround(date * 86400.0)); }

    const Catalogue &m_catalogue;
    const CompiledCriteria m_compiled;
    const SearchCriteria &m_criteria;
    const FileLineFilter m_lineFilter;
    RunObserver &m_observer;
    SearchRowSink &m_sink;
    const SearchOptions m_options;
    const QString m_warningText;

    SearchOutcome m_outcome;
    qint64 m_threshold = 1000;
    quint64 m_nextId = 1;
    // Latest-only: of the row of each (case-folded name, size) kept so far, what the
    // rule compares and the id a replaced row is taken out by.
    struct KeptRow
    {
        double date = 0;
        qint64 kilobytes = 0;
        quint64 id = 0;
    };
    QHash<QPair<QString, qint64>, KeptRow> m_kept;
};

SearchOutcome Run::run(const std::vector<qint64> &selection)
{
    m_observer.clearCancel();
    if (!m_criteria.hasCriteria()) {
        m_observer.prompt().warn(LoadText(315));
        m_outcome.status = SearchOutcome::Status::NoCriteria;
        return m_outcome;
    }
    std::vector<int> positions;
    for (int i = 1; i < int(selection.size()) && i <= m_catalogue.discCount(); ++i) {
        if (selection[size_t(i)] != 0)
            positions.push_back(i);
    }
    m_outcome.discsToExplore = selectedDiscCount(selection);
    if (m_outcome.discsToExplore == 0) {
        m_observer.prompt().warn(LoadText(316));
        m_outcome.status = SearchOutcome::Status::NoDisc;
        return m_outcome;
    }
    const QString members = memberList(m_criteria);
    // The discs ahead are read, decompressed, filtered and tested on worker threads
    // while the matches of this one are added; the discs are still added one after
    // the other in order.
    struct Disc
    {
        DiscData data;
        DiscMatches found;
    };
    const Catalogue &catalogue = m_catalogue;
    const FileLineFilter &filter = m_lineFilter;
    const CompiledCriteria &compiled = m_compiled;
    const RunObserver &observer = m_observer;
    const SearchIndex *index = indexUsable() ? m_options.index : nullptr;
    const QByteArray literal = m_compiled.pattern().asciiLiteral().left(48);
    const auto load = [&, members, index, literal](int position) {
        Disc disc;
        std::optional<DiscData> data;
        if (index)
            data = readIndexed(catalogue, position, *index, compiled, literal);
        disc.data = data ? std::move(*data) : readInMemory(catalogue, position, members, filter);
        if (disc.data.readable)
            disc.found = DiscMatcher(catalogue, compiled, observer, disc.data).run();
        // What was read of the disc is freed here, on the worker: the thread that adds
        // the rows needs only the matches and these few facts.
        DiscData facts;
        facts.position = disc.data.position;
        facts.readable = disc.data.readable;
        facts.indexed = disc.data.indexed;
        disc.data = std::move(facts);
        return disc;
    };
    const int threads = std::max(2, QThread::idealThreadCount());
    std::optional<OrderedWorkers<Disc>> workers;
    workers.emplace(positions.size(), threads, size_t(threads) * 2,
                    [&](size_t index) { return load(positions[index]); });
    for (size_t index = 0; index < positions.size(); ++index) {
        // A large disc takes a while to read and test: the window breathes meanwhile.
        std::optional<Disc> next;
        while (!(next = workers->takeFor(std::chrono::milliseconds(30))))
            m_observer.yield();
        Disc disc = std::move(*next);
        const QString identifier = m_catalogue.disc(disc.data.position).identifier;
        if (!disc.data.readable) {
            m_outcome.unreadable << identifier;
            continue;
        }
        if (disc.data.indexed)
            ++m_outcome.discsFromIndex;
        const bool finished = addMatches(disc.found);
        if (!finished) {
            m_outcome.stopped = true;
            break;
        }
        ++m_outcome.discsExplored;
        m_observer.progress(searchProgressText(m_outcome));
        m_observer.yield();
    }
    workers.reset();
    m_sink.runEnded();
    m_outcome.summary = searchSummaryText(m_outcome, m_options.keywordFilter);
    m_observer.progress(m_outcome.summary);
    return m_outcome;
}

// Adds one disc's matches in order. A stop takes effect after the record in hand:
// after each match, and for a stop already requested when the disc begins, at the
// disc's first record.
bool Run::addMatches(DiscMatches &found)
{
    if (stopRequested()) {
        using FirstStop = DiscMatches::FirstStop;
        if (found.firstStop == FirstStop::None)
            return true;
        const bool firstIsMatch = !found.matches.empty() && found.matches.front().first;
        if (found.firstStop == FirstStop::AtOnce || !firstIsMatch)
            return false;
        found.matches.resize(1);
    }
    int sinceYield = 0;
    for (DiscMatch &match : found.matches) {
        // Rows of a disc with many matches reach the list in batches.
        if (++sinceYield > searchRowsPerYield) {
            sinceYield = 1;
            m_observer.yield();
            if (stopRequested())
                return false;
        }
        if (match.row.folder) {
            match.row.id = m_nextId++;
            ++m_outcome.foldersFound;
            m_sink.rowAdded(std::move(match.row));
            warningCheck(2.5, true);
        } else {
            addFile(match);
        }
        if (stopRequested())
            return false;
    }
    return true;
}

void Run::addFile(DiscMatch &match)
{
    SearchRow &row = match.row;
    KeptRow *kept = nullptr;
    if (m_criteria.latestOnly) {
        kept = &m_kept[QPair<QString, qint64>(match.foldedName, row.size)];
        if (kept->id != 0) {
            ++m_outcome.duplicatesIgnored;
            if (seconds(row.date) <= seconds(kept->date))
                return;
            --m_outcome.filesFound;
            m_outcome.totalKilobytes -= kept->kilobytes;
            m_sink.rowRemoved(kept->id);
        }
    }
    row.id = m_nextId++;
    ++m_outcome.filesFound;
    m_outcome.totalKilobytes += row.kilobytes;
    if (kept)
        *kept = {row.date, row.kilobytes, row.id};
    m_sink.rowAdded(std::move(row));
    warningCheck(5, false);
}

void Run::warningCheck(double factor, bool folderRow)
{
    const qint64 total = qint64(m_outcome.foldersFound) + m_outcome.filesFound;
    if (total <= 0 || m_threshold <= 0 || total % m_threshold != 0)
        return;
    if (folderRow)
        m_observer.yield();
    const QString text = LoadText(321) + QString::number(total) + m_warningText;
    if (m_observer.prompt().askYesNo(text, UserPrompt::Icon::Exclamation) == UserPrompt::Answer::Yes)
        m_observer.requestCancel();
    m_threshold = roundHalfEven(double(m_threshold) * factor);
}

} // namespace

SearchOutcome runSearch(const Catalogue &catalogue, const SearchCriteria &criteria,
                        const std::vector<qint64> &selection, RunObserver &observer, SearchRowSink &sink,
                        const SearchOptions &options)
{
    Run run(catalogue, criteria, observer, sink, options);
    return run.run(selection);
}

} // namespace vorn
