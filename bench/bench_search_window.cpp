#include "BenchCatalogue.h"
#include "BenchClock.h"
#include "BenchWindowRun.h"

#include "gui/Form1.h"
#include "gui/SearchPane.h"
#include "gui/SearchResultModel.h"
#include "gui/TabHost.h"
#include "gui/search/ResultListView.h"
#include "settings/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

using namespace vorn;

namespace {

// Resident memory of this process now, in megabytes.
double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The command line's time for the same search, its output thrown away.
double cliSeconds(const QString &folder, const QString &expression, bool index, bool latest)
{
    QStringList arguments = {QStringLiteral("--data"), folder, QStringLiteral("search"), expression};
    if (latest)
        arguments << QStringLiteral("--latest");
    if (!index)
        arguments << QStringLiteral("--no-index");
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    cli.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/vorn-cli"), arguments);
    if (!cli.waitForFinished(600000))
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

// bench-search-window [WORK_FOLDER] [EXPRESSION] [--latest]: searches the 1,000 ×
// 10,000 synthetic catalogue from the window for a name returning over 100,000 rows
// (the long-list questions answered No at once), then sorts the rows by every column
// and scrolls them by pages. Compares the run with `vorn-cli search` for the same
// expression. With --latest the duplicates rule is on, and a broad expression such as
// "*.txt" takes hundreds of thousands of rows out again. Settings and drives are
// private to the run.
int main(int argc, char *argv[])
{
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const QString expression = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("1_");
    const bool latest = argc > 3 && QByteArray(argv[3]) == "--latest";
    bench::usePrivateHome(work, QStringLiteral("search-window-home"));
    // The search index of vorn-cli in the cache the other benchmarks use.
    qputenv("XDG_CACHE_HOME", (work + QStringLiteral("/xdg-cache")).toUtf8());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VORN"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN")); // the command line's cache folder
    setLanguageOffset(0);

    const QString folder = work + QStringLiteral("/search-1000x10000");
    if (!bench::ensureCatalogue(folder, 1000, 10000, 1000))
        return 1;
    QuietPrompt prompt;
    Form1Setup setup;
    setup.defaultDataFolder = folder;
    setup.prompt = &prompt;
    const std::unique_ptr<Form1> started = bench::startWindow(setup);
    if (!started)
        return 1;
    Form1 &window = *started;
    window.tabs()->showTab(TabHost::Search);
    QApplication::processEvents();

    SearchPane *pane = window.search();
    SearchResultModel *rows = pane->results();
    ResultListView *list = pane->list(0);
    pane->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(expression);
    // The command line's defaults: no archive members, no duplicates rule (unless asked).
    pane->findChild<QCheckBox *>(QStringLiteral("ChkRechDsZip"))->setChecked(false);
    pane->findChild<QCheckBox *>(QStringLiteral("ChkDoublons"))->setChecked(latest);
    double firstRows = -1;
    QElapsedTimer timer;
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, &app, [&] {
        if (firstRows < 0)
            firstRows = double(timer.nsecsElapsed()) / 1e9;
    });
    // The longest the window went without handling its events during a run.
    bench::EventGapMeter gaps;

    cliSeconds(folder, expression, true, latest); // brings the index up to date
    const double memoryBefore = residentMB();
    double seconds[3] = {};
    for (int run = 0; run < 3; ++run) {
        if (run == 2) { // the index out of reach: every archive is read
            // An empty cache: the window may have built an index there in an earlier run.
            const QString noCache = work + QStringLiteral("/search-window-home/no-cache");
            QDir(noCache).removeRecursively();
            qputenv("XDG_CACHE_HOME", noCache.toUtf8());
        }
        firstRows = -1;
        gaps.start();
        timer.start();
        pane->findChild<QPushButton *>(QStringLiteral("BtRechercher"))->click();
        QApplication::processEvents();
        seconds[run] = bench::report(QStringLiteral("window search%1, %2 rows (run %3)")
                                         .arg(run == 2 ? QStringLiteral(" without index") : QString())
                                         .arg(rows->rowCount())
                                         .arg(run + 1),
                                     timer);
        gaps.stop();
        std::printf("%-50s %8.3f s\n", "  first rows shown after", firstRows);
        std::printf("%-50s %8.3f s\n", "  longest time without handling events", gaps.longest());
        if (run == 0)
            std::printf("%-50s %8.1f MB\n", "resident memory growth with the rows", residentMB() - memoryBefore);
    }
    qputenv("XDG_CACHE_HOME", (work + QStringLiteral("/xdg-cache")).toUtf8());
    const double indexed = cliSeconds(folder, expression, true, latest);
    const double archives = cliSeconds(folder, expression, false, latest);
    std::printf("%-50s %8.3f s (window / cli %.2f)\n", "vorn-cli search", indexed, seconds[1] / indexed);
    std::printf("%-50s %8.3f s (window without index / cli %.2f)\n", "vorn-cli search --no-index", archives,
                seconds[2] / archives);

    double worstSort = 0;
    for (int column = 0; column < SearchResultModel::DateKey; ++column) {
        timer.start();
        list->sortOnClick(column);
        list->viewport()->repaint();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        std::printf("  sort by column %d: %.3f s\n", column + 1, seconds);
        worstSort = std::max(worstSort, seconds);
    }
    std::printf("%-50s %8.3f s\n", "slowest sort of the rows by a column", worstSort);

    list->scrollToTop();
    QApplication::processEvents();
    double worstFrame = 0;
    double total = 0;
    int frames = 0;
    for (; frames < 200 && list->verticalScrollBar()->value() < list->verticalScrollBar()->maximum(); ++frames) {
        timer.start();
        list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        list->viewport()->repaint();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        worstFrame = std::max(worstFrame, seconds);
        total += seconds;
    }
    std::printf("%-50s %8.4f s (mean %.4f s over %d pages)\n", "slowest page scroll", worstFrame,
                frames ? total / frames : 0.0, frames);
    std::printf("%-50s %s\n", "summary", qPrintable(pane->findChild<QLabel *>(QStringLiteral("LblResult"))->text()));
    window.close();
    return 0;
}
