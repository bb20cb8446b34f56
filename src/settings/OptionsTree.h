#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace vorn {

// The options panel's tree of every user option, as values: built from the settings,
// edited node by node, and written back in one apply. The window shows it; every
// rule (defaults, ranges, the options that follow one another, what apply writes)
// is here.

enum class OptionKind {
    Group, // a heading node
    Language, // a choice of 0 (Français) or 1000 (English)
    Flag, // 0 or 1: a bit of the options word or a yes/no setting
    Number, // typed in the number box
    FilterGroup, // holds the patterns of one filter list
    Filter, // one pattern; tag 1 kept, 0 dropped on apply
    Colour, // the background of one of the window's lists
};

struct OptionNode
{
    QString key;
    QString parent; // the group's key; empty for a group
    OptionKind kind = OptionKind::Group;
    int label = 0; // string identifier of the caption; 0 when `text` is the caption
    QString text; // fixed caption ("CAB", "HTML") or a filter's pattern
    QString tag; // the edited value: "0"/"1", a number's text, "Color" for colours
    quint32 colour = 0; // colour nodes: 0xBBGGRR
    bool placeholder = false; // the "[Nouveau Filtre]" node closing a filter group

    bool bold() const { return tag == QLatin1String("1") || key == QLatin1String("Langage"); }
};

// The backgrounds of the disc list, the file pane, the keyword list, the description
// box and the text viewer, in this order, as 0xBBGGRR numbers.
using ListColours = std::array<quint32, 5>;
// Their keys in section "Aff" in the same order.
extern const std::array<const char *, 5> ListColourKeys;

class OptionsTree
{
public:
    // The tree from the settings, the options word in force, the running language
    // offset (the stored "Langage" when one was applied for the next start) and the
    // lists' colours now.
    static OptionsTree build(qint32 optionsWord, qint16 languageOffset, const ListColours &colours);

    const std::vector<OptionNode> &nodes() const { return m_nodes; }
    const OptionNode *node(const QString &key) const;

    // A choice in the choice box (language, flag or filter node): stores the value,
    // then the options that depend on it follow (text capture, first line as
    // description, ZIP member lists and text inside archives).
    void choose(const QString &key, int value);
    // The number box's text, stored as typed; checked by acceptsNumber when the box is left.
    void type(const QString &key, const QString &text);
    // Whether a number node's text is a whole number in its range (else message 519).
    bool acceptsNumber(const QString &key, const QString &text) const;
    void setColour(const QString &key, quint32 colour);

    // The end of an in-place edit of a filter node: the placeholder given a non-empty
    // text becomes a kept pattern and a new placeholder follows it; another filter
    // takes the text as its pattern. Returns the key of a new placeholder, if any.
    std::optional<QString> editFilter(const QString &key, const QString &text);
    void removeFilter(const QString &key);

    // Apply: refused with 519 (nothing written) when a number is out of its range.
    // Otherwise writes "Langage", the numbers, "OptDiv" (the checked bits plus
    // `viewerBits`, the text viewer's visible and auto-view bits), the four filter
    // lists and the colours ("Aff"), and returns 0. `languageChanged` tells whether
    // the stored language now differs from the running one (message 452).
    struct Applied
    {
        int message = 0;
        qint32 optionsWord = 0;
        bool languageChanged = false;
        ListColours colours{};
    };
    Applied apply(qint32 viewerBits, qint16 runningOffset) const;

private:
    OptionNode *find(const QString &key);
    void setTag(const QString &key, int value);

    std::vector<OptionNode> m_nodes;
};

// The range of a number node ("TailleMax" 1 to 1024 KB, "HTMNbCols" 1 to 1000,
// "FontSize" 1 to 100 points).
struct NumberRange
{
    qint64 minimum = 1;
    qint64 maximum = 0;
};
std::optional<NumberRange> optionNumberRange(const QString &key);

// The patterns of a ";"-terminated filter list; text after the last ";" is ignored.
QStringList filterPatterns(const QString &list);

} // namespace vorn
