#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSettings>

// The INI text of the settings file, in the layout Qt's own INI format reads and writes,
// so a file written by either reads back the same through the other: "[Section]" lines,
// keys with %XX / %UXXXX escapes, values with C-like escapes, quoted where they hold
// ',' ';' '=' or spaces at either end, UTF-8 text, top-level keys under "[General]".
namespace vorn::IniText {

// Keys are "section/key" paths as QSettings gives them; "key" alone is a top-level key.
QByteArray write(const QSettings::SettingsMap &map);
// Reads every key of the text into `map`. A line that is neither a section, a key nor a
// comment is skipped, as Qt skips it.
void read(QByteArrayView text, QSettings::SettingsMap &map);

} // namespace vorn::IniText
