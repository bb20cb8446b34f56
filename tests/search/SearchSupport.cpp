#include "SearchSupport.h"

#include "common/DayDate.h"
#include "common/RunObserver.h"
#include "store/BookmarkFile.h"
#include "store/CapturedTextStore.h"
#include "store/DataFolder.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

namespace vorn::test {

double day(int y, int m, int d, int h, int mi, int s)
{
    return dayNumberFromDateTime(QDateTime(QDate(y, m, d), QTime(h, mi, s)));
}

SearchFixture::SearchFixture() = default;

void SearchFixture::addKeyword(const QString &name, qint16 number)
{
    m_keywords.push_back({name, number});
}

void SearchFixture::addDisc(const DiscSpec &fixtureDisc)
{
    Catalogue c;
    c.dataFolder = m_data.path() + u'/';
    c.tempFolder = m_temp.path() + u'/';
    c.keywords = m_keywords;
    ASSERT_TRUE(KeywordList::write(c));
    const QString id = fixtureDisc.identifier;

    QByteArray rep = TreeFiles::folderFileHeader();
    for (const FolderRecord &folder : fixtureDisc.folders)
        TreeFiles::appendFolderLine(rep, folder);
    QByteArray fic = TreeFiles::fileListHeader();
    for (const FileRecord &file : fixtureDisc.files)
        TreeFiles::appendFileLine(fic, file);
    fic += fixtureDisc.extraLines;
    ASSERT_TRUE(writeFile(c.workingCopy(id, ".rep"), rep));
    ASSERT_TRUE(writeFile(c.workingCopy(id, ".fic"), fic));
    int flags = Member::Rep | Member::Fic;
    if (!fixtureDisc.texts.empty()) {
        CapturedTextWriter writer;
        ASSERT_TRUE(writer.begin(c.workingCopy(id, ".text")));
        for (const QString &text : fixtureDisc.texts)
            writer.append(text);
        ASSERT_TRUE(writer.finish());
        flags |= Member::Text;
    }
    if (!fixtureDisc.tags.empty()) {
        Mp3TagStore store;
        for (const auto &[number, tags] : fixtureDisc.tags)
            store.set(number, tags);
        ASSERT_TRUE(store.save(c.workingCopy(id, ".id3")));
        flags |= Member::Id3;
    }
    if (!fixtureDisc.bookmarks.empty()) {
        std::vector<BookmarkRecord> list(1);
        list.insert(list.end(), fixtureDisc.bookmarks.begin(), fixtureDisc.bookmarks.end());
        ASSERT_TRUE(BookmarkFile::write(c, id, list));
        flags |= Member::Sig;
    }
    DiscRecord disc;
    disc.identifier = id;
    disc.name = fixtureDisc.name;
    disc.keywordCodes = fixtureDisc.keywordCodes;
    disc.excluded = fixtureDisc.excluded;
    c.memberFlags = flags;
    ASSERT_TRUE(writeRecord(c, disc, 4));
    QDir temp(c.tempFolder);
    for (const QString &name : temp.entryList(QDir::Files))
        temp.remove(name);
}

Catalogue SearchFixture::open()
{
    Catalogue c;
    c.tempFolder = m_temp.path() + u'/';
    RecordingObserver observer;
    EXPECT_TRUE(openDataFolder(c, m_data.path(), observer));
    return c;
}

std::vector<qint64> allDiscs(const Catalogue &catalogue)
{
    std::vector<qint64> selection(size_t(catalogue.discCount()) + 1, 0);
    for (int i = 1; i <= catalogue.discCount(); ++i)
        selection[size_t(i)] = i;
    return selection;
}

QStringList SearchResult::names() const
{
    QStringList names;
    for (const SearchRow &row : rows)
        names << row.name;
    return names;
}

SearchResult search(const Catalogue &catalogue, const SearchCriteria &criteria,
                    RunObserver &observer, const std::vector<qint64> &selection,
                    SearchOptions options)
{
    SearchResultList list;
    SearchResult result;
    result.outcome = runSearch(catalogue, criteria, selection, observer, list, options);
    result.rows = list.rows;
    return result;
}

SearchResult search(const Catalogue &catalogue, const SearchCriteria &criteria)
{
    RecordingObserver observer;
    return search(catalogue, criteria, observer, allDiscs(catalogue));
}

} // namespace vorn::test
