#include "BenchCatalogue.h"
#include "BenchClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

// bench-catalog [WORK_FOLDER]: the whole `vorn-cli catalog` of a tree of 100,000 files
// in 5,000 folders (2 % small text files, text capture on, packing included), against
// `find ROOT -printf '%p %s %T@\n'` over the same tree, both from the page cache.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const QString root = work + QStringLiteral("/tree-100k");
    if (!vorn::bench::ensureDiscTree(root, 100000)) {
        std::fprintf(stderr, "bench-catalog: cannot make the tree in %s\n", qPrintable(root));
        return 1;
    }
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/vorn-cli");
    const QString data = work + QStringLiteral("/catalog-data");
    for (int run = 1; run <= 3; ++run) {
        const double find = vorn::bench::timeCommand(QStringLiteral("find"),
                                                     {root, QStringLiteral("-printf"), QStringLiteral("%p %s %T@\\n")},
                                                     QStringLiteral("find -printf (run %1)").arg(run));
        QDir(data).removeRecursively();
        const double vorn = vorn::bench::timeCommand(cli,
                                                     {QStringLiteral("--data"), data, QStringLiteral("catalog"), root,
                                                      QStringLiteral("--name"), QStringLiteral("Bench"),
                                                      QStringLiteral("--options"), QStringLiteral("9679")},
                                                     QStringLiteral("vorn-cli catalog (run %1)").arg(run));
        std::printf("%-50s %8.2f x\n", "ratio", vorn / find);
    }
    return 0;
}
