#pragma once

#include <QtGlobal>

namespace vorn {

struct Catalogue;

// How many discs of the array carry keyword `number`.
int discsCarrying(const Catalogue &catalogue, int number);

} // namespace vorn
