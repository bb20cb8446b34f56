#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace vorn {

// Pictures of the exported site's companion folder.
namespace HtmlImages {

// The four background pictures shipped with the program.
QStringList backgroundNames(); // ligne.png, haut.png, bas.png, lignessb.png

// Copies the background pictures into `folder`, replacing older copies. False when one
// cannot be written; `error` names it.
bool copyBackgrounds(const QString &folder, QString *error = nullptr);

// The default disc picture "CD.bmp": a 16 x 16 disc on white.
QImage discPicture();

// A disc's .ico bytes as a 16 x 16 picture on white: the icon's 16 x 16 image when it
// has one, else its largest image scaled down. nullopt when the bytes are no icon.
std::optional<QImage> iconBitmap(const QByteArray &icoBytes);

// Writes a picture as a Windows bitmap file through a temporary name.
bool writeBitmap(const QImage &image, const QString &path, QString *error = nullptr);

} // namespace HtmlImages
} // namespace vorn
