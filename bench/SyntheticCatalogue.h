#pragma once

#include <QString>
#include <cstdint>

namespace vorn::bench {

// What the synthetic catalogue generator makes: `discs` disc archives of
// `filesPerDisc` files each, with folders, realistic names, sizes, dates and
// descriptions, keywords, captured texts for a few percent of the files, ZIP archives
// with members for a few, and an icon for a share of the discs.
struct SyntheticOptions
{
    int discs = 100;
    int filesPerDisc = 1000;
    double textShare = 0.03; // files whose text was captured
    double archiveShare = 0.005; // files listed as archives with members
    double iconShare = 0.1; // discs with an icon
    int compression = 4;
    int firstIdentifier = 1000;
    std::uint32_t seed = 20061215;
};

// Writes the catalogue into `dataFolder` (created when missing), using `tempFolder`
// for the working copies. Prints progress every 100 discs. False on a write failure.
bool writeSyntheticCatalogue(const QString &dataFolder, const QString &tempFolder, const SyntheticOptions &options);

} // namespace vorn::bench
