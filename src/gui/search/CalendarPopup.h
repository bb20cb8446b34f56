#pragma once

class QLineEdit;

namespace vorn {

// Gives a date box a button that pops up a calendar; the date picked is written into
// the box in the locale's short date format, which the box reads back as typed.
void addCalendarPopup(QLineEdit *edit);

} // namespace vorn
