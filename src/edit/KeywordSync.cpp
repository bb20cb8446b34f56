#include "edit/KeywordSync.h"

#include "store/Catalogue.h"
#include "store/KeywordCodes.h"
#include "store/KeywordList.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace vorn {

namespace {

bool numberUsed(const std::vector<KeywordEntry> &list, int number)
{
    return std::any_of(list.begin() + 1, list.end(), [&](const KeywordEntry &entry) { return entry.number == number; });
}

int findName(const std::vector<KeywordEntry> &list, const QString &name)
{
    for (size_t i = 1; i < list.size(); ++i) {
        if (list[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

} // namespace

bool mergeKeywordListFile(Catalogue &catalogue, bool *fileLacksEntries, QString *error)
{
    *fileLacksEntries = false;
    std::vector<KeywordEntry> merged(1);
    QFile file(catalogue.keywordListPath());
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
            return false;
        }
        for (KeywordEntry &entry : KeywordList::parse(file.readAll()))
            merged.push_back(std::move(entry));
    }
    const size_t fromFile = merged.size();

    QHash<int, int> renumbered;
    for (size_t i = 1; i < catalogue.keywords.size(); ++i) {
        const KeywordEntry &mine = catalogue.keywords[i];
        if (mine.name.isEmpty() || mine.number == 0)
            continue;
        if (const int at = findName(merged, mine.name); at > 0) {
            if (merged[size_t(at)].number != mine.number)
                renumbered.insert(mine.number, merged[size_t(at)].number);
            continue;
        }
        KeywordEntry kept = mine;
        if (numberUsed(merged, kept.number)) {
            catalogue.keywords.swap(merged);
            kept.number = KeywordList::nextNumber(catalogue);
            catalogue.keywords.swap(merged);
            renumbered.insert(mine.number, kept.number);
        }
        merged.push_back(kept);
    }
    *fileLacksEntries = merged.size() > fromFile;

    if (!renumbered.isEmpty()) {
        for (int position = 1; position <= catalogue.discCount(); ++position) {
            QString &codes = catalogue.disc(position).keywordCodes;
            std::vector<int> numbers = keywordNumbers(codes);
            for (int &number : numbers)
                number = renumbered.value(number, number);
            codes = keywordCodesOf(numbers);
        }
    }
    catalogue.keywords = std::move(merged);
    return true;
}

QStringList keywordNamesOf(const QString &terminated)
{
    QStringList names = terminated.split(u';');
    names.removeLast(); // the text after the last ";" is not a name
    names.removeAll(QString());
    return names;
}

QString terminatedNames(const QStringList &names)
{
    QString text;
    for (const QString &name : names)
        text += name + u';';
    return text;
}

} // namespace vorn
