#include "common/Wildcard.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

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

TEST(Wildcard, AgreesWithReferenceOnRandomPatterns)
{
    std::mt19937 random(12345);
    const char textChars[] = {'a', 'b', 'A', 'B', '1', 'c'};
    // Each pattern atom and its ECMAScript twin; the expression, ignoring case, is the reference.
    const std::pair<const char16_t *, const char *> atoms[] = {
        {u"*", ".*"}, {u"*", ".*"}, {u"?", "."}, {u"#", "[0-9]"}, {u"[a-b]", "[ab]"}, {u"[!A]", "[^a]"}, {u"a", "a"}, {u"B", "b"},
    };
    for (int round = 0; round < 4000; ++round) {
        QString pattern;
        std::string reference;
        const int atomCount = int(random() % 7);
        for (int i = 0; i < atomCount; ++i) {
            const auto &[atom, expression] = atoms[random() % 8];
            pattern += QString::fromUtf16(atom);
            reference += expression;
        }
        std::string text;
        const int length = int(random() % 8);
        for (int i = 0; i < length; ++i)
            text += textChars[random() % sizeof textChars];
        const WildcardPattern compiled(pattern);
        const bool matches = std::regex_match(text, std::regex(reference, std::regex::icase));
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
