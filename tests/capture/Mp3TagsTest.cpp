#include "capture/Mp3Tags.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vorn {
static void PrintTo(const Mp3Tags &t, std::ostream *os)
{
    *os << "{title " << t.title.toStdString() << ", album " << t.album.toStdString()
        << ", artist " << t.artist.toStdString() << ", comment " << t.comment.toStdString()
        << ", year " << t.year << ", track " << t.track.toStdString() << '}';
}
} // namespace vorn

using namespace vorn;

namespace {

template <size_t N>
QByteArray raw(const char (&text)[N]) { return QByteArray(text, N - 1); }

QByteArray bigEndianBytes(quint32 value, int count)
{
    QByteArray out;
    for (int i = count - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray synchsafeBytes(quint32 value)
{
    return bigEndianBytes(((value & 0x0FE00000) << 3) | ((value & 0x1FC000) << 2) | ((value & 0x3F80) << 1) | (value & 0x7F), 4);
}

QByteArray padded(QByteArray field, int length) { field.resize(length, '\0'); return field; }

// A version 1 block: "TAG", title, artist, album, year, comment, genre.
QByteArray v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album, const QByteArray &year,
              const QByteArray &comment)
{
    return "TAG" + padded(title, 30) + padded(artist, 30) + padded(album, 30) + padded(year, 4) + padded(comment, 30) + char(12);
}

QByteArray v2(int major, quint8 flags, const QByteArray &body)
{
    return "ID3" + QByteArray(1, char(major)) + '\0' + char(flags) + synchsafeBytes(quint32(body.size())) + body;
}

QByteArray frame22(const char *id, const QByteArray &data) { return id + bigEndianBytes(quint32(data.size()), 3) + data; }
QByteArray frame23(const char *id, const QByteArray &data, quint8 flags = 0)
{
    return id + bigEndianBytes(quint32(data.size()), 4) + '\0' + char(flags) + data;
}
QByteArray frame24(const char *id, const QByteArray &data, quint8 flags = 0)
{
    return id + synchsafeBytes(quint32(data.size())) + '\0' + char(flags) + data;
}
QByteArray text(int encoding, const QByteArray &bytes) { return char(encoding) + bytes; }
// MPEG frame sync and filler standing for the audio.
QByteArray audio(int size = 300) { return "\xFF\xFB\x90\x64" + QByteArray(size - 4, '\x55'); }

// A 00 after every FF, as an unsynchronising writer may do.
QByteArray unsynchronised(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes)
        out.append(quint8(c) == 0xFF ? QByteArray("\xFF\0", 2) : QByteArray(1, c));
    return out;
}

const QByteArray kV1 = v1("  Old Title ", "Old Artist", "Old Album", "1980", "Old comment");

struct Case { const char *name; QByteArray file; Mp3Tags expected; };

class Mp3TagsTest : public ::testing::Test
{
protected:
    // Reads the case as a disc file and as an archive member's parts; both must agree.
    void check(const Case &c)
    {
        const QString path = m_dir.filePath(QString::fromUtf8(c.name) + ".mp3");
        ASSERT_TRUE(test::writeFile(path, c.file));
        EXPECT_EQ(ReadMp3Tags(path), c.expected) << c.name;

        const qint64 total = c.file.size();
        const qint64 headLength = mp3HeadLength(c.file.left(10), total);
        EXPECT_EQ(readMp3TagsFromParts(c.file.left(headLength), c.file.right(128), total),
                  c.expected)
            << c.name << " from parts";
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Mp3TagsTest, Version1TagsAreTrimmedAndHaveNoTrack)
{
    const Case cases[] = {
        {"v1", audio() + kV1, {"Old Title", "Old Album", "Old Artist", "Old comment", 1980, ""}},
        {"v1-ansi", audio() + v1("Caf\xE9", "", "", "19a9", raw("Note\0\x05")),
         {QStringLiteral("Café"), "", "", "Note", 19, ""}},
        {"v1-utf8", audio() + v1("Zo\xC3\xAB", "  ", "", "abc", ""),
         {QStringLiteral("Zoë"), "", "", "", 0, ""}},
        {"short-file", "TAG" + QByteArray(100, 'x'), {}},
        {"no-tag", audio(), {}},
        {"empty-file", QByteArray(), {}},
    };
    for (const Case &c : cases)
        check(c);
}

TEST_F(Mp3TagsTest, Version2TagsReplaceVersion1AsAWhole)
{
    const QByteArray longTitle(200, 'L');
    const Case cases[] = {
        {"v22", v2(2, 0, frame22("TT2", text(0, "Title 22")) + frame22("TOA", text(0, "Original")) + frame22("TAL", text(0, "Album 22"))
                             + frame22("TP1", text(0, "Lead")) + frame22("TYE", text(0, "2001"))) + audio() + kV1,
         {"Title 22", "Album 22", "Lead", "", 2001, ""}},
        {"v23", v2(3, 0, frame23("TCON", text(0, "(17)")) + frame23("TIT2", text(0, "Title 23"))
                             + frame23("COMM", text(0, raw("eng\0comment"))) + frame23("TPE1", text(0, "Artist 23"))
                             + frame23("TALB", text(0, "Album 23")) + frame23("TYER", text(0, "1999"))
                             + frame23("TRCK", text(0, "3/12")) + QByteArray(64, '\0')) + audio() + kV1,
         {"Title 23", "Album 23", "Artist 23", "", 1999, "3/12"}},
        // 201 bytes is 01 49 as a synchsafe size and 00 C9 as a plain one.
        {"v24-synchsafe-frame-sizes", v2(4, 0, frame24("TIT2", text(3, longTitle)) + frame24("TPE1", text(3, "Artist 24"))
                                                   + frame24("TDRC", text(3, "2004-05-01")) + frame24("TRCK", text(3, "7"))) + audio(),
         {QString::fromLatin1(longTitle), "", "Artist 24", "", 2004, "7"}},
        {"v24-plain-frame-size", v2(4, 0, "TIT2" + bigEndianBytes(201, 4) + raw("\0\0") + text(0, longTitle)
                                              + frame24("TPE1", text(0, "After"))) + audio(),
         {QString::fromLatin1(longTitle), "", "After", "", 0, ""}},
        {"v24-year-frame-first", v2(4, 0, frame24("TDRC", text(0, "2010")) + frame24("TYER", text(0, "2011"))), {"", "", "", "", 2011, ""}},
        {"unknown-major-version", v2(5, 0, frame23("TIT2", text(0, "Five"))) + audio() + kV1, {}},
        {"v22-compressed-tag", v2(2, 0x40, frame22("TT2", text(0, "Packed"))) + audio() + kV1, {}},
        {"v23-no-frames", v2(3, 0, QByteArray(20, '\0')) + audio() + kV1, {}},
    };
    for (const Case &c : cases)
        check(c);
}

TEST_F(Mp3TagsTest, TextFramesAreDecodedByTheirEncodingByte)
{
    struct Text { const char *name; int major; QByteArray data; QString expected; };
    const Text texts[] = {
        {"latin1", 3, text(0, "\xC9t\xE9 \x80"), QStringLiteral("Été \u0080")},
        {"latin1-terminated", 3, text(0, raw("Title\0junk")), "Title"},
        {"utf16-le-bom", 3, text(1, raw("\xFF\xFEZ\0o\0\xEB\0")), QStringLiteral("Zoë")},
        {"utf16-be-bom", 3, text(1, raw("\xFE\xFF\0Z\0o\0\xEB")), QStringLiteral("Zoë")},
        {"utf16-values", 4, text(1, raw("\xFF\xFE" "A\0\0\0\xFF\xFE" "B\0")), "A"},
        {"utf16-odd-length", 3, text(1, raw("\xFF\xFEZ\0o")), "Z"},
        {"utf16be", 4, text(2, raw("\0Z\0o\0\xEB\0\0")), QStringLiteral("Zoë")},
        {"utf8", 4, text(3, "\xC3\x89t\xC3\xA9 \xE2\x82\xAC"), QStringLiteral("Été €")},
    };
    for (const Text &t : texts) {
        const QByteArray frame = t.major == 3 ? frame23("TIT2", t.data) : frame24("TIT2", t.data);
        check({t.name, v2(t.major, 0, frame) + audio(), {t.expected, "", "", "", 0, ""}});
    }
}

TEST_F(Mp3TagsTest, DamagedTagsKeepWhatWasReadAndNeverReadPastTheirBytes)
{
    const QByteArray titleFrame = frame23("TIT2", text(0, "Kept"));
    const QByteArray validBody = titleFrame + frame23("TPE1", text(0, "Artist"));
    // The header's tag size: beyond the file; not beyond it but past the bytes after the
    // header (read to the end); and damaged.
    const QByteArray file = v2(3, 0, validBody) + audio() + kV1;
    const QByteArray sizeBeyondFile = QByteArray(file).replace(6, 4, synchsafeBytes(quint32(file.size() + 1)));
    const QByteArray sizePastEnd = QByteArray(file).replace(6, 4, synchsafeBytes(quint32(file.size())));
    const QByteArray damagedHeaderSize = QByteArray(file).replace(6, 4, raw("\xFF\xFF\xFF\xFF"));
    const Mp3Tags kept{"Kept", "", "", "", 0, ""};
    const Case cases[] = {
        {"tag-size-beyond-file", sizeBeyondFile, {}},
        {"tag-size-damaged", damagedHeaderSize, {}},
        {"tag-size-past-end", sizePastEnd, {"Kept", "", "Artist", "", 0, ""}},
        {"frame-size-beyond-tag", v2(3, 0, titleFrame + "TALB" + bigEndianBytes(0x7FFFFFF0, 4) + raw("\0\0\0Cut short")) + audio() + kV1,
         {"Kept", "Cut short", "", "", 0, ""}},
        {"frame-size-zero-ends-reading", v2(3, 0, titleFrame + frame23("TALB", "") + frame23("TPE1", text(0, "Lost"))) + audio(), kept},
        {"garbage-after-frame", v2(3, 0, titleFrame + "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A" + frame23("TPE1", text(0, "Lost"))), kept},
        {"frame-header-cut", v2(3, 0, titleFrame + "TPE1\0\0"), kept},
        {"header-only", raw("ID3\x03\0\0\0\0\0\0"), {}},
        {"header-cut", raw("ID3\x03\0"), {}},
        {"extended-header-beyond-tag", v2(3, 0x40, bigEndianBytes(500, 4) + validBody) + audio() + kV1, {}},
        // Frames whose data cannot be read are passed over; a later frame of the same kind is taken.
        {"v23-compressed-encrypted-grouped", v2(3, 0, frame23("TIT2", text(0, "zipped"), 0x80) + frame23("TALB", text(0, "secret"), 0x40)
                                                          + frame23("TIT2", "\x07" + text(0, "Grouped"), 0x20) + frame23("TALB", text(0, "Plain"))),
         {"Grouped", "Plain", "", "", 0, ""}},
        {"v24-compressed-encrypted-grouped-length",
         v2(4, 0, frame24("TIT2", text(0, "zipped"), 0x08) + frame24("TALB", text(0, "secret"), 0x04)
                      + frame24("TIT2", "\x07" + synchsafeBytes(6) + text(0, "Title"), 0x41) + frame24("TALB", text(0, "Plain"))),
         {"Title", "Plain", "", "", 0, ""}},
        {"v24-frame-unsynchronised", v2(4, 0, frame24("TIT2", synchsafeBytes(4) + text(0, raw("A\xFF\0" "B")), 0x03)),
         {QStringLiteral("A\u00FF" "B"), "", "", "", 0, ""}},
        {"v24-tag-unsynchronised", v2(4, 0x80, frame24("TIT2", text(1, raw("\xFF\0\xFEZ\0")))), {"Z", "", "", "", 0, ""}},
        {"v23-tag-unsynchronised", v2(3, 0x80, unsynchronised(frame23("TIT2", text(1, raw("\xFF\xFEZ\0o\0"))) + frame23("TALB", text(0, "\xFF\xFF")))),
         {"Zo", QStringLiteral("\u00FF\u00FF"), "", "", 0, ""}},
        {"v23-extended-header", v2(3, 0x40, bigEndianBytes(6, 4) + QByteArray(6, '\0') + validBody), {"Kept", "", "Artist", "", 0, ""}},
        {"v24-extended-header", v2(4, 0x40, synchsafeBytes(6) + raw("\x01\0") + frame24("TIT2", text(0, "Kept"))), kept},
        // Frame names inside other frames' texts are not frames.
        {"v23-name-inside-a-text", v2(3, 0, frame23("COMM", text(0, raw("eng\0TIT2\0\0\0\x05\0\0\0Wrong"))) + titleFrame), kept},
        {"v22-name-inside-a-text", v2(2, 0, frame22("TT2", text(0, "TOTAL ECLIPSE")) + frame22("TAL", text(0, "Album"))),
         {"TOTAL ECLIPSE", "Album", "", "", 0, ""}},
    };
    for (const Case &c : cases)
        check(c);
}

TEST_F(Mp3TagsTest, ATagOfTwoMegabytesOrMoreIsReadWhole)
{
    const QByteArray body = frame23("TIT2", text(0, "First")) + frame23("APIC", QByteArray(1 << 21, '\x42'))
                          + frame23("TALB", text(0, "After the picture"));
    const QByteArray file = v2(3, 0, body) + audio();
    ASSERT_EQ(file[6], 1);
    check({"large-tag", file, {"First", "After the picture", "", "", 0, ""}});
}

TEST(Mp3HeadTest, HeadLengthCoversTheAnnouncedTagUpToTheReadLimit)
{
    const QByteArray header = v2(3, 0, QByteArray(100, '\0')).left(10);
    QByteArray huge = header;
    huge.replace(6, 4, synchsafeBytes(200 * 1024 * 1024));
    struct Case { const char *name; QByteArray first; qint64 total; qint64 expected; };
    const Case cases[] = {
        {"tag", header, 5000, 110},
        {"tag-beyond-file", header, 99, 10},
        {"tag-past-end", header, 105, 105},
        {"limit", huge, qint64(300) * 1024 * 1024, 10 + kMp3TagReadLimit},
        {"no-tag", audio().left(10), 5000, 10},
        {"tiny-file", raw("ID3"), 3, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mp3HeadLength(c.first, c.total), c.expected) << c.name;

    // A stream that ended inside the tag still gives the frames it held.
    const QByteArray file = v2(3, 0, frame23("TIT2", text(0, "Whole")) + frame23("TALB", text(0, "Partial")))
                          + audio() + kV1;
    EXPECT_EQ(readMp3TagsFromParts(file.left(40), file.right(128), file.size()),
              (Mp3Tags{"Whole", "Par", "", "", 0, ""}));
}

TEST(Mp3SummaryTest, ArtistAndTitleOrTheMarkerAlone)
{
    EXPECT_EQ(mp3Summary({"Song", "Album", "Band", "c", 1999, "1"}), "[MP3] Band : Song");
    EXPECT_EQ(mp3Summary({"Song", "", "", "", 0, ""}), "[MP3]  : Song");
    EXPECT_EQ(mp3Summary({"", "Album", "", "comment", 1999, "1"}), "[MP3] ");
    for (const char *name : {"a.mp3", "B.MP3", "c.Mp3", ".mp3"})
        EXPECT_TRUE(hasMp3Extension(QString::fromUtf8(name))) << name;
    for (const char *name : {"a.mp3.txt", "mp3", "a.mp", "a_mp3"})
        EXPECT_FALSE(hasMp3Extension(QString::fromUtf8(name))) << name;
}
