#include "gui/covers/CoverTab.h"

#include "gui/AppIcons.h"
#include "gui/GuiPrompt.h"
#include "gui/covers/CoverPanel.h"
#include "gui/covers/ThumbStrip.h"
#include "store/Catalogue.h"
#include "store/RecordText.h"

#include <QApplication>
#include <QVBoxLayout>

namespace vorn {

CoverTab::CoverTab(Catalogue &catalogue, AppIcons &icons, UserPrompt &prompt, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_icons(icons), m_prompt(prompt)
{
    setObjectName(QStringLiteral("PageJ"));
    m_panel = new CoverPanel(catalogue, prompt);
    m_strip = new ThumbStrip;
    m_strip->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_strip);
    layout->addWidget(m_panel, 1);
    connect(m_strip, &ThumbStrip::thumbClicked, this, &CoverTab::discWanted);
    connect(m_strip, &ThumbStrip::closeRequested, this, [this] {
        m_strip->hide();
        m_strip->clear();
    });
}

void CoverTab::showDisc(const QString &identifier)
{
    const int position = identifier.isEmpty() ? 0 : findDisc(m_catalogue, identifier);
    if (position == 0) {
        m_panel->showDisc(QString(), QString(), QIcon());
    } else {
        const DiscRecord &disc = m_catalogue.disc(position);
        const QIcon icon = m_catalogue.discIcons.contains(disc.identifier)
            ? m_icons.discIcon(disc.identifier, m_catalogue.discIcons.value(disc.identifier))
            : m_icons.icon(QStringLiteral("CD"));
        m_panel->showDisc(disc.identifier, disc.name, icon);
    }
    m_strip->select(position == 0 ? QString() : identifier);
}

void CoverTab::showStrip()
{
    m_strip->show();
}

bool CoverTab::stripShown() const
{
    return m_strip->isVisibleTo(this);
}

void CoverTab::refreshStrip(int filter)
{
    if (!stripShown()) {
        m_strip->clear();
        return;
    }
    if (m_building)
        return;
    m_building = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Thumbnails that must be made take a while: the window keeps answering between discs.
    GuiObserver observer(m_prompt);
    m_strip->rebuild(m_catalogue, observer, filter, m_panel->shownDisc());
    QApplication::restoreOverrideCursor();
    m_building = false;
}

void CoverTab::applyCaptions()
{
    m_strip->applyCaptions();
    m_panel->update();
}

} // namespace vorn
