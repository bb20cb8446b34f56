#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

namespace vorn::cli {

// A run's progress on one line of a terminal: the counts of folders and files read,
// then the current path, shortened in the middle to the terminal's width. The line is
// rewritten at most ten times a second and ended by finish().
class TerminalProgress
{
public:
    explicit TerminalProgress(QTextStream &err);
    ~TerminalProgress() { finish(); }

    void show(const QString &runText);
    void finish();

    // The line for one progress text of a run (lines "prefix path", then "label value"
    // counts), at most `width` characters.
    static QString lineFor(const QString &runText, int width);

private:
    QTextStream &m_err;
    QElapsedTimer m_sinceShown;
    bool m_shown = false;
    int m_width;
};

} // namespace vorn::cli
