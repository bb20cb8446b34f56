#pragma once

#include "common/ProfileFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace vorn {

struct Catalogue;

// The ID3 tags of one MP3 file as the store keeps them.
struct Mp3Tags
{
    QString title; // "TIT"
    QString album; // "ALB"
    QString artist; // "ART"
    QString comment; // "COM"
    qint32 year = 0; // "YEA", 0 when unknown
    QString track; // "PIS"

    bool operator==(const Mp3Tags &) const = default;
};

// The MP3 tag store <id>.id3: one profile section per MP3 file, named by the decimal
// file number, holding the six tag keys. A cataloguing run collects every file's tags
// here and writes the file once at its end; readers load a store and look up files.
class Mp3TagStore
{
public:
    void clear() { m_profile = ProfileFile(); }
    void set(qint64 fileNumber, const Mp3Tags &tags);
    // Whether the store has a section for the file.
    bool contains(qint64 fileNumber) const;
    // The file's tags; all empty (year 0) when the store has none for it.
    Mp3Tags tags(qint64 fileNumber) const;
    int count() const { return int(m_profile.sections().size()); }

    void parse(QByteArrayView data) { m_profile.parse(data); }
    bool load(const QString &path) { return m_profile.load(path); }
    QByteArray serialize() const { return m_profile.serialize(); }
    // Writes the whole store (an empty file when it holds no tags) to a new file that
    // replaces the old one only once complete.
    bool save(const QString &path) const { return m_profile.save(path); }

private:
    ProfileFile m_profile;
};

// Reads the tags of single files from a disc's working copy <id>.id3, unpacking it
// from the disc archive when missing. The parsed store is kept until the disc or the
// working copy changes.
class Mp3TagReader
{
public:
    Mp3Tags read(const Catalogue &catalogue, const QString &identifier, qint64 fileNumber);
    void forget();

private:
    QString m_identifier;
    QString m_path;
    qint64 m_fileSize = -1;
    QDateTime m_modified;
    Mp3TagStore m_store;
};

} // namespace vorn
