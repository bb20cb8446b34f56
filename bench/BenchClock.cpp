#include "BenchClock.h"

#include <cstdio>
#include <sys/resource.h>

namespace vorn::bench {

double peakMemoryMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double report(const QString &label, const QElapsedTimer &timer)
{
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%-50s %8.3f s\n", label.toUtf8().constData(), seconds);
    std::fflush(stdout);
    return seconds;
}

} // namespace vorn::bench
