#pragma once

#include "capture/ArchiveMembers.h"
#include "common/DayDate.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <vector>

// Writers of small archives and program files, byte by byte, for the archive tests.
namespace vorn::test {

// A test with a temporary folder to write archives in, and no refused ZIP password
// left over from another test.
class ArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override { resetZipPasswordRefusal(); }
    void TearDown() override { resetZipPasswordRefusal(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        EXPECT_TRUE(writeFile(file(name), bytes));
        return file(name);
    }
    QTemporaryDir m_dir;
};

// What readArchiveMembers handed over, in the order it did.
struct Delivered { int index; MemberRequest::Want want; MemberContent content; };
std::vector<Delivered> readAll(ArchiveKind kind, const QString &path, const ArchiveListing &listing,
                               const std::vector<MemberRequest> &requests, UserPrompt *prompt = nullptr);
inline QList<QByteArray> heads(const std::vector<Delivered> &delivered)
{
    QList<QByteArray> list;
    for (const Delivered &d : delivered)
        list << d.content.head;
    return list;
}
inline MemberRequest textRequest(int index, qint64 limit = 1 << 20) { return {index, MemberRequest::Want::Text, limit}; }
inline MemberRequest mp3Request(int index) { return {index, MemberRequest::Want::Mp3, 0}; }
// An MP3 file: a version 2.3 tag with a title frame (25 bytes in all), `audioBytes`
// of frames, and a version 1 tag.
QByteArray mp3Bytes(int audioBytes);

inline quint16 dosDate(int year, int month, int day) { return quint16(((year - 1980) << 9) | (month << 5) | day); }
inline quint16 dosTime(int hour, int minute, int second) { return quint16((hour << 11) | (minute << 5) | (second / 2)); }

// Checks the listed members: name, path, size, folder, encrypted and (when valid) date.
struct ExpectedMember { QString name; QString path; qint64 size; bool folder; bool encrypted; QDateTime date; };
void expectMembers(const ArchiveListing &listing, const std::vector<ExpectedMember> &expected);

// Archive entries, fields in the order they are usually given. Names are stored as
// given ("\\" separators in CAB and RAR 4, "/" in ZIP and RAR 5).
struct RawZipEntry   // stored, every field under control
{
    QByteArray name, data;
    qint64 claimedSize = -1;         // uncompressed size written in the headers; -1: the real one
    quint16 flags = 0;               // general purpose flags (bit 11 UTF-8)
    quint16 versionMadeBy = 20;      // high byte: host (0 DOS, 3 Unix)
    QByteArray extra = {};           // central directory extra field
};
struct ZipEntry   // through libzip; a name ending in "/" is a folder
{
    QString name;
    QByteArray data = {};
    bool deflate = true;
    QByteArray password = {};        // empty: not encrypted
    quint16 date = 0, time = 0;      // 0: libzip's choice
};
struct CabEntry { QByteArray name, data; quint16 date = 0, time = 0; };
struct Rar4Entry   // RAR 2.9 to 4, stored
{
    QString name;
    QByteArray data;
    quint32 dosDateTime = 0;         // date in the high 16 bits
    bool directory = false, encrypted = false;
    bool unicode = false;            // write the name in the Unicode form
};
struct Rar5Entry
{
    QString name;
    QByteArray data;
    qint64 unixTime = -1;            // -1: no time in the file header
    qint64 fileTime = -1;            // Windows file time in an extra record; -1: none
    bool directory = false, encrypted = false;
};
// `prefix` goes in front (a program stub); `adjustOffsets` moves the recorded offsets
// past it. More than 65535 members get ZIP64 end records, or with `wrapCount` a member
// count cut to 16 bits. A claimed size of 4 GB or more goes in a ZIP64 extra field.
QByteArray makeRawZip(const std::vector<RawZipEntry> &entries, const QByteArray &prefix = {},
                      bool adjustOffsets = false, const QByteArray &comment = {}, bool wrapCount = false);
bool makeZipFile(const QString &path, const std::vector<ZipEntry> &entries);
QByteArray makeCab(const std::vector<CabEntry> &entries);   // one stored folder
QByteArray makeRar4(const std::vector<Rar4Entry> &entries, bool solid = false, bool endBlock = true);
QByteArray makeRar5(const std::vector<Rar5Entry> &entries, bool solid = false);

// Icons (square, any bytes as the image) and programs.
struct IconImage { int width = 16; QByteArray bytes; };
inline IconImage image(int size, char fill, int length) { return {size, QByteArray(length, fill)}; }
QByteArray makeIco(const std::vector<IconImage> &images);
struct IconGroupResource
{
    int id = 1;
    std::vector<IconImage> images;
    QString name = {};               // non-empty: a named group instead of an id
};
// A 32-bit Windows program whose resources hold the icon groups in the given order
// (named ones first, as resource directories order them); no groups: no resources.
QByteArray makePe(const std::vector<IconGroupResource> &groups);

} // namespace vorn::test

using namespace vorn;
using namespace vorn::test;
