#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace vorn {

struct Catalogue;

// ZIP operations on disc archives and the icon store. Every write goes to a temporary
// file that replaces the archive only once complete, so a failed write never damages
// the archive that was there.
namespace DiscArchive {

// The member extensions in pack order with their bits in the member flag word.
QStringList memberExtensions(int memberFlags);

// Packs the working copies selected by `memberFlags` (temporary folder & id & extension)
// into data folder & id & ".VORN", replacing same-named members, and sets the comment.
// A selected working copy that is missing is skipped (the archive keeps its member).
// Level 0 stores, 1-9 deflate. `error` receives a message on failure.
bool pack(const Catalogue &catalogue, const QString &identifier, int memberFlags, const QString &comment, int level,
          QString *error = nullptr);

// Packs the given files under their bare names into any archive (the icon store).
bool packFiles(const QStringList &files, const QString &archivePath, const QString &comment, int level = 9,
               QString *error = nullptr);

// Removes the member of that name (ignoring case) from any archive; the archive is
// deleted when it would be left empty. True when the member is gone (or never was).
bool removeMember(const QString &archivePath, const QString &memberName, QString *error = nullptr);

// Extracts every member matching "*" & extension (ignoring case) for each extension of
// the ";"-terminated list into the temporary folder, overwriting; an empty list
// extracts all. A member that is not in the archive is not an error. Returns false
// when the archive cannot be opened or a member cannot be written.
bool unpack(const Catalogue &catalogue, const QString &identifier, const QString &extensions);
bool unpackArchive(const QString &archivePath, const QString &extensions, const QString &targetFolder);

// The archive comment; empty text when the archive is missing or has no comment.
QString readComment(const QString &archivePath);
// The comment, or nullopt when the archive is missing or is not a readable ZIP.
std::optional<QString> tryReadComment(const QString &archivePath, QString *error = nullptr);

// Reads one member into memory (exact name, ignoring case); nullopt when absent or
// unreadable. Used where working copies must not be touched.
std::optional<QByteArray> readMember(const QString &archivePath, const QString &memberName);

// Reads the members of disc archives matching one of the ";"-terminated extensions
// into memory, in archive order, reusing its buffers from one archive to the next
// (a search reads thousands). Members over the size limit are skipped.
class MemberReader
{
public:
    struct Member
    {
        QString name; // bare name
        QByteArrayView data; // valid until the next read
    };
    // False when the archive's end cannot be read (the test tryReadComment makes).
    bool read(const QString &archivePath, const QString &extensions, qint64 sizeLimit);
    const std::vector<Member> &members() const { return m_members; }

private:
    bool readWithLibrary(const QString &archivePath, const QString &extensions, qint64 sizeLimit);

    QByteArray m_content;
    std::vector<QByteArray> m_buffers;
    std::vector<Member> m_members;
};

// Reads every member matching one of the ";"-terminated extensions into memory, in
// archive order, as (bare name, bytes); members over `sizeLimit` bytes are skipped.
// `readable` tells whether the archive's end could be read at all, the test
// tryReadComment makes.
std::vector<std::pair<QString, QByteArray>> readMembers(const QString &archivePath, const QString &extensions,
                                                        qint64 sizeLimit, bool *readable = nullptr);

} // namespace DiscArchive
} // namespace vorn
