#pragma once

#include <QString>
#include <optional>

namespace vorn::cli {

// The value of a numeric flag, or nullopt with `error` naming the accepted range.

// A whole number from `minimum` to `maximum`.
std::optional<qint64> wholeNumberArgument(const QString &flag, const QString &text, qint64 minimum, qint64 maximum,
                                          QString &error);

// A number from 0 (a decimal fraction allowed), with no upper bound.
std::optional<double> nonNegativeNumberArgument(const QString &flag, const QString &text, QString &error);

} // namespace vorn::cli
