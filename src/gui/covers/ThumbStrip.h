#pragma once

#include "edit/CoverEdits.h"

#include <QFrame>
#include <QPixmap>
#include <vector>

class QScrollArea;
class QToolButton;

namespace vorn {

class RunObserver;
struct Catalogue;

// One thumbnail of the strip (`img(i)`): the disc's thumbnail, its name as tooltip,
// its identifier as tag; framed when its disc is the current one.
class ThumbImage : public QWidget
{
    Q_OBJECT
public:
    ThumbImage(const QPixmap &picture, const QString &identifier, QWidget *parent);
    QString identifier() const { return m_identifier; }
    void setFramed(bool framed);
    bool framed() const { return m_framed; }

signals:
    void clicked(const QString &identifier);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    QString m_identifier;
    bool m_framed = false;
};

// The thumbnail strip `FraThumbs`: one `img(i)` per disc with a cover, in disc-array
// order, packed from the left without gaps after the keyword filter, scrolled with
// the arrows `btmoveThumb(0)` and `btmoveThumb(1)` or the scroll bar.
class ThumbStrip : public QFrame
{
    Q_OBJECT
public:
    explicit ThumbStrip(QWidget *parent = nullptr);

    // Affthumbs: the thumbnails made anew from the data folder (missing ones are made
    // and stored), then the filter applied and the current disc framed.
    void rebuild(Catalogue &catalogue, RunObserver &observer, int filter, const QString &current);
    void clear();
    bool isBuilt() const { return m_built; }
    // Takes each thumbnail's name (its tooltip) and keywords from the disc records
    // again after a rename or a keyword change; a disc gone from the array is hidden.
    void followRecords(const Catalogue &catalogue);
    // Shows the thumbnails of the discs that pass the keyword filter, side by side.
    void applyFilter(int filter);
    // SelectionneThumb: frames the thumbnail of disc `identifier` and scrolls to it.
    void select(const QString &identifier);
    const std::vector<ThumbImage *> &images() const { return m_images; }
    void applyCaptions();

signals:
    void thumbClicked(const QString &identifier);
    void closeRequested();

private:
    void scrollBy(int direction);

    QScrollArea *m_scroll;
    QWidget *m_row;
    QToolButton *m_move[2];
    QToolButton *m_close;
    std::vector<edit::DiscThumbnail> m_thumbnails;
    std::vector<ThumbImage *> m_images;
    bool m_built = false;
};

} // namespace vorn
