#include "cli/CliSession.h"

#include "settings/StringTable.h"
#include "store/DataFolder.h"
#include "store/DataFolderLock.h"

#include <QFileInfo>

namespace vorn::cli {

CliSession::CliSession(Context &ctx, bool yes) : context(ctx), prompt(ctx.err, yes), observer(prompt)
{
    catalogue.tempFolder = temp.path();
    DataFolderLock::waiting().notice = [&err = ctx.err](const QString &text) {
        err << "vorn-cli: " << text << '\n';
        err.flush();
    };
}

CliSession::~CliSession()
{
    DataFolderLock::waiting().notice = nullptr;
}

bool CliSession::open()
{
    if (!temp.isValid()) {
        context.err << "vorn-cli: " << temp.errorString() << '\n';
        return false;
    }
    if (!QFileInfo(context.dataFolder).isDir() && !context.dataFolderGiven) {
        // The first run: nothing has been catalogued yet.
        context.err << "vorn-cli: " << LoadText(728) << '\n' << "  " << context.dataFolder << '\n';
        return false;
    }
    if (!openDataFolder(catalogue, context.dataFolder, observer)) {
        context.err << "vorn-cli: " << LoadText(437) << ": " << context.dataFolder << '\n';
        return false;
    }
    return true;
}

} // namespace vorn::cli
