#include "BenchClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <random>

// bench-catalog [WORK_FOLDER]: the whole `vorn-cli catalog` of a tree of 100,000 files
// in 5,000 folders (2 % small text files, text capture on, packing included), against
// `find ROOT -printf '%p %s %T@\n'` over the same tree, both from the page cache.
namespace {

bool makeTree(const QString &root)
{
    if (QFileInfo::exists(root + QStringLiteral("/.vorn-volume")))
        return true;
    std::mt19937 random(42);
    const int folders = 5000;
    const int files = 100000;
    QDir().mkpath(root);
    std::vector<QString> paths{root};
    for (int i = 1; i < folders; ++i) {
        const QString parent = paths[std::uniform_int_distribution<size_t>(0, paths.size() - 1)(random)];
        const QString path = parent + QStringLiteral("/dir%1").arg(i);
        if (!QDir().mkpath(path))
            return false;
        paths.push_back(path);
    }
    for (int i = 0; i < files; ++i) {
        const QString &folder = paths[size_t(i) % paths.size()];
        const bool text = i % 50 == 0;
        QFile file(folder + (text ? QStringLiteral("/README%1.TXT").arg(i) : QStringLiteral("/file%1.dat").arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (text)
            file.write(QByteArrayLiteral("Read me first\r\nThis folder holds the files of a project.\r\n")
                           .repeated(1 + i % 20));
        else
            file.write(QByteArray(i % 97, 'x'));
    }
    QFile volume(root + QStringLiteral("/.vorn-volume"));
    return volume.open(QIODevice::WriteOnly) && volume.write("label=BENCH\nserial=424242\n") > 0;
}

double timeCommand(const QString &program, const QStringList &arguments, const QString &label)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const double seconds = vorn::bench::report(label, timer);
    if (process.exitCode() != 0)
        std::printf("  (exit code %d)\n", process.exitCode());
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const QString root = work + QStringLiteral("/tree-100k");
    if (!makeTree(root)) {
        std::fprintf(stderr, "bench-catalog: cannot make the tree in %s\n", qPrintable(root));
        return 1;
    }
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/vorn-cli");
    const QString data = work + QStringLiteral("/catalog-data");
    for (int run = 1; run <= 3; ++run) {
        const double find =
            timeCommand(QStringLiteral("find"), {root, QStringLiteral("-printf"), QStringLiteral("%p %s %T@\\n")},
                        QStringLiteral("find -printf (run %1)").arg(run));
        QDir(data).removeRecursively();
        const double vorn =
            timeCommand(cli,
                        {QStringLiteral("--data"), data, QStringLiteral("catalog"), root, QStringLiteral("--name"),
                         QStringLiteral("Bench"), QStringLiteral("--options"), QStringLiteral("9679")},
                        QStringLiteral("vorn-cli catalog (run %1)").arg(run));
        std::printf("%-50s %8.2f x\n", "ratio", vorn / find);
    }
    return 0;
}
