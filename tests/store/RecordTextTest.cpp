#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include "common/DayDate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;

namespace {

struct TempCatalogue
{
    QTemporaryDir data;
    QTemporaryDir temp;
    Catalogue catalogue;

    TempCatalogue()
    {
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
    }
};

Catalogue withKeywords(std::initializer_list<KeywordEntry> entries)
{
    Catalogue catalogue;
    for (const KeywordEntry &entry : entries)
        catalogue.keywords.push_back(entry);
    return catalogue;
}

double dayOf(int year, int month, int day, int hour, int minute, int second)
{
    return dayNumberFromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

} // namespace

TEST(RecordText, WritesEveryTagInOrderWithKeywordsInListOrder)
{
    const Catalogue catalogue = withKeywords({{"Jazz", 1}, {"Live", 3}, {"Rock", 2}});
    DiscRecord record;
    record.identifier = "-5";
    record.name = "Photos <.02.>";
    record.icon = "KDisque";
    record.excluded = 1;
    record.volumeLabel = "VACANCES";
    record.keywordCodes = "|3|1|9|";
    record.fields = {{"Lieu", "Nice"}, {"", "lost"}, {"Année", ""}};
    record.burnDate = dayOf(2001, 1, 2, 13, 0, 5);
    record.description = "Line one\r\nLine two";

    EXPECT_EQ(recordText(record, catalogue.keywords),
              QStringLiteral("NOM=Photos\r\nICO=KDisque\r\nEXR=1\r\nVOL=VACANCES\r\n"
                             "MC_=Jazz;Live;\r\nFDN=Lieu;Année;\r\nFDV=Nice;;\r\n"
                             "GRV=02/01/2001 13:00:05\r\nDES=Line one\r\nLine two"));
}

TEST(RecordText, UnknownBurnDateWritesAnEmptyValueThatReadsBackAsZero)
{
    DiscRecord record;
    record.name = "A";
    const QString text = recordText(record, {KeywordEntry{}});
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nGRV=\r\nDES=")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("DES=")));
    const auto reading = parseRecordText(text);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.burnDate, 0);
    EXPECT_EQ(reading->record.description, QString());
}

TEST(RecordText, DisplaySuffixIsStrippedOnlyWithTwoDigits)
{
    const struct { const char *name; const char *written; } cases[] = {
        {"Photos <.01.>", "Photos"},
        {" <.00.>", ""},
        {"Photos <.1.>", "Photos <.1.>"},
        {"Photos<.01.>", "Photos<.01.>"},
        {"Photos <.01.> ", "Photos <.01.> "},
        {"<.01.>", "<.01.>"},
    };
    for (const auto &c : cases) {
        DiscRecord record;
        record.name = QString::fromUtf8(c.name);
        const auto reading = parseRecordText(recordText(record, {KeywordEntry{}}));
        ASSERT_TRUE(reading) << c.name;
        EXPECT_EQ(reading->record.name, QString::fromUtf8(c.written)) << c.name;
    }
}

TEST(RecordText, DisplaySuffixKeepsTheLastTwoDigitsOfTheCounter)
{
    EXPECT_EQ(displaySuffix(1), QStringLiteral(" <.01.>"));
    EXPECT_EQ(displaySuffix(100), QStringLiteral(" <.00.>"));
    EXPECT_EQ(displaySuffix(123), QStringLiteral(" <.23.>"));
}

TEST(RecordText, RoundTripKeepsEveryStoredField)
{
    Catalogue catalogue = withKeywords({{"Jazz", 4}, {"Live", 7}});
    DiscRecord record;
    record.name = "Mon \"meilleur\" disque; été";
    record.icon = "KMusique";
    record.excluded = 200;
    record.volumeLabel = "LABEL 1";
    record.keywordCodes = "|7|4|";
    record.fields = {{"Lieu", "Nice"}, {"Prix", ""}, {"Note", "5"}};
    record.burnDate = dayOf(1999, 12, 31, 23, 59, 59);
    record.description = "ab\r\n\r\nDes photos\r\nVolume 2\r\nNOMBRE=3\r\n  x\r\n";

    const auto reading = parseRecordText(recordText(record, catalogue.keywords));
    ASSERT_TRUE(reading);
    const DiscRecord &read = reading->record;
    EXPECT_EQ(read.name, record.name);
    EXPECT_EQ(read.icon, record.icon);
    EXPECT_EQ(read.excluded, record.excluded);
    EXPECT_EQ(read.volumeLabel, record.volumeLabel);
    EXPECT_EQ(read.burnDate, record.burnDate);
    EXPECT_EQ(read.description, record.description);
    EXPECT_EQ(reading->keywordNames, QStringLiteral("Jazz;Live;"));
    EXPECT_EQ(reading->fieldNames, QStringLiteral("Lieu;Prix;Note;"));
    EXPECT_EQ(reading->fieldValues, QStringLiteral("Nice;;5;"));

    DiscRecord translated = read;
    translated.keywordCodes = keywordCodesFromNames(catalogue, reading->keywordNames);
    applyFieldTexts(catalogue, translated, reading->fieldNames, reading->fieldValues);
    EXPECT_EQ(translated.keywordCodes, QStringLiteral("|4|7|"));
    ASSERT_EQ(translated.fields.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(translated.fields[i].name, record.fields[i].name);
        EXPECT_EQ(translated.fields[i].value, record.fields[i].value);
    }
}

TEST(RecordText, ReaderCases)
{
    const struct
    {
        const char *text;
        const char *name;
        const char *description;
        const char *volume;
        int excluded;
    } cases[] = {
        {"NOM=Test", "Test", "", "", 0},
        {"nom=Test\r\nvOl=Lbl\r\nexr=3\r\nDes=d", "Test", "d", "Lbl", 3},
        {"NOM=A\nDES=one\n\nab\nxyz\ntwo", "A", "one\r\n\r\nab\r\nxyz\r\ntwo", "", 0},
        {"NOM=A\r\r\nDES=x\r\n", "A", "x\r\n", "", 0},
        {"[CD1]\r\nNOM=A\r\n[cd end]\r\nDES=x", "A", "x", "", 0},
        {"NOM=A\r\nDES=x\r\nSomething else\r\nDes photos", "A",
         "x\r\nSomething else\r\nDes photos", "", 0},
        {"NOM=A\r\nNOM=B", "B", "", "", 0},
        {"NOM=\r\nDES=", "", "", "", 0},
        {"ab\r\nNOM=A", "A", "\r\nab", "", 0},
        {"EXR=999\r\nNOM=A", "A", "", "", 255},
        {"EXR=x\r\nNOM=A", "A", "", "", 0},
        {"NOM=Tést ünïcode", "Tést ünïcode", "", "", 0},
    };
    for (const auto &c : cases) {
        const auto reading = parseRecordText(QString::fromUtf8(c.text));
        ASSERT_TRUE(reading) << c.text;
        EXPECT_EQ(reading->record.name, QString::fromUtf8(c.name)) << c.text;
        EXPECT_EQ(reading->record.description, QString::fromUtf8(c.description)) << c.text;
        EXPECT_EQ(reading->record.volumeLabel, QString::fromUtf8(c.volume)) << c.text;
        EXPECT_EQ(reading->record.excluded, c.excluded) << c.text;
        EXPECT_EQ(reading->record.burnDate, 0) << c.text;
    }
}

TEST(RecordText, BurnDateMustBeADate)
{
    const struct { const char *value; bool ok; double day; } cases[] = {
        {"31/12/1999 23:59:59", true, dayOf(1999, 12, 31, 23, 59, 59)},
        {"01/02/2003", true, dayOf(2003, 2, 1, 0, 0, 0)},
        {"", true, 0},
        {"hier", false, 0},
        {"32/01/2000 00:00:00", false, 0},
        {"12/31/1999 10:00:00", false, 0},
    };
    for (const auto &c : cases) {
        const QString text = QStringLiteral("NOM=A\r\nGRV=") + QString::fromUtf8(c.value);
        const auto reading = parseRecordText(text);
        EXPECT_EQ(bool(reading), c.ok) << c.value;
        if (reading && c.ok) {
            EXPECT_EQ(reading->record.burnDate, c.day) << c.value;
        }
    }
}

TEST(RecordText, TenMegabyteDescriptionRoundTrips)
{
    QString description;
    const QString line = QStringLiteral("Une ligne de description assez longue, numéro ");
    while (description.size() < 10 * 1024 * 1024)
        description += line + QString::number(description.size()) + QStringLiteral("\r\n");
    description += QStringLiteral("end");
    DiscRecord record;
    record.name = "Big";
    record.description = description;
    const auto reading = parseRecordText(recordText(record, {KeywordEntry{}}));
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.description.size(), description.size());
    EXPECT_TRUE(reading->record.description == description);
}

TEST(KeywordTranslation, EmptyPiecesAreSkippedAndNewNamesGetTheNextNumber)
{
    const struct
    {
        std::vector<KeywordEntry> list;
        const char *names;
        const char *codes;
        std::vector<KeywordEntry> after;
    } cases[] = {
        {{{"Jazz", 3}}, "Jazz;;Live;", "|3|4|", {{"Jazz", 3}, {"Live", 4}}},
        {{}, "Rock;", "|1|", {{"Rock", 1}}},
        {{{"jazz", 9}, {"a", 2}}, "JAZZ;trailing", "|9|", {{"jazz", 9}, {"a", 2}}},
        {{{"Jazz", 3}, {"JAZZ", 5}}, "jazz;", "|5|", {{"Jazz", 3}, {"JAZZ", 5}}},
        {{{"X", 1}}, "", "|", {{"X", 1}}},
        {{{"X", 1}}, "New;new;", "|2|2|", {{"X", 1}, {"New", 2}}},
    };
    for (const auto &c : cases) {
        Catalogue catalogue;
        for (const auto &entry : c.list)
            catalogue.keywords.push_back(entry);
        EXPECT_EQ(keywordCodesFromNames(catalogue, QString::fromUtf8(c.names)),
                  QString::fromUtf8(c.codes))
            << c.names;
        ASSERT_EQ(catalogue.keywords.size(), c.after.size() + 1) << c.names;
        for (size_t i = 0; i < c.after.size(); ++i) {
            EXPECT_EQ(catalogue.keywords[i + 1].name, c.after[i].name) << c.names;
            EXPECT_EQ(catalogue.keywords[i + 1].number, c.after[i].number) << c.names;
        }
    }
}

TEST(FieldTranslation, ValuesGoToFieldsByPositionAndNamesJoinTheList)
{
    const struct { const char *names; const char *values; std::vector<FieldPair> fields; } cases[] = {
        {"A;B;C;", "1;2;", {{"A", "1"}, {"B", "2"}, {"C", ""}}},
        {"A;;B;", "1;2;3;", {{"A", "1"}, {"B", "2"}}},
        {"A;B;", ";2;", {{"A", ""}, {"B", "2"}}},
        {"A;B", "1;2", {{"A", "1"}}},
        {"", "1;", {}},
    };
    for (const auto &c : cases) {
        Catalogue catalogue;
        DiscRecord record;
        applyFieldTexts(catalogue, record, QString::fromUtf8(c.names), QString::fromUtf8(c.values));
        ASSERT_EQ(record.fields.size(), c.fields.size()) << c.names;
        for (size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(record.fields[i].name, c.fields[i].name) << c.names;
            EXPECT_EQ(record.fields[i].value, c.fields[i].value) << c.names;
        }
    }

    Catalogue catalogue;
    catalogue.fieldNames << "lieu";
    DiscRecord record;
    applyFieldTexts(catalogue, record, u"Lieu;Prix;PRIX;", u"");
    EXPECT_EQ(catalogue.fieldNames, QStringList({QString(), "lieu", "Prix"}));
    ASSERT_EQ(record.fields.size(), 3u);
    EXPECT_EQ(record.fields[0].name, QStringLiteral("Lieu"));
}

TEST(RecordStore, WriteReadAndLoadThroughTheArchive)
{
    TempCatalogue t;
    Catalogue &catalogue = t.catalogue;
    catalogue.keywords.push_back({"Jazz", 2});
    DiscRecord record;
    record.identifier = "-123";
    record.name = "Disque <.03.>";
    record.keywordCodes = "|2|";
    record.fields = {{"Lieu", "Nice"}};
    record.description = "Hello";

    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("-123", ".fic"), "files"));
    catalogue.memberFlags = Member::Fic;
    QString error;
    ASSERT_TRUE(writeRecord(catalogue, record, 4, &error)) << error.toStdString();
    EXPECT_EQ(catalogue.memberFlags, 0);
    EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("-123"), "-123.fic"),
              QByteArray("files"));
    EXPECT_TRUE(DiscArchive::readComment(catalogue.archivePath("-123")).startsWith("NOM=Disque\r\n"));

    const auto reading = readRecord(catalogue, "-123");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.identifier, QStringLiteral("-123"));
    EXPECT_EQ(reading->record.name, QStringLiteral("Disque"));
    EXPECT_EQ(reading->keywordNames, QStringLiteral("Jazz;"));

    // A new keyword list: the name is added with the next number.
    catalogue.keywords.assign(1, KeywordEntry{});
    catalogue.keywords.push_back({"Rock", 6});
    catalogue.discs.push_back(DiscRecord{});
    catalogue.discs.back().identifier = "7";
    EXPECT_EQ(loadRecordIntoArray(catalogue, "-123"), 2);
    EXPECT_EQ(catalogue.disc(2).keywordCodes, QStringLiteral("|7|"));
    EXPECT_EQ(catalogue.keywords.back().name, QStringLiteral("Jazz"));
    ASSERT_EQ(catalogue.disc(2).fields.size(), 1u);
    EXPECT_EQ(catalogue.disc(2).fields[0].value, QStringLiteral("Nice"));
    EXPECT_EQ(catalogue.fieldNames, QStringList({QString(), "Lieu"}));

    // Loading again replaces the record instead of appending one.
    catalogue.disc(2).name = "changed";
    EXPECT_EQ(loadRecordIntoArray(catalogue, "-123"), 2);
    EXPECT_EQ(catalogue.discCount(), 2);
    EXPECT_EQ(catalogue.disc(2).name, QStringLiteral("Disque"));

    EXPECT_EQ(loadRecordIntoArray(catalogue, "999"), 0);
    EXPECT_FALSE(readRecord(catalogue, "999"));
    EXPECT_EQ(catalogue.discCount(), 2);
}

TEST(RecordStore, EmptyIdentifierWritesNothing)
{
    TempCatalogue t;
    t.catalogue.memberFlags = Member::Rep;
    DiscRecord record;
    record.name = "No id";
    EXPECT_TRUE(writeRecord(t.catalogue, record, 4));
    EXPECT_EQ(t.catalogue.memberFlags, Member::Rep);
    EXPECT_TRUE(QDir(t.data.path()).entryList(QDir::Files).isEmpty());
}

TEST(RecordStore, FailedPackKeepsTheFlagWord)
{
    TempCatalogue t;
    t.catalogue.dataFolder = t.data.path() + QStringLiteral("/missing/folder/");
    t.catalogue.memberFlags = Member::Rep;
    ASSERT_TRUE(test::writeFile(t.catalogue.workingCopy("1", ".rep"), TreeFiles::folderFileHeader()));
    DiscRecord record;
    record.identifier = "1";
    EXPECT_FALSE(writeRecord(t.catalogue, record, 4));
    EXPECT_EQ(t.catalogue.memberFlags, Member::Rep);
}

TEST(RecordStore, DuplicateNamesGetNumberedSuffixes)
{
    Catalogue catalogue;
    // Already in name order, as the array is after opening a data folder.
    for (const char *name : {"Alpha", "Photos", "photos", "Photos", "Zed"}) {
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().name = name;
    }
    catalogue.discs[1].identifier = "1";
    EXPECT_TRUE(hasDuplicateNames(catalogue));
    giveDuplicateSuffixes(catalogue);
    QStringList names;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        names << catalogue.disc(i).name;
    EXPECT_EQ(names, QStringList({"Alpha", "Photos", "Photos <.01.>", "Photos <.02.>", "Zed"}));
    EXPECT_FALSE(hasDuplicateNames(catalogue));
}

TEST(RecordStore, SuffixingWhileSortedByDateRestoresTheUserSort)
{
    TempCatalogue t;
    Catalogue &catalogue = t.catalogue;
    const struct { const char *name; double date; } discs[] = {
        {"Photos", 100}, {"Music", 400}, {"Photos", 300}, {"Photos", 200},
    };
    for (const auto &d : discs) {
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().name = d.name;
        catalogue.discs.back().burnDate = d.date;
    }
    catalogue.sortKey = 1;
    catalogue.sortDescending = true;
    giveDuplicateSuffixes(catalogue);

    EXPECT_EQ(catalogue.sortKey, 1);
    EXPECT_TRUE(catalogue.sortDescending);
    QStringList names;
    std::vector<double> dates;
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        names << catalogue.disc(i).name;
        dates.push_back(catalogue.disc(i).burnDate);
    }
    // Name order kept the array order for the three Photos (100, 300, 200).
    EXPECT_EQ(names, QStringList({"Music", "Photos <.01.>", "Photos <.02.>", "Photos"}));
    EXPECT_EQ(dates, (std::vector<double>{400, 300, 200, 100}));
}

TEST(RecordStore, BurnDateIsTheLatestFolderDate)
{
    TempCatalogue t;
    Catalogue &catalogue = t.catalogue;
    std::vector<FolderRecord> folders(1);
    folders.push_back({"a", 0, 36000.5, "", 0});
    folders.push_back({"b", 1, 37000.25, "", 0});
    folders.push_back({"c", 0, 35000, "", 0});
    const QString rep = catalogue.workingCopy("42", ".rep");
    ASSERT_TRUE(test::writeFile(rep, TreeFiles::folderFileBytes(folders)));
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("43", ".rep"), TreeFiles::folderFileHeader()));
    for (const char *id : {"42", "43"}) {
        catalogue.discs.push_back(DiscRecord{});
        catalogue.discs.back().identifier = id;
        catalogue.discs.back().name = id;
        catalogue.memberFlags = Member::Rep;
        ASSERT_TRUE(writeRecord(catalogue, catalogue.discs.back(), 4));
    }
    QFile::remove(rep);

    catalogue.memberFlags = Member::CataloguingRun;
    catalogue.current = 2;
    ASSERT_TRUE(computeBurnDate(catalogue, 1));
    EXPECT_EQ(catalogue.disc(1).burnDate, 37000.25);
    EXPECT_EQ(catalogue.memberFlags, Member::CataloguingRun);
    EXPECT_FALSE(QFile::exists(rep));
    const auto reading = readRecord(catalogue, "42");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.burnDate, 37000.25);

    // The current disc keeps its working copy; no folder gives 0.
    ASSERT_TRUE(computeBurnDate(catalogue, 2));
    EXPECT_EQ(catalogue.disc(2).burnDate, 0);
    EXPECT_TRUE(QFile::exists(catalogue.workingCopy("43", ".rep")));

    EXPECT_FALSE(computeBurnDate(catalogue, 3));
    catalogue.discs.push_back(DiscRecord{});
    catalogue.discs.back().identifier = "44";
    EXPECT_FALSE(computeBurnDate(catalogue, 3));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("44")));
}
