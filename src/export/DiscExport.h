#pragma once

#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;
class UserPrompt;

// The disc export window's request: the target folder as typed, the ticked discs
// (positions in the disc array, in list order) and whether to move them.
struct DiscExportRequest
{
    QString folder;
    std::vector<int> positions;
    bool move = false;
};

struct DiscExportResult
{
    enum class Outcome {
        Exported, // every ticked disc was handled; the count was shown
        InvalidFolder, // 430
        Declined, // No to the count question or to creating the folder
        CreateFailed, // 439
        TargetIsSource, // 700/701: the target is the data folder or a source archive
        Stopped, // stopped at 461, 440 or 602: the caller shows the folder
    };
    Outcome outcome = Outcome::Declined;
    int exported = 0; // archives copied (or moved)
    int moved = 0; // sources deleted after their copy
    QString folder; // the target folder, ending in a separator
    // The folder to open in the file manager after a stop.
    bool showFolder() const { return outcome == Outcome::Stopped; }
};

// The folder the window starts with: "Dirs"/"Export" of the settings, else the data
// folder followed by "Export".
QString initialExportFolder(const Catalogue &catalogue);

// Copies (or moves) the archives of the chosen discs into the target folder, asking
// the window's questions through the prompt: the count (450), creating a missing
// folder (464, 465), stopping when it already holds disc archives (461), overwriting
// an archive (420, 545) and going on after a failed copy (474, 602). Each archive is
// written under a temporary name first, so a failed copy leaves no broken archive.
// Discs copied before a stop stay copied. On success the count is shown (466) and the
// folder is stored as the next starting folder. The disc array is not changed: after
// a move the caller reopens the data folder.
DiscExportResult exportDiscs(const Catalogue &catalogue, const DiscExportRequest &request, UserPrompt &prompt);

} // namespace vorn
