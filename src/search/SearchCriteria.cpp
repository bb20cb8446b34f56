#include "search/SearchCriteria.h"

#include "common/Numbers.h"
#include "common/UserPrompt.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/KeywordCodes.h"
#include "store/Mp3TagStore.h"
#include "store/TreeFiles.h"

namespace vorn {

QString SearchCriteria::patternFor(const QString &expression, SearchPosition position)
{
    if (expression.isEmpty())
        return {};
    switch (position) {
    case SearchPosition::Contains:
        return u'*' + expression + u'*';
    case SearchPosition::StartsWith:
        return expression + u'*';
    case SearchPosition::EndsWith:
        return u'*' + expression;
    case SearchPosition::Equals:
        break;
    }
    return expression;
}

qint64 SearchCriteria::sizeBoundFromText(QStringView kilobytes)
{
    return roundHalfEven(numericValue(kilobytes) * 1024.0);
}

bool SearchCriteria::hasCriteria() const
{
    return !pattern.isEmpty() || minimumSize != 0 || maximumSize != 0 || after != 0 || before != 0;
}

CompiledCriteria::CompiledCriteria(const SearchCriteria &criteria)
    : m_criteria(criteria), m_pattern(criteria.pattern), m_content(QString(u'*' + criteria.pattern + u'*'))
{
}

bool CompiledCriteria::foldersPossible() const
{
    return m_criteria.folders && m_criteria.minimumSize == 0 && m_criteria.maximumSize == 0
        && m_criteria.field != SearchField::CapturedText;
}

bool CompiledCriteria::matchFolder(const FolderRecord &folder) const
{
    if ((folder.flags & 1) != 0 || !foldersPossible())
        return false;
    bool m = true;
    if (!patternEmpty()) {
        m = false;
        if (m_criteria.field != SearchField::Descriptions)
            m = m_pattern.matches(folder.name);
        if (!m && m_criteria.field != SearchField::Names)
            m = m_pattern.matches(folder.description);
    }
    if (m && m_criteria.after > 0)
        m = folder.date > m_criteria.after;
    if (m && m_criteria.before > 0)
        m = folder.date < m_criteria.before;
    return m;
}

bool CompiledCriteria::withinBounds(qint64 size, double date) const
{
    bool m = m_criteria.maximumSize > 0 ? m_criteria.minimumSize <= size && size <= m_criteria.maximumSize
                                        : size >= m_criteria.minimumSize;
    if (m && m_criteria.after > 0)
        m = date > m_criteria.after;
    if (m && m_criteria.before > 0)
        m = date < m_criteria.before;
    return m;
}

bool CompiledCriteria::matchNameOrDescription(QStringView name, const DescriptionTriple &descriptions) const
{
    if (patternEmpty())
        return true;
    bool m = false;
    if (m_criteria.field != SearchField::Descriptions)
        m = m_pattern.matches(name);
    if (!m && m_criteria.field != SearchField::Names)
        m = matchDescription(descriptions);
    return m;
}

bool CompiledCriteria::matchDescription(const DescriptionTriple &descriptions) const
{
    switch (m_criteria.descriptionPart) {
    case DescriptionPart::User:
        return m_pattern.matches(descriptions.user);
    case DescriptionPart::Automatic:
        return m_pattern.matches(descriptions.automatic);
    case DescriptionPart::ArchivePath:
        return m_pattern.matches(descriptions.archivePath);
    case DescriptionPart::None:
        break;
    }
    return false;
}

QString upperExtension(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    // Plain ASCII (nearly every extension) is raised in one pass into its own text.
    const QStringView extension = name.sliced(dot + 1);
    QString upper(extension.size(), Qt::Uninitialized);
    QChar *out = upper.data();
    for (const QChar c : extension) {
        if (c.unicode() >= 0x80)
            return extension.toString().toUpper();
        *out++ = (c >= u'a' && c <= u'z') ? QChar(c.unicode() - 32) : c;
    }
    return upper;
}

QString mp3SearchText(const Mp3Tags &tags)
{
    const QString separator = QStringLiteral(" |\\| ");
    return tags.artist + separator + tags.album + separator + tags.title + separator + tags.track + separator
        + QString::number(tags.year) + separator;
}

bool folderExcluded(const std::vector<FolderRecord> &folders, qint64 folder)
{
    return folder >= 0 && folder < qint64(folders.size()) && (folders[size_t(folder)].flags & 1) != 0;
}

std::vector<qint64> buildDiscSelection(const Catalogue &catalogue, const DiscScope &scope)
{
    const int count = catalogue.discCount();
    std::vector<qint64> selection(size_t(count) + 1, 0);
    const auto hasKeyword = [](const DiscRecord &disc, int number) {
        return carriesKeyword(disc.keywordCodes, number);
    };
    for (int i = 1; i <= count; ++i) {
        const DiscRecord &disc = catalogue.disc(i);
        bool takesPart = scope.bookmarks || disc.excluded == 0;
        if (scope.keywordFilter > 0)
            takesPart = takesPart && hasKeyword(disc, scope.keywordFilter);
        else if (scope.keywordFilter < 0)
            takesPart = takesPart && !hasKeyword(disc, -scope.keywordFilter);
        if (takesPart)
            selection[size_t(i)] = integerValue(disc.identifier);
    }
    if (scope.limit == DiscScope::Limit::ByDisc) {
        for (int i = 1; i <= count; ++i) {
            const DiscRecord &disc = catalogue.disc(i);
            selection[size_t(i)] =
                QStringLiteral("__") + disc.identifier == scope.chosenDiscKey ? integerValue(disc.identifier) : 0;
        }
    } else if (scope.limit == DiscScope::Limit::ByKeywords) {
        for (int i = 1; i <= count; ++i) {
            bool any = false;
            for (int number : scope.keywordNumbers)
                any = any || hasKeyword(catalogue.disc(i), number);
            if (!any)
                selection[size_t(i)] = 0;
        }
    }
    return selection;
}

int selectedDiscCount(const std::vector<qint64> &selection)
{
    int n = 0;
    for (size_t i = 1; i < selection.size(); ++i)
        n += selection[i] != 0 ? 1 : 0;
    return n;
}

namespace {

// Whether `folder` lies below `ancestor`. Parent links that leave the array or loop
// end the walk.
bool isBelow(const std::vector<FolderRecord> &folders, int folder, int ancestor)
{
    int current = folder;
    for (size_t steps = 0; steps < folders.size(); ++steps) {
        const int parent = folders[size_t(current)].parent;
        if (parent == ancestor)
            return true;
        if (parent <= 0 || parent >= int(folders.size()) || parent == current)
            return false;
        current = parent;
    }
    return false;
}

} // namespace

bool toggleFolderExclusion(std::vector<FolderRecord> &folders, int folder, UserPrompt &prompt)
{
    if (folder < 0 || folder >= int(folders.size()))
        return false;
    const qint32 previous = folders[size_t(folder)].flags;
    const qint32 state = (previous & 1) ^ 1;
    folders[size_t(folder)].flags = (previous & ~1) | state;
    std::vector<int> below;
    for (int k = 1; k < int(folders.size()); ++k) {
        if (k != folder && isBelow(folders, k, folder))
            below.push_back(k);
    }
    if (below.empty())
        return true;
    switch (prompt.askYesNoCancel(LoadText(656), UserPrompt::Icon::Question)) {
    case UserPrompt::Answer::Yes:
        for (int k : below)
            folders[size_t(k)].flags = (folders[size_t(k)].flags & ~1) | state;
        return true;
    case UserPrompt::Answer::Cancel:
        folders[size_t(folder)].flags = previous;
        return false;
    default:
        return true;
    }
}

} // namespace vorn
