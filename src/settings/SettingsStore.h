#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace vorn {

// The per-user settings store: application "VORN" -> section -> key -> text.
// Every value is text; a key that is absent gives the caller's default.
namespace Settings {

using Entries = QList<QPair<QString, QString>>;

QString read(const QString &section, const QString &key, const QString &defaultValue = {});
// Numeric reading of a key: absent gives the default; a value that is not a number gives 0.
qint64 readNumber(const QString &section, const QString &key, qint64 defaultValue);
void write(const QString &section, const QString &key, const QString &value);
void writeNumber(const QString &section, const QString &key, qint64 value);
bool contains(const QString &section, const QString &key);
// Numeric keys in numeric order first, then the others in name order.
Entries readSection(const QString &section);
void deleteSection(const QString &section);
// Writes pending changes to disk now; false when the settings file could not be written
// (the file that was there is left as it was).
bool sync();
// The settings file, for messages.
QString location();
// What the user is told when sync() fails: that the settings were not saved, and the
// file that keeps the previous ones.
QString notSavedText();

} // namespace Settings
} // namespace vorn
