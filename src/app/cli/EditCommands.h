#pragma once

#include "cli/CliApp.h"

namespace vorn {
struct EditResult;
}

namespace vorn::cli {

// Prints why a disc transaction did not go through and returns the exit code: a
// refusal of bad input gives `refusedCode`, a failure of the data folder or a cancel
// gives Failed.
int reportEditFailure(Context &context, const EditResult &result, int refusedCode);

// The commands that change one catalogued disc, each through the same core call the
// window uses. Bad input is wrong usage (2) and leaves the archive unchanged.
int renameCommand(Context &context, const QStringList &arguments); // rename ID NAME
int deleteCommand(Context &context, const QStringList &arguments); // delete ID [--yes]
int describeCommand(Context &context, const QStringList &arguments); // describe ID [TEXT|-]
int keywordsCommand(Context &context, const QStringList &arguments); // keywords ID [--add N]... [--remove N]...
int bookmarkCommand(Context &context, const QStringList &arguments); // bookmark ID PATH [--description T] [--remove]

} // namespace vorn::cli
