#pragma once

#include "store/Catalogue.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QXmlStreamReader>
#include <QtEndian>

namespace vorn::test {

// Resolves the HTML entity the fixed fragments use, so pages can be read as XML.
class HtmlEntities : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString &name) override
    {
        return name == QLatin1String("nbsp") ? QString(QChar(0xA0)) : QString();
    }
};

struct XmlReading
{
    bool wellFormed = false;
    QString error;
    QString text;   // every character of the text content, in order
    QStringList attributeValues;
};

inline XmlReading readXml(const QByteArray &page)
{
    XmlReading reading;
    HtmlEntities entities;
    QXmlStreamReader reader(page);
    reader.setEntityResolver(&entities);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isCharacters())
            reading.text += reader.text();
        if (reader.isStartElement())
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                reading.attributeValues << attribute.value().toString();
    }
    reading.wellFormed = !reader.hasError();
    reading.error = reader.errorString() + QStringLiteral(" at line ")
        + QString::number(reader.lineNumber()) + u':' + QString::number(reader.columnNumber());
    return reading;
}

// A one-image ICO file of a square picture of one colour.
inline QByteArray icoOf(int side, QRgb colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    writer.write(image);
    return buffer.data();
}

// Joins one-image ICO files into one ICO holding all their images.
inline QByteArray joinIcos(const QList<QByteArray> &icos)
{
    const int count = int(icos.size());
    QByteArray header("\0\0\1\0", 4);
    header.append(char(count & 0xFF)).append(char(count >> 8));
    QByteArray entries;
    QByteArray data;
    quint32 offset = quint32(6 + 16 * count);
    for (const QByteArray &ico : icos) {
        const quint32 size = qFromLittleEndian<quint32>(ico.constData() + 6 + 8);
        const quint32 start = qFromLittleEndian<quint32>(ico.constData() + 6 + 12);
        QByteArray entry = ico.mid(6, 16);
        qToLittleEndian<quint32>(offset + quint32(data.size()), entry.data() + 12);
        entries += entry;
        data += ico.mid(start, size);
    }
    return header + entries + data;
}

inline FolderRecord folder(const QString &name, qint32 parent)
{
    FolderRecord record;
    record.name = name;
    record.parent = parent;
    return record;
}

inline FileRecord file(const QString &name, qint32 owner)
{
    FileRecord record;
    record.name = name;
    record.owner = owner;
    record.size = 100;
    return record;
}

} // namespace vorn::test
