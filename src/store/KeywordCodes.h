#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace vorn {

// A disc's keyword codes: "|" followed by each keyword number and "|" ("|3|7|"; "|"
// or empty when the disc has none). Doubled bars ("|3||7|") are tolerated everywhere.

// "|n|": the text whose presence in the codes means the disc carries keyword n.
QString keywordCode(int number);
bool carriesKeyword(QStringView codes, int number);
// The numbers in the codes, in their order.
std::vector<int> keywordNumbers(QStringView codes);
// Codes built from numbers ("|" alone for none).
QString keywordCodesOf(const std::vector<int> &numbers);

} // namespace vorn
