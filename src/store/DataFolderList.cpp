#include "store/DataFolderList.h"

#include "settings/AppFolders.h"
#include "settings/SettingsStore.h"

namespace vorn {

namespace {

const QString Section = QStringLiteral("DataDirs");
const QString ChargeKey = QStringLiteral("Charge");

} // namespace

DataFolderList::DataFolderList(const QString &defaultFolder) : m_folders{withTrailingSeparator(defaultFolder)}
{
}

void DataFolderList::load()
{
    m_folders = QStringList{m_folders.first()};
    m_current = 1;
    int charge = 1;
    for (const auto &[key, value] : Settings::readSection(Section)) {
        if (key.compare(ChargeKey, Qt::CaseInsensitive) == 0) {
            charge = int(value.trimmed().toLongLong());
            continue;
        }
        bool numeric = false;
        key.toInt(&numeric);
        if (!numeric || value.trimmed().isEmpty())
            continue;
        if (find(value) == 0)
            m_folders << withTrailingSeparator(value);
    }
    m_current = charge >= 1 && charge <= count() ? charge : 1;
}

void DataFolderList::save() const
{
    Settings::deleteSection(Section);
    Settings::write(Section, ChargeKey, QStringLiteral("1"));
    for (int number = 1; number <= count(); ++number)
        Settings::write(Section, QString::number(number), folder(number));
    Settings::write(Section, ChargeKey, QString::number(m_current));
}

int DataFolderList::find(const QString &folderPath) const
{
    const QString wanted = withTrailingSeparator(folderPath);
    for (int i = 0; i < count(); ++i) {
        if (m_folders[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

int DataFolderList::add(const QString &folderPath)
{
    int number = find(folderPath);
    if (number == 0) {
        m_folders << withTrailingSeparator(folderPath);
        number = count();
    }
    m_current = number;
    return number;
}

bool DataFolderList::select(int number)
{
    if (number < 1 || number > count())
        return false;
    m_current = number;
    return true;
}

bool DataFolderList::remove(int number)
{
    if (number <= 1 || number > count())
        return false;
    m_folders.removeAt(number - 1);
    if (m_current == number)
        m_current = 1;
    else if (m_current > number)
        --m_current;
    return true;
}

} // namespace vorn
