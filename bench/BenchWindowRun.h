#pragma once

// Shared by the window benchmarks: settings and drives private to the run, a started
// window, and the longest time the window goes without handling its events.

#include "gui/Form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace vorn::bench {

// Settings and an empty virtual drive V under `work`/`name`, private to the run. Called
// before the application object is made.
inline void usePrivateHome(const QString &work, const QString &name)
{
    const QString home = work + u'/' + name;
    QDir().mkpath(home + QStringLiteral("/drive"));
    qputenv("XDG_CONFIG_HOME", home.toUtf8());
    qputenv("VORN_DRIVES", ("V=" + home + QStringLiteral("/drive/V")).toUtf8());
}

// A window over the setup's data folder, started, 1280 x 800 and painted; nullptr
// when start-up failed.
inline std::unique_ptr<Form1> startWindow(const Form1Setup &setup)
{
    auto window = std::make_unique<Form1>(setup);
    if (!window->startUp())
        return nullptr;
    window->resize(1280, 800);
    window->show();
    QApplication::processEvents();
    return window;
}

// A 5 ms timer whose ticks show how long the event loop went unserved between start()
// and stop().
class EventGapMeter
{
public:
    EventGapMeter()
    {
        m_ticks.setInterval(5);
        QObject::connect(&m_ticks, &QTimer::timeout, &m_ticks, [this] {
            if (m_sinceTick.isValid())
                m_longest = std::max(m_longest, double(m_sinceTick.nsecsElapsed()) / 1e9);
            m_sinceTick.start();
        });
    }
    void start()
    {
        m_longest = 0;
        m_sinceTick.invalidate();
        m_ticks.start();
    }
    void stop() { m_ticks.stop(); }
    double longest() const { return m_longest; } // seconds

private:
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    double m_longest = 0;
};

} // namespace vorn::bench
