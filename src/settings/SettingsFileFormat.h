#pragma once

#include <QSettings>

namespace vorn {

// The format of the settings file: the INI text Qt's own format reads and writes (same
// ".conf" name, so an existing file reads back unchanged), but written out and checked
// before QSettings puts the new file in place. Qt's save file would write out what it
// still buffers at commit time without looking at the result, so on a full disk a file
// cut short would replace the old one and QSettings would report no error; with this
// format the old file stays and QSettings' status becomes AccessError.
QSettings::Format settingsFileFormat();

} // namespace vorn
