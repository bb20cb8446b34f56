#include "gui/export/ListExports.h"

#include "common/UserPrompt.h"
#include "export/ExportFile.h"
#include "export/HtmlExportOptions.h"
#include "gui/AppIcons.h"
#include "gui/FilePaneModel.h"
#include "gui/SearchResultModel.h"
#include "gui/export/BusyPrompt.h"
#include "gui/search/BookmarkListModel.h"

#include "store/Catalogue.h"
#include <QPainter>

namespace vorn {

namespace {

bool allowed(const ListExportSources &sources, const QString &path, UserPrompt &prompt)
{
    return exportTargetAllowed(sources.catalogue ? sources.catalogue->dataFolder : QString(), path, prompt);
}

} // namespace

const std::function<std::vector<ListRow>()> &ListExportSources::resultRows(ListSource list) const
{
    static const std::function<std::vector<ListRow>()> none;
    if (list == ListSource::SearchResults)
        return searchResults;
    return list == ListSource::Bookmarks ? bookmarks : none;
}

namespace {

template<typename Model> std::vector<ListRow> rowsOf(const Model &model)
{
    std::vector<ListRow> rows;
    rows.reserve(size_t(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row)
        rows.push_back(listRow(model.row(row)));
    return rows;
}

} // namespace

std::vector<ListRow> resultListRows(const SearchResultModel &model)
{
    return rowsOf(model);
}

std::vector<ListRow> resultListRows(const BookmarkListModel &model)
{
    return rowsOf(model);
}

QImage rowPicture(AppIcons &icons, const ListRow &row)
{
    const QIcon icon = row.folder ? icons.icon(QStringLiteral("FC")) : icons.fileIcon(row.name);
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white); // the bitmap keeps no transparency
    QPainter painter(&image);
    icon.paint(&painter, image.rect());
    return image;
}

std::vector<FilePaneLine> filePaneLines(const FilePaneModel &model)
{
    std::vector<FilePaneLine> lines;
    lines.reserve(model.rows().size());
    for (const FilePaneRow &row : model.rows())
        lines.push_back({row.name, row.size, row.date});
    return lines;
}

bool exportListAsText(const QString &tag, const ListExportSources &sources, UserPrompt &prompt)
{
    const std::optional<ListSource> list = listSourceFromTag(tag);
    if (!list)
        return false;
    const bool results = *list == ListSource::SearchResults || *list == ListSource::Bookmarks;
    if ((*list == ListSource::Discs && !sources.catalogue) || (*list == ListSource::FilePane && !sources.filePane)
        || (results && !sources.resultRows(*list)))
        return false;
    const QString path = chooseTextExportFile(prompt);
    if (path.isEmpty() || !allowed(sources, path, prompt))
        return false;
    BusyPrompt busy(prompt);
    QString text;
    switch (*list) {
    case ListSource::Discs:
        text = discListText(*sources.catalogue);
        break;
    case ListSource::FilePane:
        text = filePaneText(sources.filePane());
        break;
    case ListSource::SearchResults:
    case ListSource::Bookmarks:
        text = resultListText(sources.resultRows(*list)());
        break;
    }
    return writeTextExport(path, text, busy);
}

bool exportListAsHtml(ListSource list, const ListExportSources &sources, UserPrompt &prompt)
{
    if (!sources.resultRows(list))
        return false;
    const QString path = chooseHtmlListFile(prompt);
    if (path.isEmpty() || !allowed(sources, path, prompt))
        return false;
    BusyPrompt busy(prompt);
    return exportResultListHtml(path, list, sources.resultRows(list)(), htmlExportOptionsFromSettings(), busy,
                                sources.picture);
}

} // namespace vorn
