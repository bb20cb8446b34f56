#include "BenchCatalogue.h"
#include "BenchClock.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "search/SearchCriteria.h"
#include "search/SearchRun.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/TempFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

using namespace vorn;

namespace {

// Counts rows without keeping them, as a list that only shows the count would.
class CountingSink : public SearchRowSink
{
public:
    void rowAdded(SearchRow &&) override { ++rows; }
    void rowRemoved(quint64) override { --rows; }
    qint64 rows = 0;
};

} // namespace

// bench-search [WORK_FOLDER] [DISCS] [FILES]: searches a catalogue of 1,000 discs of
// 10,000 files by name and by captured text. The catalogue is kept in the work folder
// (default /tmp/vorn-bench) so later runs measure with a warm file cache.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const int discs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    const int files = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 10000;
    const QString folder = work + QStringLiteral("/search-%1x%2").arg(discs).arg(files);
    if (!bench::ensureCatalogue(folder, discs, files, 1000))
        return 1;

    TempFolder temp;
    bench::QuietObserver observer;
    Catalogue catalogue;
    catalogue.tempFolder = temp.path();
    openDataFolder(catalogue, folder, observer);
    std::vector<qint64> selection(size_t(catalogue.discCount()) + 1, 0);
    for (int i = 1; i <= catalogue.discCount(); ++i)
        selection[size_t(i)] = i;
    const double before = bench::peakMemoryMB();

    struct Run
    {
        const char *label;
        QString expression;
        SearchField field;
        SearchPosition position;
    };
    const Run runs[] = {
        {"name contains \"notes_final\"", QStringLiteral("notes_final"), SearchField::Names, SearchPosition::Contains},
        {"name contains \"library1\"", QStringLiteral("library1"), SearchField::Names, SearchPosition::Contains},
        {"name equals \"readme.txt\"", QStringLiteral("readme.txt"), SearchField::Names, SearchPosition::Equals},
        {"names and descriptions contains \"march_\"", QStringLiteral("march_"), SearchField::NamesAndDescriptions,
         SearchPosition::Contains},
        {"captured text contains \"paris\"", QStringLiteral("paris"), SearchField::CapturedText,
         SearchPosition::Contains},
    };
    for (const Run &run : runs) {
        for (int repeat = 1; repeat <= 2; ++repeat) {
            SearchCriteria criteria;
            criteria.pattern = SearchCriteria::patternFor(run.expression, run.position);
            criteria.field = run.field;
            criteria.members = true;
            CountingSink sink;
            QElapsedTimer timer;
            timer.start();
            const SearchOutcome outcome = runSearch(catalogue, criteria, selection, observer, sink);
            bench::report(QStringLiteral("%1 (run %2): %3 rows of %4 discs")
                              .arg(QString::fromLatin1(run.label))
                              .arg(repeat)
                              .arg(sink.rows)
                              .arg(outcome.discsExplored),
                          timer);
        }
    }
    std::printf("%-50s %8.1f MB (%.1f MB after opening)\n", "peak memory", bench::peakMemoryMB(), before);

    // The plain pipeline a user could run by hand, for comparison.
    QElapsedTimer timer;
    timer.start();
    QProcess pipe;
    pipe.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("unzip -p '%1/*.VORN' '*.fic' | grep -ci notes_final").arg(folder)});
    if (pipe.waitForFinished(-1))
        bench::report(QStringLiteral("unzip -p | grep -ci notes_final: %1 lines")
                          .arg(QString::fromLatin1(pipe.readAllStandardOutput().trimmed())),
                      timer);
    return 0;
}
