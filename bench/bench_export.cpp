#include "BenchCatalogue.h"
#include "BenchClock.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "export/HtmlExport.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace vorn;

// bench-export [WORK_FOLDER]: the HTML export of 100 discs of 1,000 files each with
// every option ticked (one contents page per disc, icons, descriptions, keywords).
// The catalogue is kept in the work folder (default /tmp/vorn-bench).
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const QString data = work + QStringLiteral("/export-100");
    if (!bench::ensureCatalogue(data, 100, 1000, 3000))
        return 1;

    TempFolder temp;
    bench::QuietObserver observer;
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
        QElapsedTimer timer;
        timer.start();
        const HtmlExportResult result =
            exportHtml(catalogue, site.filePath(QStringLiteral("catalogue.htm")), positions, options, observer);
        bench::report(
            QStringLiteral("HTML export of %1 discs with contents (run %2)").arg(result.discsExported).arg(run), timer);
        if (!result.written) {
            std::fprintf(stderr, "bench-export: %s\n", qPrintable(result.message));
            return 1;
        }
    }
    qint64 bytes = 0;
    int files = 0;
    for (const QFileInfo &info : QDir(site.filePath(QStringLiteral("catalogue_files"))).entryInfoList(QDir::Files)) {
        bytes += info.size();
        ++files;
    }
    std::printf("%-50s %8d files, %.1f MB\n", "companion folder", files, double(bytes) / (1024 * 1024));
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    return 0;
}
