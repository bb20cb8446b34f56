#pragma once

namespace vorn {

struct Catalogue;
class RunObserver;

// Converts a data folder of the older format ("CDS_INF.txt" and loose <id>.* files)
// into disc archives, after asking the user. Each disc's loose files are packed with
// its record; they are deleted from the data folder only once its archive is written,
// so a disc that fails keeps its files where they were. "CDS_INF.txt" is deleted when
// every disc was converted. False when the user declined.
bool convertOlderDataFolder(Catalogue &catalogue, RunObserver &observer);

} // namespace vorn
