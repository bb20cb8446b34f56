#pragma once

#include <QString>

namespace vorn {

struct Catalogue;

namespace DiscSortKey {
enum : int { Name = 0, BurnDate = 1 };
}

// Deletes every file of the temporary folder named <id> followed by "." and anything.
void deleteWorkingCopies(const Catalogue &catalogue, const QString &identifier);

// Sorts the disc array (positions 1 to n) by name (ignoring case) or burn date,
// ascending or descending. The caller saves pending edits of the current disc first.
// The working copies of the current disc are deleted; sorting by burn date first
// computes every burn date still 0 (the member flag word is kept). The sort is stable,
// and the current position follows its disc. The catalogue's sort state is not changed.
void sortDiscArray(Catalogue &catalogue, int key, bool descending);
// Sorts by the catalogue's own sort key and direction.
void sortDiscArray(Catalogue &catalogue);

} // namespace vorn
