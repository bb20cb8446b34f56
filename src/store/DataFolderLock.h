#pragma once

#include <QLockFile>
#include <QString>
#include <functional>

namespace vorn {

// One writer at a time in a data folder: the lock file "VORN.lock" in the folder,
// held only while a change is committed (never for a whole cataloguing run). A lock
// left by a process that is gone is taken over. A second writer waits: after
// noticeAfterMs it says once that it waits for another copy, after giveUpAfterMs it
// gives up. A data folder that cannot be written takes no lock.
class DataFolderLock
{
public:
    struct Waiting
    {
        int noticeAfterMs = 2000;
        int giveUpAfterMs = 30000;
        // Told "another copy is writing" (string 703) once the notice time has passed.
        std::function<void(const QString &)> notice;
    };
    // How every lock of this process waits (the command line prints the notice, the
    // window shows it, tests shorten the times).
    static Waiting &waiting();

    enum class State { Held, ReadOnly, Busy, Failed };

    explicit DataFolderLock(const QString &dataFolder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    // Waits for the lock as waiting() says. Held: the caller may write until the
    // object is destroyed.
    State lock();
    // Takes the lock only when it is free now (Busy otherwise): for changes that can
    // wait for another time, such as icons found missing while opening the folder.
    State lockIfFree();
    QString path() const { return m_path; }

private:
    State take(bool waitForIt);

    QString m_folder;
    QString m_path;
    QLockFile m_file;
    bool m_held = false;
};

} // namespace vorn
