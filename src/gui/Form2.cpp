#include "gui/Form2.h"

#include "settings/StringTable.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vorn {

void Form2Observer::progress(const QString &text)
{
    m_window.setPending(text);
}

void Form2Observer::yield()
{
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kYieldMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    if (m_window.cancelRequested())
        requestCancel();
}

Form2::Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(LoadText(353));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint & ~Qt::WindowCloseButtonHint);
    setModal(true);

    m_label1 = new QLabel;
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setTextFormat(Qt::PlainText);
    m_label1->setFixedWidth(460);
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);

    m_label2 = new QLabel;
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setTextFormat(Qt::PlainText);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label2->setMinimumHeight(m_label2->fontMetrics().lineSpacing() * 4 + 4);

    m_command1 = new QPushButton(LoadText(355));
    m_command1->setObjectName(QStringLiteral("Command1"));
    connect(m_command1, &QPushButton::clicked, this, &Form2::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_label2, 1);
    layout->addWidget(m_command1, 0, Qt::AlignRight);

    m_paint = new QTimer(this);
    m_paint->setInterval(kPaintMs);
    connect(m_paint, &QTimer::timeout, this, &Form2::applyPending);
    m_paint->start();
}

void Form2::applyPending()
{
    if (m_pending == m_shown)
        return;
    m_shown = m_pending;
    const qsizetype end = m_shown.indexOf(u'\n');
    QString first = end < 0 ? m_shown : m_shown.left(end);
    const QString rest = end < 0 ? QString() : m_shown.mid(end + 1);
    // Only the path is shortened; the prefix before it stays whole.
    const QString prefix = LoadText(352);
    if (first.startsWith(prefix)) {
        m_path = first.mid(prefix.size());
        const QFontMetrics metrics(m_label1->font());
        const int room = m_label1->width() - metrics.horizontalAdvance(prefix) - 4;
        first = prefix + metrics.elidedText(m_path, Qt::ElideMiddle, qMax(room, 40));
    } else {
        m_path.clear();
    }
    m_label1->setText(first);
    m_label1->setToolTip(m_path);
    m_label2->setText(rest);
    if (m_cancel)
        m_label2->clear();
}

void Form2::cancel()
{
    m_cancel = true;
    m_command1->hide();
    m_label1->setText(LoadText(356));
    m_label2->clear();
}

void Form2::reject()
{
    // Escape stops the run like the button; the window is closed by its owner.
    cancel();
}

} // namespace vorn
