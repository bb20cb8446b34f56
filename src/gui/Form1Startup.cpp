// Start-up and shut-down of the main window, and the settings of its layout.
#include "gui/AboutBox.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/DriveWatcher.h"
#include "gui/Form1.h"
#include "gui/SearchPane.h"
#include "gui/TabHost.h"
#include "scan/DriveLayer.h"
#include "scan/cDrive.h"
#include "settings/AppFolders.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/DataFolder.h"
#include "store/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <optional>

namespace vorn {

namespace {

const QString kAff = QStringLiteral("Aff");
const QString kPos = QStringLiteral("Pos");
const QString kOpt = QStringLiteral("Opt");

// A stored number, or nothing when the key is absent or not a number.
std::optional<double> storedNumber(const QString &section, const QString &key)
{
    if (!Settings::contains(section, key))
        return std::nullopt;
    bool ok = false;
    const double value = Settings::read(section, key).trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

// Colours are stored as the toolkit's numbers: blue, green and red bytes (0xBBGGRR).
QColor colourFromNumber(qint64 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

} // namespace

bool Form1::startUp()
{
    // The language was chosen (or read) before the window was made.
    m_temp = std::make_unique<TempFolder>(m_setup.tempBase);
    if (!m_temp->isValid())
        return false;
    m_catalogue.tempFolder = m_temp->path();

    loadIconFolder();
    applyCaptions();

    m_options = startupOptionsWord();
    m_browse->setViewerVisible(TestOption(m_options, Opt::ViewerVisible));
    m_menus.browse.viewerAutoShow->setChecked(TestOption(m_options, Opt::ViewerAutoShow));
    m_search->applyOptions(m_options);
    m_browse->setAutoShowViewer(TestOption(m_options, Opt::ViewerAutoShow));

    restoreAff();
    restorePos();
    QCoreApplication::processEvents();

    const QString letters = m_drives->letters();
    if (letters.isEmpty()) {
        m_prompt->fail(LoadText(357));
        return false;
    }
    m_discList->setDriveLetters(letters);
    m_watcher->setLetters(letters);

    QDir().mkpath(m_folders.defaultFolder());
    m_folders.load();
    m_started = true;
    openDataFolderEntry(m_folders.current());

    // The archive and text icons of the file pane are fetched once, now.
    m_icons.fileIcon(QStringLiteral("a.ZIP"));
    m_icons.fileIcon(QStringLiteral("a.TXT"));
    if (TestOption(m_options, Opt::StartOnSearchTab))
        m_tabs->showTab(TabHost::Search);
    m_watcher->timer()->start();
    emit startedUp();
    return true;
}

void Form1::loadIconFolder()
{
    // Each "*.ico" of the program's "Ico" folder is a stock icon under "K" & its name.
    const QDir folder(QDir(resourceFolder()).filePath(QStringLiteral("Ico")));
    const QStringList names = folder.entryList({QStringLiteral("*.ico")}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        m_icons.addIconFile(u'K' + name.left(name.size() - 4), folder.filePath(name));
}

void Form1::restoreAff()
{
    for (const char *list : {"LVCD", "LV1", "LR0", "LR1"}) {
        const auto mode = storedNumber(kAff, QString::fromLatin1(list));
        if (mode && *mode >= 0 && *mode <= 3)
            setViewMode(QString::fromLatin1(list), int(*mode));
    }
    for (int column = 1; column <= 4; ++column) {
        if (const auto width = storedNumber(kAff, QStringLiteral("LV1%1").arg(column))) {
            if (*width >= 0 && *width < 10000)
                m_browse->files()->setColumnWidth(column - 1, int(*width));
        }
    }
    const struct
    {
        const char *key;
        QWidget *widget;
    } colours[] = {{"LVCD.BG", m_discList->view()},
                   {"MC.BG", m_info->keywordList()},
                   {"DES.BG", m_info->description()},
                   {"TXT.BG", m_browse->viewer()},
                   {"LV1.BG", m_browse->files()}};
    for (const auto &colour : colours) {
        if (const auto value = storedNumber(kAff, QString::fromLatin1(colour.key)))
            setBackground(colour.widget, colourFromNumber(qint64(*value)));
    }
}

void Form1::restorePos()
{
    const QString splitterKeys[] = {QStringLiteral("X1"), QStringLiteral("Y1"), QStringLiteral("X2"),
                                    QStringLiteral("Y2")};
    for (int i = 0; i < 4; ++i) {
        if (const auto value = storedNumber(kPos, splitterKeys[i]))
            m_splitters[i] = int(qBound(20.0, *value, 32767.0));
    }
    QRect rect = geometry();
    const auto left = storedNumber(kPos, QStringLiteral("Left"));
    const auto top = storedNumber(kPos, QStringLiteral("Top"));
    const auto width = storedNumber(kPos, QStringLiteral("Width"));
    const auto height = storedNumber(kPos, QStringLiteral("Height"));
    if (width && height)
        rect.setSize(QSize(int(qBound(-1e6, *width, 1e6)), int(qBound(-1e6, *height, 1e6))));
    if (left && top)
        rect.moveTopLeft(QPoint(int(qBound(-1e6, *left, 1e6)), int(qBound(-1e6, *top, 1e6))));
    // A rectangle off every screen or larger than the screen is brought back onto it.
    const QScreen *screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (!width || !height) {
            // First start: most of the screen, centred.
            rect.setSize(QSize(qMax(1024, area.width() * 9 / 10), qMax(700, area.height() * 9 / 10)));
            if (!left || !top)
                rect.moveCenter(area.center());
        }
        rect.setWidth(qBound(qMin(400, area.width()), rect.width(), area.width()));
        rect.setHeight(qBound(qMin(300, area.height()), rect.height(), area.height()));
        rect.moveLeft(qBound(area.left(), rect.left(), area.right() - rect.width() + 1));
        rect.moveTop(qBound(area.top(), rect.top(), area.bottom() - rect.height() + 1));
    }
    setGeometry(rect);
    if (storedNumber(kPos, QStringLiteral("WindowsState")).value_or(0) == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (isVisible())
        applySplitters();
}

void Form1::applySplitters()
{
    // Without stored positions the panes share the window in fixed proportions
    // (per mille of the splitter), the left one never narrower than its captions.
    auto place = [](QSplitter *splitter, int first, int perMille, int least) {
        const QList<int> sizes = splitter->sizes();
        int total = 0;
        for (int size : sizes)
            total += size;
        if (total <= 0 || sizes.size() < 2)
            return;
        if (first < 0)
            first = qMax(least, total * perMille / 1000);
        first = qBound(20, first, qMax(20, total - 20));
        splitter->setSizes({first, total - first});
    };
    place(m_frame1, m_splitters[0], 200, 300);
    place(m_leftSplit, m_splitters[1], 620, 0);
    place(m_browse->treeSplitter(), m_splitters[2], 220, 200);
    place(m_browse->viewerSplitter(), m_splitters[3], 680, 0);
    m_splittersApplied = true;
}

void Form1::savePos()
{
    if (m_splittersApplied) {
        m_splitters[0] = m_frame1->sizes().value(0);
        m_splitters[1] = m_leftSplit->sizes().value(0);
        m_splitters[2] = m_browse->treeSplitter()->sizes().value(0);
        if (m_browse->viewerVisible())
            m_splitters[3] = m_browse->viewerSplitter()->sizes().value(0);
    }
    const QString keys[] = {QStringLiteral("X1"), QStringLiteral("Y1"), QStringLiteral("X2"), QStringLiteral("Y2")};
    for (int i = 0; i < 4; ++i) {
        if (m_splitters[i] >= 0)
            Settings::writeNumber(kPos, keys[i], m_splitters[i]);
    }
}

void Form1::saveAff()
{
    Settings::writeNumber(kAff, QStringLiteral("LVCD"), m_discList->viewMode());
    Settings::writeNumber(kAff, QStringLiteral("LV1"), m_browse->viewMode());
    Settings::writeNumber(kAff, QStringLiteral("LR0"), m_search->viewMode(0));
    Settings::writeNumber(kAff, QStringLiteral("LR1"), m_search->viewMode(1));
    for (int column = 1; column <= FilePaneModel::ColumnCount; ++column)
        Settings::writeNumber(kAff, QStringLiteral("LV1%1").arg(column), m_browse->files()->columnWidth(column - 1));
}

void Form1::shutDown()
{
    if (m_closed || !m_started)
        return;
    m_closed = true;
    m_watcher->timer()->stop();
    emit shuttingDown();
    saveCurrentDisc();
    m_folders.save();
    savePos();
    saveAff();
    const Qt::WindowStates state = windowState();
    if (!(state & Qt::WindowMinimized)) {
        const bool maximised = state & Qt::WindowMaximized;
        Settings::writeNumber(kPos, QStringLiteral("WindowsState"), maximised ? 2 : 0);
        if (!maximised && !(state & Qt::WindowFullScreen)) {
            const QRect rect = geometry();
            Settings::writeNumber(kPos, QStringLiteral("Top"), rect.top());
            Settings::writeNumber(kPos, QStringLiteral("Left"), rect.left());
            Settings::writeNumber(kPos, QStringLiteral("Width"), rect.width());
            Settings::writeNumber(kPos, QStringLiteral("Height"), rect.height());
        }
    }
    Settings::write(kOpt, QStringLiteral("Version"), programVersionKey());
    if (!Settings::sync())
        m_prompt->warn(Settings::notSavedText());
    m_browse->clear();
    m_temp.reset();
}

bool Form1::openDataFolderEntry(int number)
{
    if (!m_folders.select(number))
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_browse->clear();
    Catalogue fresh;
    fresh.tempFolder = m_catalogue.tempFolder;
    fresh.sortKey = m_catalogue.sortKey;
    fresh.sortDescending = m_catalogue.sortDescending;
    m_catalogue = std::move(fresh);
    m_icons.forgetDiscIcons();
    GuiObserver observer(*m_prompt);
    m_busy = true;
    const bool opened = openDataFolder(m_catalogue, m_folders.currentFolder(), observer);
    m_busy = false;
    QApplication::restoreOverrideCursor();
    if (!opened)
        m_catalogue.dataFolder = m_folders.currentFolder();
    rebuildDataFolderMenu();
    m_discList->rebuildFilterMenu();
    m_discList->fill();
    m_info->fillKeywords();
    m_info->showCurrentDisc();
    m_search->fillScope();
    emit dataFolderOpened();
    if (!opened) {
        // A folder that vanished since it was listed: say so, and fall back on the
        // default folder, which start-up has made sure exists.
        const QString folder = QDir::toNativeSeparators(m_folders.currentFolder());
        m_prompt->warn(LoadText(879) + u'\n' + folder);
        if (number != 1 && QDir(m_folders.folder(1)).exists())
            return openDataFolderEntry(1);
    }
    return opened;
}

void Form1::rebuildDataFolderMenu()
{
    QMenu *menu = m_menus.file.dataFolders;
    QMenu *remove = m_menus.file.removeFolder;
    for (QAction *action : menu->actions()) {
        // An entry may be the one whose click is being handled: it goes later.
        if (action->objectName().startsWith(QLatin1String("MnuRepData_"))) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    for (QAction *action : remove->actions()) {
        remove->removeAction(action);
        action->deleteLater();
    }
    QAction *before = m_menus.file.folderSeparator;
    for (int number = 1; number <= m_folders.count(); ++number) {
        auto *entry = new QAction(QDir::toNativeSeparators(m_folders.folder(number)), menu);
        entry->setObjectName(QStringLiteral("MnuRepData_%1").arg(number));
        entry->setCheckable(true);
        entry->setChecked(number == m_folders.current());
        menu->insertAction(before, entry);
        connect(entry, &QAction::triggered, this, [this, number] {
            saveCurrentDisc();
            openDataFolderEntry(number);
        });
        if (number > 1) {
            QAction *removal = addMenuEntry(remove, QStringLiteral("MnuRepDataRetire_%1").arg(number), entry->text());
            connect(removal, &QAction::triggered, this, [this, number] {
                const bool wasCurrent = number == m_folders.current();
                m_folders.remove(number);
                if (wasCurrent) {
                    saveCurrentDisc();
                    openDataFolderEntry(1);
                } else {
                    rebuildDataFolderMenu();
                }
            });
        }
    }
    remove->menuAction()->setEnabled(m_folders.count() > 1);
}

} // namespace vorn
