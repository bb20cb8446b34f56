#pragma once

#include "capture/ArchiveMembers.h"

#include <QByteArrayView>
#include <QString>

namespace vorn {

// How a stored name whose bytes are not UTF-8 is read: in the DOS code page of
// Western Europe (850) for archives made on DOS or Windows, which store names that
// way, or in Windows-1252.
enum class LegacyNames { Oem850, Windows1252 };

QString decodeOem850(QByteArrayView bytes);
// UTF-8 when the bytes are valid UTF-8, else the legacy code page.
QString decodeArchiveName(QByteArrayView bytes, LegacyNames legacy);

// Fills name, path and folder from a stored path: "/" becomes "\", the name is the
// part after the last "\", the path the part before it. A path ending in a separator
// names a folder: its name is empty and its path the folder itself.
void setMemberPath(ArchiveMember &member, const QString &storedPath);

// The stored path again, "\" separated ("folder\name", or "folder" for a folder entry).
QString memberStoredPath(const ArchiveMember &member);

// A day number from DOS date and time fields, read as they stand (no time zone).
// `withSeconds` false keeps the minute only. 0 when the fields are not a date.
double dayNumberFromDos(quint16 dosDate, quint16 dosTime, bool withSeconds);

} // namespace vorn
