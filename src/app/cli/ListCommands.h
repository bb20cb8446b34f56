#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "list": one line per disc: identifier, name as shown, burn date, keyword names.
int listCommand(Context &context, const QStringList &arguments);
// "show ID": the record text, the statistics and the whole tree of one disc.
int showCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
