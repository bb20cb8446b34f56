#include "gui/AppIcons.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vorn {

namespace {

void drawFolder(QPainter &p, int s, bool open, bool excluded)
{
    const QColor body = excluded ? QColor(150, 150, 150) : QColor(232, 184, 64);
    const QColor edge = body.darker(150);
    p.setPen(QPen(edge, s / 16.0));
    p.setBrush(body.darker(110));
    QPainterPath back;
    back.moveTo(s * 0.06, s * 0.25);
    back.lineTo(s * 0.38, s * 0.25);
    back.lineTo(s * 0.46, s * 0.35);
    back.lineTo(s * 0.94, s * 0.35);
    back.lineTo(s * 0.94, s * 0.85);
    back.lineTo(s * 0.06, s * 0.85);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(body);
    QPainterPath front;
    if (open) {
        front.moveTo(s * 0.18, s * 0.47);
        front.lineTo(s * 0.99, s * 0.47);
        front.lineTo(s * 0.88, s * 0.85);
        front.lineTo(s * 0.06, s * 0.85);
    } else {
        front.moveTo(s * 0.06, s * 0.42);
        front.lineTo(s * 0.94, s * 0.42);
        front.lineTo(s * 0.94, s * 0.85);
        front.lineTo(s * 0.06, s * 0.85);
    }
    front.closeSubpath();
    p.drawPath(front);
}

void drawDisc(QPainter &p, int s)
{
    QRadialGradient shine(s * 0.5, s * 0.5, s * 0.46);
    shine.setColorAt(0.0, QColor(250, 250, 255));
    shine.setColorAt(0.6, QColor(190, 205, 230));
    shine.setColorAt(1.0, QColor(150, 170, 210));
    p.setPen(QPen(QColor(90, 100, 130), s / 20.0));
    p.setBrush(shine);
    p.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.9, s * 0.9));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.38, s * 0.38, s * 0.24, s * 0.24));
}

void drawDrive(QPainter &p, int s, bool removable)
{
    p.setPen(QPen(QColor(70, 70, 70), s / 20.0));
    p.setBrush(removable ? QColor(200, 200, 170) : QColor(205, 205, 210));
    p.drawRoundedRect(QRectF(s * 0.05, s * 0.3, s * 0.9, s * 0.45), s * 0.06, s * 0.06);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(s * 0.15, s * 0.45, s * 0.5, s * 0.06));
    p.setBrush(QColor(60, 190, 60));
    p.drawEllipse(QRectF(s * 0.75, s * 0.55, s * 0.1, s * 0.1));
}

void drawFile(QPainter &p, int s, const QColor &band)
{
    p.setPen(QPen(QColor(90, 90, 90), s / 20.0));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(s * 0.2, s * 0.06);
    page.lineTo(s * 0.62, s * 0.06);
    page.lineTo(s * 0.82, s * 0.26);
    page.lineTo(s * 0.82, s * 0.94);
    page.lineTo(s * 0.2, s * 0.94);
    page.closeSubpath();
    p.drawPath(page);
    if (band.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawRect(QRectF(s * 0.26, s * 0.5, s * 0.5, s * 0.28));
    }
}

// The coloured band of a drawn file icon: by the program's keys, and by the
// generic icon names of the MIME database for file types the theme cannot draw.
QColor fileBand(const QString &key)
{
    static const QHash<QString, QColor> bands = {
        {QStringLiteral("ZIP"), QColor(180, 120, 40)},
        {QStringLiteral("package-x-generic"), QColor(180, 120, 40)},
        {QStringLiteral("TXT"), QColor(120, 150, 200)},
        {QStringLiteral("text-x-generic"), QColor(120, 150, 200)},
        {QStringLiteral("text-x-script"), QColor(120, 150, 200)},
        {QStringLiteral("text-html"), QColor(70, 130, 200)},
        {QStringLiteral("image-x-generic"), QColor(90, 170, 90)},
        {QStringLiteral("audio-x-generic"), QColor(160, 100, 190)},
        {QStringLiteral("video-x-generic"), QColor(200, 80, 80)},
        {QStringLiteral("application-x-executable"), QColor(90, 90, 110)},
        {QStringLiteral("x-office-document"), QColor(60, 100, 180)},
        {QStringLiteral("x-office-spreadsheet"), QColor(60, 150, 90)},
        {QStringLiteral("x-office-presentation"), QColor(220, 130, 40)},
        {QStringLiteral("font-x-generic"), QColor(120, 120, 120)},
    };
    return bands.value(key);
}

QPixmap drawn(const QString &key, int s)
{
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("FC") || key == QLatin1String("FO") || key == QLatin1String("FCe")
        || key == QLatin1String("FOe"))
        drawFolder(p, s, key.startsWith(QLatin1String("FO")), key.endsWith(u'e'));
    else if (key == QLatin1String("CD"))
        drawDisc(p, s);
    else if (key == QLatin1String("LCD") || key == QLatin1String("DIS"))
        drawDrive(p, s, key == QLatin1String("DIS"));
    else
        drawFile(p, s, fileBand(key));
    return pixmap;
}

QString themeName(const QString &key)
{
    // A folder left out of searches is always drawn, greyed, so that it stands out.
    if (key == QLatin1String("FO"))
        return QStringLiteral("folder-open");
    if (key == QLatin1String("FC"))
        return QStringLiteral("folder");
    if (key == QLatin1String("FCe") || key == QLatin1String("FOe"))
        return QString();
    if (key == QLatin1String("CD"))
        return QStringLiteral("media-optical");
    if (key == QLatin1String("LCD"))
        return QStringLiteral("drive-optical");
    if (key == QLatin1String("DIS"))
        return QStringLiteral("drive-removable-media");
    if (key == QLatin1String("ZIP"))
        return QStringLiteral("package-x-generic");
    if (key == QLatin1String("TXT"))
        return QStringLiteral("text-x-generic");
    return QStringLiteral("application-x-generic");
}

} // namespace

QIcon drawnIcon(const QString &key)
{
    // Drawn at each size a list asks for, at one and two device pixels per point.
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64})
        icon.addPixmap(drawn(key, side));
    return icon;
}

QIcon commandIcon(const QString &themeName, const QString &bundled)
{
    const QIcon own =
        bundled.isEmpty() ? QIcon() : QIcon(QStringLiteral(":/icons/") + bundled + QStringLiteral(".svg"));
    return themeName.isEmpty() ? own : QIcon::fromTheme(themeName, own);
}

QIcon AppIcons::icon(const QString &key)
{
    auto found = m_icons.constFind(key);
    if (found != m_icons.constEnd())
        return *found;
    const QString name = themeName(key);
    QIcon icon = name.isEmpty() ? drawnIcon(key) : QIcon::fromTheme(name, drawnIcon(key));
    m_icons.insert(key, icon);
    return icon;
}

namespace {

// Every picture of an icon (or picture) file; the largest one, when small, is also
// doubled pixel for pixel so that large icon views and high-density screens show it
// at full size.
QIcon readIcon(QImageReader &reader)
{
    QIcon icon;
    QImage largest;
    for (int n = 0; n < qMax(1, reader.imageCount()); ++n) {
        if (n > 0 && !reader.jumpToImage(n))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        icon.addPixmap(QPixmap::fromImage(image));
        if (largest.isNull() || image.width() > largest.width())
            largest = image;
    }
    for (int side = largest.width() * 2; !largest.isNull() && side <= 64; side *= 2)
        icon.addPixmap(QPixmap::fromImage(largest.scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation)));
    return icon;
}

} // namespace

bool AppIcons::addIconFile(const QString &key, const QString &path)
{
    QImageReader reader(path);
    const QIcon icon = readIcon(reader);
    if (icon.availableSizes().isEmpty())
        return false;
    if (key.startsWith(u'K') && !m_icons.contains(key))
        m_stockKeys.append(key);
    m_icons.insert(key, icon);
    return true;
}

QIcon AppIcons::fileIcon(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1).toUpper();
    auto found = m_extensions.constFind(extension);
    if (found != m_extensions.constEnd())
        return *found;
    // The theme's icon of the file's MIME type, else of its generic type, else the
    // program's drawing of that generic type (or of a plain file).
    QMimeType type;
    if (!extension.isEmpty()) {
        static const QMimeDatabase mimes;
        type = mimes.mimeTypeForFile(QStringLiteral("x.") + extension.toLower(), QMimeDatabase::MatchExtension);
    }
    QString generic = type.isValid() && !type.isDefault() ? type.genericIconName() : QString();
    if (extension == QLatin1String("ZIP") || extension == QLatin1String("CAB") || extension == QLatin1String("RAR"))
        generic = QStringLiteral("package-x-generic");
    QIcon drawing = icon(QStringLiteral("FILE"));
    if (fileBand(generic).isValid()) {
        drawing = m_icons.value(u'J' + generic);
        if (drawing.isNull()) {
            drawing = drawnIcon(generic);
            m_icons.insert(u'J' + generic, drawing);
        }
    }
    QIcon result = drawing;
    if (!generic.isEmpty())
        result = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(generic, drawing));
    m_extensions.insert(extension, result);
    return result;
}

QIcon AppIcons::discIcon(const QString &identifier, const QByteArray &icoBytes)
{
    auto found = m_discIcons.constFind(identifier);
    if (found != m_discIcons.constEnd())
        return *found;
    QBuffer buffer;
    buffer.setData(icoBytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ICO");
    QIcon result = readIcon(reader);
    if (result.availableSizes().isEmpty())
        result = icon(QStringLiteral("CD"));
    m_discIcons.insert(identifier, result);
    return result;
}

} // namespace vorn
