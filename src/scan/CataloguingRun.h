#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
class FilterTable;
class RunObserver;
class Volume;

// What a cataloguing run is asked to do.
struct CataloguingRequest
{
    QString identifier; // names every working copy the run writes
    qint32 options = 0; // 1 text, 2 first line, 4 texts in archives, 8 ZIP, 256 CAB, 1024 RAR
    qint64 maxTextSize = 0; // bytes: a file or member is captured when its size is at most this
    // True when the caller appended the disc's record for this run, so a cancel takes
    // it out again; false when an existing record is re-catalogued in place.
    bool recordAppended = true;
};

// Counters shown while the run goes, and its outcome.
struct CataloguingCounters
{
    int folders = 0;
    int files = 0;
    int members = 0;
    int texts = 0;
};

// The cataloguing run: walks the whole tree of `volume` through the walker classes
// (cDirectory, cFile; they alone read the disc) and writes the disc's folder
// file, file list, captured-text store and MP3 tag store into the temporary folder,
// setting the member flag word to 567 so the caller's record write packs them.
// Names beginning with "." are skipped, symbolic links are never followed.
// A cancel (the observer's flag, or Cancel on the retry question) deletes the disc's
// working copies, removes the last record of the disc array (the one the caller
// appended for this run) and sets the current disc to none.
class CataloguingRun
{
public:
    CataloguingRun(Catalogue &catalogue, const Volume &volume, const FilterTable &filters, RunObserver &observer);

    // SauveArborescence: true when the run completed.
    bool run(const CataloguingRequest &request);

    const CataloguingCounters &counters() const { return m_counters; }
    // A message when the run failed for a reason other than a cancel.
    const QString &error() const { return m_error; }

private:
    class Walk;
    Catalogue &m_catalogue;
    const Volume &m_volume;
    const FilterTable &m_filters;
    RunObserver &m_observer;
    CataloguingCounters m_counters;
    QString m_error;
};

} // namespace vorn
