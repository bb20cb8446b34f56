#pragma once

#include "export/HtmlExport.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorn {

class Form1;
class ExportObserver;

// The HTML export window: the options tree `TVO`, the disc chooser (`TabStrip2` over
// `List1`), the export and close buttons `Bt1_0` and `Bt1_1`, and the progress of a
// running export (`Label3` and a bar). The export itself is the core's.
class FrmHTML : public QDialog
{
    Q_OBJECT
public:
    // `openIndex` shows the written index page in the desktop's browser.
    FrmHTML(Form1 &owner, std::function<void(const QString &)> openIndex);
    ~FrmHTML() override;

    // The node of `TVO` with this key ("KList", "kDesc", ...); nullptr when none.
    QTreeWidgetItem *node(const QString &key) const;
    // The options the ticks and the column count say.
    HtmlExportOptions options() const;
    // The discs the chooser names.
    DiscChoice choice() const;
    bool isRunning() const { return m_running; }

    // `Bt1_0`: asks for the index file and writes the site.
    void runExport();
    // `Bt1_1`: stops a running export after the disc in hand and closes the window.
    void stopAndClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildTree();
    void fillList();
    void nodeChanged(QTreeWidgetItem *item);
    void nodeClicked(QTreeWidgetItem *item);
    void setColumns(int columns);
    void hideWhileRunning();

    Form1 &m_owner;
    std::function<void(const QString &)> m_openIndex;
    QTreeWidget *m_tree;
    QTabBar *m_tabs;
    QListWidget *m_list;
    QLabel *m_label;
    QProgressBar *m_bar;
    QPushButton *m_export;
    QPushButton *m_close;
    std::unique_ptr<ExportObserver> m_observer;
    HtmlExportOptions m_stored;
    int m_columns = 6;
    bool m_running = false;
    bool m_closeAfterRun = false;
    bool m_tickJustChanged = false;
};

} // namespace vorn
