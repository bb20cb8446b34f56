#include "export/ListExport.h"

#include "common/LineFields.h"
#include "common/Numbers.h"
#include "common/TabSeparated.h"
#include "common/UserPrompt.h"
#include "export/ExportFile.h"
#include "export/HtmlImages.h"
#include "export/HtmlPages.h"
#include "export/HtmlText.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace vorn {

namespace {

const QLatin1String Crlf("\r\n");

QString T(int id)
{
    return LoadText(id);
}

QString chooseFile(UserPrompt &prompt, int titleId, const QString &filter, const QString &extension)
{
    QString path = prompt.chooseFile(CaptionTitle(titleId), filter, true);
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + extension;
    return path;
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeExportFile(path, bytes, error, true);
}

// 16 x 16 pictures drawn pixel by pixel, so no font or theme is needed.
QImage folderPicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb edge = qRgb(0x9C, 0x7A, 0x1E);
    const QRgb body = qRgb(0xF2, 0xC9, 0x4C);
    for (int y = 3; y <= 13; ++y) {
        for (int x = 1; x <= 14; ++x) {
            if (y == 3 && x > 6)
                continue; // the tab stands above the left part only
            const bool border = y == 3 || y == 13 || x == 1 || x == 14 || (y == 4 && x > 6);
            image.setPixel(x, y, border ? edge : body);
        }
    }
    return image;
}

QImage filePicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb edge = qRgb(0x60, 0x6A, 0x78);
    const QRgb line = qRgb(0xB0, 0xBC, 0xCC);
    for (int y = 1; y <= 14; ++y) {
        for (int x = 3; x <= 12; ++x) {
            if (y == 1 || y == 14 || x == 3 || x == 12)
                image.setPixel(x, y, edge);
            else if (y % 3 == 0 && x >= 5 && x <= 10)
                image.setPixel(x, y, line);
        }
    }
    return image;
}

class HtmlListWriter
{
public:
    HtmlListWriter(const QString &path, const HtmlExportOptions &options, const RowPicture &picture)
        : m_options(options), m_picture(picture)
    {
        const QFileInfo info(path);
        m_path = info.absoluteFilePath();
        m_names.base = info.completeBaseName();
        m_names.extension = info.suffix();
        m_folder = info.absolutePath() + u'/' + m_names.companionFolderName();
    }

    bool write(const QString &title, const std::vector<ListRow> &rows, QString *error)
    {
        if (QFileInfo(m_path).isDir()) {
            *error = QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + LoadText(420);
            return false;
        }
        if (!QDir().mkpath(m_folder)) {
            *error = QDir::toNativeSeparators(m_folder) + QStringLiteral(": ") + LoadText(439);
            return false;
        }
        if (!HtmlImages::copyBackgrounds(m_folder, error)
            || !HtmlImages::writeBitmap(HtmlImages::discPicture(), m_folder + QStringLiteral("/CD.bmp"), error))
            return false;
        const QString reference = m_names.folderReference();
        const QString pictures = htmlEscaped(reference) + QLatin1String("_files/");
        QString page = htmlIndexHead(title, reference, m_options.fontSize, title);
        for (const ListRow &row : rows) {
            page += T(9017);
            if (m_options.icons) {
                QString file;
                if (!pictureOf(row, file, error))
                    return false;
                page += T(9015) + pictures + htmlEscaped(urlSegment(file)) + T(9016) + T(9022);
            }
            page += htmlEscaped(row.name) + T(9018) + T(9019) + htmlEscaped(row.location) + T(9020)
                + htmlEscaped(row.extension) + T(9021) + Crlf;
        }
        page += htmlPageFoot(reference) + Crlf;
        return writeWhole(m_path, page.toUtf8(), error);
    }

private:
    // The row's picture file in the companion folder, written the first time it is used.
    bool pictureOf(const ListRow &row, QString &file, QString *error)
    {
        QString key;
        if (row.folder) {
            key = QStringLiteral("FC");
            file = QStringLiteral("FC.bmp");
        } else {
            key = u'J' + row.extension.toCaseFolded();
            auto known = m_files.constFind(key);
            file =
                known != m_files.constEnd() ? *known : u'J' + QString::number(++m_extensions) + QLatin1String(".bmp");
        }
        if (m_files.contains(key))
            return true;
        m_files.insert(key, file);
        QImage image = m_picture ? m_picture(row) : QImage();
        if (image.isNull())
            image = row.folder ? folderPicture() : filePicture();
        return HtmlImages::writeBitmap(image, m_folder + u'/' + file, error);
    }

    const HtmlExportOptions &m_options;
    const RowPicture &m_picture;
    HtmlSiteNames m_names;
    QString m_path;
    QString m_folder;
    QHash<QString, QString> m_files; // picture key -> file name
    int m_extensions = 0;
};

} // namespace

std::optional<ListSource> listSourceFromTag(const QString &tag)
{
    if (tag == QLatin1String("LVCD"))
        return ListSource::Discs;
    if (tag == QLatin1String("LV1"))
        return ListSource::FilePane;
    if (tag == QLatin1String("Listresult0"))
        return ListSource::SearchResults;
    if (tag == QLatin1String("Listresult1"))
        return ListSource::Bookmarks;
    return std::nullopt;
}

QString discListText(const Catalogue &catalogue)
{
    QByteArray out;
    LineWriter line(out);
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        const DiscRecord &disc = catalogue.disc(i);
        if (disc.identifier.isEmpty() || numericValue(disc.identifier) == 0)
            continue;
        line.text(disc.name);
        line.endLine();
    }
    return QString::fromUtf8(out);
}

QString resultListText(const std::vector<ListRow> &rows)
{
    QString text;
    for (const ListRow &row : rows)
        text += tabRow({row.discName, row.location + row.name}) + Crlf;
    return text;
}

QString filePaneText(const std::vector<FilePaneLine> &rows)
{
    QByteArray out;
    LineWriter line(out);
    for (const FilePaneLine &row : rows) {
        line.text(row.name).text(row.sizeText.trimmed()).text(row.dateText);
        line.endLine();
    }
    return QString::fromUtf8(out);
}

bool writeTextExport(const QString &path, const QString &text, UserPrompt &prompt)
{
    QString error;
    const QString folder = QFileInfo(path).absolutePath();
    if (!path.isEmpty() && !QDir().mkpath(folder))
        error = QDir::toNativeSeparators(folder) + QStringLiteral(": ") + LoadText(439);
    if (path.isEmpty() || !error.isEmpty() || !writeWhole(path, text.toUtf8(), &error)) {
        prompt.fail(error.isEmpty() ? LoadText(421) : LoadText(421) + u'\n' + error);
        return false;
    }
    return true;
}

QString chooseTextExportFile(UserPrompt &prompt)
{
    return chooseFile(prompt, 506, QStringLiteral("TXT (*.TXT *.txt);;*.* (*)"), QStringLiteral("TXT"));
}

QString chooseHtmlListFile(UserPrompt &prompt)
{
    return chooseFile(prompt, 552, QStringLiteral("HTML (*.HTML *.html);;HTM (*.HTM *.htm);;*.* (*)"),
                      QStringLiteral("html"));
}

bool exportResultListHtml(const QString &path, ListSource list, const std::vector<ListRow> &rows,
                          const HtmlExportOptions &options, UserPrompt &prompt, const RowPicture &picture)
{
    const QString title = LoadText(list == ListSource::Bookmarks ? 635 : 553);
    QString error;
    if (!HtmlListWriter(path, options, picture).write(title, rows, &error)) {
        prompt.fail(LoadText(421) + u'\n' + error);
        return false;
    }
    return true;
}

} // namespace vorn
