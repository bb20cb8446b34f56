#include "capture/ArchiveNames.h"

#include "common/TextCodec.h"

#include <QDate>

namespace vorn {

namespace {

// Code page 850, bytes 0x80 to 0xFF.
constexpr char16_t kOem850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

} // namespace

QString decodeOem850(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += b < 0x80 ? QChar(char16_t(b)) : QChar(kOem850High[b - 0x80]);
    }
    return text;
}

QString decodeArchiveName(QByteArrayView bytes, LegacyNames legacy)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return legacy == LegacyNames::Oem850 ? decodeOem850(bytes) : decodeWindows1252(bytes);
}

void setMemberPath(ArchiveMember &member, const QString &storedPath)
{
    QString path = storedPath;
    path.replace(u'/', u'\\');
    if (path.endsWith(u'\\')) {
        member.folder = true;
        while (path.endsWith(u'\\'))
            path.chop(1);
        member.name.clear();
        member.path = path;
        return;
    }
    const qsizetype cut = path.lastIndexOf(u'\\');
    if (cut < 0) {
        member.name = path;
        member.path.clear();
    } else {
        member.name = path.mid(cut + 1);
        member.path = path.left(cut);
    }
}

QString memberStoredPath(const ArchiveMember &member)
{
    if (member.path.isEmpty())
        return member.name;
    if (member.name.isEmpty())
        return member.path;
    return member.path + u'\\' + member.name;
}

double dayNumberFromDos(quint16 dosDate, quint16 dosTime, bool withSeconds)
{
    const QDate date(1980 + (dosDate >> 9), (dosDate >> 5) & 0x0F, dosDate & 0x1F);
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = withSeconds ? (dosTime & 0x1F) * 2 : 0;
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return 0;
    const qint64 days = QDate(1899, 12, 30).daysTo(date);
    return double(days) + double(hour * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace vorn
