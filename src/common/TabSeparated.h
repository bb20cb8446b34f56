#pragma once

#include <QString>
#include <initializer_list>

namespace vorn {

// One field of a TAB-separated output: each TAB, CR and LF becomes a space, so a
// name or description never adds a field or a row.
QString tabField(QString text);

// The fields as one row, each made a tab field, joined by TAB (no line end).
QString tabRow(std::initializer_list<QString> fields);

} // namespace vorn
