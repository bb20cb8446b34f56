#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace vorn::test {

IsolatedSettings::IsolatedSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    // Derived data (the search index) goes to the cache location: keep it here too.
    m_cacheHomeSet = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    m_cacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/cache")));
}

IsolatedSettings::~IsolatedSettings()
{
    // Leave the store pointing at a folder that no longer holds anything of the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    if (m_cacheHomeSet)
        qputenv("XDG_CACHE_HOME", m_cacheHome);
    else
        qunsetenv("XDG_CACHE_HOME");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace vorn::test
