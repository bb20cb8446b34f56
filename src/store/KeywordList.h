#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

namespace vorn {

struct Catalogue;

// The keyword list "MC.txt" of a data folder: one line per keyword, its number and
// its name in the line-file field syntax (3,"Jazz").
namespace KeywordList {

// Entries of a keyword list file in file order; blank lines are skipped.
std::vector<KeywordEntry> parse(QByteArrayView data);
// The file form of the entries (CRLF line ends).
QByteArray format(const std::vector<KeywordEntry> &entries);

// Replaces catalogue.keywords (from position 1) with the content of data folder &
// "MC.txt". A missing file leaves an empty list and is not a failure; false when the
// file exists but cannot be read.
bool read(Catalogue &catalogue);
// Writes catalogue.keywords (from position 1) to data folder & "MC.txt".
bool write(const Catalogue &catalogue, QString *error = nullptr);

// Position of the keyword named `name` (ignoring case), searched from the last entry
// down to position 1; 0 when absent.
int find(const Catalogue &catalogue, QStringView name);
// Largest keyword number + 1, or 1 for an empty list.
qint16 nextNumber(const Catalogue &catalogue);
// Appends a keyword with the next number; returns its position.
int add(Catalogue &catalogue, const QString &name);
// Position of the keyword with this number, 0 when absent.
int findNumber(const Catalogue &catalogue, qint16 number);

} // namespace KeywordList
} // namespace vorn
