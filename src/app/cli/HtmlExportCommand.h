#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "export-html FILE [--discs ID,...|--keyword NAME...] [--desc] [--keywords] [--contents]
// [--borders] [--cols N] [--no-icons]": the HTML export of the chosen discs, all discs
// when none is chosen. Column count and icons default to the stored options.
int exportHtmlCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
