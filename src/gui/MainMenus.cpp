#include "gui/MainMenus.h"

#include "gui/AppIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <initializer_list>

namespace vorn {

namespace {

QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QMenu *addTopMenu(QMainWindow *window, const QString &name, const QString &caption)
{
    QMenu *menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QMenu *popupMenu(QMainWindow *window, const QString &name)
{
    auto *menu = new QMenu(window);
    menu->setObjectName(name);
    menu->setTitle(name);
    return menu;
}

// Entries of a menu: objectName, caption, shortcut, enabled. An empty name is a separator.
struct Entry
{
    const char *name;
    const char *caption;
    const char *shortcut = "";
    bool enabled = true;
};

void addEntries(QMenu *menu, std::initializer_list<Entry> entries)
{
    for (const Entry &entry : entries) {
        if (!*entry.name) {
            menu->addSeparator();
            continue;
        }
        QAction *action = addMenuEntry(menu, QString::fromUtf8(entry.name), QString::fromUtf8(entry.caption),
                                       entry.enabled);
        if (*entry.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    }
}

QIcon glyphIcon(const QString &glyph, const QColor &colour)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QFont font = p.font();
        font.setPixelSize(int(size * (glyph.size() > 1 ? 0.5 : 0.8)));
        font.setBold(true);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption, bool enabled)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
}

void buildMainMenus(QMainWindow *window)
{
    QMenu *file = addTopMenu(window, QStringLiteral("MnuFich"), QStringLiteral("100"));
    QMenu *folders = addMenu(file, QStringLiteral("MnuRepDataTitre"), QStringLiteral("443"));
    addEntries(folders, {{"mnuRepDataAutres", "444"}, {"", ""}});
    folders->addSeparator()->setObjectName(QStringLiteral("MnuRepDataSep"));
    addMenu(folders, QStringLiteral("MnuRepDataRetireTitre"), QStringLiteral("445"));
    addEntries(file, {{"MnuRefresh", "101", "F5"},
                      {"mnuExportCDS", "Export...", "", false},
                      {"MnuExportHtml", "557", "", false},
                      {"", ""},
                      {"MnuQuit", "105"}});

    QMenu *discs = addTopMenu(window, QStringLiteral("MnuCD"), QStringLiteral("106"));
    addEntries(discs, {{"MnuArchiver", "107", "", false},
                       {"MnuRenommer", "108", "F2", false},
                       {"MnuSupprArchive", "109", "", false},
                       {"", ""},
                       {"mnuMiseAJour", "122", "", false},
                       {"MnuIdentManuelle", "625", "", false}});

    QMenu *view = addTopMenu(window, QStringLiteral("mnuAffT"), QStringLiteral("111"));
    addEntries(view, {{"MnuAff_1", "112", "F7"},
                      {"MnuAff_2", "609", "F8"},
                      {"MnuAff_3", "113", "F9"},
                      {"MnuAff_4", "635", "F11"},
                      {"MnuAff_5", "Options", "F12"},
                      {"", ""},
                      {"MnuGestMC", "102", "F4", false},
                      {"mnuSelectJaq", "633", "Ctrl+J", false}});

    QMenu *filter = addTopMenu(window, QStringLiteral("MnuFiltre_T"), QStringLiteral("136"));
    QAction *all = addMenuEntry(filter, QStringLiteral("MnuFiltre_0"), QStringLiteral("137"));
    all->setShortcut(QKeySequence(Qt::Key_F6));
    all->setCheckable(true);
    all->setChecked(true);
    all->setData(0);
    filter->addSeparator()->setObjectName(QStringLiteral("MnuFiltreSep"));
    addMenuEntry(filter, QStringLiteral("MnuInvertFiltre"), QStringLiteral("510"))->setCheckable(true);

    QAction *back = window->menuBar()->addAction(QStringLiteral("&<<"));
    back->setObjectName(QStringLiteral("MnuPrec"));
    back->setEnabled(false);
    QAction *forward = window->menuBar()->addAction(QStringLiteral(">&>"));
    forward->setObjectName(QStringLiteral("MnuSuiv"));
    forward->setEnabled(false);

    QMenu *help = addTopMenu(window, QStringLiteral("mnuHelp_t"), QStringLiteral("?"));
    addEntries(help, {{"mnuHelp", "655"},
                      {"", ""},
                      {"MnuAPropo", "135"},
                      {"", ""},
                      {"MnuReadme_1", "Readme.txt"},
                      {"MnuReadme_2", "History.txt"}});

    QMenu *popup = popupMenu(window, QStringLiteral("MnuView"));
    QMenu *modes = addMenu(popup, QStringLiteral("MnuAffListe"), QStringLiteral("114"));
    addEntries(modes, {{"MnuViewItems_0", "115"}, {"MnuViewItems_1", "116"},
                       {"MnuViewItems_2", "117"}, {"MnuViewItems_3", "118"}});
    QMenu *sort = addMenu(popup, QStringLiteral("mnuTrie_t"), QStringLiteral("642"));
    addEntries(sort, {{"mnuTrie_0", "643"}, {"mnuTrie_1", "644"}, {"", ""}, {"mnuTrieDecroiss", "645"}});
    for (const char *name : {"mnuTrie_0", "mnuTrie_1", "mnuTrieDecroiss"})
        sort->findChild<QAction *>(QString::fromLatin1(name))->setCheckable(true);
    sort->findChild<QAction *>(QStringLiteral("mnuTrie_0"))->setChecked(true);
    addEntries(popup, {{"mnuExport", "506", "", false},
                       {"mnuExportListHTML", "552", "", false},
                       {"", ""},
                       {"MnuArchiver2", "119", "", false},
                       {"MnuRenommer2", "120", "", false},
                       {"MnuSupprArchive2", "109", "", false},
                       {"mnuMiseAJour2", "122", "", false},
                       {"MnuIdentManuelle2", "625", "", false},
                       {"", ""}});
    QMenu *exportArchive = addMenu(popup, QStringLiteral("MnuExportArchive"), QStringLiteral("450"));
    exportArchive->menuAction()->setEnabled(false);
    addEntries(exportArchive, {{"MnuCopyArchiv_0", "628", "", false}, {"MnuCopyArchiv_1", "629", "", false}});
    popup->addSeparator();
    QMenu *bookmarks = addMenu(popup, QStringLiteral("MnuSignet_T"), QStringLiteral("638"));
    bookmarks->menuAction()->setEnabled(false);
    addEntries(bookmarks, {{"MnuSignets_0", "639", "", false},
                           {"MnuSignets_1", "640", "", false},
                           {"MnuSignets_2", "637", "", false}});
    addEntries(popup, {{"MnuPropFichier", "123", "", false},
                       {"MnuPropCD", "123", "", false},
                       {"MnuPropDossierLV1", "123", "", false},
                       {"", ""},
                       {"MnuOuvreCD", "126"},
                       {"MnuFermeCD", "127"}});

    QMenu *panel = popupMenu(window, QStringLiteral("MnuAffMc"));
    addEntries(panel, {{"MnuAffMcT_0", "128"}, {"MnuAffMcT_1", "129"}, {"MnuAffMcT_2", "536"}});
    panel->addSeparator()->setObjectName(QStringLiteral("Zsepmc"));
    QMenu *reports = addMenu(panel, QStringLiteral("MnuMCInfoRep"), QStringLiteral("446"));
    addEntries(reports, {{"MnuAffMcTRep_3", "446", "", false},
                         {"MnuAffMcTRep_4", "130", "", false},
                         {"MnuAffMcTRep_5", "131", "", false},
                         {"MnuAffMcTRep_6", "132", "", false},
                         {"MnuAffMcTRep_7", "Totaux", "", false}});

    QMenu *folderPopup = popupMenu(window, QStringLiteral("MnuPropDossier_Titre"));
    addEntries(folderPopup, {{"MnuOuvreDossier_0", "133"},
                             {"MnuOuvreDossier_1", "407"},
                             {"MnuPropDossier", "123", "", false}});
    QMenu *folderBookmarks = addMenu(folderPopup, QStringLiteral("MnuSignetsRep_T"), QStringLiteral("638"));
    folderBookmarks->menuAction()->setEnabled(false);
    addEntries(folderBookmarks, {{"MnuSignetsRep_0", "639", "", false},
                                 {"MnuSignetsRep_1", "640", "", false},
                                 {"MnuSignetsRep_2", "637", "", false}});
    addEntries(folderPopup, {{"mnuDossierExcluRecherches", "657", "", false}});

    QMenu *viewer = popupMenu(window, QStringLiteral("MnuImgFlecheT"));
    addEntries(viewer, {{"MnuImgFleche_0", "Masquer"}, {"MnuImgFleche_1", "Zoom"}, {"MnuImgFleche_2", "592"}});
    viewer->findChild<QAction *>(QStringLiteral("MnuImgFleche_2"))->setCheckable(true);

    QMenu *options = popupMenu(window, QStringLiteral("MnuTVOptions_T"));
    addEntries(options, {{"MnuTvOptions_0", "108", "", false}, {"MnuTvOptions_1", "109", "", false}});
}

QToolBar *buildToolbar(QMainWindow *window)
{
    auto *bar = new QToolBar(window);
    bar->setObjectName(QStringLiteral("Tbr1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    window->addToolBar(Qt::TopToolBarArea, bar);
    struct Button
    {
        const char *key;
        int tip;
        QIcon icon;
        bool enabled;
    };
    const QColor ink(40, 60, 110);
    const Button buttons[] = {
        {"Archiver", 453, drawnIcon(QStringLiteral("CD")), false},
        {"MAJ", 122, glyphIcon(QStringLiteral("\u21BB"), ink), false},
        {"Infos", 123, glyphIcon(QStringLiteral("i"), ink), false},
        {"Filtre", 502, glyphIcon(QStringLiteral("\u2261"), ink), true},
        {"FiltreX", 137, glyphIcon(QStringLiteral("\u2205"), ink), true},
        {"TriNom", 644, glyphIcon(QStringLiteral("31"), ink), true},
        {"TriDate", 643, glyphIcon(QStringLiteral("AZ"), ink), true},
        {"TriAsc", 645, glyphIcon(QStringLiteral("\u25BC"), ink), true},
        {"TriDesc", 647, glyphIcon(QStringLiteral("\u25B2"), ink), true},
        {"SelectJaq", 633, glyphIcon(QStringLiteral("\u25A3"), ink), false},
        {"EjectCD", 126, glyphIcon(QStringLiteral("\u23CF"), ink), true},
        {"CloseCD", 127, drawnIcon(QStringLiteral("LCD")), true},
    };
    for (const Button &button : buttons) {
        QAction *action = bar->addAction(button.icon, QString::fromLatin1(button.key));
        action->setObjectName(QString::fromLatin1(button.key));
        action->setProperty("tipId", button.tip);
        action->setEnabled(button.enabled);
        if (QLatin1String(button.key) == QLatin1String("FiltreX")
            || QLatin1String(button.key) == QLatin1String("TriDate"))
            bar->addSeparator();
    }
    return bar;
}

QAction *findAction(const QMainWindow *window, const QString &name)
{
    return window->findChild<QAction *>(name);
}

QMenu *findMenu(const QMainWindow *window, const QString &name)
{
    return window->findChild<QMenu *>(name);
}

} // namespace vorn
