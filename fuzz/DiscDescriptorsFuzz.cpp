// The ISO 9660, Joliet and UDF volume descriptor readers. The input is a list of
// sectors, each a 16-bit sector number then up to 2048 bytes, so a short input can
// place descriptors anywhere in the first 65536 sectors; the others read as zeros.
#include "FuzzInput.h"
#include "scan/DiscDescriptors.h"

#include <map>

namespace {

class SparseImage final : public vorn::SectorReader
{
public:
    explicit SparseImage(QByteArrayView input)
    {
        const qsizetype record = 2 + vorn::kDiscSectorSize;
        for (qsizetype at = 0; at + 2 <= input.size(); at += record) {
            const qint64 sector = quint8(input[at]) | (qint64(quint8(input[at + 1])) << 8);
            m_sectors[sector] = input.sliced(at + 2, std::min(input.size() - at - 2, record - 2))
                                    .toByteArray()
                                    .leftJustified(vorn::kDiscSectorSize, '\0');
        }
    }
    std::optional<QByteArray> readSector(qint64 sector) const override
    {
        if (sector < 0 || sector > 0xFFFF)
            return std::nullopt;
        const auto it = m_sectors.find(sector);
        return it != m_sectors.end() ? it->second : QByteArray(vorn::kDiscSectorSize, '\0');
    }

private:
    std::map<qint64, QByteArray> m_sectors;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const SparseImage image(vorn::fuzz::bytes(data, size));
    (void)vorn::readDiscVolume(image);
    return 0;
}
