#pragma once

#include "cli/CliApp.h"
#include "cli/CliPrompt.h"
#include "store/Catalogue.h"
#include "store/TempFolder.h"

namespace vorn::cli {

// The open data folder of one command, with its temporary folder and prompt.
class CliSession
{
public:
    CliSession(Context &context, bool yes = false);
    ~CliSession();

    // Opens the data folder; prints a message and returns false when it is missing.
    bool open();

    Context &context;
    TempFolder temp;
    CliPrompt prompt;
    CliObserver observer;
    Catalogue catalogue;
};

} // namespace vorn::cli
