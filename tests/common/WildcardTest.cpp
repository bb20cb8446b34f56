#include "common/Wildcard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vorn {
namespace {

TEST(Wildcard, MatchesTable)
{
    // An Arabic-Indic digit is not 0-9; a descending range holds nothing; an unclosed "[" is literal and
    // "[]" the empty text; "*aab*" needs a partial match restarting inside itself; the Kelvin sign, long s
    // and Deseret letters fold; a surrogate pair or a lone surrogate is one character.
    const struct { const char16_t *pattern, *text; bool expected; } cases[] = {
        {u"readme*", u"README.TXT", true}, {u"readme*", u"a readme", false}, {u"*read*", u"unREADable", true},
        {u"*.ICO", u"x.ico", true}, {u"*.ICO", u"x.icon", false}, {u"a?c", u"abc", true}, {u"a?c", u"ac", false},
        {u"abc", u"ab", false}, {u"#", u"5", true}, {u"#", u"55", false}, {u"disc##.iso", u"DISC07.ISO", true},
        {u"#", u"\u0663", false}, {u"[A-C]x", u"bx", true}, {u"[a-c]x", u"dx", false}, {u"[aeiou]", u"E", true},
        {u"[a-cx-z]", u"y", true}, {u"[!a-c]x", u"dx", true}, {u"[!a-c]", u"", false}, {u"[-a]", u"-", true},
        {u"[a-]", u"-", true}, {u"[!-]", u"-", false}, {u"[z-a]", u"z", false}, {u"[!z-a]", u"z", true},
        {u"[*]", u"*", true}, {u"[?]", u"?", true}, {u"[#]", u"#", true}, {u"[[]", u"[", true}, {u"[!]", u"!", true},
        {u"[é]", u"É", true}, {u"[à-ä]", u"Â", true}, {u"[\u0100-\uFFFF]", u"\u0101", true},
        {u"[!\u0100-\uFFFF]", u"\U0001F600", true}, {u"[abc", u"[abc", true}, {u"*[", u"x[", true},
        {u"a]", u"a]", true}, {u"[]", u"", true}, {u"a[]b", u"ab", true}, {u"[]]", u"]", true}, {u"[]*", u"xyz", true},
        {u"", u"", true}, {u"*", u"", true}, {u"a*a", u"a", false}, {u"a*a", u"aa", true}, {u"*ab*ab*", u"abab", true},
        {u"*a*b*c*", u"xxaxxcxxbxx", false}, {u"*.*", u"noext", false}, {u"*aab*", u"xaaabx", true},
        {u"*abab*", u"xabaababx", true}, {u"*abab*", u"xabaabax", false}, {u"*ÉTÉ", u"l'été", true},
        {u"straße", u"STRAßE", true}, {u"*k*", u"\u212A", true}, {u"s", u"\u017F", true},
        {u"\U00010400", u"\U00010428", true}, {u"?", u"\U0001F600", true}, {u"??", u"\U0001F600", false},
        {u"*\U0001F600*", u"x\U0001F600y", true}, {u"[\U0001F600-\U0001F602]", u"\U0001F601", true},
        {u"[!\U0001F600]", u"\U0001F600", false}, {u"?", u"\xD800", true}, {u"a*", u"a\xDC00\xD800", true},
    };
    for (const auto &c : cases) {
        const QString pattern = QString::fromUtf16(c.pattern), text = QString::fromUtf16(c.text);
        EXPECT_EQ(WildcardPattern(pattern).matches(text), c.expected)
            << "pattern " << pattern.toStdString() << " text " << text.toStdString();
    }
}

TEST(Wildcard, ManyStarsAgainstLongTextStayCorrect)
{
    const QString text(10000, u'a');
    EXPECT_TRUE(WildcardPattern(QString(QStringLiteral("*a").repeated(200) + u'*')).matches(text));
    EXPECT_FALSE(WildcardPattern(QString(QString(500, u'*') + QString(300, u'a') + u"b*")).matches(text));
    EXPECT_TRUE(WildcardPattern(QString(u'*' + QString(20, u'a') + u"b*")).matches(QString(text + u'b' + text)));
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
