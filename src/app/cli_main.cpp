#include "cli/CliApp.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VORN"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return vorn::cli::run(QCoreApplication::arguments().mid(1), out, err, ::isatty(STDERR_FILENO) == 1);
}
