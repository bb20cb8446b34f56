#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace vorn {

// The open data folder: its disc array, keyword list and field names, with the
// temporary folder where working copies of disc members live. Positions in the disc
// array, the keyword list and the field-name list count from 1; entry 0 is unused.
struct Catalogue
{
    QString dataFolder; // native path ending in a separator
    QString tempFolder; // native path ending in a separator

    std::vector<DiscRecord> discs{1};
    std::vector<KeywordEntry> keywords{1};
    QStringList fieldNames{QString()};
    int current = 0; // position of the disc shown; 0 for none

    // Sort state of the disc list: key 0 name, 1 burn date.
    int sortKey = 0;
    bool sortDescending = false;

    // Member flag word of the next pack (reset to 0 by a successful pack).
    int memberFlags = 0;

    // Icons available under "I" & identifier: the bytes of each .ico file.
    QHash<QString, QByteArray> discIcons;

    // Archive file names found at opening that differ from identifier & ".VORN" only
    // in letter case ("888.vorn"), by identifier: such an archive is read, rewritten
    // and deleted under its own name, never beside a second file.
    QHash<QString, QString> archiveFileNames;

    int discCount() const { return int(discs.size()) - 1; }
    DiscRecord &disc(int position) { return discs[size_t(position)]; }
    const DiscRecord &disc(int position) const { return discs[size_t(position)]; }

    // Data folder & the archive's file name: id & ".VORN", or the name found at opening.
    QString archivePath(const QString &identifier) const;
    QString workingCopy(const QString &identifier, const QString &extension) const;
    QString keywordListPath() const; // data folder & "MC.txt"
    QString iconStorePath() const; // data folder & "VORN.Icons"
};

} // namespace vorn
