#pragma once

#include "capture/FilterTable.h"
#include "edit/DiscCataloguing.h"
#include "scan/Volume.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vorn::test {

// A data folder, a folder standing in for a disc, and a catalogue open on the data
// folder with its own temporary folder (a second catalogue plays another copy).
struct EditFixture : ::testing::Test
{
    IsolatedSettings settings;
    QTemporaryDir data, disc, temp, otherTemp;
    Catalogue catalogue;
    RecordingObserver observer;
    FilterTable filters = BuildFilterTable();

    EditFixture()
    {
        setLanguageOffset(0);
        catalogue.tempFolder = temp.path() + u'/';
        writeFile(disc.filePath(QStringLiteral("a.txt")), "Hi\r\n");
    }
    // Another copy's view of the data folder, opened now.
    Catalogue openedCopy(const QString &tempFolder)
    {
        Catalogue copy;
        copy.tempFolder = tempFolder + u'/';
        EXPECT_TRUE(openDataFolder(copy, data.path(), observer));
        return copy;
    }
    void open() { ASSERT_TRUE(openDataFolder(catalogue, data.path(), observer)); }
    EditResult catalogueDisc(const QString &id, const QString &name, const QStringList &keywords = {})
    {
        edit::NewDisc newDisc{id, name, QStringLiteral("LBL"), {}, false, keywords};
        return edit::catalogueDisc(catalogue, newDisc, {1, 10240}, filters, HostVolume(disc.path()), observer);
    }
    RecordReading stored(const QString &id)
    {
        return readRecord(catalogue, id).value_or(RecordReading{});
    }
};

} // namespace vorn::test
