// The ID3 reader, both on a file and on the parts taken from an archive member.
#include "FuzzInput.h"
#include "capture/Mp3Tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = vorn::fuzz::bytes(data, size);
    const QByteArrayView last128 = input.size() >= 128 ? input.last(128) : input;
    const qint64 head = vorn::mp3HeadLength(input.first(std::min<qsizetype>(input.size(), 10)), input.size());
    (void)head;
    (void)vorn::readMp3TagsFromParts(input, last128, input.size());
    (void)vorn::ReadMp3Tags(vorn::fuzz::inputFile(data, size, ".mp3"));
    return 0;
}
