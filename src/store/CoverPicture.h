#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace vorn {

// A disc's cover: the picture file the user chose, kept byte for byte as the member
// <id>.img1, and its thumbnail <id>.imi, a small Windows bitmap. An empty (0-byte)
// <id>.img1 means the disc has no cover.
namespace Cover {

// Pictures above this size are refused before anything is stored.
inline constexpr qint64 MaxPictureBytes = qint64(50) << 20;
// The thumbnail is a square of 1000 twips; at 96 dots per inch (15 twips a pixel)
// that is 66.7 pixels, made 67.
inline constexpr int ThumbnailTwips = 1000;
inline constexpr int ThumbnailPixels = (ThumbnailTwips + 14) / 15;

enum class PictureProblem {
    None,
    Unreadable, // the file cannot be opened
    TooLarge, // over MaxPictureBytes
    NotAnImage, // not a JPEG, BMP, GIF or PNG picture
    Truncated, // the picture's data stops before its end
};

// Checks a picture file before it becomes a cover: its size, its kind by its first
// bytes (JPEG, BMP, GIF; PNG accepted too), a readable header, and an end where
// the format puts one.
PictureProblem checkPicture(const QString &path);
// The string identifier telling the user about the problem (0 for None).
int problemMessage(PictureProblem problem);

// CreationMiniature: the picture stretched (proportions not kept) into the square
// thumbnail and written as a Windows bitmap. Empty when the picture cannot be read.
// Large JPEG pictures are decoded at a reduced scale, which is much quicker.
QByteArray CreationMiniature(const QString &picturePath);
QByteArray CreationMiniature(const QByteArray &pictureBytes);

// The picture scaled to fit `box` with its proportions kept (never enlarged); a null
// image when the file is missing or cannot be read. Only as many pixels as the box
// needs are decoded where the format allows it.
QImage loadFitted(const QString &picturePath, const QSize &box);

// "Taille de l'image : " followed by the size in kilobytes (halves to even) and " Ko".
QString sizeText(qint64 bytes);

} // namespace Cover
} // namespace vorn
