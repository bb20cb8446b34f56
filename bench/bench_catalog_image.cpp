#include "BenchCatalogue.h"
#include "BenchClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

// bench-catalog-image [WORK_FOLDER] [FILES]: the whole `vorn-cli catalog` of an ISO image
// (Joliet and Rock Ridge, made with genisoimage) of a tree of FILES files (20,000 by
// default) in FILES/20 folders, 2 % small text files, text capture on, against the
// same command over the tree the image was made from; both from the page cache.
namespace {

bool makeImage(const QString &root, const QString &image)
{
    if (QFileInfo::exists(image))
        return true;
    QProcess process;
    process.start(QStringLiteral("genisoimage"),
                  {QStringLiteral("-quiet"), QStringLiteral("-input-charset"), QStringLiteral("utf-8"),
                   QStringLiteral("-J"), QStringLiteral("-R"), QStringLiteral("-V"), QStringLiteral("BENCH"),
                   QStringLiteral("-o"), image, root});
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const int files = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20000;
    const QString root = work + QStringLiteral("/tree-%1").arg(files);
    const QString image = work + QStringLiteral("/tree-%1.iso").arg(files);
    if (!vorn::bench::ensureDiscTree(root, files) || !makeImage(root, image)) {
        std::fprintf(stderr, "bench-catalog-image: cannot make the tree or its image in %s\n", qPrintable(work));
        return 1;
    }
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/vorn-cli");
    const QString data = work + QStringLiteral("/catalog-image-data");
    const auto catalog = [&](const QString &disc, const QString &label) {
        QDir(data).removeRecursively();
        return vorn::bench::timeCommand(cli,
                                        {QStringLiteral("--data"), data, QStringLiteral("catalog"), disc,
                                         QStringLiteral("--name"), QStringLiteral("Bench"), QStringLiteral("--options"),
                                         QStringLiteral("9679")},
                                        label);
    };
    for (int run = 1; run <= 3; ++run) {
        const double folder = catalog(root, QStringLiteral("vorn-cli catalog FOLDER (run %1)").arg(run));
        const double iso = catalog(image, QStringLiteral("vorn-cli catalog IMAGE.iso (run %1)").arg(run));
        std::printf("%-50s %8.2f x\n", "ratio", iso / folder);
    }
    return 0;
}
