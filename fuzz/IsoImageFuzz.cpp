// The ISO 9660 image reader: descriptors, folder records with their Joliet and Rock
// Ridge names, continuation areas and file extents. The input is a list of sectors,
// each a 16-bit number (the low 11 bits used) then up to 2048 bytes, written into a
// sparse image file of up to 2048 sectors; the whole tree is then walked and the
// start of every file read, as a cataloguing run would.
#include "FuzzInput.h"
#include "scan/DiscDescriptors.h"
#include "scan/IsoVolume.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kSectorMask = 0x7FF;

QString writeSparseImage(QByteArrayView input)
{
    const QString path = vorn::fuzz::inputFile(nullptr, 0, ".iso");
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC);
    if (fd < 0)
        return path;
    qint64 last = -1;
    const qsizetype record = 2 + vorn::kDiscSectorSize;
    for (qsizetype at = 0; at + 2 <= input.size(); at += record) {
        const qint64 sector = (quint8(input[at]) | (qint64(quint8(input[at + 1])) << 8)) & kSectorMask;
        const QByteArrayView bytes = input.sliced(at + 2, std::min(input.size() - at - 2, record - 2));
        if (::pwrite(fd, bytes.data(), size_t(bytes.size()), sector * vorn::kDiscSectorSize) < 0)
            break;
        last = std::max(last, sector);
    }
    if (::ftruncate(fd, (last + 1) * vorn::kDiscSectorSize) != 0) {
        // A short image is one more case the reader must take.
    }
    ::close(fd);
    return path;
}

void walk(const vorn::IsoVolume &volume, const QString &path, int depth, int &budget)
{
    const vorn::FolderListing listing = volume.listFolder(path, vorn::ListDetail::Facts);
    for (const vorn::VolumeEntry &entry : listing.entries) {
        if (--budget < 0)
            return;
        const QString child = path.isEmpty() ? entry.name : path + u'\\' + entry.name;
        (void)volume.facts(child);
        if (entry.isFolder) {
            if (depth < 16)
                walk(volume, child, depth + 1, budget);
        } else if (std::unique_ptr<QIODevice> file = volume.openFile(child)) {
            (void)file->read(4096);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeSparseImage(vorn::fuzz::bytes(data, size));
    const vorn::IsoOpening opening = vorn::IsoVolume::open(path);
    if (opening.volume) {
        int budget = 2000;
        walk(*opening.volume, QString(), 0, budget);
    }
    return 0;
}
