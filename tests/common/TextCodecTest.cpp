#include "common/TextCodec.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(TextCodec, AcceptsExactlyWellFormedUtf8)
{
    const struct { const char *name; QByteArray bytes; bool valid; } cases[] = {
        {"empty", QByteArray(), true}, {"ascii", "plain text", true}, {"two bytes", "\xC3\xA9", true},
        {"last of BMP", "\xEF\xBF\xBF", true}, {"four bytes", "\xF0\x9F\x98\x80", true},
        {"last code point", "\xF4\x8F\xBF\xBF", true}, {"before surrogates", "\xED\x9F\xBF", true},
        {"lone continuation", "\x80", false}, {"truncated two", "\xC3", false}, {"bad continuation", "\xC3\x28", false},
        {"overlong C0", "\xC0\xAF", false}, {"overlong three", "\xE0\x80\xAF", false},
        {"overlong four", "\xF0\x8F\xBF\xBF", false}, {"high surrogate", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false}, {"F5 lead", "\xF5\x80\x80\x80", false},
        {"FF byte", "\xFF", false}, {"Windows-1252 e acute", "caf\xE9", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.name;
        // After a long ASCII run the bytes go through the word-at-a-time path.
        EXPECT_EQ(isValidUtf8(QByteArray(QByteArray(21, 'x') + c.bytes + "tail")), c.valid) << c.name;
    }
}

TEST(TextCodec, DecodesUtf8ElseWindows1252)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_TRUE((b >= 0x80 && b <= 0x9F) || text[b].unicode() == b) << b;
    const struct { int byte; char16_t ch; } high[] = {
        {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x82, u'\u201A'}, {0x85, u'\u2026'}, {0x9D, u'\u009D'},
        {0x9E, u'\u017E'}, {0x9F, u'\u0178'},
    };
    for (const auto &h : high)
        EXPECT_EQ(text[h.byte].unicode(), h.ch) << h.byte;
    const struct { QByteArray bytes; QString text; TextEncoding encoding; } cases[] = {
        {"", QString(), TextEncoding::Ascii}, {"README.TXT", "README.TXT", TextEncoding::Ascii},
        {"\xC3\xA9t\xC3\xA9", "été", TextEncoding::Utf8}, {"\xE9t\xE9", "été", TextEncoding::Windows1252},
        {"\xA3MD\xA4notes", "£MD¤notes", TextEncoding::Windows1252},
        // One bad byte makes the whole piece Windows-1252, valid pairs included.
        {"\xC3\xA9 \xE9", "Ã© é", TextEncoding::Windows1252},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(decodeText(c.bytes), c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(detectTextEncoding(c.bytes), c.encoding) << c.bytes.toHex().constData();
        EXPECT_EQ(decodeText(c.bytes, c.encoding), c.text);
    }
    // Captured text: the same decoding with NULs removed.
    EXPECT_EQ(decodeCapturedText(QByteArray("\xE9\0t\xE9", 4)), QStringLiteral("été"));
    EXPECT_EQ(decodeCapturedText(QByteArray("\xC3\xA9\0", 3)), QStringLiteral("é"));
    EXPECT_EQ(decodeCapturedText(QByteArray("\0\0", 2)), QString());
}

} // namespace
} // namespace vorn
