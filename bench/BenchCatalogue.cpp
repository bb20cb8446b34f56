#include "BenchCatalogue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace vorn::bench {

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
