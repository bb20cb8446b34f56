#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

namespace vorn::bench {

// Peak resident memory of this process so far, in megabytes.
double peakMemoryMB();

// Prints "label: N.NNN s" and returns the seconds.
double report(const QString &label, const QElapsedTimer &timer);

// Runs a program to its end with its output thrown away, prints "label: N.NNN s"
// (and its exit code when not 0) and returns the seconds.
double timeCommand(const QString &program, const QStringList &arguments, const QString &label);

} // namespace vorn::bench
