#include "gui/covers/ThumbStrip.h"

#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/CoverPicture.h"
#include "store/RecordText.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace vorn {

namespace {

constexpr int FrameWidth = 3;
constexpr int Gap = 6;
constexpr int Cell = Cover::ThumbnailPixels + 2 * FrameWidth;

} // namespace

ThumbImage::ThumbImage(const QPixmap &picture, const QString &identifier, QWidget *parent)
    : QWidget(parent), m_picture(picture), m_identifier(identifier)
{
    setFixedSize(Cell, Cell);
    setCursor(Qt::PointingHandCursor);
}

void ThumbImage::setFramed(bool framed)
{
    if (framed != m_framed) {
        m_framed = framed;
        update();
    }
}

void ThumbImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(FrameWidth, FrameWidth, m_picture);
    if (m_framed) {
        QPen pen(palette().color(QPalette::Highlight), FrameWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(
            QRectF(rect()).adjusted(FrameWidth / 2.0, FrameWidth / 2.0, -FrameWidth / 2.0, -FrameWidth / 2.0));
    }
}

void ThumbImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(m_identifier);
}

ThumbStrip::ThumbStrip(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("FraThumbs"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    m_row = new QWidget;
    m_row->setObjectName(QStringLiteral("FraThumbsRow"));
    m_row->resize(0, Cell);
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_row);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setFixedHeight(Cell + m_scroll->horizontalScrollBar()->sizeHint().height() + 2);

    const QString arrows[2] = {QStringLiteral("\u25C0"), QStringLiteral("\u25B6")};
    for (int index = 0; index < 2; ++index) {
        m_move[index] = new QToolButton;
        m_move[index]->setObjectName(QStringLiteral("btmoveThumb_%1").arg(index));
        m_move[index]->setText(arrows[index]);
        m_move[index]->setAutoRepeat(true);
        connect(m_move[index], &QToolButton::clicked, this, [this, index] { scrollBy(index == 0 ? -1 : 1); });
    }
    m_close = new QToolButton;
    m_close->setObjectName(QStringLiteral("btCloseThumbs"));
    m_close->setText(QStringLiteral("\u2715"));
    connect(m_close, &QToolButton::clicked, this, &ThumbStrip::closeRequested);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_move[0]);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_move[1]);
    layout->addWidget(m_close, 0, Qt::AlignTop);
    applyCaptions();
}

void ThumbStrip::applyCaptions()
{
    m_move[0]->setToolTip(LoadText(817));
    m_move[1]->setToolTip(LoadText(818));
    m_close->setToolTip(LoadText(816));
}

void ThumbStrip::clear()
{
    for (ThumbImage *image : m_images)
        delete image;
    m_images.clear();
    m_thumbnails.clear();
    m_row->resize(0, Cell);
    m_built = false;
}

void ThumbStrip::rebuild(Catalogue &catalogue, RunObserver &observer, int filter, const QString &current)
{
    clear();
    m_thumbnails = edit::collectThumbnails(catalogue, observer);
    m_images.reserve(m_thumbnails.size());
    int index = 1;
    for (const edit::DiscThumbnail &thumbnail : m_thumbnails) {
        QPixmap picture;
        picture.loadFromData(thumbnail.bitmap, "BMP");
        auto *image = new ThumbImage(picture, thumbnail.identifier, m_row);
        image->setObjectName(QStringLiteral("img_%1").arg(index++));
        image->setToolTip(thumbnail.name);
        connect(image, &ThumbImage::clicked, this, &ThumbStrip::thumbClicked);
        m_images.push_back(image);
    }
    m_built = true;
    applyFilter(filter);
    select(current);
}

void ThumbStrip::followRecords(const Catalogue &catalogue)
{
    for (size_t i = 0; i < m_images.size(); ++i) {
        edit::DiscThumbnail &thumbnail = m_thumbnails[i];
        thumbnail.position = findDisc(catalogue, thumbnail.identifier);
        if (thumbnail.position == 0)
            continue;
        const DiscRecord &disc = catalogue.disc(thumbnail.position);
        thumbnail.name = disc.name;
        thumbnail.keywordCodes = disc.keywordCodes;
        m_images[i]->setToolTip(disc.name);
    }
}

void ThumbStrip::applyFilter(int filter)
{
    int x = 0;
    for (size_t i = 0; i < m_images.size(); ++i) {
        const bool visible = m_thumbnails[i].position > 0 && edit::thumbnailPassesFilter(m_thumbnails[i], filter);
        m_images[i]->setVisible(visible);
        if (visible) {
            m_images[i]->move(x, 0);
            x += Cell + Gap;
        }
    }
    m_row->resize(qMax(0, x - Gap), Cell);
}

void ThumbStrip::select(const QString &identifier)
{
    for (ThumbImage *image : m_images) {
        const bool current = !identifier.isEmpty() && image->identifier() == identifier;
        image->setFramed(current);
        if (current && image->isVisibleTo(m_row))
            m_scroll->ensureWidgetVisible(image, Gap, 0);
    }
}

void ThumbStrip::scrollBy(int direction)
{
    QScrollBar *bar = m_scroll->horizontalScrollBar();
    bar->setValue(bar->value() + direction * (Cell + Gap) * 3);
}

} // namespace vorn
