#include "settings/SettingsFileFormat.h"

#include "settings/IniText.h"

#include <QFileDevice>

namespace vorn {

namespace {

// Always true: QSettings drops every key of a custom format whose reading failed, where
// its own INI reading keeps all it could read; a stray line in a hand-edited file must
// not cost the other settings.
bool readSettingsFile(QIODevice &device, QSettings::SettingsMap &map)
{
    IniText::read(device.readAll(), map);
    return true;
}

bool writeSettingsFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray text = IniText::write(map);
    if (device.write(text) != text.size())
        return false;
    auto *file = qobject_cast<QFileDevice *>(&device);
    return !file || (file->flush() && file->error() == QFileDevice::NoError);
}

} // namespace

QSettings::Format settingsFileFormat()
{
#ifdef Q_OS_WIN
    return QSettings::NativeFormat; // the registry: no file to replace
#else
    static const QSettings::Format format = [] {
        const QSettings::Format registered =
            QSettings::registerFormat(QStringLiteral("conf"), readSettingsFile, writeSettingsFile, Qt::CaseSensitive);
        return registered == QSettings::InvalidFormat ? QSettings::NativeFormat : registered;
    }();
    return format;
#endif
}

} // namespace vorn
