#pragma once

#include "store/Catalogue.h"
#include "store/RecordText.h"
#include "store/Records.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vorn::test {

inline const QByteArray FolderHeader = "\"/VORN_Rep/\",200,0,\"\",\"\"\r\n";

inline DiscRecord discRecord(const QString &id, const QString &name)
{
    DiscRecord record;
    record.identifier = id;
    record.name = name;
    return record;
}

// A catalogue whose data folder and temporary folder are fresh temporary folders.
struct StoreFixture : ::testing::Test
{
    QTemporaryDir data, temp;
    Catalogue catalogue;

    StoreFixture()
    {
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
    }
    QStringList tempEntries() const
    {
        return QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
    // Writes the disc's archive: its record and the given members (extension, bytes),
    // a folder file when none are given. The working copies are removed afterwards.
    DiscRecord writeDisc(const DiscRecord &record,
                         std::vector<std::pair<const char *, QByteArray>> members = {{".rep", FolderHeader}})
    {
        static const QHash<QString, int> bits{{".rep", Member::Rep}, {".fic", Member::Fic},
            {".text", Member::Text}, {".ico", Member::Ico}, {".sig", Member::Sig}, {".id3", Member::Id3}};
        catalogue.memberFlags = 0;
        for (const auto &[extension, bytes] : members) {
            EXPECT_TRUE(writeFile(catalogue.workingCopy(record.identifier, extension), bytes));
            catalogue.memberFlags |= bits.value(extension);
        }
        EXPECT_TRUE(writeRecord(catalogue, record, 4)) << record.identifier.toStdString();
        for (const auto &member : members)
            QFile::remove(catalogue.workingCopy(record.identifier, member.first));
        return record;
    }
    DiscRecord writeDisc(const QString &id, const QString &name) { return writeDisc(discRecord(id, name)); }
    // Appends discs (identifier, name) to the disc array without writing anything.
    void addDiscs(std::initializer_list<std::pair<const char *, const char *>> discs)
    {
        for (const auto &[id, name] : discs)
            catalogue.discs.push_back(discRecord(id, name));
    }
};

inline QStringList discNames(const Catalogue &catalogue)
{
    QStringList names;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        names << catalogue.disc(i).name;
    return names;
}

// "number=name" of each entry from position `from` on, joined by ";".
inline QString keywordsText(const std::vector<KeywordEntry> &entries, size_t from = 1)
{
    QStringList texts;
    for (size_t i = from; i < entries.size(); ++i)
        texts << QString::number(entries[i].number) + '=' + entries[i].name;
    return texts.join(u';');
}

inline QString discIds(const Catalogue &catalogue)
{
    QStringList ids;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        ids << catalogue.disc(i).identifier;
    return ids.join(u',');
}

} // namespace vorn::test
