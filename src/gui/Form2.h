#pragma once

#include "common/RunObserver.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;

namespace vorn {

class Form2;

// The observer of a run shown in Form2. Progress texts are only kept (the run may
// report thousands a second); the window paints the latest one on its own timer.
// A yield lets the interface process its events at most every kYieldMs, so the
// run is not slowed by repainting.
class Form2Observer : public RunObserver
{
public:
    Form2Observer(Form2 &window, UserPrompt &prompt) : m_window(window), m_prompt(prompt) {}

    void progress(const QString &text) override;
    void yield() override;
    UserPrompt &prompt() override { return m_prompt; }

    static constexpr int kYieldMs = 25;

private:
    Form2 &m_window;
    UserPrompt &m_prompt;
    QElapsedTimer m_sinceEvents;
};

// The progress window of a cataloguing run: `Label1` shows what is being read (the
// folder path elided in the middle when long), `Label2` the counters, `Command1`
// ("Annuler") asks the run to stop.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

    // Keeps the latest progress text; it is shown at the next paint tick.
    void setPending(const QString &text) { m_pending = text; }
    // Shows the pending text now.
    void applyPending();
    // The cancel button was pressed (kept, so that a press before the run starts
    // still stops it).
    bool cancelRequested() const { return m_cancel; }

    QString shownPath() const { return m_path; }
    static constexpr int kPaintMs = 100;

protected:
    void reject() override;

private:
    void cancel();

    QLabel *m_label1;
    QLabel *m_label2;
    QPushButton *m_command1;
    QTimer *m_paint;
    QString m_pending;
    QString m_shown;
    QString m_path;
    bool m_cancel = false;
};

} // namespace vorn
