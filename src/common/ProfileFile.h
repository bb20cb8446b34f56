#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace vorn {

// A "[section]" / "key=value" text file, like the platform profile files the stores
// use. Section and key names are compared ignoring case; order is kept as written.
// A value is the text after the first "=" as it stands. Lines before the first
// section, blank lines and ";" comment lines are skipped; when a section or a key
// occurs twice, the first one counts. setValue turns CR and LF into spaces so a value
// stays on its line.
class ProfileFile
{
public:
    bool load(const QString &path); // false when the file cannot be read
    void parse(QByteArrayView data);
    bool save(const QString &path) const; // UTF-8, CRLF line ends
    QByteArray serialize() const;

    QString value(const QString &section, const QString &key, const QString &defaultValue = QString()) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    bool hasSection(const QString &section) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;
    void removeSection(const QString &section);

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        std::vector<Entry> entries;
    };
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    Section &sectionForWrite(const QString &name);
    void rebuildIndex();
    std::vector<Section> m_sections;
    QHash<QString, qsizetype> m_index; // case-folded section name -> position
};

} // namespace vorn
