#pragma once

#include "capture/ArchiveMembers.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Writers of small archives and program files, byte by byte, for the archive tests.
namespace vorn::test {

// What readArchiveMembers handed over, in the order it did.
struct Delivered { int index; MemberRequest::Want want; MemberContent content; };
std::vector<Delivered> readAll(ArchiveKind kind, const QString &path, const ArchiveListing &listing,
                               const std::vector<MemberRequest> &requests, UserPrompt *prompt = nullptr);
MemberRequest textRequest(int index, qint64 limit = 1 << 20);
MemberRequest mp3Request(int index);
// An MP3 file: a version 2.3 tag with a title frame (25 bytes in all), `audioBytes`
// of frames, and a version 1 tag.
QByteArray mp3Bytes(int audioBytes);

// DOS date and time fields.
quint16 dosDate(int year, int month, int day);
quint16 dosTime(int hour, int minute, int second);

// ---- ZIP, stored members only, with full control over every field.
struct RawZipEntry
{
    RawZipEntry(QByteArray name, QByteArray data) : name(std::move(name)), data(std::move(data)) {}
    QByteArray name;                 // stored bytes
    QByteArray data;
    qint64 claimedSize = -1;         // uncompressed size written in the headers; -1: the real one
    quint16 flags = 0;               // general purpose flags (bit 0 encrypted, bit 11 UTF-8)
    quint16 versionMadeBy = 20;      // high byte: host (0 DOS, 3 Unix, 11 NTFS)
    quint16 date = 0x5A21;
    quint16 time = 0x6000;
    QByteArray extra;                // central directory extra field
};
// `prefix` goes in front (a program stub); `adjustOffsets` moves the recorded offsets
// past it, as self-extracting programs made by a zip tool do. More than 65535 members
// get ZIP64 end records, or with `wrapCount` a member count cut to 16 bits. A claimed
// size of 4 GB or more goes in a ZIP64 extra field.
QByteArray makeRawZip(const std::vector<RawZipEntry> &entries, const QByteArray &prefix = {},
                      bool adjustOffsets = false, const QByteArray &comment = {},
                      bool wrapCount = false);

// ---- ZIP through libzip (deflate, encryption).
struct ZipEntry
{
    ZipEntry(QString name, QByteArray data = {}, bool deflate = true, QByteArray password = {},
             quint16 date = 0, quint16 time = 0)
        : name(std::move(name)), data(std::move(data)), deflate(deflate),
          password(std::move(password)), date(date), time(time) {}
    QString name;                    // ends with "/" for a folder
    QByteArray data;
    bool deflate = true;
    QByteArray password;             // empty: not encrypted
    quint16 date = 0;                // 0: libzip's choice
    quint16 time = 0;
};
// Writes the archive to `path`; false on failure.
bool makeZipFile(const QString &path, const std::vector<ZipEntry> &entries, bool aes = false);

// ---- Cabinet, one stored folder.
struct CabEntry
{
    CabEntry(QByteArray name, QByteArray data, quint16 date = 0, quint16 time = 0)
        : name(std::move(name)), data(std::move(data)), date(date), time(time) {}
    QByteArray name;                 // stored bytes, "\" separators
    QByteArray data;
    quint16 date = 0;
    quint16 time = 0;
    quint16 attributes = 0x20;
};
QByteArray makeCab(const std::vector<CabEntry> &entries);

// ---- RAR, format of RAR 2.9 to 4, stored members.
struct Rar4Entry
{
    Rar4Entry(QString name, QByteArray data, quint32 dosDateTime = 0)
        : name(std::move(name)), data(std::move(data)), dosDateTime(dosDateTime) {}
    QString name;                    // "\" separators
    QByteArray data;
    quint32 dosDateTime = 0;         // date in the high 16 bits
    bool directory = false;
    bool encrypted = false;
    bool unicode = false;            // write the name in the Unicode form
    quint8 host = 2;                 // 2 Windows, 3 Unix
};
QByteArray makeRar4(const std::vector<Rar4Entry> &entries, bool solid = false, bool endBlock = true);

// ---- RAR 5, stored members.
struct Rar5Entry
{
    Rar5Entry(QString name, QByteArray data) : name(std::move(name)), data(std::move(data)) {}
    QString name;                    // "/" separators
    QByteArray data;
    qint64 unixTime = -1;            // -1: no time in the file header
    qint64 fileTime = -1;            // Windows file time in an extra record; -1: none
    bool directory = false;
    bool encrypted = false;          // adds an encryption record
};
QByteArray makeRar5(const std::vector<Rar5Entry> &entries, bool solid = false);

// ---- Icons and programs.
struct IconImage
{
    IconImage(int width, int height, QByteArray bytes)
        : width(width), height(height), bytes(std::move(bytes)) {}
    int width = 16;
    int height = 16;
    QByteArray bytes;                // the image as stored (any bytes will do)
};
// An .ico file holding the images.
QByteArray makeIco(const std::vector<IconImage> &images);

struct IconGroupResource
{
    IconGroupResource(int id, std::vector<IconImage> images, QString name = {})
        : id(id), images(std::move(images)), name(std::move(name)) {}
    int id = 1;                      // resource id of the group
    std::vector<IconImage> images;
    QString name;                    // non-empty: a named group instead of an id
};
// A 32-bit Windows program whose resources hold the icon groups in the given order
// (named ones first, as resource directories order them). `firstIconId` numbers the
// icon images.
QByteArray makePe(const std::vector<IconGroupResource> &groups, int firstIconId = 1);

// A program file without resources.
QByteArray makePeStub();

} // namespace vorn::test
