#include "store/Mp3TagStore.h"

#include "common/Numbers.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace vorn {

namespace {

const QString kTitle = QStringLiteral("TIT");
const QString kAlbum = QStringLiteral("ALB");
const QString kArtist = QStringLiteral("ART");
const QString kComment = QStringLiteral("COM");
const QString kYear = QStringLiteral("YEA");
const QString kTrack = QStringLiteral("PIS");

} // namespace

void Mp3TagStore::set(qint64 fileNumber, const Mp3Tags &tags)
{
    const QString section = QString::number(fileNumber);
    m_profile.setValue(section, kTitle, tags.title);
    m_profile.setValue(section, kAlbum, tags.album);
    m_profile.setValue(section, kArtist, tags.artist);
    m_profile.setValue(section, kComment, tags.comment);
    m_profile.setValue(section, kYear, QString::number(tags.year));
    m_profile.setValue(section, kTrack, tags.track);
}

bool Mp3TagStore::contains(qint64 fileNumber) const
{
    return m_profile.hasSection(QString::number(fileNumber));
}

Mp3Tags Mp3TagStore::tags(qint64 fileNumber) const
{
    const QString section = QString::number(fileNumber);
    Mp3Tags tags;
    if (!m_profile.hasSection(section))
        return tags;
    tags.title = m_profile.value(section, kTitle);
    tags.album = m_profile.value(section, kAlbum);
    tags.artist = m_profile.value(section, kArtist);
    tags.comment = m_profile.value(section, kComment);
    tags.year = qint32(std::clamp<qint64>(integerValue(m_profile.value(section, kYear)),
                                          std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    tags.track = m_profile.value(section, kTrack);
    return tags;
}

void Mp3TagReader::forget()
{
    m_identifier.clear();
    m_path.clear();
    m_fileSize = -1;
    m_modified = QDateTime();
    m_store.clear();
}

Mp3Tags Mp3TagReader::read(const Catalogue &catalogue, const QString &identifier, qint64 fileNumber)
{
    const QString path = catalogue.workingCopy(identifier, QStringLiteral(".id3"));
    QFileInfo info(path);
    if (!info.isFile()) {
        DiscArchive::unpack(catalogue, identifier, QStringLiteral(".id3;"));
        info.refresh();
        if (!info.isFile()) {
            forget();
            return {};
        }
    }
    if (identifier != m_identifier || path != m_path || info.size() != m_fileSize
        || info.lastModified() != m_modified) {
        forget();
        if (!m_store.load(path))
            return {};
        m_identifier = identifier;
        m_path = path;
        m_fileSize = info.size();
        m_modified = info.lastModified();
    }
    return m_store.tags(fileNumber);
}

} // namespace vorn
