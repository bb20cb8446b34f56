#include "export/HtmlImages.h"

#include "export/ExportFile.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtMath>

namespace vorn::HtmlImages {

namespace {

constexpr int Side = 16;

// Flattens transparency onto white: the bitmap format keeps no alpha channel.
QImage onWhite(const QImage &image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = qRgb(blend(qRed(in[x])), blend(qGreen(in[x])), blend(qBlue(in[x])));
        }
    }
    return out;
}

} // namespace

QStringList backgroundNames()
{
    return {QStringLiteral("ligne.png"), QStringLiteral("haut.png"), QStringLiteral("bas.png"),
            QStringLiteral("lignessb.png")};
}

bool copyBackgrounds(const QString &folder, QString *error)
{
    for (const QString &name : backgroundNames()) {
        QFile source(QStringLiteral(":/export/") + name);
        const QString target = folder + u'/' + name;
        if (!source.open(QIODevice::ReadOnly)) {
            if (error)
                *error = source.fileName() + QStringLiteral(": ") + source.errorString();
            return false;
        }
        if (!writeExportFile(target, source.readAll(), error))
            return false;
    }
    return true;
}

QImage discPicture()
{
    // A silver disc with a blue sheen, a darker rim and the centre hole.
    QImage image(Side, Side, QImage::Format_ARGB32);
    const double centre = (Side - 1) / 2.0;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            const double r = std::sqrt(dx * dx + dy * dy);
            QColor colour(Qt::white);
            if (r <= 7.6 && r > 6.6) {
                colour = QColor(0x6E, 0x7F, 0x93);
            } else if (r <= 6.6 && r > 2.4) {
                const double sheen = (std::atan2(dy, dx) + M_PI) / (2 * M_PI);
                const int shade = 0xC8 + int(0x30 * std::abs(std::sin(sheen * 2 * M_PI)));
                colour = QColor(shade - 0x18, shade - 0x08, qMin(shade + 0x10, 0xFF));
            } else if (r <= 2.4 && r > 1.2) {
                colour = QColor(0x9A, 0xA8, 0xB8);
            }
            image.setPixel(x, y, colour.rgb());
        }
    }
    return onWhite(image);
}

std::optional<QImage> iconBitmap(const QByteArray &icoBytes)
{
    QBuffer buffer;
    buffer.setData(icoBytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage chosen;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        const bool exact = image.width() == Side && image.height() == Side;
        const bool chosenExact = chosen.width() == Side && chosen.height() == Side;
        if (chosen.isNull() || (exact && !chosenExact)
            || (!chosenExact && image.width() * image.height() > chosen.width() * chosen.height()))
            chosen = image;
    }
    if (chosen.isNull())
        return std::nullopt;
    if (chosen.size() != QSize(Side, Side))
        chosen = chosen.convertToFormat(QImage::Format_ARGB32)
                     .scaled(Side, Side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return onWhite(chosen);
}

bool writeBitmap(const QImage &image, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image)) {
        if (error)
            *error = path + QStringLiteral(": ") + writer.errorString();
        return false;
    }
    return writeExportFile(path, bytes, error);
}

} // namespace vorn::HtmlImages
