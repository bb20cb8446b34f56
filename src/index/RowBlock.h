#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vorn {

// The number fields of up to RowBlock file records (owner, link, size, date), stored
// so that one record is read without decoding the others: each field is kept as its
// smallest value in the block plus, per record, the distance from it in as few bits
// as the block's largest distance needs. A search reads the rows of its hits only;
// a build writes a block with no compression pass.
//
// A date is stored as whole seconds plus its distance in units of the last place
// from seconds / 86400, which gives the stored number back exactly; a block with a
// date too far from whole seconds keeps the bits of its dates as they are.
namespace RowBlock {

struct Fields
{
    qint32 owner = 0;
    qint32 link = 0;
    qint64 size = 0;
    double date = 0;
};

// The block of records [first, first + n) of the four arrays.
QByteArray encode(const qint32 *owners, const qint32 *links, const qint64 *sizes, const double *dates, int n);

// Record `i` of a block of `n` records; false when the bytes cannot be such a block.
bool decode(QByteArrayView block, int n, int i, Fields &out);

} // namespace RowBlock

} // namespace vorn
