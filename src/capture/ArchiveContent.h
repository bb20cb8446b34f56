#pragma once

#include "capture/ArchiveMembers.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

namespace vorn {

// Gathers what one request wants from a member's decompressed stream, fed in pieces.
class ContentCollector
{
public:
    ContentCollector(const MemberRequest &request, qint64 listedSize);

    // Takes the next piece; false once nothing more is wanted (the stream may stop).
    bool add(QByteArrayView piece);
    // Whether the stream must be read on: false when it may be left where it is.
    bool wantsMore() const { return !m_done; }
    // How many bytes from the start the request needs at least (MP3: the tag header
    // and the tag it announces); known once the first 10 bytes came.
    qint64 headWanted() const { return m_headWanted; }
    // Tells the collector the member's last bytes directly (a seekable stored member),
    // so the stream between head and tail need not be read.
    void setTail(QByteArrayView last, qint64 totalSize);

    // The result; `reachedEnd` says the stream ended normally, `failed` that reading
    // stopped on an error.
    MemberContent finish(bool reachedEnd, bool failed) const;

private:
    void updateHeadWanted();

    MemberRequest m_request;
    qint64 m_listedSize = 0;
    QByteArray m_head;
    QByteArray m_tail;
    qint64 m_total = 0;
    qint64 m_headWanted = 10;
    bool m_done = false;
    bool m_overflow = false;
    bool m_tailGiven = false;
    qint64 m_tailTotal = 0;
};

// The bytes of the ID3 version 2 tag at the start of a stream (header, tag and
// footer), from its first 10 bytes; 10 when there is none. Capped at kMp3StreamLimit.
qint64 id3HeadLength(QByteArrayView first10);

using MemberConsumer = std::function<void(const MemberRequest &, const MemberContent &)>;

// The requests of one member.
struct PendingMember
{
    int index = 0;
    std::vector<MemberRequest> requests;
};

// Sorts requests into member order, one entry per member. Requests naming no member
// of the listing are answered at once as unreadable.
std::vector<PendingMember> groupRequests(const std::vector<MemberRequest> &requests, const ArchiveListing &listing,
                                         const MemberConsumer &consumer);

// Answers every request of a member as unreadable.
void deliverUnread(const PendingMember &pending, const ArchiveListing &listing, const MemberConsumer &consumer);

// Feeds one member's stream to its requests' collectors and answers them. `readPiece`
// gives the next piece (empty at the end) and sets `failed` on an error.
void collectMember(const PendingMember &pending, const ArchiveListing &listing,
                   const std::function<QByteArrayView(bool &failed)> &readPiece, const MemberConsumer &consumer);

} // namespace vorn
