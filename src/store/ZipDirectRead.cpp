#include "store/ZipDirectRead.h"

#include <QtEndian>
#include <libdeflate.h>

#include <memory>

namespace vorn {

namespace {

constexpr qint64 LocalHeaderSize = 30;
constexpr quint16 Encrypted = 0x0001;
constexpr quint16 Stored = 0;
constexpr quint16 Deflated = 8;

struct DecompressorDeleter
{
    void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
};

// One decompressor per thread: searches read archives on several threads at once.
libdeflate_decompressor *threadDecompressor()
{
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

} // namespace

bool directlyReadable(const ZipEntry &entry)
{
    return !(entry.flags & Encrypted) && (entry.method == Stored || entry.method == Deflated)
        && entry.size != 0xFFFFFFFFu && entry.compressedSize != 0xFFFFFFFFu && entry.localOffset != 0xFFFFFFFFu;
}

bool readZipMemberDirect(QByteArrayView archive, const ZipEntry &entry, QByteArray &out)
{
    const qint64 at = entry.localOffset;
    if (!directlyReadable(entry) || at + LocalHeaderSize > archive.size())
        return false;
    const char *header = archive.data() + at;
    if (header[0] != 'P' || header[1] != 'K' || header[2] != 3 || header[3] != 4)
        return false;
    const qint64 dataStart =
        at + LocalHeaderSize + qFromLittleEndian<quint16>(header + 26) + qFromLittleEndian<quint16>(header + 28);
    if (dataStart + qint64(entry.compressedSize) > archive.size())
        return false;
    const char *in = archive.data() + dataStart;

    out.resize(qsizetype(entry.size));
    if (entry.method == Stored) {
        if (entry.compressedSize != entry.size)
            return false;
        std::copy(in, in + entry.size, out.data());
    } else {
        libdeflate_decompressor *decompressor = threadDecompressor();
        if (!decompressor
            || libdeflate_deflate_decompress(decompressor, in, entry.compressedSize, out.data(), size_t(entry.size),
                                             nullptr)
                != LIBDEFLATE_SUCCESS)
            return false;
    }
    return libdeflate_crc32(0, out.constData(), size_t(out.size())) == entry.crc;
}

} // namespace vorn
