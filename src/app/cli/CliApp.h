#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vorn::cli {

enum ExitCode { Done = 0, Failed = 1, WrongUsage = 2 };

// Global state every command receives: the data folder and the output streams.
struct Context
{
    QString dataFolder;
    QTextStream &out;
    QTextStream &err;
};

// Runs one command line (without the program name). Output is UTF-8 with LF line ends.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace vorn::cli
