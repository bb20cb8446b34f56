#include "gui/TabHost.h"

#include "settings/StringTable.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace vorn {

namespace {

struct TabDesign
{
    const char *key;
    int caption; // 0: the fixed caption "Options"
};

constexpr TabDesign kTabs[TabHost::TabCount] = {{"C", 224}, {"R", 225}, {"J", 609}, {"S", 635}, {"O", 0}};

} // namespace

TabHost::TabHost(QWidget *browsePage, QWidget *parent) : QWidget(parent)
{
    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("Pages"));
    for (int tab = 0; tab < TabCount; ++tab) {
        const int index = m_tabs->addTab(QString());
        m_tabs->setTabData(index, QString::fromLatin1(kTabs[tab].key));
        QWidget *page = tab == Browse ? browsePage : new QWidget;
        if (tab != Browse)
            page->setObjectName(QStringLiteral("Page") + QString::fromLatin1(kTabs[tab].key));
        m_pages->addWidget(page);
    }
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        m_pages->setCurrentIndex(index);
        emit tabShown(Tab(index));
    });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_pages, 1);
}

void TabHost::setPage(Tab tab, QWidget *page)
{
    QWidget *old = m_pages->widget(tab);
    m_pages->insertWidget(tab, page);
    m_pages->removeWidget(old);
    delete old;
    m_pages->setCurrentIndex(m_tabs->currentIndex());
}

QWidget *TabHost::page(Tab tab) const
{
    return m_pages->widget(tab);
}

void TabHost::showTab(Tab tab)
{
    m_tabs->setCurrentIndex(tab);
}

TabHost::Tab TabHost::currentTab() const
{
    return Tab(m_tabs->currentIndex());
}

void TabHost::applyCaptions()
{
    for (int tab = 0; tab < TabCount; ++tab)
        m_tabs->setTabText(tab, kTabs[tab].caption ? LoadText(kTabs[tab].caption) : QStringLiteral("Options"));
}

} // namespace vorn
