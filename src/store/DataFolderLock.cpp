#include "store/DataFolderLock.h"

#include "settings/StringTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace vorn {

DataFolderLock::Waiting &DataFolderLock::waiting()
{
    static Waiting shared;
    return shared;
}

DataFolderLock::DataFolderLock(const QString &dataFolder)
    : m_folder(dataFolder), m_path(QDir(dataFolder).filePath(QStringLiteral("VORN.lock"))), m_file(m_path)
{
    // Only a holder that is gone makes a lock stale, never its age: a long commit
    // (a big archive on a slow disk) must not be broken into.
    m_file.setStaleLockTime(0);
}

DataFolderLock::~DataFolderLock()
{
    if (m_held)
        m_file.unlock();
}

DataFolderLock::State DataFolderLock::lock()
{
    return take(true);
}

DataFolderLock::State DataFolderLock::lockIfFree()
{
    return take(false);
}

DataFolderLock::State DataFolderLock::take(bool waitForIt)
{
    if (m_held)
        return State::Held;
    const QFileInfo folder(m_folder);
    if (folder.isDir() && !folder.isWritable())
        return State::ReadOnly;
    const Waiting &wait = waiting();
    QElapsedTimer clock;
    clock.start();
    bool told = false;
    for (;;) {
        if (m_file.tryLock(waitForIt ? 100 : 0)) {
            m_held = true;
            return State::Held;
        }
        switch (m_file.error()) {
        case QLockFile::LockFailedError:
            break;
        case QLockFile::PermissionError:
            return State::ReadOnly;
        default:
            return State::Failed;
        }
        if (!waitForIt)
            return State::Busy;
        if (!told && clock.elapsed() >= wait.noticeAfterMs) {
            told = true;
            if (wait.notice)
                wait.notice(LoadText(703));
        }
        if (clock.elapsed() >= wait.giveUpAfterMs)
            return State::Busy;
    }
}

} // namespace vorn
