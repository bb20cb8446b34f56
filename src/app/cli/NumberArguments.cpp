#include "cli/NumberArguments.h"

#include <cmath>
#include <limits>

namespace vorn::cli {

std::optional<qint64> wholeNumberArgument(const QString &flag, const QString &text, qint64 minimum, qint64 maximum,
                                          QString &error)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (ok && value >= minimum && value <= maximum)
        return value;
    error = QStringLiteral("%1 takes a whole number from %2").arg(flag).arg(minimum);
    if (maximum < std::numeric_limits<qint64>::max())
        error += QStringLiteral(" to %1").arg(maximum);
    error += QStringLiteral(", not \"%1\"").arg(text);
    return std::nullopt;
}

std::optional<double> nonNegativeNumberArgument(const QString &flag, const QString &text, QString &error)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(value) && value >= 0)
        return value;
    error = QStringLiteral("%1 takes a number from 0, not \"%2\"").arg(flag, text);
    return std::nullopt;
}

} // namespace vorn::cli
