#include "store/KeywordList.h"

#include "common/DurableFile.h"
#include "common/LineFields.h"
#include "store/Catalogue.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace vorn::KeywordList {

std::vector<KeywordEntry> parse(QByteArrayView data)
{
    std::vector<KeywordEntry> entries;
    LineFields fields;
    forEachLine(data, [&](QByteArrayView line) {
        if (line.trimmed().isEmpty())
            return true;
        fields.parse(line);
        KeywordEntry entry;
        entry.number = qint16(std::clamp<qint64>(fields.integer(0), -32768, 32767));
        entry.name = fields.text(1);
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

QByteArray format(const std::vector<KeywordEntry> &entries)
{
    QByteArray out;
    LineWriter writer(out);
    for (const KeywordEntry &entry : entries) {
        writer.integer(entry.number).text(entry.name);
        writer.endLine();
    }
    return out;
}

bool read(Catalogue &catalogue)
{
    catalogue.keywords.assign(1, KeywordEntry{});
    QFile file(catalogue.keywordListPath());
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    for (KeywordEntry &entry : parse(data))
        catalogue.keywords.push_back(std::move(entry));
    return true;
}

bool write(const Catalogue &catalogue, QString *error)
{
    const std::vector<KeywordEntry> entries(catalogue.keywords.begin() + 1, catalogue.keywords.end());
    QSaveFile file(catalogue.keywordListPath());
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = format(entries);
    if (file.write(bytes) != bytes.size() || !commitDurably(file)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

int find(const Catalogue &catalogue, QStringView name)
{
    for (int i = int(catalogue.keywords.size()) - 1; i >= 1; --i) {
        if (QStringView(catalogue.keywords[size_t(i)].name).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

qint16 nextNumber(const Catalogue &catalogue)
{
    if (catalogue.keywords.size() <= 1)
        return 1;
    qint16 largest = catalogue.keywords[1].number;
    for (size_t i = 2; i < catalogue.keywords.size(); ++i)
        largest = std::max(largest, catalogue.keywords[i].number);
    return qint16(largest + 1);
}

int add(Catalogue &catalogue, const QString &name)
{
    KeywordEntry entry;
    entry.name = name;
    entry.number = nextNumber(catalogue);
    catalogue.keywords.push_back(std::move(entry));
    return int(catalogue.keywords.size()) - 1;
}

int findNumber(const Catalogue &catalogue, qint16 number)
{
    for (size_t i = 1; i < catalogue.keywords.size(); ++i) {
        if (catalogue.keywords[i].number == number)
            return int(i);
    }
    return 0;
}

} // namespace vorn::KeywordList
