#pragma once

#include "settings/OptionsTree.h"

#include <QFrame>
#include <functional>
#include <optional>

class QAction;
class QColor;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorn {

class UserPrompt;

// The options tab's frame `FrameOpt`: the tree `TVOpt` of every option, rebuilt from
// the settings each time the tab is shown, the editor of the selected node (`LblValue`
// with the number box `TxtOPTNew` or the choice box `CbOPT`; a colour dialog for the
// colours) and the buttons `BtValidOPT(0)` apply and `BtValidOPT(1)` cancel. The
// values and their rules are the core's OptionsTree; nothing is stored before apply.
class OptionsPane : public QFrame
{
    Q_OBJECT
public:
    // `treeMenu` is the pop-up `MnuTvOptions` of filter nodes: entry 0 renames, 1 deletes.
    OptionsPane(UserPrompt &prompt, QMenu *treeMenu, QAction *rename, QAction *remove, QWidget *parent = nullptr);

    // What the pane reads from the window when it builds and applies: the options word
    // in force, the lists' backgrounds, and the text viewer's bits (visible, auto view).
    struct WindowState
    {
        std::function<qint32()> optionsWord;
        std::function<ListColours()> colours;
        std::function<qint32()> viewerBits;
    };
    void setWindowState(WindowState state) { m_window = std::move(state); }
    // How a colour is chosen: Qt's colour dialog by default; nullopt when cancelled.
    void setColourChooser(std::function<std::optional<QColor>(const QColor &)> chooser);

    // BuildOptionsTree.
    void build();
    void applyOptions();
    void cancelOptions();
    bool applyEnabled() const;

    const OptionsTree &options() const { return m_options; }
    QTreeWidget *tree() const { return m_tree; }
    QTreeWidgetItem *item(const QString &key) const;
    // Selects a node and opens its editor, as a click does.
    void selectNode(const QString &key);
    void applyCaptions();

    static QColor colourFromNumber(quint32 value);
    static quint32 numberFromColour(const QColor &colour);

signals:
    // Apply wrote the options: the window takes the new options word and colours.
    void applied(const vorn::OptionsTree::Applied &result);
    // Apply was enabled (an edit is pending) or disabled.
    void pendingChanged(bool pending);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillTree(const QString &selectKey = {});
    void refreshMarks();
    void showEditor(QTreeWidgetItem *item);
    void hideEditors();
    void setPending(bool pending);
    QString selectedKey() const;
    void choiceMade(int index);
    void itemEdited(QTreeWidgetItem *item);
    void renameFilter();
    void removeFilter();
    bool numberBoxLeft();

    UserPrompt &m_prompt;
    QTreeWidget *m_tree;
    QLabel *m_label;
    QLineEdit *m_number;
    QComboBox *m_choice;
    QPushButton *m_buttons[2];
    QMenu *m_treeMenu;
    QAction *m_rename;
    QAction *m_remove;
    OptionsTree m_options;
    WindowState m_window;
    std::function<std::optional<QColor>(const QColor &)> m_chooseColour;
    QString m_editingKey; // the node whose editor is shown
    bool m_filling = false;
    bool m_warning = false;
};

} // namespace vorn
