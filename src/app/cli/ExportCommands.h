#pragma once

#include "cli/CliApp.h"

namespace vorn::cli {

// "export-list FILE --source discs|results|bookmarks [--html] [search flags]": the
// text (or, for results and bookmarks, HTML) export of that list. Results take the
// flags of "search" (expression included), bookmarks --disc and --keyword.
int exportListCommand(Context &context, const QStringList &arguments);
// "export-discs FOLDER (--discs ID,...|--all) [--move] [--yes]": copies (or moves)
// the disc archives into FOLDER. --yes creates the folder, overwrites archives and
// goes on after a failed copy; without it those questions are answered No.
int exportDiscsCommand(Context &context, const QStringList &arguments);
// "report N" (3 to 7): the report text, with LF line ends.
int reportCommand(Context &context, const QStringList &arguments);

} // namespace vorn::cli
