#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "index [--rebuild]": brings the data folder's search index up to date (builds it
// all again with --rebuild) and prints its folder, discs, size and time.
int indexCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
