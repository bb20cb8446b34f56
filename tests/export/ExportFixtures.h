#pragma once

#include "settings/StringTable.h"
#include "store/BookmarkFile.h"
#include "store/Catalogue.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <tuple>

namespace vorn::test {

inline FolderRecord folderRecord(const QString &name, qint32 parent)
{
    FolderRecord record;
    std::tie(record.name, record.parent) = std::tuple(name, parent);
    return record;
}
inline FileRecord fileRecord(const QString &name, qint32 owner, qint64 size = 100, qint32 link = 0)
{
    FileRecord record;
    std::tie(record.name, record.owner, record.size, record.link) = std::tuple(name, owner, size, link);
    return record;
}

// One disc to write into a data folder: its record and its tree files and bookmarks.
struct FixtureDisc
{
    QString identifier, name, keywordCodes = {};
    std::vector<FolderRecord> folders = {};     // without the root
    std::vector<FileRecord> files = {};
    std::vector<BookmarkRecord> bookmarks = {}; // without entry 0
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
        ASSERT_TRUE(writeFile(catalogue.workingCopy(d.identifier, ".rep"), TreeFiles::folderFileBytes(d.folders)));
        ASSERT_TRUE(writeFile(catalogue.workingCopy(d.identifier, ".fic"), TreeFiles::fileListBytes(d.files)));
        catalogue.memberFlags = Member::Rep | Member::Fic;
        if (!d.bookmarks.empty()) {
            std::vector<BookmarkRecord> list(1);
            list.insert(list.end(), d.bookmarks.begin(), d.bookmarks.end());
            ASSERT_TRUE(BookmarkFile::write(catalogue, d.identifier, list));
            catalogue.memberFlags |= Member::Sig;
        }
        DiscRecord disc;
        std::tie(disc.identifier, disc.name, disc.keywordCodes) = std::tie(d.identifier, d.name, d.keywordCodes);
        ASSERT_TRUE(writeRecord(catalogue, disc, 4));
        for (const char *extension : {".rep", ".fic", ".sig"})
            QFile::remove(catalogue.workingCopy(d.identifier, extension));
        catalogue.discs.push_back(disc);
    }
    QString dataPath() const { return data.path(); }

    QTemporaryDir data, temp;
    IsolatedSettings settings;
    Catalogue catalogue;
};

// A page read as XML (the one entity the fixed fragments use resolved): whether it is
// well formed, all its text content and all its attribute values.
struct XmlReading { bool wellFormed = false; QString error, text; QStringList attributeValues; };
inline XmlReading readXml(const QByteArray &page)
{
    struct Entities : QXmlStreamEntityResolver {
        QString resolveUndeclaredEntity(const QString &name) override { return name == u"nbsp" ? QString(QChar(0xA0)) : QString(); }
    } entities;
    XmlReading reading;
    QXmlStreamReader reader(page);
    reader.setEntityResolver(&entities);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isCharacters())
            reading.text += reader.text();
        for (const QXmlStreamAttribute &attribute : reader.attributes())
            reading.attributeValues << attribute.value().toString();
    }
    reading.wellFormed = !reader.hasError();
    reading.error = reader.errorString() + " at line " + QString::number(reader.lineNumber());
    return reading;
}

// A one-image ICO file of a square picture of one colour.
inline QByteArray icoOf(int side, QRgb colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "ico").write(image);
    return buffer.data();
}

// Joins one-image ICO files into one ICO holding all their images.
inline QByteArray joinIcos(const QList<QByteArray> &icos)
{
    QByteArray entries, data;
    for (const QByteArray &ico : icos) {
        QByteArray entry = ico.mid(6, 16);
        qToLittleEndian<quint32>(quint32(6 + 16 * icos.size() + data.size()), entry.data() + 12);
        entries += entry;
        data += ico.mid(qFromLittleEndian<quint32>(ico.constData() + 18), qFromLittleEndian<quint32>(ico.constData() + 14));
    }
    return QByteArray("\0\0\1\0", 4) + char(icos.size()) + '\0' + entries + data;
}

} // namespace vorn::test

using namespace vorn;
using namespace vorn::test;
