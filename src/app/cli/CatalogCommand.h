#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "catalog ROOT|--drive X --name NAME ...": catalogues a folder standing in for a disc,
// an ISO image file, or a drive, into the data folder; a disc already there is updated keeping the
// descriptions the user typed. Prints the identifier.
int catalogCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
