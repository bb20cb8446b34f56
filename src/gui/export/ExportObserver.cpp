#include "gui/export/ExportObserver.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace vorn {

namespace {

// Well below the tenth of a second after which a window feels stuck.
constexpr qint64 EventInterval = 25;

} // namespace

ExportObserver::ExportObserver(UserPrompt &prompt, QLabel *label, QProgressBar *bar)
    : m_prompt(prompt), m_label(label), m_bar(bar)
{
}

void ExportObserver::start(int total)
{
    clearCancel();
    if (m_bar) {
        m_bar->setRange(0, qMax(total, 1));
        m_bar->setValue(0);
    }
    m_sinceEvents.invalidate();
}

void ExportObserver::progress(const QString &text)
{
    if (m_label)
        m_label->setText(text);
    if (m_bar && m_bar->value() < m_bar->maximum())
        m_bar->setValue(m_bar->value() + 1);
}

void ExportObserver::yield()
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < EventInterval)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

} // namespace vorn
