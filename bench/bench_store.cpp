#include "BenchCatalogue.h"
#include "BenchClock.h"
#include "SyntheticCatalogue.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/DiscArchive.h"
#include "store/FileListLoader.h"
#include "store/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace vorn;

// bench-store [WORK_FOLDER]: opening a data folder of 10,000 discs and loading the
// file list of a disc of 200,000 files. Catalogues are kept in the work folder
// (default /tmp/vorn-bench) so later runs measure with a warm file cache.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const QString manyDiscs = work + QStringLiteral("/store-10000");
    const QString bigDisc = work + QStringLiteral("/store-big");
    if (!bench::ensureCatalogue(manyDiscs, 10000, 40, 1000) || !bench::ensureCatalogue(bigDisc, 1, 200000, 5))
        return 1;

    TempFolder temp;
    bench::QuietObserver observer;
    const double before = bench::peakMemoryMB();
    for (int run = 1; run <= 3; ++run) {
        Catalogue catalogue;
        catalogue.tempFolder = temp.path();
        QElapsedTimer timer;
        timer.start();
        openDataFolder(catalogue, manyDiscs, observer);
        bench::report(QStringLiteral("open 10,000 discs (run %1, %2 read)").arg(run).arg(catalogue.discCount()), timer);
    }
    std::printf("%-50s %8.1f MB (%.1f MB before)\n", "peak memory after opening", bench::peakMemoryMB(), before);

    Catalogue catalogue;
    catalogue.tempFolder = temp.path();
    openDataFolder(catalogue, bigDisc, observer);
    const QString identifier = catalogue.disc(1).identifier;
    DiscArchive::unpack(catalogue, identifier, QStringLiteral(".fic;"));
    for (int run = 1; run <= 3; ++run) {
        DiscTree tree;
        FileListLoader loader;
        QElapsedTimer timer;
        timer.start();
        loader.load(catalogue, tree, FileListLoader::WholeFile, 1);
        bench::report(QStringLiteral("load file list of %1 files (run %2)").arg(tree.files.size()).arg(run), timer);
    }
    return 0;
}
