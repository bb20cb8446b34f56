#include "common/ProfileFile.h"

#include "common/DurableFile.h"
#include "common/LineFields.h"
#include "common/TextCodec.h"

#include <QFile>
#include <QSaveFile>

namespace vorn {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool ProfileFile::load(const QString &path)
{
    m_sections.clear();
    m_index.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    parse(data);
    return true;
}

void ProfileFile::parse(QByteArrayView data)
{
    m_sections.clear();
    m_index.clear();
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    Section *current = nullptr;
    bool duplicate = false; // inside a repeated section header: its lines are skipped
    forEachLine(data, [&](QByteArrayView bytes) {
        const QString line = decodeText(bytes);
        const QStringView trimmed = QStringView(line).trimmed();
        if (trimmed.isEmpty() || trimmed.front() == u';')
            return true;
        if (trimmed.front() == u'[') {
            qsizetype close = trimmed.indexOf(u']');
            if (close < 0)
                close = trimmed.size();
            const QString name = trimmed.sliced(1, close - 1).trimmed().toString();
            current = findSection(name);
            duplicate = current != nullptr;
            if (!current) {
                m_sections.push_back(Section{name, {}});
                m_index.insert(name.toCaseFolded(), qsizetype(m_sections.size()) - 1);
                current = &m_sections.back();
            }
            return true;
        }
        if (!current || duplicate)
            return true;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return true;
        const QString key = QStringView(line).first(equals).trimmed().toString();
        if (key.isEmpty())
            return true;
        for (const Entry &entry : current->entries) {
            if (sameName(entry.key, key))
                return true;
        }
        current->entries.push_back(Entry{key, line.sliced(equals + 1)});
        return true;
    });
}

bool ProfileFile::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = serialize();
    if (file.write(data) != data.size())
        return false;
    return commitDurably(file);
}

QByteArray ProfileFile::serialize() const
{
    QByteArray out;
    for (const Section &section : m_sections) {
        out += '[';
        out += section.name.toUtf8();
        out += "]\r\n";
        for (const Entry &entry : section.entries) {
            out += entry.key.toUtf8();
            out += '=';
            out += entry.value.toUtf8();
            out += "\r\n";
        }
    }
    return out;
}

QString ProfileFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const Section *found = findSection(section)) {
        for (const Entry &entry : found->entries) {
            if (sameName(entry.key, key))
                return entry.value;
        }
    }
    return defaultValue;
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    QString stored = value;
    stored.replace(u'\r', u' ').replace(u'\n', u' ');
    Section &target = sectionForWrite(section);
    for (Entry &entry : target.entries) {
        if (sameName(entry.key, key)) {
            entry.value = stored;
            return;
        }
    }
    target.entries.push_back(Entry{key, stored});
}

bool ProfileFile::hasSection(const QString &section) const
{
    return findSection(section) != nullptr;
}

QStringList ProfileFile::sections() const
{
    QStringList names;
    names.reserve(qsizetype(m_sections.size()));
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

QStringList ProfileFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *found = findSection(section)) {
        for (const Entry &entry : found->entries)
            names.append(entry.key);
    }
    return names;
}

void ProfileFile::removeSection(const QString &section)
{
    const auto it = m_index.constFind(section.toCaseFolded());
    if (it == m_index.constEnd())
        return;
    m_sections.erase(m_sections.begin() + *it);
    rebuildIndex();
}

ProfileFile::Section *ProfileFile::findSection(const QString &name)
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it == m_index.constEnd() ? nullptr : &m_sections[size_t(*it)];
}

const ProfileFile::Section *ProfileFile::findSection(const QString &name) const
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it == m_index.constEnd() ? nullptr : &m_sections[size_t(*it)];
}

ProfileFile::Section &ProfileFile::sectionForWrite(const QString &name)
{
    if (Section *found = findSection(name))
        return *found;
    m_sections.push_back(Section{name, {}});
    m_index.insert(name.toCaseFolded(), qsizetype(m_sections.size()) - 1);
    return m_sections.back();
}

void ProfileFile::rebuildIndex()
{
    m_index.clear();
    for (qsizetype i = 0; i < qsizetype(m_sections.size()); ++i)
        m_index.insert(m_sections[size_t(i)].name.toCaseFolded(), i);
}

} // namespace vorn
