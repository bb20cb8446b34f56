#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

struct Catalogue;

// Keeping the keyword list of memory and the data folder's "MC.txt" together when
// several copies of the program write one data folder. Call inside a commit.

// Re-reads "MC.txt" and merges it into catalogue.keywords: the file's entries are the
// truth; a keyword known only in memory (met in a record, or added by this copy) is
// kept, under its number when the file does not use it, else under a new one. The
// disc codes in memory follow every number that changed. Returns true when the list
// now holds keywords the file lacks (it should be written). A missing file merges as
// an empty one; an unreadable file fails (*error set).
bool mergeKeywordListFile(Catalogue &catalogue, bool *fileLacksEntries, QString *error);

// The names of a ";"-terminated list ("Jazz;Live;"), empty pieces left out.
QStringList keywordNamesOf(const QString &terminated);
// The ";"-terminated form of names.
QString terminatedNames(const QStringList &names);

} // namespace vorn
