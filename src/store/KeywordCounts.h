#pragma once

#include <QString>

namespace vorn {

struct Catalogue;

// True when keyword codes such as "|3|7|" hold keyword `number`.
bool carriesKeyword(const QString &keywordCodes, qint16 number);
// How many discs of the array carry keyword `number`.
int discsCarrying(const Catalogue &catalogue, qint16 number);

} // namespace vorn
