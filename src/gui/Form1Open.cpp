// The main window's actions that reach outside it: opening files and folders of the
// disc in the drive, the help documents and the about box, deleting and exporting a
// disc's archive; and the pop-up menus with the enabled state of their entries.
#include "gui/AboutBox.h"
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/Form1.h"
#include "gui/MainMenus.h"
#include "scan/DriveLayer.h"
#include "scan/ShellOpen.h"
#include "settings/AppFolders.h"
#include "settings/StringTable.h"
#include "store/DiscOperations.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTreeView>
#include <QTreeWidget>

namespace vorn {

namespace {

bool isDriveKey(const QString &key)
{
    return key.size() >= 2 && key[1] == u':';
}

int folderFlags(const DiscTree &tree, const QString &key)
{
    if (!key.startsWith(u'K'))
        return 0;
    const int number = key.mid(1).toInt();
    return number > 0 && size_t(number) < tree.folders.size() ? tree.folders[size_t(number)].flags : 0;
}

} // namespace

void Form1::connectMoreActions()
{
    auto on = [this](const QString &name, auto slot) {
        if (QAction *action = findAction(this, name))
            connect(action, &QAction::triggered, this, slot);
    };
    on(QStringLiteral("MnuRenommer"), [this] { renameSelected(); });
    on(QStringLiteral("MnuRenommer2"), [this] { renameSelected(); });
    m_discModel->setRenameHandler([this](const QString &key, const QString &text) {
        renameDisc(m_discModel->rowOfKey(key), text);
    });

    on(QStringLiteral("mnuHelp"), [this] { openDocument(QStringLiteral("VORNHelp.htm")); });
    for (int n = 1; n <= 2; ++n) {
        const QString name = QStringLiteral("MnuReadme_%1").arg(n);
        on(name, [this, name] { openDocument(findAction(this, name)->text().remove(u'&')); });
    }
    on(QStringLiteral("MnuAPropo"), [this] { showAbout(); });

    auto removeSelected = [this] {
        const QString key = m_discModel->keyAt(selectedRow());
        const int position = key.size() > 2 ? findDisc(m_catalogue, key.mid(2)) : 0;
        if (position == 0)
            return;
        saveCurrentDisc();
        const bool shown = m_browse->shown().identifier == m_catalogue.disc(position).identifier;
        if (!deleteDisc(m_catalogue, position, *m_prompt, shown ? &m_browse->shown().loader : nullptr))
            return;
        if (shown) {
            m_browse->clear();
            m_description->clear();
            m_infoModified = false;
        }
        fillDiscList();
        RemplitListMC();
        fillFields();
    };
    on(QStringLiteral("MnuSupprArchive"), removeSelected);
    on(QStringLiteral("MnuSupprArchive2"), removeSelected);
    for (int index = 0; index < 2; ++index) {
        on(QStringLiteral("MnuCopyArchiv_%1").arg(index), [this, index] {
            const QString key = m_discModel->keyAt(selectedRow());
            const int position = key.size() > 2 ? findDisc(m_catalogue, key.mid(2)) : 0;
            if (position == 0)
                return;
            saveCurrentDisc();
            const QString identifier = m_catalogue.disc(position).identifier;
            if (index == 1 && m_browse->shown().identifier == identifier)
                m_browse->clear();
            if (exportDiscArchive(m_catalogue, position, index == 1, *m_prompt) && index == 1) {
                m_description->clear();
                m_infoModified = false;
                fillDiscList();
                RemplitListMC();
                fillFields();
            }
        });
    }

    on(QStringLiteral("MnuOuvreDossier_0"), [this] { exploreShownFolder(); });
    on(QStringLiteral("MnuOuvreDossier_1"), [this] { exploreShownFolder(); });
    for (int index = 0; index < 3; ++index)
        on(QStringLiteral("MnuAffMcT_%1").arg(index), [this, index] { showLowerPane(index); });

    connect(m_browse->files(), &QTreeView::doubleClicked, this,
            [this](const QModelIndex &index) { openFileRow(index.row()); });
    connect(m_browse->tree(), &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *) { openTreeNode(m_browse->currentNodeKey()); });
    connect(m_browse, &BrowsePane::fileListUnreadable, this, [this] { m_prompt->fail(LoadText(376)); });
    connect(m_keywordList, &QListWidget::itemChanged, this, &Form1::ListMC_ItemCheck);
    connect(m_lowerTabs, &QTabBar::currentChanged, this, &Form1::showLowerPane);
    m_lowerTabs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lowerTabs, &QTabBar::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QMenu *menu = findMenu(this, QStringLiteral("MnuAffMc")))
            menu->popup(m_lowerTabs->mapToGlobal(pos));
    });
    connect(m_discList->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { updateMenus(); });
    connect(m_discModel, &QAbstractItemModel::modelReset, this, [this] { updateMenus(); });

    // The context menus of the lists and of the tree, with their entries set for
    // what was clicked.
    m_discList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_browse->files()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_browse->tree()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_discList, &QListView::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = m_discList->indexAt(pos);
        if (index.isValid()) {
            selectRow(index.row());
            showEntry(index.row());
        }
        popDiscMenu(QStringLiteral("LVCD"), m_discList->viewport()->mapToGlobal(pos));
    });
    connect(m_browse->files(), &QTreeView::customContextMenuRequested, this, [this](const QPoint &pos) {
        popDiscMenu(QStringLiteral("LV1"), m_browse->files()->viewport()->mapToGlobal(pos));
    });
    connect(m_browse->tree(), &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *item = m_browse->tree()->itemAt(pos);
        if (!item)
            return;
        m_browse->tree()->setCurrentItem(item);
        const QString key = m_browse->currentNodeKey();
        const bool folder = key.startsWith(u'K');
        for (int index = 0; index < 2; ++index)
            findAction(this, QStringLiteral("MnuOuvreDossier_%1").arg(index))->setVisible(folder);
        QAction *excluded = findAction(this, QStringLiteral("mnuDossierExcluRecherches"));
        excluded->setCheckable(true);
        excluded->setChecked(folderFlags(m_browse->shown().tree, key) & 1);
        excluded->setVisible(folder);
        findAction(this, QStringLiteral("MnuPropDossier"))->setVisible(folder);
        if (QMenu *menu = findMenu(this, QStringLiteral("MnuPropDossier_Titre")))
            menu->popup(m_browse->tree()->viewport()->mapToGlobal(pos));
    });
    updateMenus();
}

void Form1::updateMenus()
{
    const QString key = m_discModel->keyAt(selectedRow());
    const bool drive = isDriveKey(key);
    const int position = key.size() > 2 ? findDisc(m_catalogue, key.mid(2)) : 0;
    const bool catalogued = position > 0 && (drive || key.startsWith(QLatin1String("__")));
    const bool nameable = catalogued || (drive && key.mid(2) != QLatin1String("0"));
    auto enable = [this](const char *name, bool on) {
        if (QAction *action = findAction(this, QString::fromLatin1(name)))
            action->setEnabled(on);
    };
    enable("MnuRenommer", nameable);
    enable("MnuRenommer2", nameable);
    enable("MnuSupprArchive", catalogued);
    enable("MnuSupprArchive2", catalogued);
    enable("MnuExportArchive", catalogued);
    enable("MnuCopyArchiv_0", catalogued);
    enable("MnuCopyArchiv_1", catalogued);
    enable("MnuOuvreCD", drive);
    enable("MnuFermeCD", drive);
}

void Form1::popDiscMenu(const QString &list, const QPoint &globalPos)
{
    QMenu *menu = findMenu(this, QStringLiteral("MnuView"));
    if (!menu)
        return;
    m_popupList = list;
    menu->setProperty("tag", list);
    const bool discs = list == QLatin1String("LVCD");
    QString rowKey;
    if (!discs) {
        const QModelIndex index = m_browse->files()->currentIndex();
        if (index.isValid())
            rowKey = m_browse->fileModel()->row(index.row()).key;
    }
    auto show = [this](const char *name, bool visible) {
        if (QAction *action = findAction(this, QString::fromLatin1(name)))
            action->setVisible(visible);
    };
    for (const char *name : {"mnuTrie_t", "mnuExport", "mnuExportListHTML", "MnuArchiver2", "MnuRenommer2",
                             "MnuSupprArchive2", "mnuMiseAJour2", "MnuIdentManuelle2", "MnuExportArchive",
                             "MnuPropCD", "MnuOuvreCD", "MnuFermeCD"})
        show(name, discs);
    show("MnuPropFichier", !discs && rowKey.startsWith(u'K'));
    show("MnuPropDossierLV1", !discs && rowKey.startsWith(u'R'));
    show("MnuSignet_T", discs || !rowKey.isEmpty());
    const int mode = m_viewModes[discs ? 0 : 1];
    for (int index = 0; index < 4; ++index) {
        QAction *action = findAction(this, QStringLiteral("MnuViewItems_%1").arg(index));
        action->setCheckable(true);
        action->setChecked(index == mode);
    }
    updateMenus();
    menu->popup(globalPos);
}

bool Form1::shownDiscDrive(QChar *letter) const
{
    const QString &identifier = m_browse->shown().identifier;
    if (identifier.isEmpty())
        return false;
    for (const DriveEntry &entry : m_driveEntries) {
        if (entry.state == DriveState::Catalogued
            && entry.key.mid(2).compare(identifier, Qt::CaseInsensitive) == 0) {
            *letter = entry.key[0];
            return true;
        }
    }
    return false;
}

QString Form1::hostPathOnDrive(QChar letter, const QString &discPath)
{
    const DriveVolumeOpening opening = m_drives->openVolume(letter);
    if (!opening.volume) {
        say(opening.message);
        return {};
    }
    const QString host = opening.volume->hostPath(QString(letter) + QStringLiteral(":\\") + discPath);
    if (host.isEmpty())
        say(shellErrorText(kShellFileNotFound));
    return host;
}

void Form1::openOnDrive(const QString &discPath, bool folder)
{
    QChar letter;
    if (!shownDiscDrive(&letter)) {
        m_prompt->warn(LoadText(369));
        return;
    }
    const QString host = hostPathOnDrive(letter, discPath);
    if (host.isEmpty())
        return;
    ShellLauncher &launcher = m_launcher ? *m_launcher : systemShellLauncher();
    say(folder ? shellOpenFolder(host, launcher) : shellOpen(host, launcher));
}

void Form1::openFileRow(int row)
{
    const FilePaneModel *model = m_browse->fileModel();
    if (row < 0 || row >= model->rowCount())
        return;
    const QString key = model->row(row).key;
    const int number = key.mid(1).toInt();
    if (key.startsWith(u'R')) {
        const QString node = u'K' + QString::number(number);
        if (m_browse->showNode(node)) {
            if (QTreeWidgetItem *item = m_browse->tree()->currentItem())
                item->setExpanded(true);
        }
        return;
    }
    const DiscTree &tree = m_browse->shown().tree;
    if (number < 0 || size_t(number) >= tree.files.size())
        return;
    openOnDrive(TreeFiles::filePath(tree, number), false);
}

void Form1::openTreeNode(const QString &key)
{
    const DiscTree &tree = m_browse->shown().tree;
    const int number = key.mid(1).toInt();
    if (key.startsWith(u'K')) {
        if (number < 0 || size_t(number) >= tree.folders.size())
            return;
        openOnDrive(TreeFiles::folderPath(tree, number), true);
    } else if (key.startsWith(u'Z')) {
        if (number < 0 || size_t(number) >= tree.files.size())
            return;
        openOnDrive(TreeFiles::filePath(tree, number), false);
    }
}

void Form1::exploreShownFolder()
{
    QString key = m_browse->currentNodeKey();
    if (key.isEmpty())
        key = m_browse->shownNodeKey();
    if (key.startsWith(u'K'))
        openTreeNode(key);
}

void Form1::openDocument(const QString &name)
{
    QString path = QDir(programFolder()).filePath(name);
    if (!QFileInfo::exists(path)) {
        // Not installed beside the program: the copy built into it.
        const QString copy = m_catalogue.tempFolder + name;
        QFile::remove(copy);
        if (QFile::copy(QStringLiteral(":/help/") + name, copy)) {
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
            path = copy;
        }
    }
    say(shellOpen(path, m_launcher ? *m_launcher : systemShellLauncher()));
}

QString Form1::versionLine() const
{
    return aboutVersionLine(VORN_VERSION_MAJOR, VORN_VERSION_MINOR, VORN_VERSION_PATCH);
}

void Form1::showAbout()
{
    if (!m_about)
        m_about = makeAboutBox(this, versionLine());
    m_about->open();
}

void Form1::say(const QString &text)
{
    if (!text.isEmpty())
        m_prompt->warn(text);
}

} // namespace vorn
