#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

struct Catalogue;
class RunObserver;

// What opening a data folder met on the way.
struct OpenReport
{
    int discsRead = 0;
    QStringList unreadable; // archive file names that could not be read
    QStringList leftOut; // archives of an identifier read from an earlier name
    bool writable = true; // the write test
    bool conversionDeclined = false;
};

// Opens a data folder: reads its keyword list, converts an older folder when the user
// agrees, loads the icon store, reads every disc archive's record into the disc array
// (archives named by their identifier only, in name order), sorts the array by the
// catalogue's sort state, gives duplicate names their suffix and runs the write test.
// Archives that cannot be read are left out, untouched, and named in one message.
// Archive names are matched ignoring case; when two names give one identifier
// ("888.VORN" and "888.vorn") the first in name order is used and a message names
// the others, which are left untouched.
// False when the folder does not exist.
bool openDataFolder(Catalogue &catalogue, const QString &folder, RunObserver &observer, OpenReport *report = nullptr);

// The identifier a "*.VORN" file name stands for, or an empty text when the name is
// not exactly an identifier followed by ".VORN" ("12 copy.VORN", "12 (2).VORN").
QString identifierOfArchiveName(const QString &fileName);

// Writes and removes "Test d'écriture VORN" in the folder; false when it cannot be
// written there.
bool writeTest(const QString &folder);

} // namespace vorn
