#include "BenchCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <random>

namespace vorn::bench {

bool ensureDiscTree(const QString &root, int files)
{
    if (QFileInfo::exists(root + QStringLiteral("/.vorn-volume")))
        return true;
    std::mt19937 random(42);
    const int folders = std::max(1, files / 20);
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

bool ensureCatalogue(const QString &folder, int discs, int files, int firstIdentifier)
{
    if (QFileInfo::exists(folder + QStringLiteral("/MC.txt")))
        return true;
    const QString synth = QCoreApplication::applicationDirPath() + QStringLiteral("/vorn-synth");
    return QProcess::execute(synth,
                             {folder, QStringLiteral("--discs"), QString::number(discs), QStringLiteral("--files"),
                              QString::number(files), QStringLiteral("--first"), QString::number(firstIdentifier)})
        == 0;
}

} // namespace vorn::bench
