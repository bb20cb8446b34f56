#include "store/TempFolder.h"

#include "settings/AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

namespace {

const QString LockName = QStringLiteral(".vorn-lock");

QString defaultBase()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
        return QString::fromLocal8Bit(runtime);
    return QDir::tempPath();
}

// Removes the per-process folders ("<shared>-<pid>") of copies that are gone, such
// as runs that were killed before they could remove their own.
void removeFoldersOfGoneCopies(const QString &parent, const QString &sharedName)
{
    const QString prefix = sharedName + u'-';
    const QDir dir(parent);
    for (const QString &name : dir.entryList({prefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks)) {
        bool ok = false;
        const qint64 pid = QStringView(name).sliced(prefix.size()).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == QCoreApplication::applicationPid())
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        struct stat info;
        const QByteArray native = QFile::encodeName(dir.filePath(name));
        if (::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
            QDir(dir.filePath(name)).removeRecursively();
    }
}

} // namespace

TempFolder::TempFolder(const QString &base)
{
    const QString parent = base.isEmpty() ? defaultBase() : base;
    const QString sharedName = QStringLiteral("VORN_TmpFiles-%1").arg(::getuid());
    const QString shared = QDir(parent).filePath(sharedName);
    removeFoldersOfGoneCopies(parent, sharedName);
    if (prepare(shared)) {
        auto lock = std::make_unique<QLockFile>(QDir(shared).filePath(LockName));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            m_path = withTrailingSeparator(shared);
            m_shared = true;
            empty();
            return;
        }
    }
    const QString own = shared + QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
    if (prepare(own)) {
        m_path = withTrailingSeparator(own);
        empty();
    }
}

TempFolder::~TempFolder()
{
    if (m_path.isEmpty())
        return;
    if (m_shared) {
        empty();
        m_lock.reset();
        // Only when still empty: a copy started since may have taken the folder.
        QDir().rmdir(m_path);
    } else {
        QDir(m_path).removeRecursively();
    }
}

// Creates the folder if needed and checks it is a real folder of ours with mode 0700.
bool TempFolder::prepare(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        m_error = folder + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        m_error = folder + QStringLiteral(": not a private folder of this user");
        return false;
    }
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) {
        m_error = folder + QStringLiteral(": cannot make the folder private");
        return false;
    }
    return true;
}

void TempFolder::empty()
{
    if (m_path.isEmpty())
        return;
    QDir dir(m_path);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName() == LockName)
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

void TempFolder::removeWorkingCopies(const QString &identifier)
{
    if (m_path.isEmpty() || identifier.isEmpty())
        return;
    QDir dir(m_path);
    const QString prefix = identifier + u'.';
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            dir.remove(name);
    }
}

} // namespace vorn
