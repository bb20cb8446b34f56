// Wires the search and bookmarks tabs to the window's menus and panes.
#include "gui/Form1.h"

namespace vorn {

void Form1::wireSearch()
{
}

} // namespace vorn
