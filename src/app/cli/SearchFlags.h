#pragma once

#include "cli/CliApp.h"
#include "search/SearchCriteria.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace vorn::cli {

// The search and scope flags shared by "search", "bookmarks" and "export-list":
// --files, --folders, --members, --latest, --field, --pos, --part, --min-kb,
// --max-kb, --after, --before (search flags) and --disc, --keyword (scope flags).
struct SearchFlags
{
    SearchCriteria criteria; // files and folders settled by finish()
    SearchPosition position = SearchPosition::Contains;
    QString disc;
    QStringList keywords;
    bool searchFlagGiven = false; // a flag only a search takes

    enum class Taken { NotMine, Taken, Error };
    // Reads the flag at arguments[i] and its value, moving i past them. NotMine for
    // any other argument; Error with a message in `error` for a bad or missing value.
    Taken take(const QStringList &arguments, qsizetype &i, QString &error);
    // Files and folders both when neither was asked, the pattern of the expression.
    // False with a message when --disc and --keyword are both given.
    bool finish(const std::optional<QString> &expression, QString &error);
};

// The disc selection of --disc / --keyword; nullopt (with a message) for a disc or
// keyword the data folder does not know.
std::optional<std::vector<qint64>> discSelection(Context &context, const Catalogue &catalogue, const SearchFlags &flags,
                                                 bool bookmarks);

// "dd/mm/yyyy [hh:mm:ss]" or "yyyy-mm-dd [hh:mm:ss]" as a day number.
std::optional<double> parseDateArgument(const QString &text);

} // namespace vorn::cli
