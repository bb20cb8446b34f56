#pragma once

#include <QWidget>

namespace vorn {

class AppIcons;
class CoverPanel;
class ThumbStrip;
class UserPrompt;
struct Catalogue;

// The cover tab's page: the thumbnail strip (hidden until the selection by cover is
// asked for) above the cover panel of the shown disc.
class CoverTab : public QWidget
{
    Q_OBJECT
public:
    CoverTab(Catalogue &catalogue, AppIcons &icons, UserPrompt &prompt, QWidget *parent = nullptr);

    CoverPanel *panel() const { return m_panel; }
    ThumbStrip *strip() const { return m_strip; }

    // The disc the panel draws and the strip frames (empty: none).
    void showDisc(const QString &identifier);
    // The selection by cover: the strip is shown (refreshStrip builds it).
    void showStrip();
    bool stripShown() const;
    // Builds the strip again when it is shown, under the disc list's keyword filter;
    // a hidden strip is only emptied.
    void refreshStrip(int filter);
    void applyCaptions();

signals:
    // A thumbnail was clicked: the window selects and shows that disc.
    void discWanted(const QString &identifier);

private:
    Catalogue &m_catalogue;
    AppIcons &m_icons;
    UserPrompt &m_prompt;
    CoverPanel *m_panel;
    ThumbStrip *m_strip;
    bool m_building = false;
};

} // namespace vorn
