#include "BenchCatalogue.h"
#include "BenchClock.h"

#include "index/IndexObserver.h"
#include "index/SearchIndex.h"
#include "search/SearchCriteria.h"
#include "search/SearchRun.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace vorn;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and processor time of a few runs of one operation.
struct Figures
{
    std::vector<double> wall;
    std::vector<double> cpu;
    void print(const QString &label) const
    {
        const auto [wallMin, wallMax] = std::minmax_element(wall.begin(), wall.end());
        const auto [cpuMin, cpuMax] = std::minmax_element(cpu.begin(), cpu.end());
        std::printf("%-46s wall %7.1f-%7.1f ms  cpu %7.1f-%7.1f ms\n", label.toUtf8().constData(), *wallMin * 1e3,
                    *wallMax * 1e3, *cpuMin * 1e3, *cpuMax * 1e3);
        std::fflush(stdout);
    }
};

template<typename F> Figures measure(int runs, F &&operation)
{
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        const double cpu = cpuSeconds();
        timer.start();
        operation();
        figures.wall.push_back(double(timer.nsecsElapsed()) / 1e9);
        figures.cpu.push_back(cpuSeconds() - cpu);
    }
    return figures;
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

bool sameRows(const std::vector<SearchRow> &a, const std::vector<SearchRow> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const SearchRow &x, const SearchRow &y) {
        return x.folder == y.folder && x.name == y.name && x.location == y.location && x.discName == y.discName
            && x.extension == y.extension && x.description == y.description && x.size == y.size && x.date == y.date
            && x.kilobytes == y.kilobytes && x.discPosition == y.discPosition;
    });
}

// Wall time of a shell command, the best of a few runs.
double commandSeconds(const QString &command, const QProcessEnvironment &environment, int runs,
                      QByteArray *output = nullptr)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        process.waitForFinished(-1);
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
        if (output)
            *output = process.readAllStandardOutput().trimmed();
    }
    return best;
}

} // namespace

// bench-index [WORK_FOLDER] [DISCS] [FILES] [--searches]: the search index over the
// catalogue bench-search uses (1,000 discs of 10,000 files by default): full build,
// warm searches against streaming (rows compared), a search after one disc changed,
// the size on disk, and whole vorn-cli processes against unzip -p | grep -ci. With
// --searches, only the warm searches over the index as it is.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const int discs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    const int files = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 10000;
    const bool searchesOnly = argc > 4 && QByteArray(argv[4]) == "--searches";
    const QString folder = work + QStringLiteral("/search-%1x%2").arg(discs).arg(files);
    if (!bench::ensureCatalogue(folder, discs, files, 1000))
        return 1;
    // The same cache folder vorn-cli uses below, through XDG_CACHE_HOME.
    const QString cacheHome = work + QStringLiteral("/xdg-cache");
    const QString cacheRoot = cacheHome + QStringLiteral("/VORN/VORN/index");

    TempFolder temp;
    bench::QuietObserver observer;
    Catalogue catalogue;
    catalogue.tempFolder = temp.path();
    openDataFolder(catalogue, folder, observer);
    std::vector<qint64> selection(size_t(catalogue.discCount()) + 1, 0);
    for (int i = 1; i <= catalogue.discCount(); ++i)
        selection[size_t(i)] = i;
    const QStringList identifiers = discIdentifiers(catalogue);
    const SearchIndex index(catalogue.dataFolder, cacheRoot);
    const double before = bench::peakMemoryMB();

    IndexObserver quiet;
    std::printf("%-46s %s\n", "load average", loadAverage().constData());
    if (searchesOnly) {
        measure(1, [&] { index.refresh(identifiers, quiet); }).print(QStringLiteral("refresh"));
    } else {
        // The first build of a data folder, into an empty cache folder, then the same
        // work again over the parts it left (each new part renamed over an old one).
        QDir(index.folder()).removeRecursively();
        measure(1, [&] { index.refresh(identifiers, quiet); }).print(QStringLiteral("full build"));
        measure(1, [&] { index.refresh(identifiers, quiet, true); }).print(QStringLiteral("rebuild over the index"));
    }
    qint64 archives = 0;
    for (const QString &identifier : identifiers)
        archives += QFileInfo(catalogue.archivePath(identifier)).size();
    std::printf("%-46s %.1f MB (archives %.1f MB, ratio %.2f)\n", "index size", double(index.diskSize()) / 1e6,
                double(archives) / 1e6, double(index.diskSize()) / double(archives));
    measure(3, [&] { index.refresh(identifiers, quiet); }).print(QStringLiteral("refresh, nothing changed"));

    struct Query
    {
        const char *label;
        QString expression;
        SearchField field;
        SearchPosition position;
    };
    const Query queries[] = {
        {"name contains \"remix9\"", QStringLiteral("remix9"), SearchField::Names, SearchPosition::Contains},
        {"name contains \"library1\"", QStringLiteral("library1"), SearchField::Names, SearchPosition::Contains},
        {"name equals \"readme.txt\"", QStringLiteral("readme.txt"), SearchField::Names, SearchPosition::Equals},
        {"names and descriptions contains \"march_\"", QStringLiteral("march_"), SearchField::NamesAndDescriptions,
         SearchPosition::Contains},
        {"captured text contains \"paris\" (streams)", QStringLiteral("paris"), SearchField::CapturedText,
         SearchPosition::Contains},
    };
    const auto criteriaOf = [](const Query &query) {
        SearchCriteria criteria;
        criteria.pattern = SearchCriteria::patternFor(query.expression, query.position);
        criteria.field = query.field;
        criteria.members = true;
        return criteria;
    };
    for (const Query &query : queries) {
        const SearchCriteria criteria = criteriaOf(query);
        SearchResultList streamed;
        SearchResultList indexed;
        const Figures streaming = measure(searchesOnly ? 1 : 2, [&] {
            streamed = SearchResultList();
            runSearch(catalogue, criteria, selection, observer, streamed);
        });
        SearchOptions options;
        options.index = &index;
        const Figures fromIndex = measure(5, [&] {
            indexed = SearchResultList();
            index.refresh(identifiers, quiet);
            runSearch(catalogue, criteria, selection, observer, indexed, options);
        });
        streaming.print(QStringLiteral("%1, streaming").arg(QString::fromLatin1(query.label)));
        fromIndex.print(QStringLiteral("%1, index").arg(QString::fromLatin1(query.label)));
        std::printf("%-46s %zu rows, %s\n", "", indexed.rows.size(),
                    sameRows(streamed.rows, indexed.rows) ? "identical" : "DIFFERENT");
    }
    if (searchesOnly)
        return 0;

    // One disc re-catalogued: its archive is a new file with a new time.
    const QString changed = catalogue.archivePath(identifiers.value(identifiers.size() / 2));
    const SearchCriteria remix = criteriaOf(queries[0]);
    SearchOptions options;
    options.index = &index;
    Figures afterChange;
    Figures oneDisc;
    for (int run = 0; run < 3; ++run) {
        QFile::remove(changed + QStringLiteral(".copy"));
        QFile::copy(changed, changed + QStringLiteral(".copy"));
        QFile::remove(changed);
        QFile::rename(changed + QStringLiteral(".copy"), changed);
        const Figures refresh = measure(1, [&] { index.refresh(identifiers, quiet); });
        oneDisc.wall.push_back(refresh.wall[0]);
        oneDisc.cpu.push_back(refresh.cpu[0]);
        QFile::remove(changed + QStringLiteral(".copy"));
        QFile::copy(changed, changed + QStringLiteral(".copy"));
        QFile::remove(changed);
        QFile::rename(changed + QStringLiteral(".copy"), changed);
        const Figures search = measure(1, [&] {
            SearchResultList rows;
            index.refresh(identifiers, quiet);
            runSearch(catalogue, remix, selection, observer, rows, options);
        });
        afterChange.wall.push_back(search.wall[0]);
        afterChange.cpu.push_back(search.cpu[0]);
    }
    oneDisc.print(QStringLiteral("refresh of one changed disc"));
    afterChange.print(QStringLiteral("\"remix9\" right after one disc changed"));
    std::printf("%-46s %8.1f MB (%.1f MB after opening)\n", "peak memory", bench::peakMemoryMB(), before);

    // Whole processes, as a user at a shell waits for them.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/vorn-cli");
    for (const char *pattern : {"remix9", "library1"}) {
        QByteArray count;
        const double pipe = commandSeconds(
            QStringLiteral("unzip -p '%1/*.VORN' '*.fic' | grep -ci %2").arg(folder, QLatin1String(pattern)),
            environment, 2, &count);
        const double process = commandSeconds(
            QStringLiteral("%1 --data %2 search %3 > /dev/null 2>&1").arg(cli, folder, QLatin1String(pattern)),
            environment, 5);
        const double streaming = commandSeconds(QStringLiteral("%1 --data %2 search %3 --no-index > /dev/null 2>&1")
                                                    .arg(cli, folder, QLatin1String(pattern)),
                                                environment, 2);
        std::printf("%-46s %7.1f ms (--no-index %.1f ms; unzip | grep %.1f ms, %s lines; ratio %.3f)\n",
                    QStringLiteral("vorn-cli search %1").arg(QLatin1String(pattern)).toUtf8().constData(),
                    process * 1e3, streaming * 1e3, pipe * 1e3, count.constData(), process / pipe);
    }
    std::printf("%-46s %7.1f ms\n", "vorn-cli --version",
                commandSeconds(cli + QStringLiteral(" --version > /dev/null"), environment, 10) * 1e3);
    std::printf("%-46s %7.1f ms\n", "vorn-cli --help",
                commandSeconds(cli + QStringLiteral(" --help > /dev/null"), environment, 10) * 1e3);
    return 0;
}
