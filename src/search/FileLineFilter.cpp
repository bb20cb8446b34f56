#include "search/FileLineFilter.h"

#include "common/LineFields.h"
#include "search/SearchCriteria.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

// The sixth field of a file-list line (the link), split as the line reader does:
// blanks skipped, a quoted field runs to its closing quote, fields end at commas.
QByteArrayView linkField(QByteArrayView line)
{
    const char *p = line.data();
    const qsizetype n = line.size();
    const auto find = [&](qsizetype from, char c) {
        if (from >= n)
            return n;
        const void *at = std::memchr(p + from, c, size_t(n - from));
        return at ? static_cast<const char *>(at) - p : n;
    };
    qsizetype i = 0;
    for (int field = 0; field < 5; ++field) {
        while (i < n && (p[i] == ' ' || p[i] == '\t'))
            ++i;
        const qsizetype comma = (i < n && p[i] == '"') ? find(find(i + 1, '"') + 1, ',') : find(i, ',');
        if (comma >= n)
            return {};
        i = comma + 1;
    }
    while (i < n && (p[i] == ' ' || p[i] == '\t'))
        ++i;
    if (i < n && p[i] == '"')
        return line.sliced(i + 1, find(i + 1, '"') - i - 1);
    return line.sliced(i, find(i, ',') - i);
}

inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

inline char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

// The character of the literal to look for first: the one least frequent in file
// names, so that most of the buffer is skipped by memchr.
qsizetype rarestPosition(const QByteArray &literal)
{
    static const char common[] = "eaoinrstlcdumhpgbfywvkxjqz"; // most frequent first
    qsizetype best = 0;
    int bestRank = -1;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        const char *at = std::strchr(common, literal[i]);
        // Digits and punctuation other than the usual separators are rare too.
        int rank = at ? int(at - common) : 20;
        if (literal[i] == '.' || literal[i] == '_' || literal[i] == ' ' || literal[i] == '-')
            rank = 0;
        if (rank > bestRank) {
            bestRank = rank;
            best = i;
        }
    }
    return best;
}

// The next position at or after `from` holding `lower` or its upper-case form.
class TwoCaseFinder
{
public:
    TwoCaseFinder(QByteArrayView text, char lower) : m_text(text), m_lower(lower), m_upper(upperAscii(lower)) {}
    qsizetype next(qsizetype from)
    {
        if (m_nextLower < from)
            m_nextLower = find(m_lower, from);
        if (m_lower == m_upper)
            return m_nextLower;
        if (m_nextUpper < from)
            m_nextUpper = find(m_upper, from);
        return std::min(m_nextLower, m_nextUpper);
    }

private:
    qsizetype find(char c, qsizetype from) const
    {
        if (from >= m_text.size())
            return m_text.size();
        const void *at = std::memchr(m_text.data() + from, c, size_t(m_text.size() - from));
        return at ? static_cast<const char *>(at) - m_text.data() : m_text.size();
    }
    QByteArrayView m_text;
    char m_lower;
    char m_upper;
    qsizetype m_nextLower = -1;
    qsizetype m_nextUpper = -1;
};

qsizetype lineStart(QByteArrayView text, qsizetype at)
{
    while (at > 0 && text[at - 1] != '\n')
        --at;
    return at;
}

qsizetype lineEnd(QByteArrayView text, qsizetype at)
{
    const void *end = std::memchr(text.data() + at, '\n', size_t(text.size() - at));
    return end ? static_cast<const char *>(end) - text.data() : text.size();
}

// Starts of the lines holding a byte of 0x80 or more.
void linesWithHighBytes(QByteArrayView text, std::vector<qsizetype> &starts)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Eight bytes at a time: most lists are plain ASCII.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, text.data() + i, 8);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        while (i < n && !(static_cast<unsigned char>(text[i]) & 0x80))
            ++i;
        if (i >= n)
            break;
        starts.push_back(lineStart(text, i));
        i = lineEnd(text, i) + 1;
    }
}

// Starts of the lines holding the literal (lower-case ASCII), ignoring ASCII case.
void linesWithLiteral(QByteArrayView text, const QByteArray &literal, std::vector<qsizetype> &starts)
{
    const qsizetype m = literal.size();
    const qsizetype key = rarestPosition(literal);
    TwoCaseFinder finder(text, literal[key]);
    qsizetype from = key;
    for (qsizetype hit = finder.next(from); hit < text.size(); hit = finder.next(from)) {
        const qsizetype start = hit - key;
        bool same = start + m <= text.size();
        for (qsizetype j = 0; same && j < m; ++j)
            same = lowerAscii(text[start + j]) == literal[j];
        if (!same) {
            from = hit + 1;
            continue;
        }
        starts.push_back(lineStart(text, start));
        from = lineEnd(text, start) + 1 + key;
    }
}

// Starts of the lines whose link field is negative: they hold a minus sign.
void linesWithNegativeLink(QByteArrayView text, std::vector<qsizetype> &starts)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const void *at = std::memchr(text.data() + i, '-', size_t(text.size() - i));
        if (!at)
            break;
        const qsizetype hit = static_cast<const char *>(at) - text.data();
        const qsizetype start = lineStart(text, hit);
        const qsizetype end = lineEnd(text, hit);
        qsizetype stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        if (parseFieldInteger(linkField(text.sliced(start, stop - start))) < 0)
            starts.push_back(start);
        i = end + 1;
    }
}

} // namespace

FileLineFilter::FileLineFilter(const CompiledCriteria &criteria)
{
    switch (criteria.criteria().field) {
    case SearchField::Names:
    case SearchField::Descriptions:
    case SearchField::NamesAndDescriptions:
        m_literal = criteria.pattern().asciiLiteral();
        if (!criteria.patternEmpty() && !m_literal.isEmpty())
            m_mode = Mode::Literal;
        break;
    case SearchField::CapturedText:
        m_mode = Mode::TextLinks;
        break;
    case SearchField::Mp3Tags:
        break;
    }
}

bool FileLineFilter::chosen(QByteArrayView line) const
{
    switch (m_mode) {
    case Mode::Every:
        return true;
    case Mode::Literal:
        return true;
    case Mode::TextLinks:
        return parseFieldInteger(linkField(line)) != 0;
    }
    return true;
}

std::vector<FileLineFilter::Line> FileLineFilter::lines(QByteArrayView fileList) const
{
    std::vector<Line> chosenLines;
    if (m_mode == Mode::Literal)
        return literalLines(fileList);
    if (m_mode == Mode::Every)
        chosenLines.reserve(size_t(fileList.size() / 48));
    int number = 0;
    forEachRecordLine(fileList, [&](QByteArrayView line) {
        if (chosen(line))
            chosenLines.push_back({line.data() - fileList.data(), line.size(), number});
        ++number;
        return true;
    });
    return chosenLines;
}

// Three searches over the whole list instead of a look at every line: the lines
// holding the literal, those that are not plain ASCII (their decoded names may fold
// differently) and those with a negative link.
std::vector<FileLineFilter::Line> FileLineFilter::literalLines(QByteArrayView fileList) const
{
    if (fileList.isEmpty())
        return {};
    std::vector<qsizetype> starts;
    linesWithLiteral(fileList, m_literal, starts);
    linesWithHighBytes(fileList, starts);
    linesWithNegativeLink(fileList, starts);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

    std::vector<Line> chosenLines;
    chosenLines.reserve(starts.size());
    const qsizetype headerEnd = lineEnd(fileList, 0);
    for (const qsizetype start : starts) {
        if (start <= headerEnd)
            continue;
        qsizetype stop = lineEnd(fileList, start);
        if (stop > start && fileList[stop - 1] == '\r')
            --stop;
        if (stop > start)
            chosenLines.push_back({start, stop - start, -1});
    }
    return chosenLines;
}

} // namespace vorn
