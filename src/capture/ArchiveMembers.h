#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace vorn {

class UserPrompt;

// One member of an archive found on a disc.
struct ArchiveMember
{
    QString name; // after the last separator; empty for a folder entry of a ZIP
    qint64 size = 0; // uncompressed bytes
    double date = 0; // day number (common/DayDate.h)
    QString path; // folder inside the archive, "\" separators, no trailing one
    bool encrypted = false;
    bool folder = false; // the entry stands for a folder, not a file
    quint32 crc = 0; // stored CRC-32 of the data, where the format keeps one
};

using MemberList = std::vector<ArchiveMember>;

enum class ArchiveKind { Zip = 2, Cab = 4, Rar = 8 };

// A member list stops here, whatever the archive claims.
inline constexpr std::size_t kMaxArchiveMembers = 1000000;

struct ArchiveListing
{
    MemberList members;
    bool damaged = false; // reading stopped at damaged data; `members` holds what came before
    QString error;
    bool recognised = false; // the file is an archive of the kind asked for
    bool solid = false; // members are compressed as one stream (solid RAR)
    bool dataRefused = false; // our checks found data the reading library would misread
    qint64 archiveStart = 0; // where the archive begins inside the file (self-extracting programs)
};

// Lists an archive's members in stored order. A file that is not an archive of that
// kind gives an empty, unrecognised listing; a damaged one lists the members read
// before the damage. Never more than kMaxArchiveMembers.
ArchiveListing listArchiveMembers(ArchiveKind kind, const QString &hostPath);

struct MemberRequest
{
    int index = 0; // into listing.members
    enum class Want { Text, Mp3 } want = Want::Text;
    qint64 limit = 0; // Text: the most bytes taken (the capture limit)
};

struct MemberContent
{
    QByteArray head;
    QByteArray tail128;
    qint64 size = 0;
    bool complete = false;
};

// The most bytes of a member decompressed for its MP3 tags.
inline constexpr qint64 kMp3StreamLimit = 64 * 1024 * 1024;

// Reads the requested members in one pass over the archive and hands each request's
// content to `consumer`, once per request, in member order.
// Text: head = the whole member, complete = true, only when it is at most `limit`
// bytes; otherwise (too large, encrypted without its password, unreadable) head is
// empty and complete is false.
// Mp3: head = the first bytes (the version 2 tag header and the tag it announces, at
// least the first 10 bytes, never more than kMp3StreamLimit), tail128 = the last 128
// bytes (fewer for a shorter member), size = the member's length; complete is false
// when the stream could not be read to its end within kMp3StreamLimit bytes (head
// may still hold what was read).
// An encrypted ZIP member wanted as text asks the user for the password through
// `prompt` ("Please Enter The Password!"); an empty answer stops all asking until
// resetZipPasswordRefusal(). Passwords given are tried on the archive's later
// encrypted members. Encrypted RAR members are never read.
void readArchiveMembers(ArchiveKind kind, const QString &hostPath, const ArchiveListing &listing,
                        const std::vector<MemberRequest> &requests,
                        const std::function<void(const MemberRequest &, const MemberContent &)> &consumer,
                        UserPrompt *prompt);

// The program-wide "no more password questions" state, set by an empty answer.
bool zipPasswordRefused();
void resetZipPasswordRefusal();

} // namespace vorn
