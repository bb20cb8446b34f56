#include "capture/FilterTable.h"

#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

namespace vorn {

FilterTable::FilterTable()
{
    clear();
}

void FilterTable::clear()
{
    m_entries.clear();
    m_entries.push_back(Entry{});
}

void FilterTable::append(const QString &pattern, int kind)
{
    m_entries.push_back(Entry{kind, WildcardPattern(pattern)});
}

void FilterTable::appendList(QStringView list, int kind)
{
    QStringView rest = list;
    qsizetype separator;
    while (!rest.isEmpty() && (separator = rest.indexOf(u';')) >= 0) {
        append(rest.left(separator).toString(), kind);
        rest = rest.mid(separator + 1);
    }
}

int FilterTable::match(QStringView name, int mask) const
{
    for (const Entry &entry : m_entries) {
        if ((entry.kind & mask) == 0 || entry.compiled.pattern().isEmpty())
            continue;
        if (entry.compiled.matches(name))
            return entry.kind;
    }
    return 0;
}

FilterTable BuildFilterTable(QStringView texts, QStringView zip, QStringView cab, QStringView rar)
{
    FilterTable table;
    table.appendList(texts, FilterKind::Text);
    table.appendList(zip, FilterKind::Zip);
    table.appendList(cab, FilterKind::Cab);
    table.appendList(rar, FilterKind::Rar);
    return table;
}

FilterTable BuildFilterTable()
{
    const QString section = QStringLiteral("Opt");
    return BuildFilterTable(Settings::read(section, QStringLiteral("FiltresTxt"), LoadText(9028)),
                            Settings::read(section, QStringLiteral("FiltresZip"), QStringLiteral("*.ZIP;*.EXE;")),
                            Settings::read(section, QStringLiteral("FiltresCab"), QStringLiteral("*.CAB;")),
                            Settings::read(section, QStringLiteral("FiltresRAR"), QStringLiteral("*.RAR;")));
}

void WriteFilterLists(const FilterTable &table)
{
    const struct
    {
        int kind;
        const char *key;
    } lists[] = {{FilterKind::Text, "FiltresTxt"},
                 {FilterKind::Zip, "FiltresZip"},
                 {FilterKind::Cab, "FiltresCab"},
                 {FilterKind::Rar, "FiltresRAR"}};
    for (const auto &list : lists) {
        QString text;
        for (qsizetype i = 1; i < table.size(); ++i) {
            if (table.kind(i) == list.kind && !table.pattern(i).isEmpty())
                text += table.pattern(i) + u';';
        }
        Settings::write(QStringLiteral("Opt"), QString::fromLatin1(list.key), text);
    }
}

FileClass classifyFile(const FilterTable &table, qint32 options, QStringView name)
{
    if ((options & (Opt::ListZip | Opt::ListCab | Opt::ListRar)) == 0)
        return FileClass::Ordinary;
    switch (table.match(name, FilterKind::Archives)) {
    case FilterKind::Zip:
        return (options & Opt::ListZip) ? FileClass::Zip : FileClass::Ordinary;
    case FilterKind::Cab:
        return (options & Opt::ListCab) ? FileClass::Cab : FileClass::Ordinary;
    case FilterKind::Rar:
        return (options & Opt::ListRar) ? FileClass::Rar : FileClass::Ordinary;
    default:
        return FileClass::Ordinary;
    }
}

} // namespace vorn
