#pragma once

#include <QString>

namespace vorn {

// Offset added to French identifiers below 9000: 0 French, 1000 English.
qint16 LanguageOffset();
void setLanguageOffset(qint16 offset);

// Every user-visible text by its French identifier (or a 9000-range identifier).
// A missing identifier gives text 99 in the current language.
QString LoadText(int id);

// A menu caption as the title of the window or dialog it opens: text `id` without its
// access-key marker "&" and without a final "...".
QString CaptionTitle(int id);

// True when the table holds exactly this identifier (no offset, no fallback).
bool hasText(int id);

} // namespace vorn
