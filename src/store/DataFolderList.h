#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

// The registered data folders: entry 1 is always the default data folder, the others
// come from the settings section "DataDirs"; one entry is the folder in use.
// Paths are native and end in a separator.
class DataFolderList
{
public:
    explicit DataFolderList(const QString &defaultFolder);

    // Reads "DataDirs": numeric keys in numeric order; an entry equal (ignoring case)
    // to the default folder or to one already listed is not added twice; "Charge"
    // chooses the entry in use (1 when absent, 0 or out of range).
    void load();
    // Deletes the section and writes every entry under its number and "Charge".
    void save() const;

    const QStringList &folders() const { return m_folders; }
    int count() const { return int(m_folders.size()); }
    QString folder(int number) const { return m_folders.value(number - 1); }
    int current() const { return m_current; }
    QString currentFolder() const { return folder(m_current); }
    QString defaultFolder() const { return m_folders.first(); }

    // Number of the entry for a folder (ignoring case and the trailing separator), or 0.
    int find(const QString &folder) const;
    // Adds a folder (or finds it) and makes it the one in use; returns its number.
    int add(const QString &folder);
    // Makes an entry the one in use; false when the number is out of range.
    bool select(int number);
    // Removes an entry; the default folder (entry 1) cannot be removed. Removing the
    // entry in use makes entry 1 the one in use.
    bool remove(int number);

private:
    QStringList m_folders;
    int m_current = 1;
};

} // namespace vorn
