#include "settings/SettingsStore.h"

#include "common/DurableFile.h"
#include "common/Numbers.h"
#include "settings/SettingsFileFormat.h"
#include "settings/StringTable.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

namespace vorn::Settings {

namespace {

QSettings store()
{
    return QSettings(settingsFileFormat(), QSettings::UserScope, QStringLiteral("VORN"), QStringLiteral("VORN"));
}

QString path(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

bool isNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}

} // namespace

QString read(const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant value = store().value(path(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

qint64 readNumber(const QString &section, const QString &key, qint64 defaultValue)
{
    const QVariant value = store().value(path(section, key));
    if (!value.isValid())
        return defaultValue;
    return integerValue(value.toString());
}

void write(const QString &section, const QString &key, const QString &value)
{
    store().setValue(path(section, key), value);
}

void writeNumber(const QString &section, const QString &key, qint64 value)
{
    write(section, key, QString::number(value));
}

bool contains(const QString &section, const QString &key)
{
    return store().contains(path(section, key));
}

Entries readSection(const QString &section)
{
    QSettings settings = store();
    settings.beginGroup(section);
    QStringList keys = settings.childKeys();
    std::stable_sort(keys.begin(), keys.end(), [](const QString &a, const QString &b) {
        qint64 na = 0;
        qint64 nb = 0;
        const bool aNumeric = isNumber(a, &na);
        const bool bNumeric = isNumber(b, &nb);
        if (aNumeric != bNumeric)
            return aNumeric;
        if (aNumeric)
            return na < nb;
        return a < b;
    });
    Entries entries;
    entries.reserve(keys.size());
    for (const QString &key : keys)
        entries.append({key, settings.value(key).toString()});
    return entries;
}

void deleteSection(const QString &section)
{
    store().remove(section);
}

bool sync()
{
    // The new file is written whole beside the old one and checked, flushed to the disk
    // and renamed over it; the folder is flushed after, so the new entry is on the disk too.
    QSettings settings = store();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return false;
    syncFolderOf(settings.fileName());
    return true;
}

QString location()
{
    return store().fileName();
}

QString notSavedText()
{
    return LoadText(900) + u'\n' + QDir::toNativeSeparators(location());
}

} // namespace vorn::Settings
