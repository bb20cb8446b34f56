#include "cli/EditCommands.h"

#include "edit/EditResult.h"

namespace vorn::cli {

int reportEditFailure(Context &context, const EditResult &result, int refusedCode)
{
    QString text = result.text();
    context.err << "vorn-cli: " << text.replace(u'\r', QString()).replace(u'\n', QStringLiteral(": ")) << '\n';
    return result.outcome == EditResult::Outcome::Refused ? refusedCode : int(Failed);
}

} // namespace vorn::cli
