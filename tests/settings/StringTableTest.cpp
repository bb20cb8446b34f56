#include "settings/StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>

using namespace vorn;

namespace {

class StringTable : public ::testing::Test
{
protected:
    void TearDown() override { setLanguageOffset(0); }

    static QString text(qint16 offset, int id)
    {
        setLanguageOffset(offset);
        return LoadText(id);
    }
};

bool isFrench(int id) { return id >= 90 && id <= 999; }
bool isEnglish(int id) { return id >= 1090 && id <= 1999; }
bool isCommon(int id) { return id >= 9000 && id <= 9028; }

struct RawEntry
{
    int line = 0;
    QString text; // as written in the file, escapes not undone
};

// The table file as written, read independently of the loader so that lines the loader
// would skip or overwrite silently are seen.
struct RawTable { std::map<int, RawEntry> entries; QStringList problems; };

RawTable readRawTable()
{
    RawTable raw;
    QFile file(QStringLiteral(":/strings.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        raw.problems << QStringLiteral("the table resource cannot be opened");
        return raw;
    }
    const QString all = QString::fromUtf8(file.readAll());
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const int number = int(i) + 1;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.first(tab).toInt(&ok) : 0;
        if (!ok) {
            raw.problems << QStringLiteral("line %1 is not identifier<TAB>text").arg(number);
            continue;
        }
        if (raw.entries.count(id)) {
            raw.problems << QStringLiteral("identifier %1 appears again on line %2").arg(id).arg(number);
            continue;
        }
        raw.entries[id] = RawEntry{number, line.sliced(tab + 1)};
    }
    return raw;
}

} // namespace

TEST_F(StringTable, FileLinesAreWellFormedAndIdentifiersUnique)
{
    const RawTable raw = readRawTable();
    EXPECT_TRUE(raw.problems.isEmpty()) << raw.problems.join(u'\n').toStdString();
    EXPECT_GT(raw.entries.size(), 600u);
}

TEST_F(StringTable, OnlyKnownEscapesAndNoEmptyOrCarriageReturnTexts)
{
    const QRegularExpression badEscape(QStringLiteral(R"(\\(?![nt\\]))"));
    for (const auto &[id, entry] : readRawTable().entries) {
        // Pairs of backslashes are one escape; what is left must be \n or \t.
        QString rest = entry.text;
        rest.replace(QStringLiteral("\\\\"), QString());
        EXPECT_FALSE(badEscape.match(rest).hasMatch()) << "identifier " << id;
        EXPECT_FALSE(entry.text.isEmpty()) << "identifier " << id;
        EXPECT_FALSE(entry.text.contains(u'\r')) << "identifier " << id;
    }
}

TEST_F(StringTable, EveryIdentifierLiesInOneOfTheThreeRangesAndHasItsTwin)
{
    const RawTable raw = readRawTable();
    int french = 0;
    for (const auto &[id, entry] : raw.entries) {
        EXPECT_TRUE(isFrench(id) || isEnglish(id) || isCommon(id)) << "identifier " << id;
        if (isFrench(id)) {
            ++french;
            EXPECT_TRUE(raw.entries.count(id + 1000)) << "no English twin for " << id;
        }
        if (isEnglish(id)) {
            EXPECT_TRUE(raw.entries.count(id - 1000)) << "no French twin for " << id;
        }
    }
    EXPECT_GT(french, 300);
    // The loader sees the same set.
    for (int id = 0; id < 20000; ++id)
        EXPECT_EQ(hasText(id), raw.entries.count(id) == 1) << "identifier " << id;
}

TEST_F(StringTable, LanguageIndependentTextsAreAllPresentAndIdenticalInBothLanguages)
{
    for (int id = 9000; id <= 9028; ++id) {
        EXPECT_TRUE(hasText(id)) << id;
        const QString french = text(0, id);
        EXPECT_EQ(french, text(1000, id)) << id;
        EXPECT_NE(french, QStringLiteral("Erreur Ressource Introuvable!")) << id;
    }
}

TEST_F(StringTable, LookupRulesAndFallback)
{
    struct Case { qint16 offset; int id; const char *expected; };
    const Case cases[] = {
        {0, 104, "Erreur Ressource Introuvable!"},
        {1000, 104, "Error cannot find resource!"},
        {0, 99, "Erreur Ressource Introuvable!"},
        {0, 9029, "Erreur Ressource Introuvable!"},
        {0, 662, "Erreur Ressource Introuvable!"},
        // Stored the other way round, so that it reads in the language just chosen.
        {0, 452, "For this option (language), you must close then restart VORN."},
        {1000, 452, "L'option (langage) prendra effet lors du prochain démarage d'VORN"},
        {0, 9028, "*.TXT;*.DES;FILE-ID.DIZ;FILE_ID.DIZ;READ.ME;README;*.NFO;"},
        {1000, 9028, "*.TXT;*.DES;FILE-ID.DIZ;FILE_ID.DIZ;READ.ME;README;*.NFO;"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(text(c.offset, c.id), QString::fromUtf8(c.expected))
            << "offset " << c.offset << ", identifier " << c.id;
    EXPECT_FALSE(hasText(104));
    EXPECT_FALSE(hasText(1104));
}

TEST_F(StringTable, QuotedTextsReadExactly)
{
    struct Case { int id; const char *french; const char *english; };
    const Case cases[] = {
        {305, "Mot-clé déjà existant.", "This keyword already exists."},
        {343, "Vous ne pouvez pas utiliser le caractère '\\' dans le nom des CD", nullptr},
        {500, " ", ","},
        {599, "dd/mm/yy", "mm/dd/yy"},
        {600, " hh:mm:ss", "hh:mm:ss AM/PM"},
        {654, " doublons ont étés ignorés)", nullptr},
        {9017, "<tr><td colspan=7><b>", "<tr><td colspan=7><b>"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(text(0, c.id), QString::fromUtf8(c.french)) << "identifier " << c.id;
        if (c.english) {
            EXPECT_EQ(text(1000, c.id), QString::fromUtf8(c.english)) << "identifier " << c.id;
        }
    }
}

// Several texts are cut or joined by the code that uses them; both languages must
// have the shape that code expects.
TEST_F(StringTable, TextsThatCodeCutsOrJoinsHaveTheirShapeInBothLanguages)
{
    for (qint16 offset : {qint16(0), qint16(1000)}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(text(offset, 500).size(), 1);                   // digit-group separator
        EXPECT_EQ(text(offset, 501).size(), 1);                   // decimal separator
        EXPECT_TRUE(text(offset, 122).endsWith(u"..."));         // tooltip drops three characters
        EXPECT_TRUE(text(offset, 625).endsWith(u"..."));         // window title drops three characters
        EXPECT_TRUE(text(offset, 543).endsWith(u'('));           // caption & count & ")"
        EXPECT_TRUE(text(offset, 378).endsWith(u"; "));          // archive summary drops "; "
        EXPECT_TRUE(text(offset, 359).endsWith(u' '));           // "Loading " & " " & percent
        EXPECT_TRUE(text(offset, 200).startsWith(u"VORN"));      // main window title
        for (int id : {326, 327, 328, 331, 332, 333, 334, 335, 377, 378, 465, 550, 654})
            EXPECT_TRUE(text(offset, id).startsWith(u' ')) << "identifier " << id;
        for (int id : {211, 321, 330, 345, 349, 352, 389, 390, 464, 547, 605, 631})
            EXPECT_TRUE(text(offset, id).endsWith(u' ')) << "identifier " << id;
    }
    EXPECT_NE(text(0, 500), text(1000, 500));
}

namespace {

// The index page head and foot as the HTML export assembles them around its rows.
QString indexHead(const QString &folder, int fontSize, const QString &title)
{
    const QString crlf = QStringLiteral("\r\n");
    QString page = LoadText(9000) + title + crlf;
    for (int id = 9001; id <= 9006; ++id)
        page += LoadText(id) + crlf;
    page += QString::number(fontSize) + LoadText(9007) + LoadText(9008) + folder + QStringLiteral("_files")
        + LoadText(9009) + folder + QStringLiteral("_files") + LoadText(9010) + crlf + title
        + LoadText(9011) + crlf;
    return page;
}

QString pageFoot(const QString &folder)
{
    return LoadText(9023) + folder + QStringLiteral("_files") + LoadText(9024) + QStringLiteral("\r\n")
        + LoadText(9025) + LoadText(9026);
}

struct ParsedPage
{
    QString error;
    QString root;
    QString title;
    QString style;
    QString banner;
    QStringList tableStyles;
    QStringList cellStyles;
    QStringList links;
};

ParsedPage parse(QString page)
{
    // HTML named entities are unknown to an XML reader.
    page.replace(QStringLiteral("&nbsp;"), QStringLiteral("&#160;"));
    ParsedPage parsed;
    QXmlStreamReader xml(page);
    QStringList open;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            if (open.isEmpty())
                parsed.root = name;
            open << name;
            const QString style = xml.attributes().value(QStringLiteral("style")).toString();
            if (name == u"table")
                parsed.tableStyles << style;
            else if (name == u"td")
                parsed.cellStyles << style;
            else if (name == u"a")
                parsed.links << xml.attributes().value(QStringLiteral("href")).toString();
        } else if (xml.isEndElement()) {
            open.removeLast();
        } else if (xml.isCharacters() && !open.isEmpty()) {
            if (open.last() == u"title")
                parsed.title += xml.text();
            else if (open.last() == u"style")
                parsed.style += xml.text();
            else if (open.last() == u"b" && open.contains(QStringLiteral("td")))
                parsed.banner += xml.text();
        }
    }
    if (xml.hasError())
        parsed.error = QStringLiteral("%1 at line %2, column %3")
                           .arg(xml.errorString())
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber());
    return parsed;
}

} // namespace

TEST_F(StringTable, IndexHeadAndFootMakeAWellFormedPage)
{
    struct Case { int fontSize; const char *folder; const char *title; };
    const Case cases[] = {
        {8, "catalogue", "Export"},
        {12, "My discs", "Résultats de la recherche"},
    };
    for (const Case &c : cases) {
        const QString folder = QString::fromUtf8(c.folder);
        const QString title = QString::fromUtf8(c.title);
        SCOPED_TRACE(c.fontSize);
        const ParsedPage page = parse(indexHead(folder, c.fontSize, title) + pageFoot(folder));
        ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
        EXPECT_EQ(page.root, QStringLiteral("html"));
        EXPECT_EQ(page.title.trimmed(), title);
        EXPECT_EQ(page.banner.trimmed(), title);

        // The ".cb" rule carries the size in points.
        const QRegularExpression cbRule(QStringLiteral(R"(\.cb\s*\{([^}]*)\})"));
        const QRegularExpressionMatch rule = cbRule.match(page.style);
        ASSERT_TRUE(rule.hasMatch()) << page.style.toStdString();
        const QRegularExpression size(QStringLiteral(R"(font-size\s*:\s*(\d+)pt)"));
        const QRegularExpressionMatch sizeMatch = size.match(rule.captured(1));
        ASSERT_TRUE(sizeMatch.hasMatch()) << rule.captured(1).toStdString();
        EXPECT_EQ(sizeMatch.captured(1).toInt(), c.fontSize);
        EXPECT_TRUE(page.style.contains(QStringLiteral("a:hover")));

        // One 754-point table on ligne.png; banner on haut.png, foot on bas.png.
        ASSERT_EQ(page.tableStyles.size(), 1);
        EXPECT_TRUE(page.tableStyles[0].contains(QStringLiteral("754pt")));
        EXPECT_TRUE(page.tableStyles[0].contains(folder + QStringLiteral("_files/ligne.png")));
        ASSERT_EQ(page.cellStyles.size(), 2);
        EXPECT_TRUE(page.cellStyles[0].contains(folder + QStringLiteral("_files/haut.png")));
        EXPECT_TRUE(page.cellStyles[1].contains(folder + QStringLiteral("_files/bas.png")));

        // Two contact links: a mail address and a web site.
        ASSERT_EQ(page.links.size(), 2);
        EXPECT_TRUE(page.links[0].startsWith(QStringLiteral("mailto:")));
        EXPECT_TRUE(page.links[1].startsWith(QStringLiteral("https://")));
    }
}

TEST_F(StringTable, IndexRowFragmentsNestInsideTheTable)
{
    // A row made of the row fragments, between the head and the foot, keeps the page well formed.
    const QString row = LoadText(9012) + LoadText(9015) + QStringLiteral("catalogue_files/CD.bmp")
        + LoadText(9016) + LoadText(9013) + QStringLiteral("Photos") + LoadText(9014)
        + QStringLiteral("\r\n");
    const ParsedPage page = parse(indexHead(QStringLiteral("catalogue"), 8, QStringLiteral("Export")) + row
                                  + pageFoot(QStringLiteral("catalogue")));
    EXPECT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(page.cellStyles.size(), 4);
}
