#include "gui/Form1.h"

#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/DriveWatcher.h"
#include "gui/MainMenus.h"
#include "gui/TranslateCaptions.h"
#include "scan/DriveLayer.h"
#include "scan/ShellOpen.h"
#include "scan/cDrive.h"
#include "settings/AppFolders.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"
#include "store/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorn {

namespace {

// The status line: a long data-folder path gives up its middle, not its end; the
// whole text stays the label's text and tooltip.
class StatusLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

} // namespace

Form1::Form1(Form1Setup setup, QWidget *parent)
    : QMainWindow(parent)
    , m_setup(std::move(setup))
    , m_guiPrompt(this)
    , m_prompt(m_setup.prompt ? m_setup.prompt : &m_guiPrompt)
    , m_drives(m_setup.drives ? m_setup.drives : &DriveLayer::host())
    , m_drive(std::make_unique<cDrive>(*m_drives))
    , m_folders(m_setup.defaultDataFolder.isEmpty() ? defaultDataFolder()
                                                    : withTrailingSeparator(m_setup.defaultDataFolder))
{
    m_launcher = m_setup.launcher;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("200"));
    resize(1024, 700);
    buildMainMenus(this);
    m_toolbar = buildToolbar(this);
    buildLayout();
    m_watcher = std::make_unique<DriveWatcher>(*m_drives, *m_drive, this);
    m_watcher->setCanWatch([this] {
        return m_started && !m_busy && m_discModel->rowCount() > 0 && isActiveWindow();
    });
    m_watcher->setEntryKeys([this] {
        QStringList keys;
        for (const DriveEntry &entry : m_driveEntries)
            keys << entry.key;
        return keys;
    });
    connect(m_watcher.get(), &DriveWatcher::driveChanged, this, &Form1::onDriveChanged);
    connectActions();
    connectMoreActions();
}

Form1::~Form1()
{
    shutDown();
}

void Form1::buildLayout()
{
    m_discList = new QListView;
    m_discList->setObjectName(QStringLiteral("LVCD"));
    m_discModel = new DiscListModel(m_discList);
    m_discList->setModel(m_discModel);
    m_discList->setUniformItemSizes(true);
    m_discList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_discList->setContextMenuPolicy(Qt::CustomContextMenu);

    m_status = new StatusLabel;
    m_status->setObjectName(QStringLiteral("LabelStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *listBox = new QWidget;
    auto *listLayout = new QVBoxLayout(listBox);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(2);
    listLayout->addWidget(m_discList, 1);
    listLayout->addWidget(m_status);

    m_description = new QPlainTextEdit;
    m_description->setObjectName(QStringLiteral("TxtDesc"));
    m_keywordList = new QListWidget;
    m_keywordList->setObjectName(QStringLiteral("ListMC"));
    m_keywordList->setUniformItemSizes(true);
    m_fields = new QTreeWidget;
    m_fields->setObjectName(QStringLiteral("TvChamps"));
    m_fields->setHeaderHidden(true);

    // The lower-left pane: keywords, description or fields, chosen on its header.
    m_lowerTabs = new QTabBar;
    m_lowerTabs->setObjectName(QStringLiteral("PictAffMC"));
    m_lowerTabs->setDocumentMode(true);
    m_lowerTabs->setExpanding(false);
    // Captions are never cut: the pane is at least as wide as its three tabs.
    m_lowerTabs->setElideMode(Qt::ElideNone);
    m_lowerTabs->setUsesScrollButtons(false);
    m_lowerPages = new QStackedWidget;
    m_lowerPages->setObjectName(QStringLiteral("LowerPages"));
    for (QWidget *page : {static_cast<QWidget *>(m_keywordList), static_cast<QWidget *>(m_description),
                          static_cast<QWidget *>(m_fields)}) {
        m_lowerTabs->addTab(QString());
        m_lowerPages->addWidget(page);
    }
    auto *lowerBox = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lowerBox);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->addWidget(m_lowerTabs);
    lowerLayout->addWidget(m_lowerPages, 1);

    m_leftSplit = new QSplitter(Qt::Vertical);
    m_leftSplit->setObjectName(QStringLiteral("SplitLVCD"));
    m_leftSplit->addWidget(listBox);
    m_leftSplit->addWidget(lowerBox);
    m_leftSplit->setChildrenCollapsible(false);
    m_leftSplit->setStretchFactor(0, 3);
    m_leftSplit->setStretchFactor(1, 1);

    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    const struct { const char *key; int caption; } tabs[] = {
        {"C", 224}, {"R", 225}, {"J", 609}, {"S", 635}, {"O", 0}};
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("Pages"));
    m_browse = new BrowsePane(m_catalogue, m_icons);
    m_browse->setObjectName(QStringLiteral("PageC"));
    for (const auto &tab : tabs) {
        const int index = m_tabs->addTab(QString());
        m_tabs->setTabData(index, QString::fromLatin1(tab.key));
        m_tabs->setTabToolTip(index, QString::number(tab.caption));
        if (index == 0) {
            m_pages->addWidget(m_browse);
        } else {
            auto *page = new QWidget;
            page->setObjectName(QStringLiteral("Page") + QString::fromLatin1(tab.key));
            m_pages->addWidget(page);
        }
    }
    connect(m_tabs, &QTabBar::currentChanged, m_pages, &QStackedWidget::setCurrentIndex);

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(m_tabs);
    rightLayout->addWidget(m_pages, 1);

    m_frame1 = new QSplitter(Qt::Horizontal);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->addWidget(m_leftSplit);
    m_frame1->addWidget(right);
    m_frame1->setStretchFactor(1, 1);
    m_frame1->setChildrenCollapsible(false);
    setCentralWidget(m_frame1);
}

void Form1::applyCaptions()
{
    TranslateCaptions(this);
    for (int index = 0; index < m_tabs->count(); ++index) {
        const int id = m_tabs->tabToolTip(index).toInt();
        m_tabs->setTabText(index, id ? LoadText(id) : QStringLiteral("Options"));
        m_tabs->setTabToolTip(index, QString());
    }
    m_browse->fileModel()->setHeaders({LoadText(400), LoadText(404), LoadText(401), LoadText(402), QString()});
    const int lowerCaptions[] = {128, 129, 536};
    for (int index = 0; index < 3; ++index)
        m_lowerTabs->setTabText(index, LoadText(lowerCaptions[index]));
    for (QAction *action : m_toolbar->actions()) {
        const int id = action->property("tipId").toInt();
        if (!id)
            continue;
        QString tip = LoadText(id);
        if (action->objectName() == QLatin1String("MAJ"))
            tip.chop(3);
        action->setToolTip(tip);
        action->setText(tip);
    }
}

void Form1::connectActions()
{
    auto on = [this](const char *name, auto slot) {
        if (QAction *action = findAction(this, QString::fromLatin1(name)))
            connect(action, &QAction::triggered, this, slot);
    };
    on("MnuQuit", [this] { close(); });
    on("MnuRefresh", [this] {
        saveCurrentDisc();
        openDataFolderEntry(m_folders.current());
    });
    for (int n = 1; n <= 5; ++n)
        on(QStringLiteral("MnuAff_%1").arg(n).toLatin1().constData(), [this, n] { m_tabs->setCurrentIndex(n - 1); });
    on("MnuFiltre_0", [this] { setFilter(0, false); });
    on("MnuInvertFiltre", [this] {
        const QMenu *menu = findMenu(this, QStringLiteral("MnuFiltre_T"));
        for (QAction *action : menu->actions()) {
            if (action->isChecked() && action->objectName().startsWith(QLatin1String("MnuFiltre_")))
                setFilter(action->data().toInt(), findAction(this, QStringLiteral("MnuInvertFiltre"))->isChecked());
        }
    });
    on("mnuTrie_0", [this] { sortDiscs(0, m_catalogue.sortDescending); });
    on("mnuTrie_1", [this] { sortDiscs(1, m_catalogue.sortDescending); });
    on("mnuTrieDecroiss", [this] { sortDiscs(m_catalogue.sortKey, !m_catalogue.sortDescending); });
    on("TriNom", [this] { sortDiscs(0, m_catalogue.sortDescending); });
    on("TriDate", [this] { sortDiscs(1, m_catalogue.sortDescending); });
    on("TriAsc", [this] { sortDiscs(m_catalogue.sortKey, false); });
    on("TriDesc", [this] { sortDiscs(m_catalogue.sortKey, true); });
    on("FiltreX", [this] { setFilter(0, false); });
    on("Filtre", [this] {
        if (QMenu *menu = findMenu(this, QStringLiteral("MnuFiltre_T")))
            menu->popup(QCursor::pos());
    });
    auto tray = [this](bool open) {
        const QString key = m_discModel->keyAt(selectedRow());
        if (key.size() >= 2 && key[1] == u':')
            open ? m_drives->ejectTray(key[0]) : m_drives->closeTray(key[0]);
    };
    on("EjectCD", [tray] { tray(true); });
    on("CloseCD", [tray] { tray(false); });
    on("MnuOuvreCD", [tray] { tray(true); });
    on("MnuFermeCD", [tray] { tray(false); });
    for (int mode = 0; mode < 4; ++mode)
        on(QStringLiteral("MnuViewItems_%1").arg(mode).toLatin1().constData(),
           [this, mode] { setViewMode(m_popupList, mode); });
    for (int index = 0; index < 3; ++index)
        on(QStringLiteral("MnuImgFleche_%1").arg(index).toLatin1().constData(), [this, index] { viewerMenu(index); });
    on("MnuPrec", [this] { moveInHistory(-1); });
    on("MnuSuiv", [this] { moveInHistory(1); });
    on("mnuRepDataAutres", [this] {
        const QString folder = m_prompt->chooseFolder(LoadText(444));
        if (folder.isEmpty())
            return;
        saveCurrentDisc();
        openDataFolderEntry(m_folders.add(withTrailingSeparator(folder)));
    });

    connect(m_discList, &QListView::clicked, this, [this](const QModelIndex &index) { showEntry(index.row()); });
    connect(m_browse, &BrowsePane::infoStripClicked, this, [this](const QPoint &pos) {
        if (QMenu *menu = findMenu(this, QStringLiteral("MnuImgFlecheT")))
            menu->popup(pos);
    });
    connect(m_browse, &BrowsePane::historyChanged, this, [this] {
        findAction(this, QStringLiteral("MnuPrec"))->setEnabled(m_browse->canGoBack());
        findAction(this, QStringLiteral("MnuSuiv"))->setEnabled(m_browse->canGoForward());
    });
    connect(m_description, &QPlainTextEdit::textChanged, this, &Form1::descriptionEdited);
    connectCataloguing();
}

void Form1::setViewMode(const QString &list, int mode)
{
    // Modes: 0 large icons, 1 small icons, 2 list, 3 details.
    if (mode < 0 || mode > 3)
        return;
    if (list == QLatin1String("LVCD")) {
        m_viewModes[0] = mode;
        m_discList->setViewMode(mode == 0 ? QListView::IconMode : QListView::ListMode);
        m_discList->setIconSize(mode == 0 ? QSize(32, 32) : QSize(16, 16));
        m_discList->setFlow(mode == 1 ? QListView::LeftToRight : QListView::TopToBottom);
        m_discList->setWrapping(mode != 3);
        m_discList->setGridSize(mode == 0 ? QSize(96, 64) : QSize());
        m_discList->setWordWrap(mode == 0);
        m_discList->setMovement(QListView::Static);
        m_discList->setResizeMode(QListView::Adjust);
        m_discList->setSpacing(mode == 3 ? 0 : 2);
    } else if (list == QLatin1String("LV1")) {
        // The file pane keeps one row per entry; the modes other than details show
        // the names alone, with large icons in mode 0.
        m_viewModes[1] = mode;
        QTreeView *files = m_browse->files();
        for (int column = FilePaneModel::Description; column < FilePaneModel::DateNumber; ++column)
            files->setColumnHidden(column, mode != 3);
        files->setHeaderHidden(mode != 3);
        files->setIconSize(mode == 0 ? QSize(32, 32) : QSize(16, 16));
    }
}

void Form1::viewerMenu(int index)
{
    switch (index) {
    case 0: {
        const bool show = !m_browse->viewerVisible();
        m_browse->setViewerVisible(show);
        m_options = show ? (m_options | Opt::ViewerVisible) : (m_options & ~Opt::ViewerVisible);
        break;
    }
    case 1: {
        const QString path = m_catalogue.tempFolder + QStringLiteral("VORN_TXT.txt");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(m_browse->viewer()->toPlainText().toUtf8());
            file.close();
            const QString text = shellOpen(path);
            if (!text.isEmpty())
                m_prompt->warn(text);
        }
        break;
    }
    case 2: {
        const bool on = findAction(this, QStringLiteral("MnuImgFleche_2"))->isChecked();
        m_browse->setAutoShowViewer(on);
        m_options = on ? (m_options | Opt::ViewerAutoShow) : (m_options & ~Opt::ViewerAutoShow);
        break;
    }
    default:
        return;
    }
    writeOptions();
}

void Form1::writeOptions()
{
    findAction(this, QStringLiteral("MnuImgFleche_0"))->setText(LoadText(m_browse->viewerVisible() ? 468 : 467));
    WriteOptionsWord(m_options);
}

void Form1::closeEvent(QCloseEvent *event)
{
    shutDown();
    event->accept();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_splittersApplied)
        applySplitters();
}

} // namespace vorn
