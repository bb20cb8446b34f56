#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "search EXPR [flags]": one line per result row, the summary on standard error.
int searchCommand(Context &context, const QStringList &arguments);
// "bookmarks [--disc ID] [--keyword NAME]...": one line per bookmark row.
int bookmarksCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
