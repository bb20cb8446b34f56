#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <initializer_list>

namespace vorn {

// One field of a TAB-separated output: each TAB, CR and LF becomes a space, so a
// name or description never adds a field or a row.
QString tabField(QString text);

// The fields as one row, each made a tab field, joined by TAB (no line end).
QString tabRow(std::initializer_list<QString> fields);

// The same row in UTF-8 with its line feed, appended to `out`: a listing of many rows
// is written without a string per row.
void appendTabRowUtf8(QByteArray &out, std::initializer_list<QStringView> fields);

} // namespace vorn
