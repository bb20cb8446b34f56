#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

namespace vorn {

// The right-hand side of the main window: the tab strip `TabStrip1` over one page
// per tab. The browse page is given at construction; the other pages start empty
// and are handed in by the panes that fill them (search, cover, bookmarks, options).
class TabHost : public QWidget
{
    Q_OBJECT
public:
    // The tabs by their keys, in the strip's order: "C", "R", "J", "S", "O".
    enum Tab { Browse, Search, Cover, Bookmarks, Options, TabCount };

    explicit TabHost(QWidget *browsePage, QWidget *parent = nullptr);

    // Puts `page` in place of the tab's page (the previous one is deleted).
    void setPage(Tab tab, QWidget *page);
    QWidget *page(Tab tab) const;
    void showTab(Tab tab);
    Tab currentTab() const;
    // The captions from the string table.
    void applyCaptions();

    QTabBar *tabBar() const { return m_tabs; }

signals:
    void tabShown(vorn::TabHost::Tab tab);

private:
    QTabBar *m_tabs;
    QStackedWidget *m_pages;
};

} // namespace vorn
