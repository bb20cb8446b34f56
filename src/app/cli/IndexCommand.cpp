#include "cli/IndexCommand.h"

#include "cli/CliSession.h"
#include "index/IndexObserver.h"
#include "index/SearchIndex.h"

#include <QElapsedTimer>

namespace vorn::cli {

int indexCommand(Context &context, const QStringList &arguments)
{
    bool rebuild = false;
    for (const QString &arg : arguments) {
        if (arg != QLatin1String("--rebuild")) {
            context.err << "vorn-cli: usage: index [--rebuild]\n";
            return WrongUsage;
        }
        rebuild = true;
    }
    CliSession session(context);
    if (!session.open())
        return Failed;
    QElapsedTimer timer;
    timer.start();
    const SearchIndex index(session.catalogue.dataFolder);
    IndexObserver quiet;
    // Waits for another copy's build rather than reporting it busy at once.
    const IndexRefresh result = index.refresh(discIdentifiers(session.catalogue), quiet, rebuild, 30000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    switch (result.status) {
    case IndexRefresh::Status::Done:
    case IndexRefresh::Status::Cancelled:
        break;
    case IndexRefresh::Status::Busy:
        context.err << "vorn-cli: the search index is being built by another copy: " << index.folder() << '\n';
        return Failed;
    case IndexRefresh::Status::Unwritable:
        context.err << "vorn-cli: the search index cannot be written: " << index.folder() << '\n';
        return Failed;
    }
    context.out << "index\t" << index.folder() << '\n'
                << "discs\t" << (result.built + result.unchanged) << " (built " << result.built << ", unchanged "
                << result.unchanged << ", removed " << result.removed << ", unreadable " << result.unreadable << ")\n"
                << "size\t" << index.diskSize() << " bytes\n"
                << "time\t" << QString::number(seconds, 'f', 3) << " s\n";
    return Done;
}

} // namespace vorn::cli
