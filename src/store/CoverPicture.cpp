#include "store/CoverPicture.h"

#include "common/Numbers.h"
#include "settings/StringTable.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace vorn::Cover {

namespace {

enum class Kind { Unknown, Jpeg, Bmp, Gif, Png };

Kind kindOf(QByteArrayView head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return Kind::Jpeg;
    if (head.startsWith("BM") && head.size() >= 30)
        return Kind::Bmp;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return Kind::Gif;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return Kind::Png;
    return Kind::Unknown;
}

// A JPEG ends with the end-of-image marker after its last scan. Inside scan data a
// 0xFF byte is always followed by 0x00 or a restart marker, so an end marker after
// the last start-of-scan marker is the real end (an embedded preview has its own
// scan and end before the main picture's).
bool jpegComplete(QByteArrayView data)
{
    const qsizetype scan = data.lastIndexOf(QByteArrayView("\xFF\xDA"));
    return scan >= 0 && data.indexOf(QByteArrayView("\xFF\xD9"), scan + 2) > scan;
}

// An uncompressed bitmap holds its rows after the pixel offset; compressed ones say
// their total size in the file header.
bool bmpComplete(QByteArrayView data)
{
    const uchar *bytes = reinterpret_cast<const uchar *>(data.data());
    const qint64 declaredSize = qFromLittleEndian<quint32>(bytes + 2);
    const qint64 pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    const qint64 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    if (pixelOffset >= data.size())
        return false;
    if (headerSize < 40)
        return declaredSize <= data.size();
    const qint64 width = qAbs(qFromLittleEndian<qint32>(bytes + 18));
    const qint64 height = qAbs(qFromLittleEndian<qint32>(bytes + 22));
    const qint64 bitsPerPixel = qFromLittleEndian<quint16>(bytes + 28);
    const quint32 compression = data.size() >= 34 ? qFromLittleEndian<quint32>(bytes + 30) : 0;
    if (compression != 0 && compression != 3)
        return declaredSize <= data.size();
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelOffset + rowBytes * height <= data.size();
}

// A GIF ends with its trailer byte ";"; some writers pad the file after it.
bool gifComplete(QByteArrayView data)
{
    qsizetype end = data.size();
    while (end > 0 && data[end - 1] == '\0')
        --end;
    return end > 0 && data[end - 1] == ';';
}

bool pngComplete(QByteArrayView data)
{
    return data.last(qMin<qsizetype>(data.size(), 64)).contains(QByteArrayView("IEND"));
}

bool complete(Kind kind, QByteArrayView data)
{
    switch (kind) {
    case Kind::Jpeg:
        return jpegComplete(data);
    case Kind::Bmp:
        return bmpComplete(data);
    case Kind::Gif:
        return gifComplete(data);
    case Kind::Png:
        return pngComplete(data);
    case Kind::Unknown:
        break;
    }
    return false;
}

QByteArray thumbnailFrom(QImageReader &reader)
{
    const QSize square(ThumbnailPixels, ThumbnailPixels);
    // Decoding straight at the thumbnail's size lets the JPEG decoder skip most of
    // the work; the result is stretched, as the thumbnail does not keep proportions.
    reader.setScaledSize(square);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != square)
        image = image.scaled(square, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return {};
    return bitmap;
}

} // namespace

PictureProblem checkPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureProblem::Unreadable;
    if (file.size() > MaxPictureBytes)
        return PictureProblem::TooLarge;
    const QByteArray data = file.readAll();
    if (data.size() != file.size())
        return PictureProblem::Unreadable;
    const Kind kind = kindOf(data);
    if (kind == Kind::Unknown)
        return PictureProblem::NotAnImage;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty())
        return PictureProblem::NotAnImage;
    if (!complete(kind, data))
        return PictureProblem::Truncated;
    return PictureProblem::None;
}

int problemMessage(PictureProblem problem)
{
    switch (problem) {
    case PictureProblem::None:
        return 0;
    case PictureProblem::Unreadable:
        return 815;
    case PictureProblem::TooLarge:
        return 814;
    case PictureProblem::NotAnImage:
        return 812;
    case PictureProblem::Truncated:
        return 813;
    }
    return 815;
}

QByteArray CreationMiniature(const QString &picturePath)
{
    QImageReader reader(picturePath);
    return thumbnailFrom(reader);
}

QByteArray CreationMiniature(const QByteArray &pictureBytes)
{
    QBuffer buffer;
    buffer.setData(pictureBytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return thumbnailFrom(reader);
}

QImage loadFitted(const QString &picturePath, const QSize &box)
{
    QImageReader reader(picturePath);
    reader.setAutoTransform(false);
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty() || box.isEmpty())
        return {};
    const QSize fitted = full.width() <= box.width() && full.height() <= box.height()
        ? full
        : full.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (fitted != full)
        reader.setScaledSize(fitted);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != fitted)
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QString sizeText(qint64 bytes)
{
    return LoadText(810) + QString::number(kilobytesFromBytes(bytes)) + LoadText(811);
}

} // namespace vorn::Cover
