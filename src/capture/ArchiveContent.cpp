#include "capture/ArchiveContent.h"

#include <algorithm>

namespace vorn {

qint64 id3HeadLength(QByteArrayView first10)
{
    if (first10.size() < 10 || !first10.startsWith("ID3"))
        return 10;
    const auto byte = [&](int i) { return qint64(static_cast<unsigned char>(first10[i])); };
    qint64 length = 10 + byte(6) * (1 << 21) + byte(7) * (1 << 14) + byte(8) * (1 << 7) + byte(9);
    if (byte(3) == 4 && (byte(5) & 0x10))
        length += 10; // footer
    return std::min(length, kMp3StreamLimit);
}

ContentCollector::ContentCollector(const MemberRequest &request, qint64 listedSize)
    : m_request(request), m_listedSize(listedSize)
{
    if (m_request.want == MemberRequest::Want::Text && listedSize > m_request.limit)
        m_done = m_overflow = true;
}

void ContentCollector::updateHeadWanted()
{
    if (m_head.size() >= 10 && m_headWanted == 10)
        m_headWanted = std::max<qint64>(10, id3HeadLength(QByteArrayView(m_head).first(10)));
}

bool ContentCollector::add(QByteArrayView piece)
{
    if (m_done || piece.isEmpty())
        return !m_done;
    m_total += piece.size();
    if (m_request.want == MemberRequest::Want::Text) {
        if (m_total > m_request.limit) {
            // More than the member claimed and more than may be taken.
            m_overflow = true;
            m_done = true;
            m_head.clear();
            return false;
        }
        m_head.append(piece.data(), piece.size());
        return true;
    }

    // MP3: the head, then a rolling window over the last 128 bytes.
    qsizetype used = 0;
    while (used < piece.size() && m_head.size() < m_headWanted) {
        const qsizetype take = std::min<qsizetype>(piece.size() - used, m_headWanted - m_head.size());
        m_head.append(piece.data() + used, take);
        used += take;
        updateHeadWanted();
    }
    if (piece.size() >= 128) {
        m_tail = piece.last(128).toByteArray();
    } else {
        m_tail.append(piece.data(), piece.size());
        if (m_tail.size() > 128)
            m_tail.remove(0, m_tail.size() - 128);
    }
    if (m_total > kMp3StreamLimit) {
        m_overflow = true;
        m_done = true;
        return false;
    }
    return true;
}

void ContentCollector::setTail(QByteArrayView last, qint64 totalSize)
{
    m_tail = last.toByteArray();
    m_tailGiven = true;
    m_tailTotal = totalSize;
    m_done = true;
}

MemberContent ContentCollector::finish(bool reachedEnd, bool failed) const
{
    MemberContent content;
    if (m_request.want == MemberRequest::Want::Text) {
        content.size = m_listedSize;
        if (reachedEnd && !failed && !m_overflow) {
            content.head = m_head;
            content.size = m_total;
            content.complete = true;
        }
        return content;
    }
    content.head = m_head;
    if (m_tailGiven) {
        content.tail128 = m_tail;
        content.size = m_tailTotal;
        content.complete = !failed;
        return content;
    }
    if (reachedEnd && !failed && !m_overflow) {
        content.tail128 = m_tail;
        content.size = m_total;
        content.complete = true;
    } else {
        content.size = m_listedSize;
    }
    return content;
}

std::vector<PendingMember> groupRequests(const std::vector<MemberRequest> &requests, const ArchiveListing &listing,
                                         const MemberConsumer &consumer)
{
    std::vector<MemberRequest> sorted;
    sorted.reserve(requests.size());
    for (const MemberRequest &request : requests) {
        if (request.index < 0 || std::size_t(request.index) >= listing.members.size())
            consumer(request, MemberContent{});
        else
            sorted.push_back(request);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MemberRequest &a, const MemberRequest &b) { return a.index < b.index; });
    std::vector<PendingMember> groups;
    for (const MemberRequest &request : sorted) {
        if (groups.empty() || groups.back().index != request.index)
            groups.push_back(PendingMember{request.index, {}});
        groups.back().requests.push_back(request);
    }
    return groups;
}

void deliverUnread(const PendingMember &pending, const ArchiveListing &listing, const MemberConsumer &consumer)
{
    const qint64 size = listing.members[std::size_t(pending.index)].size;
    for (const MemberRequest &request : pending.requests) {
        MemberContent content;
        content.size = size;
        consumer(request, content);
    }
}

void collectMember(const PendingMember &pending, const ArchiveListing &listing,
                   const std::function<QByteArrayView(bool &failed)> &readPiece, const MemberConsumer &consumer)
{
    const qint64 size = listing.members[std::size_t(pending.index)].size;
    std::vector<ContentCollector> collectors;
    collectors.reserve(pending.requests.size());
    for (const MemberRequest &request : pending.requests)
        collectors.emplace_back(request, size);

    const auto anyWantsMore = [&] {
        return std::any_of(collectors.begin(), collectors.end(),
                           [](const ContentCollector &c) { return c.wantsMore(); });
    };
    bool failed = false;
    bool reachedEnd = false;
    while (anyWantsMore()) {
        const QByteArrayView piece = readPiece(failed);
        if (failed)
            break;
        if (piece.isEmpty()) {
            reachedEnd = true;
            break;
        }
        for (ContentCollector &collector : collectors)
            collector.add(piece);
    }
    for (std::size_t i = 0; i < collectors.size(); ++i)
        consumer(pending.requests[i], collectors[i].finish(reachedEnd, failed));
}

} // namespace vorn
