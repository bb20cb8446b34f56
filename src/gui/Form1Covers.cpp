// Wires the cover and options tabs to the window's menus and panes.
#include "gui/Form1.h"

namespace vorn {

void Form1::wireCovers()
{
}

} // namespace vorn
