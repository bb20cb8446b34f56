#include "BenchCatalogue.h"
#include "BenchClock.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "export/ExportRows.h"
#include "export/HtmlExport.h"
#include "export/ListExport.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace vorn;

namespace {

// Records the longest time between two yields: the longest the window would go
// without processing its events during the export.
class GapObserver : public bench::QuietObserver
{
public:
    void yield() override
    {
        if (m_clock.isValid())
            longest = std::max(longest, m_clock.nsecsElapsed());
        m_clock.start();
    }
    qint64 longest = 0; // nanoseconds

private:
    QElapsedTimer m_clock;
};

// A result list of `count` rows spread over folders and discs, as a search fills it.
std::vector<ListRow> resultRows(int count)
{
    std::vector<ListRow> rows;
    rows.reserve(size_t(count));
    for (int n = 0; n < count; ++n) {
        ListRow row;
        row.folder = n % 11 == 0;
        row.name = QStringLiteral("holiday_picture_%1.jpg").arg(n);
        row.discName = QStringLiteral("Disc %1 photos").arg(n / 1000, 5, 10, QChar(u'0'));
        row.location = QStringLiteral("Photos\\%1\\Album %2\\").arg(2000 + n % 20).arg(n % 97);
        row.extension = row.folder ? QString() : QStringLiteral("jpg");
        rows.push_back(row);
    }
    return rows;
}

} // namespace

// bench-export [WORK_FOLDER] [DISCS] [FILES]: the HTML export of DISCS discs (default
// 1,000) of FILES files each (default 1,000) with every option ticked (one contents
// page per disc, icons, descriptions, keywords), the longest stretch without a yield,
// then the text and HTML exports of a 100,000-row result list. The catalogue is kept
// in the work folder (default /tmp/vorn-bench).
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const int discs = argc > 2 ? std::max(1, atoi(argv[2])) : 1000;
    const int files = argc > 3 ? std::max(1, atoi(argv[3])) : 1000;
    const QString data = work + QStringLiteral("/export-%1x%2").arg(discs).arg(files);
    if (!bench::ensureCatalogue(data, discs, files, 3000))
        return 1;

    TempFolder temp;
    GapObserver observer;
    Catalogue catalogue;
    catalogue.tempFolder = temp.path();
    if (!openDataFolder(catalogue, data, observer))
        return 1;
    std::vector<int> positions;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        positions.push_back(i);

    HtmlExportOptions options;
    options.descriptions = options.keywords = options.contents = options.borders = true;
    QTemporaryDir site;
    for (int run = 1; run <= 3; ++run) {
        observer.longest = 0;
        QElapsedTimer timer;
        timer.start();
        const HtmlExportResult result =
            exportHtml(catalogue, site.filePath(QStringLiteral("catalogue.htm")), positions, options, observer);
        bench::report(
            QStringLiteral("HTML export of %1 discs with contents (run %2)").arg(result.discsExported).arg(run), timer);
        std::printf("%-50s %8.1f ms\n", "  longest stretch without a yield", double(observer.longest) / 1e6);
        if (!result.written) {
            std::fprintf(stderr, "bench-export: %s\n", qPrintable(result.message));
            return 1;
        }
    }
    qint64 bytes = 0;
    int pages = 0;
    for (const QFileInfo &info : QDir(site.filePath(QStringLiteral("catalogue_files"))).entryInfoList(QDir::Files)) {
        bytes += info.size();
        ++pages;
    }
    std::printf("%-50s %8d files, %.1f MB\n", "companion folder", pages, double(bytes) / (1024 * 1024));

    const std::vector<ListRow> rows = resultRows(100000);
    QuietPrompt quiet;
    for (int run = 1; run <= 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!writeTextExport(site.filePath(QStringLiteral("results.txt")), resultListText(rows), quiet))
            return 1;
        bench::report(QStringLiteral("text export of %1 result rows (run %2)").arg(rows.size()).arg(run), timer);
    }
    QElapsedTimer timer;
    timer.start();
    if (!exportResultListHtml(site.filePath(QStringLiteral("results.html")), ListSource::SearchResults, rows, options,
                              quiet))
        return 1;
    bench::report(QStringLiteral("HTML export of %1 result rows").arg(rows.size()), timer);
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    return 0;
}
