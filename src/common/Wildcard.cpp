#include "common/Wildcard.h"

#include <algorithm>

namespace vorn {

namespace {

using Token = WildcardPattern::Token;

inline char32_t foldCase(char32_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// The code point at pos (a lone surrogate stands for itself); pos moves past it.
inline char32_t readForward(QStringView text, qsizetype &pos, qsizetype limit)
{
    const char16_t u = text[pos].unicode();
    ++pos;
    if (QChar::isHighSurrogate(u) && pos < limit) {
        const char16_t v = text[pos].unicode();
        if (QChar::isLowSurrogate(v)) {
            ++pos;
            return QChar::surrogateToUcs4(u, v);
        }
    }
    return u;
}

// The code point ending at end; end moves back to its start.
inline char32_t readBackward(QStringView text, qsizetype &end, qsizetype start)
{
    --end;
    const char16_t v = text[end].unicode();
    if (QChar::isLowSurrogate(v) && end > start) {
        const char16_t u = text[end - 1].unicode();
        if (QChar::isHighSurrogate(u)) {
            --end;
            return QChar::surrogateToUcs4(u, v);
        }
    }
    return v;
}

inline bool tokenMatches(const Token &token, char32_t c)
{
    switch (token.kind) {
    case Token::Literal:
        return token.ch == c || token.ch == foldCase(c);
    case Token::AnyOne:
        return true;
    case Token::Digit:
        return c >= u'0' && c <= u'9';
    case Token::Set: {
        const char32_t folded = foldCase(c);
        bool found = false;
        for (const auto &[low, high] : token.ranges) {
            if ((folded >= low && folded <= high) || (c >= low && c <= high)) {
                found = true;
                break;
            }
        }
        return found != token.negated;
    }
    case Token::Star:
        break;
    }
    return false;
}

// Ranges up to this many characters are stored as the set of their case-folded
// characters, which makes the ignoring-case test exact; wider ranges are kept as
// written and tested with the character and its folded form.
constexpr char32_t kFoldedRangeLimit = 4096;

void addSetRange(std::vector<std::pair<char32_t, char32_t>> &ranges, char32_t low, char32_t high)
{
    if (low > high)
        return; // a descending range holds nothing
    if (high - low >= kFoldedRangeLimit) {
        ranges.emplace_back(low, high);
        return;
    }
    for (char32_t c = low;; ++c) {
        const char32_t folded = foldCase(c);
        ranges.emplace_back(folded, folded);
        if (c == high)
            break;
    }
}

void mergeRanges(std::vector<std::pair<char32_t, char32_t>> &ranges)
{
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<char32_t, char32_t>> merged;
    for (const auto &range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    ranges = std::move(merged);
}

} // namespace

WildcardPattern::WildcardPattern(QStringView pattern) : m_pattern(pattern.toString())
{
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const char32_t c = readForward(pattern, i, n);
        Token token;
        switch (c) {
        case U'*':
            if (m_tokens.empty() || m_tokens.back().kind != Token::Star) {
                token.kind = Token::Star;
                m_tokens.push_back(token);
            }
            continue;
        case U'?':
            token.kind = Token::AnyOne;
            m_tokens.push_back(token);
            continue;
        case U'#':
            token.kind = Token::Digit;
            m_tokens.push_back(token);
            continue;
        case U'[': {
            const qsizetype close = pattern.indexOf(u']', i);
            if (close < 0)
                break; // no closing bracket: a literal "["
            const QStringView list = pattern.sliced(i, close - i);
            i = close + 1;
            if (list.isEmpty())
                continue; // "[]" stands for the empty text
            if (list == u"!") { // a list of just "!" is the exclamation mark
                token.ch = U'!';
                m_tokens.push_back(token);
                continue;
            }
            token.kind = Token::Set;
            qsizetype j = 0;
            if (list.front() == u'!') {
                token.negated = true;
                j = 1;
            }
            const qsizetype m = list.size();
            while (j < m) {
                const char32_t low = readForward(list, j, m);
                if (j + 1 < m && list[j] == u'-') {
                    ++j;
                    const char32_t high = readForward(list, j, m);
                    addSetRange(token.ranges, low, high);
                } else {
                    addSetRange(token.ranges, low, low);
                }
            }
            mergeRanges(token.ranges);
            // A one-character list is that character.
            if (!token.negated && token.ranges.size() == 1
                && token.ranges.front().first == token.ranges.front().second) {
                token.kind = Token::Literal;
                token.ch = token.ranges.front().first;
                token.ranges.clear();
            }
            m_tokens.push_back(std::move(token));
            continue;
        }
        default:
            break;
        }
        token.ch = foldCase(c);
        m_tokens.push_back(token);
    }

    const qsizetype count = qsizetype(m_tokens.size());
    m_headEnd = count;
    m_tailStart = count;
    for (qsizetype t = 0; t < count; ++t) {
        if (m_tokens[t].kind == Token::Star) {
            if (!m_hasStar)
                m_headEnd = t;
            m_hasStar = true;
            m_tailStart = t + 1;
        } else {
            ++m_minLength;
        }
    }
    if (m_hasStar) {
        qsizetype first = m_headEnd + 1;
        for (qsizetype t = first; t < m_tailStart; ++t) {
            if (m_tokens[t].kind == Token::Star) {
                if (t > first)
                    m_middle.push_back(makeRun(first, t));
                first = t + 1;
            }
        }
    }
}

bool WildcardPattern::matchRun(qsizetype first, qsizetype last, QStringView text, qsizetype &pos, qsizetype limit) const
{
    qsizetype p = pos;
    for (qsizetype t = first; t < last; ++t) {
        if (p >= limit)
            return false;
        const char16_t u = text[p].unicode();
        if (u < 0x80) {
            // Plain ASCII needs no surrogate or folding table work.
            ++p;
            const Token &token = m_tokens[t];
            if (token.kind == Token::Literal) {
                const char32_t folded = (u >= u'A' && u <= u'Z') ? u + 32 : u;
                if (token.ch != folded)
                    return false;
                continue;
            }
            if (!tokenMatches(token, u))
                return false;
            continue;
        }
        if (!tokenMatches(m_tokens[t], readForward(text, p, limit)))
            return false;
    }
    pos = p;
    return true;
}

bool WildcardPattern::matchRunBackward(qsizetype first, qsizetype last, QStringView text, qsizetype start,
                                       qsizetype &end) const
{
    qsizetype e = end;
    for (qsizetype t = last - 1; t >= first; --t) {
        if (e <= start)
            return false;
        if (!tokenMatches(m_tokens[t], readBackward(text, e, start)))
            return false;
    }
    end = e;
    return true;
}

QByteArray WildcardPattern::asciiLiteral() const
{
    QByteArray best;
    QByteArray run;
    for (const Token &token : m_tokens) {
        if (token.kind == Token::Literal && token.ch >= 0x20 && token.ch < 0x7F) {
            run += char(token.ch);
            continue;
        }
        if (run.size() > best.size())
            best = run;
        run.clear();
    }
    return run.size() > best.size() ? run : best;
}

WildcardPattern::Run WildcardPattern::makeRun(qsizetype first, qsizetype last) const
{
    Run run;
    run.first = first;
    run.last = last;
    for (qsizetype t = first; t < last; ++t) {
        if (m_tokens[t].kind != Token::Literal) {
            run.literal.clear();
            return run;
        }
        run.literal.push_back(m_tokens[t].ch);
    }
    // Knuth-Morris-Pratt prefix table: failure[j] is the length of the longest proper
    // prefix of literal[0..j] that is also its suffix.
    const qsizetype k = qsizetype(run.literal.size());
    run.failure.assign(size_t(k), 0);
    qsizetype length = 0;
    for (qsizetype j = 1; j < k; ++j) {
        while (length > 0 && run.literal[j] != run.literal[length])
            length = run.failure[length - 1];
        if (run.literal[j] == run.literal[length])
            ++length;
        run.failure[j] = length;
    }
    return run;
}

bool WildcardPattern::findRun(const Run &run, QStringView text, qsizetype &pos, qsizetype limit) const
{
    // The leftmost place where the run fits leaves the most room for what follows,
    // so no other place needs trying.
    if (!run.literal.empty()) {
        // Literal run: one pass over the text, each character read once.
        const char32_t *literal = run.literal.data();
        const qsizetype *failure = run.failure.data();
        const qsizetype k = qsizetype(run.literal.size());
        qsizetype matched = 0;
        qsizetype p = pos;
        while (p < limit) {
            const char16_t u = text[p].unicode();
            char32_t c;
            if (u < 0x80) {
                ++p;
                c = (u >= u'A' && u <= u'Z') ? u + 32 : u;
            } else {
                c = foldCase(readForward(text, p, limit));
            }
            while (matched > 0 && literal[matched] != c)
                matched = failure[matched - 1];
            if (literal[matched] == c && ++matched == k) {
                pos = p;
                return true;
            }
        }
        return false;
    }
    qsizetype start = pos;
    while (start < limit) {
        qsizetype p = start;
        if (matchRun(run.first, run.last, text, p, limit)) {
            pos = p;
            return true;
        }
        readForward(text, start, limit);
    }
    return false;
}

bool WildcardPattern::matches(QStringView text) const
{
    const qsizetype n = text.size();
    if (n < m_minLength)
        return false; // every non-star token takes at least one UTF-16 unit
    qsizetype pos = 0;
    if (!matchRun(0, m_headEnd, text, pos, n))
        return false;
    if (!m_hasStar)
        return pos == n;
    qsizetype end = n;
    if (!matchRunBackward(m_tailStart, qsizetype(m_tokens.size()), text, pos, end))
        return false;
    for (const Run &run : m_middle) {
        if (!findRun(run, text, pos, end))
            return false;
    }
    return true;
}

bool wildcardMatch(QStringView pattern, QStringView text)
{
    return WildcardPattern(pattern).matches(text);
}

} // namespace vorn
