#include "common/Wildcard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vorn {
namespace {

struct MatchCase { const char16_t *pattern; const char16_t *text; bool expected; };

class WildcardTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardTable, MatchesAsExpected)
{
    const MatchCase &c = GetParam();
    const QString pattern = QString::fromUtf16(c.pattern);
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(WildcardPattern(pattern).matches(text), c.expected)
        << "pattern " << pattern.toStdString() << " text " << text.toStdString();
    EXPECT_EQ(wildcardMatch(pattern, text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(SearchExpressions, WildcardTable, ::testing::Values(
    // starts with / contains / ends with / equals, built from an expression
    MatchCase{u"readme*", u"README.TXT", true},
    MatchCase{u"readme*", u"a readme", false},
    MatchCase{u"*read*", u"unREADable", true},
    MatchCase{u"*.ICO", u"x.ico", true},
    MatchCase{u"*.ICO", u"x.icon", false},
    MatchCase{u"a?c", u"abc", true},
    MatchCase{u"a?c", u"ac", false},
    MatchCase{u"abc", u"ab", false}));

INSTANTIATE_TEST_SUITE_P(Digits, WildcardTable, ::testing::Values(
    MatchCase{u"#", u"5", true},
    MatchCase{u"#", u"55", false},
    MatchCase{u"disc##.iso", u"DISC07.ISO", true},
    MatchCase{u"#", u"\u0663", false}));   // an Arabic-Indic digit is not 0-9

INSTANTIATE_TEST_SUITE_P(Sets, WildcardTable, ::testing::Values(
    MatchCase{u"[a-c]x", u"bx", true},
    MatchCase{u"[A-C]x", u"bx", true},
    MatchCase{u"[a-c]x", u"dx", false},
    MatchCase{u"[aeiou]", u"E", true},
    MatchCase{u"[a-cx-z]", u"y", true},
    MatchCase{u"[!a-c]x", u"dx", true},
    MatchCase{u"[!a-c]", u"", false},
    MatchCase{u"[-a]", u"-", true},
    MatchCase{u"[a-]", u"-", true},
    MatchCase{u"[!-]", u"-", false},
    MatchCase{u"[z-a]", u"z", false},     // a descending range holds nothing
    MatchCase{u"[!z-a]", u"z", true},
    MatchCase{u"[*]", u"*", true},
    MatchCase{u"[?]", u"?", true},
    MatchCase{u"[#]", u"#", true},
    MatchCase{u"[[]", u"[", true},
    MatchCase{u"[!]", u"!", true},
    MatchCase{u"[é]", u"É", true},
    MatchCase{u"[\u0100-\uFFFF]", u"\u0101", true},   // a wide range
    MatchCase{u"[!\u0100-\uFFFF]", u"\U0001F600", true},
    MatchCase{u"[à-ä]", u"Â", true}));

INSTANTIATE_TEST_SUITE_P(Brackets, WildcardTable, ::testing::Values(
    MatchCase{u"[abc", u"[abc", true},    // no closing bracket: a literal "["
    MatchCase{u"*[", u"x[", true},
    MatchCase{u"a]", u"a]", true},
    MatchCase{u"[]", u"", true},          // "[]" stands for the empty text
    MatchCase{u"a[]b", u"ab", true},
    MatchCase{u"[]]", u"]", true},
    MatchCase{u"[]*", u"xyz", true}));

INSTANTIATE_TEST_SUITE_P(Stars, WildcardTable, ::testing::Values(
    MatchCase{u"", u"", true},
    MatchCase{u"*", u"", true},
    MatchCase{u"a*a", u"a", false},        // head and tail may not share a character
    MatchCase{u"a*a", u"aa", true},
    MatchCase{u"*ab*ab*", u"abab", true},
    MatchCase{u"*a*b*c*", u"xxaxxcxxbxx", false},
    MatchCase{u"*aab*", u"xaaabx", true},     // a partial match restarting inside itself
    MatchCase{u"*abab*", u"xabaababx", true},
    MatchCase{u"*abab*", u"xabaabax", false},
    MatchCase{u"*.*", u"noextension", false}));

INSTANTIATE_TEST_SUITE_P(Unicode, WildcardTable, ::testing::Values(
    MatchCase{u"*ÉTÉ", u"l'été", true},
    MatchCase{u"straße", u"STRAßE", true},
    MatchCase{u"*k*", u"\u212A", true},             // Kelvin sign folds to k
    MatchCase{u"s", u"\u017F", true},               // long s folds to s
    MatchCase{u"?", u"\U0001F600", true},           // one character, two UTF-16 units
    MatchCase{u"??", u"\U0001F600", false},
    MatchCase{u"*\U0001F600*", u"x\U0001F600y", true},
    MatchCase{u"[\U0001F600-\U0001F602]", u"\U0001F601", true},
    MatchCase{u"[!\U0001F600]", u"\U0001F600", false},
    MatchCase{u"\U00010400", u"\U00010428", true},  // Deseret capital and small letter
    MatchCase{u"?", u"\xD800", true},               // a lone surrogate is one character
    MatchCase{u"a*", u"a\xDC00\xD800", true}));

TEST(Wildcard, ManyStarsAgainstLongTextStayCorrect)
{
    const QString text(10000, u'a');
    QString stars;
    for (int i = 0; i < 200; ++i)
        stars += QStringLiteral("*a");
    EXPECT_TRUE(WildcardPattern(QString(stars + u'*')).matches(text));
    const QString longRun = QString(500, u'*') + QString(300, u'a') + u'b' + u'*';
    EXPECT_FALSE(WildcardPattern(longRun).matches(text));
    const QString nearMisses = u'*' + QString(20, u'a') + u"b*";
    EXPECT_TRUE(WildcardPattern(nearMisses).matches(QString(text + u'b' + text)));
    EXPECT_FALSE(WildcardPattern(QStringLiteral("*?").repeated(10001)).matches(text));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*?").repeated(10000)).matches(text));
}

// Reference matcher: plain recursion with memo over pattern atoms, ASCII only.
struct Atom
{
    enum Kind { Char, Any, Digit, Star, SetAB, NotA } kind;
    char ch = 0;
};

bool atomMatches(const Atom &a, char c)
{
    const auto lower = [](char x) { return (x >= 'A' && x <= 'Z') ? char(x + 32) : x; };
    switch (a.kind) {
    case Atom::Char: return lower(a.ch) == lower(c);
    case Atom::Any: return true;
    case Atom::Digit: return c >= '0' && c <= '9';
    case Atom::SetAB: return lower(c) == 'a' || lower(c) == 'b';
    case Atom::NotA: return lower(c) != 'a';
    case Atom::Star: break;
    }
    return false;
}

bool referenceMatch(const std::vector<Atom> &atoms, const std::string &text)
{
    // match[i][j]: atoms from i match text from j.
    const size_t m = atoms.size(), n = text.size();
    std::vector<std::vector<char>> match(m + 1, std::vector<char>(n + 1, 0));
    match[m][n] = 1;
    for (size_t i = m; i-- > 0;) {
        for (size_t j = n + 1; j-- > 0;) {
            if (atoms[i].kind == Atom::Star)
                match[i][j] = match[i + 1][j] || (j < n && match[i][j + 1]);
            else
                match[i][j] = j < n && atomMatches(atoms[i], text[j]) && match[i + 1][j + 1];
        }
    }
    return match[0][0];
}

TEST(Wildcard, AgreesWithReferenceOnRandomPatterns)
{
    std::mt19937 random(12345);
    const char textChars[] = {'a', 'b', 'A', 'B', '1', 'c'};
    for (int round = 0; round < 4000; ++round) {
        std::vector<Atom> atoms;
        QString pattern;
        const int atomCount = int(random() % 7);
        for (int i = 0; i < atomCount; ++i) {
            switch (random() % 8) {
            case 0: case 1: atoms.push_back({Atom::Star}); pattern += u'*'; break;
            case 2: atoms.push_back({Atom::Any}); pattern += u'?'; break;
            case 3: atoms.push_back({Atom::Digit}); pattern += u'#'; break;
            case 4: atoms.push_back({Atom::SetAB}); pattern += u"[a-b]"; break;
            case 5: atoms.push_back({Atom::NotA}); pattern += u"[!A]"; break;
            default: {
                const char c = "abAB"[random() % 4];
                atoms.push_back({Atom::Char, c});
                pattern += QLatin1Char(c);
            }
            }
        }
        std::string text;
        const int length = int(random() % 8);
        for (int i = 0; i < length; ++i)
            text += textChars[random() % sizeof textChars];
        const WildcardPattern compiled(pattern);
        const bool matches = referenceMatch(atoms, text);
        ASSERT_EQ(compiled.matches(QString::fromStdString(text)), matches)
            << "pattern " << pattern.toStdString() << " text " << text;
        // A search skips texts without the pattern's literal: every match holds it.
        if (matches) {
            ASSERT_TRUE(QByteArray::fromStdString(text).toLower().contains(compiled.asciiLiteral()))
                << "pattern " << pattern.toStdString() << " text " << text;
        }
    }
}

TEST(Wildcard, AsciiLiteralIsTheLongestPlainRun)
{
    const struct { QString pattern; QByteArray literal; } cases[] = {
        {"*Notes_Final*", "notes_final"},
        {"a?bcd#e", "bcd"},
        {"ab[]cd*x", "abcd"},           // "[]" stands for nothing: the runs join
        {"*a[b*", "a[b"},                // an unclosed bracket is itself
        {"[a-z]*[!q]", ""},
        {QStringLiteral("caf\u00e9s au lait"), "s au lait"},
        {QString(QChar(0x212A)) + "elvin", "kelvin"},   // the Kelvin sign folds to k
    };
    for (const auto &c : cases)
        EXPECT_EQ(WildcardPattern(c.pattern).asciiLiteral(), c.literal) << c.pattern.toStdString();
}

} // namespace
} // namespace vorn
