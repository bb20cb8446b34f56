#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vorn::test {

// Points the settings store at a fresh temporary folder for the life of the object,
// so a test never reads or writes the user's own settings.
class IsolatedSettings
{
public:
    IsolatedSettings();
    ~IsolatedSettings();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Writes bytes to a file, creating its folders; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace vorn::test
