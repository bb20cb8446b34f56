#include "cli/TerminalProgress.h"

#include "settings/StringTable.h"

#include <QStringList>

#include <sys/ioctl.h>
#include <unistd.h>

namespace vorn::cli {

namespace {

constexpr int kDefaultWidth = 80;
constexpr qint64 kShownEveryMs = 100;

int terminalWidth()
{
    struct winsize size
    {
    };
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 10)
        return size.ws_col;
    return kDefaultWidth;
}

QString elidedInTheMiddle(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    if (width < 5)
        return text.right(width);
    const int kept = width - 3;
    return text.left(kept / 2) + QStringLiteral("...") + text.right(kept - kept / 2);
}

} // namespace

TerminalProgress::TerminalProgress(QTextStream &err) : m_err(err), m_width(terminalWidth())
{
}

QString TerminalProgress::lineFor(const QString &runText, int width)
{
    const QStringList lines = runText.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return {};
    QString path = lines.first();
    const QString prefix = LoadText(352);
    if (path.startsWith(prefix))
        path = path.mid(prefix.size());
    // Folders and files read: the first two counts.
    QStringList counts;
    for (qsizetype i = 1; i < lines.size() && i <= 2; ++i)
        counts << lines[i].simplified();
    const QString head = counts.isEmpty() ? QString() : counts.join(QStringLiteral(", ")) + QStringLiteral("  ");
    if (head.size() >= width)
        return head.left(width);
    return head + elidedInTheMiddle(path.simplified(), width - int(head.size()));
}

void TerminalProgress::show(const QString &runText)
{
    if (m_shown && m_sinceShown.isValid() && m_sinceShown.elapsed() < kShownEveryMs)
        return;
    m_sinceShown.start();
    m_shown = true;
    // Back to the start of the line, the text, then clear the rest of the line.
    m_err << '\r' << lineFor(runText, m_width - 1) << "\x1b[K";
    m_err.flush();
}

void TerminalProgress::finish()
{
    if (!m_shown)
        return;
    m_err << "\r\x1b[K";
    m_err.flush();
    m_shown = false;
}

} // namespace vorn::cli
