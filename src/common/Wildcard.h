#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace vorn {

// Whole-text wildcard match ignoring case (simple Unicode case folding):
// "*" any run of characters, "?" any one character, "#" one digit,
// "[...]" one character of a set (ranges "a-z"), "[!...]" one character outside it.
// A "[" without its closing "]" matches itself. Every other character matches itself.
// The pattern is compiled once; matching never backtracks exponentially.
class WildcardPattern
{
public:
    WildcardPattern() = default;
    explicit WildcardPattern(QStringView pattern);

    bool matches(QStringView text) const;
    const QString &pattern() const { return m_pattern; }

    struct Token
    {
        enum Kind { Literal, AnyOne, Digit, Set, Star } kind = Literal;
        char32_t ch = 0;                                 // Literal: case-folded code point
        bool negated = false;                            // Set
        std::vector<std::pair<char32_t, char32_t>> ranges; // Set: folded inclusive ranges
    };

private:
    QString m_pattern;
    std::vector<Token> m_tokens;
};

bool wildcardMatch(QStringView pattern, QStringView text);

} // namespace vorn
