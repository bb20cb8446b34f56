// The window's commands on the disc list's entries: showing a disc in every pane,
// deleting and exporting its archive, the enabled state of the disc commands, the
// shared list menu `MnuView`, and the help menu.
#include "edit/DiscEdits.h"
#include "gui/AboutBox.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/EditReport.h"
#include "gui/Form1.h"
#include "gui/SearchPane.h"
#include "scan/ShellOpen.h"
#include "settings/AppFolders.h"
#include "settings/StringTable.h"
#include "store/DiscOperations.h"
#include "store/DiscSort.h"
#include "store/RecordText.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QTreeView>

namespace vorn {

void Form1::showEntry(int row, bool force)
{
    const DiscListModel *model = m_discList->model();
    if (!model->isRow(row))
        return;
    // A copy: refilling the list below replaces the entries.
    const DiscListEntry entry = model->entry(row);
    if (entry.kind == DiscListEntry::Kind::Separator) {
        if (row > 0) {
            m_discList->selectRow(row - 1);
            showEntry(row - 1, force);
        }
        return;
    }
    m_browse->clearInfo();
    const QString shownId = m_browse->shown().identifier;
    const int position = findDisc(m_catalogue, entry.identifier);
    if (!force && !shownId.isEmpty() && position > 0 && m_catalogue.disc(position).identifier == shownId) {
        updateDiscCommands();
        return;
    }
    if (!saveCurrentDisc()) {
        // The shown disc's edits could not be written (another copy kept the data
        // folder busy): stay on it, so the typed text is not lost.
        m_discList->selectRow(model->rowShowing(shownId));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int previous = m_catalogue.current;
    if (!shownId.isEmpty() && findDisc(m_catalogue, shownId) > 0)
        deleteWorkingCopies(m_catalogue, shownId);
    if (entry.isDrive() && position == 0) {
        // A drive without a catalogued disc: nothing to show, the list is refreshed.
        forgetShownDisc();
        m_discList->fill();
        m_discList->selectRow(model->rowOfDrive(entry.letter));
        QApplication::restoreOverrideCursor();
        return;
    }
    m_catalogue.current = position;
    const QString rootText = entry.isDrive() ? entry.text : m_catalogue.disc(position).name;
    if (position == 0 || !m_browse->showDisc(position, rootText)) {
        QApplication::restoreOverrideCursor();
        m_prompt->fail(LoadText(376));
        forgetShownDisc();
        if (previous > 0 && previous <= m_catalogue.discCount() && previous != position) {
            const int back = model->rowShowing(m_catalogue.disc(previous).identifier);
            if (back >= 0) {
                m_discList->selectRow(back);
                showEntry(back, true);
            }
        }
        return;
    }
    m_info->showCurrentDisc();
    m_shownArchive = archiveKey(m_catalogue.archivePath(m_catalogue.disc(position).identifier));
    updateDiscCommands();
    QApplication::restoreOverrideCursor();
    emit discShown(m_catalogue.disc(position).identifier);
}

void Form1::rereadShownDiscIfChanged()
{
    const QString identifier = m_browse->shown().identifier;
    if (identifier.isEmpty() || m_busy || m_info->infoModified() || findDisc(m_catalogue, identifier) == 0)
        return;
    const std::optional<ArchiveKey> now = archiveKey(m_catalogue.archivePath(identifier));
    if (!now || now == m_shownArchive)
        return;
    if (loadRecordIntoArray(m_catalogue, identifier) == 0)
        return;
    if (hasDuplicateNames(m_catalogue))
        giveDuplicateSuffixes(m_catalogue);
    sortDiscArray(m_catalogue);
    m_discList->fill();
    showDisc(identifier, true);
}

bool Form1::showDisc(const QString &identifier, bool force)
{
    const int row = m_discList->model()->rowShowing(identifier);
    if (row < 0)
        return false;
    m_discList->selectRow(row);
    showEntry(row, force);
    return true;
}

bool Form1::saveCurrentDisc()
{
    return m_info->saveCurrentDisc();
}

void Form1::forgetShownDisc()
{
    m_browse->clear();
    m_catalogue.current = 0;
    m_info->showCurrentDisc();
    updateDiscCommands();
    emit discShown(QString());
}

void Form1::refillAfterRemoval()
{
    m_discList->fill();
    m_info->fillKeywords();
    m_info->showCurrentDisc();
}

void Form1::removeSelectedDisc()
{
    const int position = m_discList->selectedPosition();
    if (position == 0)
        return;
    saveCurrentDisc();
    if (m_prompt->askYesNo(LoadText(347) + u'\n' + m_catalogue.disc(position).name) != UserPrompt::Answer::Yes)
        return;
    const bool shown = m_browse->shown().identifier == m_catalogue.disc(position).identifier;
    const EditResult result = edit::deleteDisc(m_catalogue, position, shown ? &m_browse->shown().loader : nullptr);
    if (!result.ok()) {
        reportEdit(*m_prompt, result);
        return;
    }
    if (shown)
        m_browse->clear();
    refillAfterRemoval();
}

void Form1::exportSelectedArchive(bool move)
{
    const int position = m_discList->selectedPosition();
    if (position == 0)
        return;
    saveCurrentDisc();
    if (move && m_browse->shown().identifier == m_catalogue.disc(position).identifier)
        m_browse->clear();
    if (exportDiscArchive(m_catalogue, position, move, *m_prompt) && move)
        refillAfterRemoval();
}

void Form1::updateDiscCommands()
{
    const DiscListEntry *entry = m_discList->selected();
    const bool drive = entry && entry->isDrive();
    const bool catalogued = m_discList->selectedPosition() > 0;
    const bool nameable = catalogued || (drive && entry->state != DriveState::Empty);
    DiscCommands &discs = m_menus.discs;
    for (QAction *action : discs.rename)
        action->setEnabled(nameable);
    for (QAction *action : discs.remove)
        action->setEnabled(catalogued);
    discs.exportArchive->menuAction()->setEnabled(catalogued);
    for (QAction *action : discs.copyArchive)
        action->setEnabled(catalogued);
    discs.openTray[0]->setEnabled(drive);
    discs.closeTray[0]->setEnabled(drive);
    // The tray buttons show only while a drive entry is selected.
    discs.openTray[1]->setVisible(drive);
    discs.closeTray[1]->setVisible(drive);
}

void Form1::popListMenu(const QString &list, const QPoint &globalPos)
{
    ListMenu &menu = m_menus.list;
    m_popupList = list;
    menu.menu->setProperty("tag", list);
    const bool discs = list == QLatin1String("LVCD");
    QString rowKey;
    if (!discs) {
        const QModelIndex index = m_browse->files()->currentIndex();
        if (index.isValid())
            rowKey = m_browse->fileModel()->row(index.row()).key;
    }
    const DiscCommands &commands = m_menus.discs;
    for (QAction *action :
         {m_menus.discList.sort->menuAction(), commands.archive[1], commands.rename[1], commands.remove[1],
          commands.update[1], commands.identify[1], commands.exportArchive->menuAction(), commands.properties[0],
          commands.openTray[0], commands.closeTray[0]})
        action->setVisible(discs);
    menu.fileProperties->setVisible(!discs && rowKey.startsWith(u'K'));
    menu.folderProperties->setVisible(!discs && rowKey.startsWith(u'R'));
    menu.bookmarks->menuAction()->setVisible(discs || !rowKey.isEmpty());
    const int mode = discs ? m_discList->viewMode() : m_browse->viewMode();
    for (int index = 0; index < 4; ++index)
        menu.viewModes[index]->setChecked(index == mode);
    updateDiscCommands();
    menu.menu->popup(globalPos);
}

void Form1::setViewMode(const QString &list, int mode)
{
    if (list == QLatin1String("LVCD"))
        m_discList->setViewMode(mode);
    else if (list == QLatin1String("LV1"))
        m_browse->setViewMode(mode);
    else if (list == QLatin1String("LR0") || list == QLatin1String("LR1"))
        m_search->setViewMode(list.back() == u'1' ? 1 : 0, mode);
}

QChar Form1::driveOfShownDisc() const
{
    const QString &identifier = m_browse->shown().identifier;
    for (const DiscListEntry &drive : m_discList->drives()) {
        if (drive.state == DriveState::Catalogued && drive.identifier.compare(identifier, Qt::CaseInsensitive) == 0)
            return drive.letter;
    }
    return {};
}

namespace {

// The built-in help pictures, written beside a built-in page written out to `folder`
// (the pages name them "help-images/NAME.png").
void writeHelpPictures(const QString &folder)
{
    const QDir target(QDir(folder).filePath(QStringLiteral("help-images")));
    QDir().mkpath(target.path());
    const QString source = QStringLiteral(":/help/help-images/");
    for (const QString &picture : QDir(source).entryList(QDir::Files)) {
        const QString copy = target.filePath(picture);
        if (!QFileInfo::exists(copy) && QFile::copy(source + picture, copy))
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }
}

} // namespace

void Form1::openDocument(const QString &name)
{
    QString path = QDir(resourceFolder()).filePath(name);
    if (!QFileInfo::exists(path)) {
        // Not installed beside the program: the copy built into it.
        const QString copy = m_catalogue.tempFolder + name;
        QFile::remove(copy);
        if (QFile::copy(QStringLiteral(":/help/") + name, copy)) {
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
            path = copy;
            writeHelpPictures(m_catalogue.tempFolder);
        }
    }
    // The opener may find no program for the page only once started: said then.
    QPointer<Form1> window(this);
    const QString error = shellOpen(path, m_setup.launcher ? *m_setup.launcher : systemShellLauncher(), [window, path] {
        if (window)
            window->prompt().warn(LoadText(935) + u'\n' + QDir::toNativeSeparators(path));
    });
    if (!error.isEmpty())
        m_prompt->warn(error);
}

void Form1::showAbout()
{
    if (!m_about)
        m_about = makeAboutBox(this, aboutVersionLine(VORN_VERSION_MAJOR, VORN_VERSION_MINOR, VORN_VERSION_PATCH));
    m_about->open();
}

} // namespace vorn
