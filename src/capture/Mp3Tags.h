#pragma once

#include "store/Mp3TagStore.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vorn {

using TagRecord = Mp3Tags;

// The most bytes of an ID3 version 2 tag that are read; a larger tag is read this far.
inline constexpr qint64 kMp3TagReadLimit = 64 * 1024 * 1024;

// Whether a file name ends in ".MP3", ignoring case.
bool hasMp3Extension(QStringView name);

// How many bytes from the start of a file of `totalSize` bytes the tag reader needs,
// given at least its first 10 bytes: the version 2 header and the tag it announces
// (at most kMp3TagReadLimit of it), or just the header when there is no usable tag.
qint64 mp3HeadLength(QByteArrayView firstBytes, qint64 totalSize);

// The ID3 tags of an MP3 file. A version 1 tag is the last 128 bytes ("TAG" and
// fixed fields, values trimmed of spaces); a version 2.2, 2.3 or 2.4 tag at the start
// replaces it as a whole (title, album, artist, year, track; no comment). A version 2
// header announcing more bytes than the file holds gives no tags at all. Reading
// stops at the first damaged or empty frame; what was read so far is kept.
// Reads the head of the file and its last 128 bytes, never the whole file; a file
// that cannot be read gives empty tags.
TagRecord ReadMp3Tags(const QString &hostPath);

// The same from parts of a file held elsewhere (an archive member): its first bytes
// (mp3HeadLength of them, or fewer when the stream ended), its last 128 bytes (the
// whole file when it is shorter) and its size.
TagRecord readMp3TagsFromParts(QByteArrayView head, QByteArrayView last128, qint64 totalSize);

// The automatic description of an MP3 file: "[MP3] " & artist & " : " & title,
// or "[MP3] " alone when both are empty.
QString mp3Summary(const TagRecord &tags);

} // namespace vorn
