// Wires the HTML export window, the list exports and the disc export window to the window's menus and panes.
#include "gui/Form1.h"

namespace vorn {

void Form1::wireExports()
{
}

} // namespace vorn
