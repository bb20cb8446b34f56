#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace vorn {

// Whole-text wildcard match ignoring case (simple Unicode case folding):
// "*" any run of characters, "?" any one character, "#" one digit 0-9,
// "[...]" one character of a set (ranges "a-z"; a "-" first or last is itself),
// "[!...]" one character outside it. "[]" stands for the empty text and "[!]" for
// "!". A "[" without its closing "]" matches itself; so does every other character.
// Characters are code points (a surrogate pair is one character).
// The pattern is compiled once; matching is O(text x pattern) at worst, linear for
// literal runs between stars, and allocates nothing.
class WildcardPattern
{
public:
    WildcardPattern() = default;
    explicit WildcardPattern(QStringView pattern);

    bool matches(QStringView text) const;
    const QString &pattern() const { return m_pattern; }
    // The longest run of the pattern's plain characters that are printable ASCII,
    // in lower case: every text the pattern matches holds it, ignoring case. Empty
    // when there is none.
    QByteArray asciiLiteral() const;

    struct Token
    {
        enum Kind { Literal, AnyOne, Digit, Set, Star } kind = Literal;
        char32_t ch = 0; // Literal: case-folded code point
        bool negated = false; // Set
        std::vector<std::pair<char32_t, char32_t>> ranges; // Set: folded inclusive ranges
    };

private:
    bool matchRun(qsizetype first, qsizetype last, QStringView text, qsizetype &pos, qsizetype limit) const;
    bool matchRunBackward(qsizetype first, qsizetype last, QStringView text, qsizetype start, qsizetype &end) const;
    struct Run
    {
        qsizetype first = 0;
        qsizetype last = 0; // [first, last) token range
        std::vector<char32_t> literal; // all tokens literal: their folded characters
        std::vector<qsizetype> failure; // and the prefix table to search for them
    };
    Run makeRun(qsizetype first, qsizetype last) const;
    bool findRun(const Run &run, QStringView text, qsizetype &pos, qsizetype limit) const;

    QString m_pattern;
    std::vector<Token> m_tokens; // never two stars in a row
    // Stars split the tokens into a head (before the first star), middle runs and
    // a tail (after the last star). Without a star the head is the whole pattern.
    bool m_hasStar = false;
    qsizetype m_headEnd = 0;
    qsizetype m_tailStart = 0;
    std::vector<Run> m_middle;
    qsizetype m_minLength = 0; // characters any match needs
};

bool wildcardMatch(QStringView pattern, QStringView text);

} // namespace vorn
