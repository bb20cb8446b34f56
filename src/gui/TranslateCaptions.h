#pragma once

class QWidget;

namespace vorn {

// Replaces every numeric caption of the window's menus, actions, labels, buttons,
// check boxes, option buttons and group boxes by the text of that identifier.
// Captions that are not numbers ("OK", "+") are left as they are.
void TranslateCaptions(QWidget *window);

} // namespace vorn
