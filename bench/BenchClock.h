#pragma once

#include <QElapsedTimer>
#include <QString>

namespace vorn::bench {

// Peak resident memory of this process so far, in megabytes.
double peakMemoryMB();

// Prints "label: N.NNN s" and returns the seconds.
double report(const QString &label, const QElapsedTimer &timer);

} // namespace vorn::bench
