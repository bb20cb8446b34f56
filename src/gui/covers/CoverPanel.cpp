#include "gui/covers/CoverPanel.h"

#include "common/UserPrompt.h"
#include "edit/CoverEdits.h"
#include "gui/EditReport.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/CoverPicture.h"
#include "store/RecordText.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vorn {

namespace {

constexpr int Margin = 10;
constexpr int IconSize = 32;
constexpr int LinkGap = 24;
constexpr int LinkCaptions[CoverPanel::LinkCount] = {610, 611, 612, 613, 614};

QFont linkFont(const QFont &base)
{
    QFont font = base;
    font.setUnderline(true);
    return font;
}

} // namespace

CoverPanel::CoverPanel(Catalogue &catalogue, UserPrompt &prompt, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_prompt(prompt)
{
    setObjectName(QStringLiteral("PictJ"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumSize(320, 200);
    m_choosePrinter = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    layoutLinks();
}

void CoverPanel::showDisc(const QString &identifier, const QString &name, const QIcon &icon)
{
    if (identifier != m_identifier) {
        m_chosen.clear();
        m_dropped = false;
    }
    m_identifier = identifier;
    m_name = name;
    m_icon = icon;
    m_stored.reset();
    forgetPicture();
    update();
}

QString CoverPanel::picturePath() const
{
    if (m_identifier.isEmpty() || m_dropped)
        return {};
    if (!m_chosen.isEmpty())
        return m_chosen;
    if (!m_stored)
        m_stored = edit::coverWorkingCopy(m_catalogue, m_identifier);
    return *m_stored;
}

QString CoverPanel::sizeLine() const
{
    if (m_chosen.isEmpty() || m_dropped)
        return {};
    return Cover::sizeText(QFileInfo(m_chosen).size());
}

void CoverPanel::layoutLinks()
{
    const QFontMetrics metrics(linkFont(font()));
    int x = Margin;
    const int y = Margin + IconSize + 10;
    for (int link = 0; link < LinkCount; ++link) {
        const int width = metrics.horizontalAdvance(LoadText(LinkCaptions[link]));
        m_links[size_t(link)] = QRect(x, y, width, metrics.height());
        x += width + LinkGap;
    }
}

QRect CoverPanel::pictureArea() const
{
    const int top = m_links[0].bottom() + 20;
    const int bottom = height() - Margin - (sizeLine().isEmpty() ? 0 : fontMetrics().height() + 6);
    return QRect(Margin, top, qMax(0, width() - 2 * Margin), qMax(0, bottom - top));
}

const QImage &CoverPanel::fittedPicture()
{
    const QString path = picturePath();
    const QSize box = pictureArea().size();
    if (path != m_fittedPath || box != m_fittedBox) {
        // An unreadable picture simply shows nothing.
        m_fitted = path.isEmpty() ? QImage() : Cover::loadFitted(path, box);
        m_fittedPath = path;
        m_fittedBox = box;
    }
    return m_fitted;
}

void CoverPanel::forgetPicture()
{
    m_fitted = QImage();
    m_fittedPath.clear();
    m_fittedBox = QSize();
}

void CoverPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_identifier.isEmpty()) {
        painter.drawText(rect().adjusted(Margin, Margin, -Margin, -Margin),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, LoadText(624));
        return;
    }
    m_icon.paint(&painter, QRect(Margin, Margin, IconSize, IconSize));
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    painter.setFont(bold);
    painter.drawText(QRect(Margin + IconSize + 10, Margin, width() - IconSize - 3 * Margin, IconSize),
                     Qt::AlignLeft | Qt::AlignVCenter, m_name);

    painter.setFont(linkFont(font()));
    for (int link = 0; link < LinkCount; ++link) {
        const QRect &area = m_links[size_t(link)];
        painter.setPen(palette().color(link == m_hovered ? QPalette::Highlight : QPalette::Link));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, LoadText(LinkCaptions[link]));
    }
    const int lineY = m_links[0].bottom() + 10;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(Margin, lineY, width() - Margin, lineY);

    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QImage &picture = fittedPicture();
    if (picture.isNull())
        return;
    const QRect area = pictureArea();
    const QRect placed(area.topLeft(), picture.size());
    painter.drawImage(placed, picture);
    const QString line = sizeLine();
    if (!line.isEmpty())
        painter.drawText(QPoint(Margin, placed.bottom() + 6 + fontMetrics().ascent()), line);
}

void CoverPanel::mouseMoveEvent(QMouseEvent *event)
{
    int hovered = -1;
    for (int link = 0; link < LinkCount; ++link) {
        if (!m_identifier.isEmpty() && m_links[size_t(link)].contains(event->position().toPoint()))
            hovered = link;
    }
    if (hovered != m_hovered) {
        m_hovered = hovered;
        setCursor(hovered >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }
}

void CoverPanel::leaveEvent(QEvent *)
{
    if (m_hovered >= 0) {
        m_hovered = -1;
        unsetCursor();
        update();
    }
}

void CoverPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_identifier.isEmpty())
        return;
    for (int link = 0; link < LinkCount; ++link) {
        if (m_links[size_t(link)].contains(event->position().toPoint())) {
            run(link);
            return;
        }
    }
}

void CoverPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    update();
}

void CoverPanel::run(int link)
{
    switch (Link(link)) {
    case Choose:
        choosePicture();
        break;
    case Delete:
        deletePicture();
        break;
    case Print:
        printPicture();
        break;
    case Save:
        savePicture();
        break;
    case Cancel:
        cancelPicture();
        break;
    case LinkCount:
        break;
    }
}

void CoverPanel::choosePicture()
{
    if (m_identifier.isEmpty())
        return;
    const QString path = m_prompt.chooseFile(
        LoadText(610), QStringLiteral("JPG (*.JPG *.jpg *.jpeg);;BMP (*.BMP *.bmp);;GIF (*.GIF *.gif);;*.* (*)"),
        false);
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Cover::PictureProblem problem = Cover::checkPicture(path);
    QApplication::restoreOverrideCursor();
    if (problem != Cover::PictureProblem::None) {
        m_prompt.warn(LoadText(Cover::problemMessage(problem)) + u'\n' + QDir::toNativeSeparators(path));
        return;
    }
    m_chosen = path;
    m_dropped = false;
    update();
}

void CoverPanel::deletePicture()
{
    if (QFileInfo(picturePath()).size() < 1)
        return;
    if (m_prompt.askOkCancel(LoadText(611) + QStringLiteral(" ?"), UserPrompt::Icon::Question)
        != UserPrompt::Answer::Ok)
        return;
    m_chosen.clear();
    m_dropped = true;
    update();
}

void CoverPanel::printPicture()
{
    const QString path = picturePath();
    if (path.isEmpty())
        return;
    if (m_prompt.askOkCancel(LoadText(612) + QStringLiteral(" ?"), UserPrompt::Icon::Question)
        != UserPrompt::Answer::Ok)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer installed: the dialog offers a PDF file instead.
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(folder).filePath(m_identifier + QStringLiteral(".pdf")));
    }
    if (!m_choosePrinter(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        return; // printing problems are the printer service's to report
    const QRect page = painter.viewport();
    const QImage picture = Cover::loadFitted(path, page.size());
    if (!picture.isNull()) {
        const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(page.topLeft(), size), picture);
    }
    painter.end();
}

void CoverPanel::savePicture()
{
    if (m_identifier.isEmpty() || (m_chosen.isEmpty() && !m_dropped))
        return;
    const int position = findDisc(m_catalogue, m_identifier);
    if (position == 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const EditResult result =
        m_dropped ? edit::deleteCover(m_catalogue, position) : edit::setCover(m_catalogue, position, m_chosen);
    QApplication::restoreOverrideCursor();
    reportEdit(m_prompt, result);
    if (!result.ok())
        return;
    m_chosen.clear();
    m_dropped = false;
    m_stored.reset();
    forgetPicture();
    update();
    emit coverSaved(m_identifier);
}

void CoverPanel::cancelPicture()
{
    m_chosen.clear();
    m_dropped = false;
    forgetPicture();
    update();
}

} // namespace vorn
