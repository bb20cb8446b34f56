#include "export/HtmlPages.h"

#include "common/Numbers.h"
#include "common/RunObserver.h"
#include "export/HtmlText.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/KeywordCodes.h"

namespace vorn {

namespace {

const QLatin1String Crlf("\r\n");

QString T(int id)
{
    return LoadText(id);
}

// Values of the contents pages' meta tags (description, keywords and rights in the
// language of the run).
const QLatin1String MetaAuthor("VORN");
const QLatin1String MetaRightsName("copyright");

QString meta(QLatin1String name, const QString &value)
{
    return QLatin1String("<meta name=\"") + name + QLatin1String("\" content=\"") + htmlEscaped(value)
        + QLatin1String("\" />");
}

// The keyword names of a disc in keyword-list order, each followed by " ; ".
QString keywordList(const Catalogue &catalogue, const QString &codes)
{
    QString list = QStringLiteral("&nbsp;");
    for (size_t i = 1; i < catalogue.keywords.size(); ++i) {
        const KeywordEntry &keyword = catalogue.keywords[i];
        if (carriesKeyword(codes, keyword.number))
            list += htmlEscaped(keyword.name) + QLatin1String(" ; ");
    }
    return list;
}

// "\" for the root, else "\a\b\".
QString shownPath(const DiscTree &tree, int folder)
{
    return u'\\' + TreeFiles::folderPath(tree, folder);
}

} // namespace

QString HtmlSiteNames::indexFileName() const
{
    return extension.isEmpty() ? base : base + u'.' + extension;
}

QString HtmlSiteNames::companionFolderName() const
{
    return base + QLatin1String("_files");
}

QString HtmlSiteNames::folderReference() const
{
    return urlSegment(base);
}

int entriesPerColumn(int entries, int columns)
{
    if (columns < 1)
        columns = 1;
    return int(roundHalfEven((double(entries) + columns) / columns));
}

QString htmlIndexHead(const QString &title, const QString &folderReference, int fontSize, const QString &banner)
{
    const QString folder = htmlEscaped(folderReference) + QLatin1String("_files");
    QString head = T(9000) + htmlEscaped(title) + Crlf;
    for (int id = 9001; id <= 9006; ++id)
        head += T(id) + Crlf;
    head += QString::number(fontSize) + T(9007) + T(9008) + folder + T(9009) + folder + T(9010) + Crlf
        + htmlEscaped(banner) + T(9011) + Crlf;
    return head;
}

QString htmlPageFoot(const QString &folderReference)
{
    return T(9023) + htmlEscaped(folderReference) + QLatin1String("_files") + T(9024) + Crlf + T(9025) + T(9026);
}

QString htmlIndexRow(const Catalogue &catalogue, const DiscRecord &disc, const QString &iconFile,
                     const QString &folderReference, const HtmlExportOptions &options)
{
    const QString folder = htmlEscaped(folderReference) + QLatin1String("_files/");
    QString row = T(9012);
    if (options.icons)
        row += T(9015) + folder + htmlEscaped(urlSegment(iconFile)) + T(9016);
    row += T(9013);
    if (options.contents)
        row += QLatin1String("<a href=\"") + folder + urlSegment(disc.identifier) + QLatin1String(".htm\">");
    row += htmlEscaped(disc.name);
    if (options.contents)
        row += QLatin1String("</a>");
    if (options.descriptions)
        row += T(9013) + htmlEscaped(disc.description) + QLatin1String("&nbsp;");
    if (options.keywords)
        row += T(9013) + keywordList(catalogue, disc.keywordCodes);
    row += T(9014) + Crlf;
    return row;
}

QString htmlContentsPage(const DiscRecord &disc, const DiscTree &tree, const QString &iconFile,
                         const HtmlSiteNames &names, const HtmlExportOptions &options, RunObserver *observer)
{
    const QString site = QLatin1String("../") + urlSegment(names.base);
    const QString folder = site + QLatin1String("_files/");
    const QString name = htmlEscaped(disc.name);

    QString page = T(9000) + name + QLatin1String("</title>") + meta(QLatin1String("author"), MetaAuthor)
        + meta(QLatin1String("description"), T(732)) + meta(QLatin1String("keywords"), T(733))
        + meta(MetaRightsName, T(734)) + Crlf + QLatin1String("<style type=\"text/css\">") + Crlf
        + QLatin1String("BODY { margin: 12px; background-color: #FFFFFF; color: #000000; }") + Crlf
        + QLatin1String("A:visited  { color:#330099; text-decoration: none; }") + Crlf
        + QLatin1String("A:hover    { color:#FF0000; }") + Crlf
        + QLatin1String("A:link     { color:#330099; text-decoration: none; }") + Crlf
        + QLatin1String(".cb {FONT-SIZE: ") + QString::number(options.fontSize)
        + QLatin1String("pt; FONT-FAMILY: Arial   }") + QLatin1String("</style></head><body>") + Crlf;

    QString indexLink = site;
    if (!names.extension.isEmpty())
        indexLink += u'.' + urlSegment(names.extension);
    page += QLatin1String("<table class=\"cb\" border=\"1\" style=\"width: 500pt; float: left; "
                          "background-image: url('")
        + folder
        + QLatin1String("ligne.png');\"><tr style=\"height: 36pt\"><td align=\"left\">"
                        "&nbsp;&nbsp;&nbsp;&nbsp;<img src=\"")
        + folder + htmlEscaped(urlSegment(iconFile))
        + QLatin1String("\" height=\"16\" width=\"16\" alt=\"\" />"
                        "<font color=\"black\" size=\"3\">&nbsp;&nbsp;&nbsp;&nbsp;<b>")
        + name + QLatin1String("</b></font></td><td align=\"center\"><a href=\"") + indexLink + QLatin1String("\">")
        + htmlEscaped(T(511)) + QLatin1String("</a></td></tr></table><br /><br /><br /><br /><hr />");

    const QString tableOpen = QLatin1String("<table class=\"cb\"")
        + (options.borders ? QLatin1String(" border=\"1\" cellspacing=\"0\" cellpadding=\"6\"") : QLatin1String(""))
        + QLatin1String(" style=\"background-image: url('") + folder
        + QLatin1String("lignessb.png');\"><tr><td valign=\"top\">");
    const QLatin1String newCell("</td><td valign=\"top\">");

    // Both scans go forward only: the tree files list the sub-folders of each folder
    // together, in parent order, and the files in owner order.
    const int folderCount = int(tree.folders.size());
    const int fileCount = int(tree.files.size());
    int nextFolder = 1;
    int nextFile = 0;
    std::vector<int> subFolders;
    std::vector<int> files;
    for (int number = 0; number < folderCount; ++number) {
        subFolders.clear();
        files.clear();
        while (nextFolder < folderCount && tree.folders[size_t(nextFolder)].parent == number)
            subFolders.push_back(nextFolder++);
        while (nextFile < fileCount) {
            const qint32 owner = tree.files[size_t(nextFile)].owner;
            if (owner > number)
                break;
            if (owner == number)
                files.push_back(nextFile);
            ++nextFile;
        }

        const int parent = number == 0 ? 0 : tree.folders[size_t(number)].parent;
        page += QLatin1String("<a name=\"") + QString::number(number) + QLatin1String("\"></a><a href=\"#")
            + QString::number(parent) + QLatin1String("\">/\\..</a><b>") + htmlEscaped(shownPath(tree, number))
            + QLatin1String("</b>") + tableOpen;

        const int n = int(subFolders.size() + files.size());
        const int perColumn = entriesPerColumn(n, options.columns);
        int k = 0;
        auto entryDone = [&] {
            ++k;
            if (k % perColumn == 0 && k < n)
                page += newCell;
        };
        for (const int sub : subFolders) {
            page += QLatin1String("<a href=\"#") + QString::number(sub) + QLatin1String("\">")
                + htmlEscaped(tree.folders[size_t(sub)].name) + QLatin1String("</a><br />");
            entryDone();
        }
        for (const int file : files) {
            page += htmlEscaped(tree.files[size_t(file)].name) + QLatin1String("<br />");
            entryDone();
        }
        page += QLatin1String("</td></tr></table><hr />") + Crlf;
        if (observer)
            observer->yield();
    }
    page += T(9027);
    return page;
}

} // namespace vorn
