#pragma once

#include "cli/CliApp.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vorn::test {

// Runs vorn-cli in-process and keeps what it printed.
struct CliRun
{
    int code = -1;
    QString out;
    QString err;

    explicit CliRun(const QStringList &arguments)
    {
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        code = cli::run(arguments, outStream, errStream);
        outStream.flush();
        errStream.flush();
    }
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

} // namespace vorn::test
