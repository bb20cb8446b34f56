#include "edit/Commit.h"

#include "edit/KeywordSync.h"
#include "store/Catalogue.h"
#include "store/IconStore.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

#include <QFile>

namespace vorn::edit {

Commit::Commit(Catalogue &catalogue) : m_catalogue(catalogue), m_lock(catalogue.dataFolder)
{
}

EditResult Commit::begin()
{
    switch (m_lock.lock()) {
    case DataFolderLock::State::Held:
        break;
    case DataFolderLock::State::ReadOnly:
        return EditResult::failed(705, m_catalogue.dataFolder);
    case DataFolderLock::State::Busy:
        return EditResult::failed(EditResult::BusyMessage, m_lock.path());
    case DataFolderLock::State::Failed:
        return EditResult::failed(441, m_lock.path());
    }
    QString error;
    if (!mergeKeywordListFile(m_catalogue, &m_keywordsToWrite, &error))
        return EditResult::failed(441, error);
    m_keywordsAtStart = m_catalogue.keywords.size();
    return EditResult::done();
}

EditResult Commit::writeKeywordsIfNeeded()
{
    if (!m_keywordsToWrite && m_catalogue.keywords.size() == m_keywordsAtStart)
        return EditResult::done();
    QString error;
    if (!KeywordList::write(m_catalogue, &error))
        return EditResult::failed(441, m_catalogue.keywordListPath() + QStringLiteral(": ") + error);
    m_keywordsToWrite = false;
    m_keywordsAtStart = m_catalogue.keywords.size();
    return EditResult::done();
}

void keepInArray(Catalogue &catalogue, int position, DiscRecord written)
{
    DiscRecord &mine = catalogue.disc(position);
    if (withoutDisplaySuffix(mine.name) == written.name)
        written.name = mine.name;
    written.totalSize = mine.totalSize;
    written.capturedSize = mine.capturedSize;
    written.fileCount = mine.fileCount;
    written.archiveCount = mine.archiveCount;
    written.memberCount = mine.memberCount;
    written.capturedCount = mine.capturedCount;
    written.fileListRead = mine.fileListRead;
    mine = std::move(written);
}

void storeOwnIcon(Catalogue &catalogue, const QString &identifier)
{
    QFile icon(catalogue.workingCopy(identifier, QStringLiteral(".ico")));
    if (!icon.open(QIODevice::ReadOnly))
        return;
    catalogue.discIcons.insert(identifier, icon.readAll());
    icon.close();
    IconStore::add(catalogue, identifier);
}

} // namespace vorn::edit
