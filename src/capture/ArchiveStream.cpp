#include "capture/ArchiveStream.h"

#include "capture/ArchiveNames.h"

#include "common/RegularFile.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

namespace vorn {

namespace {

// How far past the last recognised member an entry is looked for.
constexpr std::size_t kMatchWindow = 64;
// The most bytes decompressed only to keep a solid archive's stream in step.
constexpr qint64 kSolidDiscardLimit = qint64(512) * 1024 * 1024;

QString entryPath(archive_entry *entry)
{
    if (const char *bytes = archive_entry_pathname(entry))
        return decodeArchiveName(QByteArrayView(bytes), LegacyNames::Oem850);
    if (const wchar_t *wide = archive_entry_pathname_w(entry))
        return QString::fromWCharArray(wide);
    return {};
}

int findMember(const ArchiveListing &listing, std::size_t cursor, const QString &key, qint64 size)
{
    // A name the library could not convert to the process's character set comes
    // without a path: it can only be the next member, when the size agrees.
    if (key.isEmpty()) {
        if (cursor < listing.members.size() && (size < 0 || size == listing.members[cursor].size))
            return int(cursor);
        return -1;
    }
    const std::size_t end = std::min(listing.members.size(), cursor + kMatchWindow);
    for (std::size_t i = cursor; i < end; ++i) {
        const ArchiveMember &member = listing.members[i];
        if (memberMatchKey(memberStoredPath(member)) != key)
            continue;
        if (size < 0 || member.folder || size == member.size)
            return int(i);
    }
    return -1;
}

// Decompresses the current entry and drops it; false on an error or past the budget.
bool discardEntry(archive *reader, qint64 &budget)
{
    const void *buffer = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    for (;;) {
        const int rc = archive_read_data_block(reader, &buffer, &size, &offset);
        if (rc == ARCHIVE_EOF)
            return true;
        if (rc < ARCHIVE_WARN)
            return false;
        budget -= qint64(size);
        if (budget < 0)
            return false;
    }
}

} // namespace

QString memberMatchKey(const QString &storedPath)
{
    QString key = storedPath;
    key.replace(u'/', u'\\');
    while (key.endsWith(u'\\'))
        key.chop(1);
    for (QChar &c : key) {
        if (c.unicode() >= 0x80)
            c = u'?';
    }
    return key;
}

void readWithLibarchive(ArchiveKind kind, const QString &hostPath, const ArchiveListing &listing,
                        const std::vector<MemberRequest> &requests, const MemberConsumer &consumer)
{
    const std::vector<PendingMember> pending = groupRequests(requests, listing, consumer);
    if (pending.empty())
        return;
    std::size_t next = 0;
    archive *reader = archive_read_new();
    if (kind == ArchiveKind::Cab) {
        archive_read_support_format_cab(reader);
    } else {
        archive_read_support_format_rar(reader);
        archive_read_support_format_rar5(reader);
    }
    const int fd = listing.recognised && !listing.dataRefused ? openRegularFile(QFile::encodeName(hostPath)) : -1;
    if (fd >= 0 && archive_read_open_fd(reader, fd, 64 * 1024) == ARCHIVE_OK) {
        std::size_t cursor = 0;
        qint64 discardBudget = kSolidDiscardLimit;
        int retries = 0;
        while (next < pending.size()) {
            archive_entry *entry = nullptr;
            const int rc = archive_read_next_header(reader, &entry);
            if (rc == ARCHIVE_RETRY && ++retries < 8)
                continue;
            if (rc < ARCHIVE_FAILED || rc == ARCHIVE_EOF || rc == ARCHIVE_RETRY)
                break;
            if (rc == ARCHIVE_FAILED)
                continue;
            const qint64 size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
            const int index = findMember(listing, cursor, memberMatchKey(entryPath(entry)), size);
            if (index < 0)
                continue;
            cursor = std::size_t(index) + 1;
            while (next < pending.size() && pending[next].index < index)
                deliverUnread(pending[next++], listing, consumer);
            if (next < pending.size() && pending[next].index == index) {
                const ArchiveMember &member = listing.members[std::size_t(index)];
                if (member.encrypted || archive_entry_is_data_encrypted(entry)) {
                    deliverUnread(pending[next], listing, consumer);
                } else {
                    collectMember(
                        pending[next], listing,
                        [&](bool &failed) -> QByteArrayView {
                            // An empty block that is not the end is read past.
                            for (int empty = 0; empty < 1000; ++empty) {
                                const void *buffer = nullptr;
                                size_t length = 0;
                                la_int64_t offset = 0;
                                const int result = archive_read_data_block(reader, &buffer, &length, &offset);
                                if (result == ARCHIVE_EOF)
                                    return {};
                                if (result < ARCHIVE_WARN)
                                    break;
                                if (length > 0)
                                    return QByteArrayView(static_cast<const char *>(buffer), qsizetype(length));
                            }
                            failed = true;
                            return {};
                        },
                        consumer);
                }
                ++next;
            } else if (listing.solid && !discardEntry(reader, discardBudget)) {
                break;
            }
        }
    }
    while (next < pending.size())
        deliverUnread(pending[next++], listing, consumer);
    archive_read_free(reader);
    if (fd >= 0)
        ::close(fd);
}

} // namespace vorn
