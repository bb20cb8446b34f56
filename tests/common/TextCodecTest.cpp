#include "common/TextCodec.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct Utf8Case { const char *name; QByteArray bytes; bool valid; };

class Utf8Validation : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validation, AcceptsExactlyWellFormedUtf8)
{
    const Utf8Case &c = GetParam();
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.name;
    // The same bytes after a long ASCII run go through the word-at-a-time path.
    EXPECT_EQ(isValidUtf8(QByteArray(QByteArray(21, 'x') + c.bytes + "tail")), c.valid) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8Validation, ::testing::Values(
    Utf8Case{"empty", QByteArray(), true},
    Utf8Case{"ascii", "plain text", true},
    Utf8Case{"two bytes", "\xC3\xA9", true},
    Utf8Case{"last of BMP", "\xEF\xBF\xBF", true},
    Utf8Case{"four bytes", "\xF0\x9F\x98\x80", true},
    Utf8Case{"last code point", "\xF4\x8F\xBF\xBF", true},
    Utf8Case{"lone continuation", "\x80", false},
    Utf8Case{"truncated two", "\xC3", false},
    Utf8Case{"bad continuation", "\xC3\x28", false},
    Utf8Case{"overlong slash C0", "\xC0\xAF", false},
    Utf8Case{"overlong three", "\xE0\x80\xAF", false},
    Utf8Case{"overlong four", "\xF0\x8F\xBF\xBF", false},
    Utf8Case{"high surrogate", "\xED\xA0\x80", false},
    Utf8Case{"before surrogates", "\xED\x9F\xBF", true},
    Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", false},
    Utf8Case{"F5 lead", "\xF5\x80\x80\x80", false},
    Utf8Case{"FF byte", "\xFF", false},
    Utf8Case{"Windows-1252 e acute", "caf\xE9", false}));

TEST(TextCodec, Windows1252MapsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 || b > 0x9F) {
            EXPECT_EQ(text[b].unicode(), b) << b;
        }
    }
    const struct { int byte; char16_t ch; } high[] = {
        {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x82, u'\u201A'}, {0x85, u'\u2026'},
        {0x9D, u'\u009D'}, {0x9E, u'\u017E'}, {0x9F, u'\u0178'},
    };
    for (const auto &h : high)
        EXPECT_EQ(text[h.byte].unicode(), h.ch) << h.byte;
}

TEST(TextCodec, DecodeTextPicksUtf8ElseWindows1252)
{
    const struct { QByteArray bytes; QString text; TextEncoding encoding; } cases[] = {
        {"", QString(), TextEncoding::Ascii},
        {"README.TXT", QStringLiteral("README.TXT"), TextEncoding::Ascii},
        {"\xC3\xA9t\xC3\xA9", QStringLiteral("été"), TextEncoding::Utf8},
        {"\xE9t\xE9", QStringLiteral("été"), TextEncoding::Windows1252},
        {"\xA3MD\xA4notes", QStringLiteral("£MD¤notes"), TextEncoding::Windows1252},
        {"\xC2\xA3MD\xC2\xA4notes", QStringLiteral("£MD¤notes"), TextEncoding::Utf8},
        // One bad byte makes the whole piece Windows-1252, valid pairs included.
        {"\xC3\xA9 \xE9", QStringLiteral("Ã© é"), TextEncoding::Windows1252},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(decodeText(c.bytes), c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(detectTextEncoding(c.bytes), c.encoding) << c.bytes.toHex().constData();
        EXPECT_EQ(decodeText(c.bytes, c.encoding), c.text);
    }
}

TEST(TextCodec, CapturedTextDropsNuls)
{
    EXPECT_EQ(decodeCapturedText(QByteArray("a\0b\0", 4)), QStringLiteral("ab"));
    EXPECT_EQ(decodeCapturedText(QByteArray("\xE9\0t\xE9", 4)), QStringLiteral("été"));
    EXPECT_EQ(decodeCapturedText(QByteArray("\xC3\xA9\0", 3)), QStringLiteral("é"));
    EXPECT_EQ(decodeCapturedText(QByteArray("\0\0", 2)), QString());
}

} // namespace
} // namespace vorn
