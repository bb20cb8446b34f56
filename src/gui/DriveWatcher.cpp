#include "gui/DriveWatcher.h"

#include "scan/DriveWatch.h"
#include "scan/cDrive.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

namespace vorn {

DriveWatcher::DriveWatcher(DriveLayer &layer, cDrive &drive, QObject *timerParent)
    : QObject(nullptr), m_layer(layer), m_drive(drive), m_timer(new QTimer(timerParent))
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_canWatch || m_canWatch())
            check();
    });
}

void DriveWatcher::check()
{
    if (m_reading)
        return;
    std::vector<DriveReadJob> jobs = m_layer.takeChangedDrives();
    if (jobs.empty()) {
        compare();
        return;
    }
    m_reading = true;
    QPointer<DriveWatcher> self(this);
    QThreadPool::globalInstance()->start([jobs = std::move(jobs), self] {
        std::vector<DriveReading> readings;
        readings.reserve(jobs.size());
        for (const DriveReadJob &job : jobs)
            readings.push_back(job.run());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, readings = std::move(readings)] {
                if (self)
                    self->readingsDone(readings);
            },
            Qt::QueuedConnection);
    });
}

void DriveWatcher::readingsDone(const std::vector<DriveReading> &readings)
{
    for (const DriveReading &reading : readings)
        m_layer.store(reading);
    m_reading = false;
    compare();
}

void DriveWatcher::compare()
{
    if (!m_keys)
        return;
    // Every drive's reading matches its state now, so the test reads nothing.
    if (const std::optional<QChar> letter = findChangedDrive(m_drive, m_letters, m_keys()))
        emit driveChanged(*letter);
}

} // namespace vorn
