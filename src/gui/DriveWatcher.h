#pragma once

#include "scan/DriveLayer.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QTimer;

namespace vorn {

class cDrive;

// The drive watch of the main window: its timer `Timer1` ticks every 500 ms; a tick
// asks the drive layer only its cheap questions, hands the drives whose state changed
// to a worker thread that reads their volumes, and runs the change test on the
// readings once they are back, so the window never waits for a drive.
class DriveWatcher : public QObject
{
    Q_OBJECT
public:
    // `timerParent` owns the timer (so that it is found by name in the window); the
    // watcher itself is owned by its creator.
    DriveWatcher(DriveLayer &layer, cDrive &drive, QObject *timerParent);

    // Whether the watch may run now (window active, not busy, entries present).
    void setCanWatch(std::function<bool()> canWatch) { m_canWatch = std::move(canWatch); }
    // The keys of the drive entries now shown.
    void setEntryKeys(std::function<QStringList()> keys) { m_keys = std::move(keys); }
    void setLetters(const QString &letters) { m_letters = letters; }

    QTimer *timer() const { return m_timer; }
    bool isReading() const { return m_reading; }

    // One tick without the conditions of the timer: starts the readings of changed
    // drives, or, when every reading is current, runs the change test.
    void check();

signals:
    // A drive whose disc changed since its entry was built.
    void driveChanged(QChar letter);

private:
    void readingsDone(const std::vector<DriveReading> &readings);
    void compare();

    DriveLayer &m_layer;
    cDrive &m_drive;
    QTimer *m_timer;
    QString m_letters;
    std::function<bool()> m_canWatch;
    std::function<QStringList()> m_keys;
    bool m_reading = false;
};

} // namespace vorn
