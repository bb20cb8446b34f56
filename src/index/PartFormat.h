#pragma once

// The layout shared by the writer and the reader of a disc's index part (DiscPart.h).
// Numbers are stored in the host's byte order: a part from a host of the other order
// fails its magic and is built again.

#include <QByteArray>
#include <QByteArrayView>
#include <cstddef>
#include <cstring>
#include <libdeflate.h>

namespace vorn::PartFormat {

inline constexpr quint64 Magic = 0x31584449'4e524f56ull; // "VORNIDX1"
inline constexpr quint32 StreamedFlag = 1;
inline constexpr quint32 SpecialsFlag = 2; // some text folds into ASCII: the filter cannot rule it out
// Bytes after every decompressed section, so the byte scan may read past a column.
inline constexpr qsizetype Padding = 64;

template<typename T> inline void put(QByteArray &out, T value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template<typename T> inline T get(const char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The checksum of a part's header and section table: read twice per part and search.
inline quint64 headerHash(QByteArrayView bytes)
{
    return libdeflate_crc32(0, bytes.data(), size_t(bytes.size()));
}

// The sections of a part, in file order; the number blocks follow the last one. The
// trigram set comes first, so that the read that takes the header usually takes it
// too: a search for a rare name reads most parts no further.
enum Section { Trigrams, Folders, FileNames, UserPart, AutomaticPart, PathPart, Archives, FirstRows };
// Bytes read with the header.
inline constexpr qsizetype HeadRead = 16384;

} // namespace vorn::PartFormat
