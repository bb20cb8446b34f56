#include "settings/StringTable.h"

#include "settings/AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <atomic>

namespace vorn {

namespace {

std::atomic<qint16> g_languageOffset{0};

// Undoes the escapes of the table file: "\n" newline, "\t" tab, "\\" backslash.
QString unescape(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'n') {
                result += u'\n';
                ++i;
                continue;
            }
            if (next == u't') {
                result += u'\t';
                ++i;
                continue;
            }
            if (next == u'\\') {
                result += u'\\';
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

// The table file: one "identifier<TAB>text" per line; "#" starts a comment line. The
// installed copy is read when there is one (its texts can be corrected in place),
// else the copy built into the program.
QHash<int, QString> loadTable()
{
    QHash<int, QString> table;
    QFile file;
    if (QCoreApplication::instance())
        file.setFileName(QDir(resourceFolder()).filePath(QStringLiteral("strings.txt")));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) {
        file.setFileName(QStringLiteral(":/strings.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return table;
    }
    const QString all = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(all).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.first(tab).toInt(&ok);
        if (ok)
            table.insert(id, unescape(line.sliced(tab + 1)));
    }
    return table;
}

const QHash<int, QString> &table()
{
    static const QHash<int, QString> loaded = loadTable();
    return loaded;
}

} // namespace

qint16 LanguageOffset()
{
    return g_languageOffset.load();
}

void setLanguageOffset(qint16 offset)
{
    g_languageOffset.store(offset);
}

QString CaptionTitle(int id)
{
    QString title = LoadText(id);
    title.remove(u'&');
    if (title.endsWith(QLatin1String("...")))
        title.chop(3);
    return title;
}

QString LoadText(int id)
{
    const int key = id < 9000 ? id + LanguageOffset() : id;
    const auto it = table().constFind(key);
    if (it != table().constEnd())
        return it.value();
    if (id == 99)
        return LanguageOffset() ? QStringLiteral("Error cannot find resource!")
                                : QStringLiteral("Erreur Ressource Introuvable!");
    return LoadText(99);
}

bool hasText(int id)
{
    return table().contains(id);
}

} // namespace vorn
