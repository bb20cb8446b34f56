#include "BenchClock.h"

#include <QProcess>

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

double timeCommand(const QString &program, const QStringList &arguments, const QString &label)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const double seconds = report(label, timer);
    if (process.exitCode() != 0)
        std::printf("  (exit code %d)\n", process.exitCode());
    return seconds;
}

} // namespace vorn::bench
