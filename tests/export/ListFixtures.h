#pragma once

#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/BookmarkFile.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vorn::test {

// One disc to write into a data folder: its record and, when given, its tree files
// and bookmark file.
struct FixtureDisc
{
    QString identifier;
    QString name;
    QString keywordCodes;
    std::vector<FolderRecord> folders;     // without the root
    std::vector<FileRecord> files;
    std::vector<BookmarkRecord> bookmarks; // without entry 0
};

// A data folder and a temporary folder made for one test, with a catalogue over them.
class FixtureFolder
{
public:
    FixtureFolder()
    {
        setLanguageOffset(0);
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
    }

    void addKeyword(const QString &name, qint16 number)
    {
        catalogue.keywords.push_back({name, number});
        ASSERT_TRUE(KeywordList::write(catalogue));
    }

    // Writes the disc's archive and appends its record to the disc array.
    void addDisc(const FixtureDisc &d)
    {
        QByteArray rep = TreeFiles::folderFileHeader();
        for (const FolderRecord &folder : d.folders)
            TreeFiles::appendFolderLine(rep, folder);
        QByteArray fic = TreeFiles::fileListHeader();
        for (const FileRecord &file : d.files)
            TreeFiles::appendFileLine(fic, file);
        ASSERT_TRUE(writeFile(catalogue.workingCopy(d.identifier, ".rep"), rep));
        ASSERT_TRUE(writeFile(catalogue.workingCopy(d.identifier, ".fic"), fic));
        int flags = Member::Rep | Member::Fic;
        if (!d.bookmarks.empty()) {
            std::vector<BookmarkRecord> list(1);
            list.insert(list.end(), d.bookmarks.begin(), d.bookmarks.end());
            ASSERT_TRUE(BookmarkFile::write(catalogue, d.identifier, list));
            flags |= Member::Sig;
        }
        DiscRecord disc;
        disc.identifier = d.identifier;
        disc.name = d.name;
        disc.keywordCodes = d.keywordCodes;
        catalogue.memberFlags = flags;
        ASSERT_TRUE(writeRecord(catalogue, disc, 4));
        for (const char *extension : {".rep", ".fic", ".sig"})
            QFile::remove(catalogue.workingCopy(d.identifier, QString::fromLatin1(extension)));
        catalogue.discs.push_back(disc);
    }

    QString dataPath() const { return data.path(); }

    QTemporaryDir data;
    QTemporaryDir temp;
    IsolatedSettings settings;
    Catalogue catalogue;
};

} // namespace vorn::test
