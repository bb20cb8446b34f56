#include "capture/Mp3Tags.h"

#include "common/TextCodec.h"

#include "common/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace vorn {

namespace {

constexpr qsizetype kHeaderSize = 10;
constexpr qsizetype kVersion1Size = 128;

// Tag header flags.
constexpr quint8 kTagUnsynchronised = 0x80;
constexpr quint8 kTagExtendedHeader = 0x40; // 2.3 and 2.4
constexpr quint8 kTag22Compressed = 0x40; // 2.2: the whole tag is compressed

// Second frame flags byte, version 2.3.
constexpr quint8 kFrame23Compressed = 0x80;
constexpr quint8 kFrame23Encrypted = 0x40;
constexpr quint8 kFrame23Grouped = 0x20;
// Second frame flags byte, version 2.4.
constexpr quint8 kFrame24Grouped = 0x40;
constexpr quint8 kFrame24Compressed = 0x08;
constexpr quint8 kFrame24Encrypted = 0x04;
constexpr quint8 kFrame24Unsynchronised = 0x02;
constexpr quint8 kFrame24LengthIndicator = 0x01;

inline quint8 byteAt(QByteArrayView bytes, qsizetype i)
{
    return quint8(bytes[i]);
}

qint64 bigEndian(QByteArrayView bytes, qsizetype at, int count)
{
    qint64 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

// Four 7-bit groups, most significant first. A byte with its top bit set is taken as
// it stands, so a damaged size only grows.
qint64 synchsafe(QByteArrayView bytes, qsizetype at)
{
    return (qint64(byteAt(bytes, at)) << 21) + (qint64(byteAt(bytes, at + 1)) << 14)
        + (qint64(byteAt(bytes, at + 2)) << 7) + byteAt(bytes, at + 3);
}

// A 2.4 frame size. Some writers store plain 32-bit sizes in 2.4 tags; a byte with
// its top bit set cannot be part of a synchsafe number and marks one of those.
qint64 frameSize24(QByteArrayView bytes, qsizetype at)
{
    for (int i = 0; i < 4; ++i) {
        if (byteAt(bytes, at + i) & 0x80)
            return bigEndian(bytes, at, 4);
    }
    return synchsafe(bytes, at);
}

// Undoes unsynchronisation: every 0x00 that follows a 0xFF is dropped.
QByteArray resynchronise(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i) {
        out.append(bytes[i]);
        if (byteAt(bytes, i) == 0xFF && i + 1 < n && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

QStringView trimSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.sliced(first, last - first);
}

// The leading digits of a text (after spaces) as a number; 0 without digits.
qint32 yearValue(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
    }
    return qint32(value);
}

QByteArrayView beforeNul(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

struct Version2Header
{
    int major = 0;
    quint8 flags = 0;
    qint64 size = 0;
};

// Only the "D3" of "ID3" is looked at: a file whose second byte is 250 or 251 starts
// with an MPEG frame and has no tag.
std::optional<Version2Header> version2Header(QByteArrayView head)
{
    if (head.size() < kHeaderSize || head[1] != 'D' || head[2] != '3')
        return std::nullopt;
    return Version2Header{byteAt(head, 3), byteAt(head, 5), synchsafe(head, 6)};
}

TagRecord readVersion1(QByteArrayView block)
{
    const auto field = [block](qsizetype offset, qsizetype length) {
        return trimSpaces(decodeText(beforeNul(block.sliced(offset, length)))).toString();
    };
    TagRecord tags;
    tags.title = field(3, 30);
    tags.artist = field(33, 30);
    tags.album = field(63, 30);
    tags.year = yearValue(field(93, 4));
    tags.comment = field(97, 30);
    return tags;
}

QString utf16Text(QByteArrayView bytes, bool bigEndianByDefault)
{
    bool bigEndian = bigEndianByDefault;
    qsizetype i = 0;
    if (bytes.size() >= 2) {
        if (byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xFE) {
            bigEndian = false;
            i = 2;
        } else if (byteAt(bytes, 0) == 0xFE && byteAt(bytes, 1) == 0xFF) {
            bigEndian = true;
            i = 2;
        }
    }
    QString text;
    text.reserve((bytes.size() - i) / 2);
    for (; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = bigEndian ? char16_t(byteAt(bytes, i) << 8 | byteAt(bytes, i + 1))
                                        : char16_t(byteAt(bytes, i + 1) << 8 | byteAt(bytes, i));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

// Frame text after its encoding byte, up to the first terminator (a 2.4 frame may
// hold several values; the first is taken).
QString frameText(quint8 encoding, QByteArrayView bytes)
{
    switch (encoding) {
    case 1:
        return utf16Text(bytes, false);
    case 2:
        return utf16Text(bytes, true);
    case 3:
        return QString::fromUtf8(beforeNul(bytes));
    default:
        return QString::fromLatin1(beforeNul(bytes));
    }
}

enum Field { Title, Album, Artist, Year, Track, RecordingTime, FieldCount, NoField = FieldCount };

Field fieldOf(QByteArrayView id, int major)
{
    if (major == 2) {
        if (id == "TT2")
            return Title;
        if (id == "TAL")
            return Album;
        if (id == "TP1")
            return Artist;
        if (id == "TYE")
            return Year;
        return NoField; // no track is taken from a 2.2 tag
    }
    if (id == "TIT2")
        return Title;
    if (id == "TALB")
        return Album;
    if (id == "TPE1")
        return Artist;
    if (id == "TYER")
        return Year;
    if (id == "TRCK")
        return Track;
    if (major == 4 && id == "TDRC")
        return RecordingTime;
    return NoField;
}

bool isFrameId(QByteArrayView id)
{
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// The text of one frame's data, or nothing for a frame that cannot be read
// (compressed or encrypted).
std::optional<QString> readFrame(int major, quint8 frameFlags, bool tagUnsynchronised, QByteArrayView data)
{
    const auto skip = [&data](qsizetype count) { data = data.sliced(std::min(count, data.size())); };
    QByteArray resynchronised;
    if (major == 3) {
        if (frameFlags & (kFrame23Compressed | kFrame23Encrypted))
            return std::nullopt;
        if (frameFlags & kFrame23Grouped)
            skip(1);
    } else if (major == 4) {
        if (frameFlags & (kFrame24Compressed | kFrame24Encrypted))
            return std::nullopt;
        if (frameFlags & kFrame24Grouped)
            skip(1);
        if (frameFlags & kFrame24LengthIndicator)
            skip(4);
        if ((frameFlags & kFrame24Unsynchronised) || tagUnsynchronised) {
            resynchronised = resynchronise(data);
            data = resynchronised;
        }
    }
    if (data.isEmpty())
        return QString();
    return frameText(byteAt(data, 0), data.sliced(1));
}

TagRecord readVersion2(const Version2Header &header, QByteArrayView body)
{
    const int major = header.major;
    if (major < 2 || major > 4)
        return {};
    if (major == 2 && (header.flags & kTag22Compressed))
        return {};

    // In 2.2 and 2.3 the whole tag is unsynchronised and frame sizes count the
    // restored bytes; in 2.4 each frame is restored on its own.
    QByteArray resynchronised;
    const bool tagUnsynchronised = header.flags & kTagUnsynchronised;
    if (major < 4 && tagUnsynchronised) {
        resynchronised = resynchronise(body);
        body = resynchronised;
    }

    qsizetype pos = 0;
    if (major >= 3 && (header.flags & kTagExtendedHeader)) {
        if (body.size() < 4)
            return {};
        const qint64 extended = major == 3 ? 4 + bigEndian(body, 0, 4) : synchsafe(body, 0);
        if (extended < 6 || extended > body.size())
            return {};
        pos = qsizetype(extended);
    }

    const qsizetype idLength = major == 2 ? 3 : 4;
    const qsizetype frameHeader = major == 2 ? 6 : 10;
    std::array<std::optional<QString>, FieldCount> found;
    while (pos + frameHeader <= body.size()) {
        const QByteArrayView id = body.sliced(pos, idLength);
        if (!isFrameId(id))
            break; // padding or damage
        const qint64 size = major == 2 ? bigEndian(body, pos + 3, 3)
            : major == 3               ? bigEndian(body, pos + 4, 4)
                                       : frameSize24(body, pos + 4);
        if (size == 0)
            break;
        const qsizetype dataStart = pos + frameHeader;
        const qsizetype available = body.size() - dataStart;
        const bool cut = size > available;
        const Field field = fieldOf(id, major);
        if (field != NoField && !found[field]) {
            const quint8 flags = major == 2 ? 0 : byteAt(body, pos + 9);
            found[field] =
                readFrame(major, flags, tagUnsynchronised, body.sliced(dataStart, cut ? available : qsizetype(size)));
        }
        if (cut)
            break;
        pos = dataStart + qsizetype(size);
    }

    TagRecord tags;
    tags.title = found[Title].value_or(QString());
    tags.album = found[Album].value_or(QString());
    tags.artist = found[Artist].value_or(QString());
    tags.track = found[Track].value_or(QString());
    if (found[Year])
        tags.year = yearValue(*found[Year]);
    else if (found[RecordingTime])
        tags.year = yearValue(*found[RecordingTime]);
    return tags;
}

} // namespace

bool hasMp3Extension(QStringView name)
{
    return name.endsWith(u".MP3", Qt::CaseInsensitive);
}

qint64 mp3HeadLength(QByteArrayView firstBytes, qint64 totalSize)
{
    const qint64 total = std::max<qint64>(totalSize, 0);
    const std::optional<Version2Header> header = version2Header(firstBytes);
    if (!header || header->size > total)
        return std::min<qint64>(kHeaderSize, total);
    return std::min(total, kHeaderSize + std::min(header->size, kMp3TagReadLimit));
}

TagRecord readMp3TagsFromParts(QByteArrayView head, QByteArrayView last128, qint64 totalSize)
{
    const std::optional<Version2Header> header = version2Header(head);
    // A tag announcing more than the whole file is not trusted, nor is anything else.
    if (header && header->size > totalSize)
        return {};

    TagRecord tags;
    if (totalSize >= kVersion1Size && last128.size() >= kVersion1Size) {
        const QByteArrayView block = last128.last(kVersion1Size);
        if (block.startsWith("TAG"))
            tags = readVersion1(block);
    }
    if (header) {
        const qsizetype available = head.size() - kHeaderSize;
        tags = readVersion2(*header, head.sliced(kHeaderSize, qsizetype(std::min<qint64>(header->size, available))));
    }
    return tags;
}

TagRecord ReadMp3Tags(const QString &hostPath)
{
    const std::unique_ptr<QFile> file = openRegularQFile(hostPath);
    if (!file)
        return {};
    const qint64 total = file->size();
    QByteArray head = file->read(kHeaderSize);
    const qint64 needed = mp3HeadLength(head, total);
    if (needed > head.size())
        head += file->read(needed - head.size());
    QByteArray last;
    if (total >= kVersion1Size && file->seek(total - kVersion1Size))
        last = file->read(kVersion1Size);
    return readMp3TagsFromParts(head, last, total);
}

QString mp3Summary(const TagRecord &tags)
{
    if (tags.artist.isEmpty() && tags.title.isEmpty())
        return QStringLiteral("[MP3] ");
    return QStringLiteral("[MP3] ") + tags.artist + QStringLiteral(" : ") + tags.title;
}

} // namespace vorn
