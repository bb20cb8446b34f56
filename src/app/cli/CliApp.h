#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

namespace vorn::cli {

enum ExitCode { Done = 0, Failed = 1, WrongUsage = 2 };

// Global state every command receives: the data folder and the output streams.
struct Context
{
    QString dataFolder;
    QTextStream &out;
    QTextStream &err;
    bool errIsTerminal = false; // progress is shown on standard error only then
    bool dataFolderGiven = false; // --data was given (else the default data folder)
};

// One command of the table: its name, its usage line (after "vorn-cli"), a one-line
// summary for the command list, the text `help COMMAND` prints after the usage line
// (every flag, its meaning and default; see CommandHelp.h) and the function that runs it.
struct Command
{
    const char *name;
    const char *usage;
    const char *summary;
    const char *help;
    int (*run)(Context &, const QStringList &);
};

// Every command, in the order the help lists them.
const std::vector<Command> &commands();

// Runs one command line (without the program name). Output is UTF-8 with LF line ends.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool errIsTerminal = false);

} // namespace vorn::cli
