#pragma once

#include <QByteArrayView>

namespace vorn {

// The number fields of a file-list line read as parseFieldInteger and parseFieldNumber
// read them, faster for the plain forms nearly every line holds (the index build reads
// millions of them); any other form is handed to those readers.
qint64 fastInteger(QByteArrayView raw);
double fastNumber(QByteArrayView raw);

} // namespace vorn
