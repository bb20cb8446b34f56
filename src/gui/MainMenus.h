#pragma once

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace vorn {

// Builds the menu bar, the pop-up menus and the toolbar `Tbr1` of the main window.
// Every menu and entry carries the objectName of its design (members of an array as
// name_index) and a numeric caption that TranslateCaptions turns into text. Entries
// whose action the window does not offer yet are built disabled.
void buildMainMenus(QMainWindow *window);
QToolBar *buildToolbar(QMainWindow *window);

// The action or menu of the window with this objectName (nullptr when absent).
QAction *findAction(const QMainWindow *window, const QString &name);
QMenu *findMenu(const QMainWindow *window, const QString &name);

// Adds an entry to a menu: objectName, caption and enabled state.
QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption, bool enabled = true);

} // namespace vorn
