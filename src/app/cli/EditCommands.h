#pragma once

#include "cli/CliApp.h"

namespace vorn {
struct EditResult;
}

namespace vorn::cli {

// Prints why a disc transaction did not go through and returns the exit code: a
// refusal of bad input gives `refusedCode`, a failure of the data folder Failed, a
// cancel Failed.
int reportEditFailure(Context &context, const EditResult &result, int refusedCode);

} // namespace vorn::cli
