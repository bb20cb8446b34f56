#pragma once

#include "store/Mp3TagStore.h"

#include <QString>

namespace vorn {

// The full MP3 summary the text viewer shows: one "label value" line per tag that has
// a value (artist, album, title, track, year, comment), each ended by CRLF, the labels
// in the interface language; the year is left out when it is 0.
QString mp3FullSummary(const Mp3Tags &tags);

} // namespace vorn
