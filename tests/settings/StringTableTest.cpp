#include "settings/StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
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

// The table file as written (escapes not undone), read independently of the loader so
// that lines the loader would skip or overwrite silently are seen.
struct RawTable { std::map<int, QString> entries; QStringList problems; };

RawTable readRawTable()
{
    RawTable raw;
    QFile file(QStringLiteral(":/strings.txt"));
    if (!file.open(QIODevice::ReadOnly))
        raw.problems << QStringLiteral("the table resource cannot be opened");
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.first(tab).toInt(&ok) : 0;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (!ok || raw.entries.count(id))
            raw.problems << QStringLiteral("line %1: not identifier<TAB>text, or a repeated identifier").arg(i + 1);
        else
            raw.entries[id] = line.sliced(tab + 1);
    }
    return raw;
}

} // namespace

// Every line is identifier<TAB>text with a unique identifier in one of the three
// ranges, French and English twins both present, only the escapes \n, \t and \\,
// never an empty text or a carriage return; and the loader sees the same set.
TEST_F(StringTable, TableFileIsWellFormed)
{
    const RawTable raw = readRawTable();
    EXPECT_TRUE(raw.problems.isEmpty()) << raw.problems.join(u'\n').toStdString();
    const QRegularExpression badEscape(QStringLiteral(R"(\\(?![nt\\]))"));
    int french = 0;
    for (const auto &[id, entry] : raw.entries) {
        // Pairs of backslashes are one escape; what is left must be \n or \t.
        EXPECT_FALSE(badEscape.match(QString(entry).replace(QStringLiteral("\\\\"), QString())).hasMatch()) << id;
        EXPECT_FALSE(entry.isEmpty() || entry.contains(u'\r')) << id;
        EXPECT_TRUE(isFrench(id) || isEnglish(id) || isCommon(id)) << "identifier " << id;
        french += isFrench(id);
        if (isFrench(id) || isEnglish(id)) {
            EXPECT_TRUE(raw.entries.count(isFrench(id) ? id + 1000 : id - 1000)) << "no twin for " << id;
        }
    }
    EXPECT_GT(french, 300);
    for (int id = 0; id < 20000; ++id)
        EXPECT_EQ(hasText(id), raw.entries.count(id) == 1) << "identifier " << id;
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
    // The language-independent texts are all there, the same in both languages.
    for (int id = 9000; id <= 9028; ++id) {
        EXPECT_TRUE(hasText(id)) << id;
        EXPECT_EQ(text(0, id), text(1000, id)) << id;
    }
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
