#include "settings/OptionsTree.h"

#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

#include <algorithm>

namespace vorn {

const std::array<const char *, 5> ListColourKeys = {"LVCD.BG", "LV1.BG", "MC.BG", "DES.BG", "TXT.BG"};

namespace {

const QString OptSection = QStringLiteral("Opt");
const QString FlagPrefix = QStringLiteral("Z_");

struct FilterList
{
    const char *group; // the group node's key, also the settings key
    const char *prefix; // the key of its pattern nodes, before the number
    int label;
    const char *caption; // when label is 0
};

constexpr FilterList FilterLists[] = {
    {"FiltresTxt", "Filtre", 555, ""},
    {"FiltresZip", "FiltreZip", 579, ""},
    {"FiltresCab", "FiltreCab", 0, "CAB"},
    {"FiltresRAR", "FiltreRar", 0, "RAR"},
};

QString defaultFilterList(const QString &group)
{
    if (group == QLatin1String("FiltresTxt"))
        return LoadText(9028);
    if (group == QLatin1String("FiltresZip"))
        return QStringLiteral("*.ZIP;*.EXE;");
    if (group == QLatin1String("FiltresCab"))
        return QStringLiteral("*.CAB;");
    return QStringLiteral("*.RAR;");
}

const FilterList *filterListOfGroup(const QString &group)
{
    for (const FilterList &list : FilterLists) {
        if (group == QLatin1String(list.group))
            return &list;
    }
    return nullptr;
}

// The number after a pattern node's prefix ("FiltreZip3" -> 3).
int filterNumber(const OptionNode &node)
{
    const FilterList *list = filterListOfGroup(node.parent);
    return list ? node.key.mid(qsizetype(qstrlen(list->prefix))).toInt() : 0;
}

OptionNode group(const char *key, int label, const char *caption = "")
{
    OptionNode node;
    node.key = QString::fromLatin1(key);
    node.label = label;
    node.text = QString::fromLatin1(caption);
    return node;
}

OptionNode child(const QString &parent, const QString &key, OptionKind kind, int label, const QString &tag)
{
    OptionNode node;
    node.key = key;
    node.parent = parent;
    node.kind = kind;
    node.label = label;
    node.tag = tag;
    return node;
}

OptionNode filterNode(const FilterList &list, int number, const QString &pattern, bool placeholder)
{
    OptionNode node = child(QString::fromLatin1(list.group), QString::fromLatin1(list.prefix) + QString::number(number),
                            OptionKind::Filter, 0, placeholder ? QStringLiteral("0") : QStringLiteral("1"));
    node.placeholder = placeholder;
    if (placeholder)
        node.label = 532;
    else
        node.text = pattern;
    return node;
}

} // namespace

QStringList filterPatterns(const QString &list)
{
    QStringList pieces = list.split(u';');
    pieces.removeLast(); // the text after the last ";" (or the whole text without one)
    pieces.removeAll(QString());
    return pieces;
}

std::optional<NumberRange> optionNumberRange(const QString &key)
{
    if (key == QLatin1String("TailleMax"))
        return NumberRange{1, 1024};
    if (key == QLatin1String("HTMNbCols"))
        return NumberRange{1, 1000};
    if (key == QLatin1String("FontSize"))
        return NumberRange{1, 100};
    return std::nullopt;
}

OptionsTree OptionsTree::build(qint32 optionsWord, qint16 languageOffset, const ListColours &colours)
{
    OptionsTree tree;
    std::vector<OptionNode> &nodes = tree.m_nodes;
    auto flag = [&](const QString &parent, qint32 bit, int label) {
        nodes.push_back(child(parent, FlagPrefix + QString::number(bit), OptionKind::Flag, label,
                              QString::number(TestOption(optionsWord, bit))));
    };
    auto stored = [&](const char *key, qint64 defaultValue) {
        return Settings::read(OptSection, QString::fromLatin1(key), QString::number(defaultValue));
    };
    auto filters = [&](const QString &parent, const FilterList &list) {
        OptionNode heading = child(parent, QString::fromLatin1(list.group), OptionKind::FilterGroup, list.label, {});
        heading.text = QString::fromLatin1(list.caption);
        nodes.push_back(heading);
        const QStringList patterns =
            filterPatterns(Settings::read(OptSection, heading.key, defaultFilterList(heading.key)));
        int number = 1;
        for (const QString &pattern : patterns)
            nodes.push_back(filterNode(list, number++, pattern, false));
        nodes.push_back(filterNode(list, number, {}, true));
    };

    const QString general = QStringLiteral("GENERAL");
    nodes.push_back(group("GENERAL", 595));
    // A language applied earlier in this run is still waiting for the next start: the
    // node shows it, so applying another option later does not take it back.
    const qint64 storedLanguage = Settings::readNumber(OptSection, QStringLiteral("Langage"), languageOffset);
    const qint64 language = storedLanguage == 0 || storedLanguage == 1000 ? storedLanguage : languageOffset;
    nodes.push_back(child(general, QStringLiteral("Langage"), OptionKind::Language, 529, QString::number(language)));
    flag(general, Opt::StartOnSearchTab, 660);

    const QString archiving = QStringLiteral("KOPTArc");
    nodes.push_back(group("KOPTArc", 518));
    flag(archiving, Opt::CaptureText, 455);
    flag(archiving, Opt::FirstLineToDescription, 456);
    nodes.push_back(child(archiving, QStringLiteral("TailleMax"), OptionKind::Number, 534, stored("TailleMax", 5)));
    filters(archiving, FilterLists[0]);
    flag(archiving, Opt::ListZip, 584);
    filters(archiving, FilterLists[1]);
    flag(archiving, Opt::ListCab, 607);
    filters(archiving, FilterLists[2]);
    flag(archiving, Opt::ListRar, 608);
    filters(archiving, FilterLists[3]);
    flag(archiving, Opt::CaptureTextInArchives, 583);
    flag(archiving, Opt::EjectAfterCataloguing, 469);

    const QString search = QStringLiteral("KOPTRECH");
    nodes.push_back(group("KOPTRECH", 201));
    flag(search, Opt::SearchLatestOnly, 653);
    flag(search, Opt::SearchInArchives, 585);

    const QString html = QStringLiteral("KOPTHTML");
    nodes.push_back(group("KOPTHTML", 0, "HTML"));
    nodes.push_back(child(html, QStringLiteral("HTMNbCols"), OptionKind::Number, 520, stored("HTMNbCols", 6)));
    nodes.push_back(child(html, QStringLiteral("FontSize"), OptionKind::Number, 554, stored("FontSize", 8)));
    nodes.push_back(child(html, QStringLiteral("IcoHtml"), OptionKind::Flag, 544, stored("IcoHtml", 1)));

    const QString colourGroup = QStringLiteral("KCOULEURS");
    nodes.push_back(group("KCOULEURS", 659));
    const int colourLabels[] = {130, 581, 358, 539, 580};
    for (size_t i = 0; i < ListColourKeys.size(); ++i) {
        OptionNode node = child(colourGroup, QString::fromLatin1(ListColourKeys[i]), OptionKind::Colour,
                                colourLabels[i], QStringLiteral("Color"));
        node.colour = colours[i];
        nodes.push_back(node);
    }
    return tree;
}

const OptionNode *OptionsTree::node(const QString &key) const
{
    auto found = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const OptionNode &n) { return n.key == key; });
    return found == m_nodes.end() ? nullptr : &*found;
}

OptionNode *OptionsTree::find(const QString &key)
{
    return const_cast<OptionNode *>(std::as_const(*this).node(key));
}

void OptionsTree::setTag(const QString &key, int value)
{
    if (OptionNode *n = find(key))
        n->tag = QString::number(value);
}

void OptionsTree::choose(const QString &key, int value)
{
    OptionNode *chosen = find(key);
    if (!chosen || chosen->placeholder)
        return;
    chosen->tag = QString::number(value);
    auto flagKey = [](qint32 bit) -> QString { return FlagPrefix + QString::number(bit); };
    auto isSet = [&](qint32 bit) {
        const OptionNode *n = node(flagKey(bit));
        return n && n->tag == QLatin1String("1");
    };
    if (key == flagKey(Opt::CaptureText)) {
        // Without text capture there is no first line and no text inside archives;
        // with it, text inside archives needs the ZIP member lists.
        setTag(flagKey(Opt::FirstLineToDescription), value);
        setTag(flagKey(Opt::CaptureTextInArchives), isSet(Opt::ListZip) ? value : 0);
    } else if (key == flagKey(Opt::FirstLineToDescription) && value == 1) {
        setTag(flagKey(Opt::CaptureText), 1);
        setTag(flagKey(Opt::ListZip), 1);
    } else if (key == flagKey(Opt::ListZip)) {
        setTag(flagKey(Opt::CaptureTextInArchives), value);
    }
}

void OptionsTree::type(const QString &key, const QString &text)
{
    if (OptionNode *n = find(key); n && n->kind == OptionKind::Number)
        n->tag = text;
}

bool OptionsTree::acceptsNumber(const QString &key, const QString &text) const
{
    const std::optional<NumberRange> range = optionNumberRange(key);
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return range && ok && value >= range->minimum && value <= range->maximum;
}

void OptionsTree::setColour(const QString &key, quint32 colour)
{
    if (OptionNode *n = find(key); n && n->kind == OptionKind::Colour)
        n->colour = colour;
}

std::optional<QString> OptionsTree::editFilter(const QString &key, const QString &text)
{
    OptionNode *edited = find(key);
    if (!edited || edited->kind != OptionKind::Filter)
        return std::nullopt;
    if (!edited->placeholder) {
        if (!text.isEmpty())
            edited->text = text;
        return std::nullopt;
    }
    if (text.isEmpty())
        return std::nullopt;
    edited->placeholder = false;
    edited->label = 0;
    edited->text = text;
    edited->tag = QStringLiteral("1");
    const FilterList *list = filterListOfGroup(edited->parent);
    int next = 0;
    for (const OptionNode &n : m_nodes) {
        if (n.parent == edited->parent)
            next = std::max(next, filterNumber(n));
    }
    const auto at = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const OptionNode &n) { return n.key == key; });
    const OptionNode placeholder = filterNode(*list, next + 1, {}, true);
    m_nodes.insert(at + 1, placeholder);
    return placeholder.key;
}

void OptionsTree::removeFilter(const QString &key)
{
    std::erase_if(m_nodes,
                  [&](const OptionNode &n) { return n.key == key && n.kind == OptionKind::Filter && !n.placeholder; });
}

OptionsTree::Applied OptionsTree::apply(qint32 viewerBits, qint16 runningOffset) const
{
    Applied applied;
    for (const OptionNode &n : m_nodes) {
        if (n.kind == OptionKind::Number && !acceptsNumber(n.key, n.tag)) {
            applied.message = 519;
            return applied;
        }
    }
    QString lists[std::size(FilterLists)];
    qint32 word = 0;
    for (const OptionNode &n : m_nodes) {
        if (n.kind == OptionKind::Filter) {
            const FilterList *list = filterListOfGroup(n.parent);
            if (list && n.tag == QLatin1String("1") && !n.placeholder)
                lists[list - FilterLists] += n.text + u';';
        } else if (n.key.startsWith(FlagPrefix)) {
            if (n.tag == QLatin1String("1"))
                word += n.key.mid(FlagPrefix.size()).toInt();
        } else if (!n.tag.isEmpty() && n.tag != QLatin1String("Color")) {
            Settings::write(OptSection, n.key, n.kind == OptionKind::Number ? n.tag.trimmed() : n.tag);
        }
    }
    applied.optionsWord = word + (viewerBits & (Opt::ViewerVisible | Opt::ViewerAutoShow));
    WriteOptionsWord(applied.optionsWord);
    for (size_t i = 0; i < std::size(FilterLists); ++i)
        Settings::write(OptSection, QString::fromLatin1(FilterLists[i].group), lists[i]);
    applied.languageChanged = Settings::readNumber(OptSection, QStringLiteral("Langage"), 0) != runningOffset;
    for (size_t i = 0; i < ListColourKeys.size(); ++i) {
        const OptionNode *n = node(QString::fromLatin1(ListColourKeys[i]));
        applied.colours[i] = n ? n->colour : 0;
        Settings::writeNumber(QStringLiteral("Aff"), QString::fromLatin1(ListColourKeys[i]), n ? n->colour : 0);
    }
    return applied;
}

} // namespace vorn
