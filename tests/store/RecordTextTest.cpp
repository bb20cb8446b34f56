#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "StoreFixture.h"

#include "common/DayDate.h"

using namespace vorn;

namespace {

std::vector<KeywordEntry> keywordList(std::initializer_list<KeywordEntry> entries)
{
    std::vector<KeywordEntry> list(1);
    list.insert(list.end(), entries);
    return list;
}

double dayOf(int year, int month, int day, int hour, int minute, int second)
{
    return dayNumberFromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

DiscRecord named(const QString &name)
{
    return test::discRecord(QString(), name);
}

struct RecordStoreTest : test::StoreFixture {};

} // namespace

TEST(RecordText, WritesEveryTagInOrderAndReadsItBack)
{
    Catalogue catalogue;
    catalogue.keywords = keywordList({{"Jazz", 1}, {"Live", 3}, {"Rock", 2}});
    DiscRecord record = named("Mon \"disque\"; été <.02.>");
    record.identifier = "-5";
    record.icon = "KDisque";
    record.excluded = 200;
    record.volumeLabel = "VACANCES";
    record.keywordCodes = "|3|1|9|";
    record.fields = {{"Lieu", "Nice"}, {"", "lost"}, {"Année", ""}};
    record.burnDate = dayOf(2001, 1, 2, 13, 0, 5);
    record.description = "ab\r\n\r\nDes photos\r\nNOMBRE=3\r\n  x\r\n";
    const QString text = recordText(record, catalogue.keywords);
    EXPECT_EQ(text, QStringLiteral("NOM=Mon \"disque\"; été\r\nICO=KDisque\r\nEXR=200\r\nVOL=VACANCES\r\nMC_=Jazz;Live;\r\n"
                                   "FDN=Lieu;Année;\r\nFDV=Nice;;\r\nGRV=02/01/2001 13:00:05\r\n"
                                   "DES=ab\r\n\r\nDes photos\r\nNOMBRE=3\r\n  x\r\n"));
    const auto reading = parseRecordText(text);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->keywordNames + reading->fieldNames + reading->fieldValues, "Jazz;Live;Lieu;Année;Nice;;");
    // Translated against the catalogue, the record writes the same text again.
    DiscRecord read = reading->record;
    read.keywordCodes = keywordCodesFromNames(catalogue, reading->keywordNames);
    applyFieldTexts(catalogue, read, reading->fieldNames, reading->fieldValues);
    EXPECT_EQ(read.keywordCodes, QStringLiteral("|1|3|"));
    EXPECT_EQ(read.burnDate, record.burnDate);
    EXPECT_EQ(recordText(read, catalogue.keywords), text);
    // An unknown burn date is written empty and reads back as 0.
    EXPECT_TRUE(recordText(named("A"), keywordList({})).endsWith(QStringLiteral("\r\nGRV=\r\nDES=")));
}

TEST(RecordText, DisplaySuffixIsStrippedOnlyWithTwoDigits)
{
    const struct { const char *name; const char *written; } cases[] = {
        {"Photos <.01.>", "Photos"}, {" <.00.>", ""}, {"Photos <.1.>", "Photos <.1.>"},
        {"Photos<.01.>", "Photos<.01.>"}, {"Photos <.01.> ", "Photos <.01.> "}, {"<.01.>", "<.01.>"},
    };
    for (const auto &c : cases) {
        const auto reading = parseRecordText(recordText(named(c.name), keywordList({})));
        ASSERT_TRUE(reading) << c.name;
        EXPECT_EQ(reading->record.name, QString::fromUtf8(c.written)) << c.name;
    }
    EXPECT_EQ(displaySuffix(1), QStringLiteral(" <.01.>"));
    EXPECT_EQ(displaySuffix(100), QStringLiteral(" <.00.>"));
    EXPECT_EQ(displaySuffix(123), QStringLiteral(" <.23.>"));
}

TEST(RecordText, ReaderCases)
{
    // A line that merely starts with a tag's letters is description; so is a short one.
    const struct { const char *text, *name, *description, *volume; int excluded; } cases[] = {
        {"NOM=Test", "Test", "", "", 0},
        {"nom=Test\r\nvOl=Lbl\r\nexr=3\r\nDes=d", "Test", "d", "Lbl", 3},
        {"NOM=A\nDES=one\n\nab\nxyz\ntwo", "A", "one\r\n\r\nab\r\nxyz\r\ntwo", "", 0},
        {"NOM=A\r\r\nDES=x\r\n", "A", "x\r\n", "", 0},
        {"[CD1]\r\nNOM=A\r\n[cd end]\r\nDES=x", "A", "x", "", 0},
        {"NOM=A\r\nDES=x\r\nSomething else\r\nDes photos", "A", "x\r\nSomething else\r\nDes photos", "", 0},
        {"NOM=A\r\nNOM=B", "B", "", "", 0}, {"NOM=\r\nDES=", "", "", "", 0}, {"ab\r\nNOM=A", "A", "\r\nab", "", 0},
        {"EXR=999\r\nNOM=A", "A", "", "", 255}, {"EXR=x\r\nNOM=A", "A", "", "", 0},
        {"NOM=Tést ünïcode", "Tést ünïcode", "", "", 0},
        // A key holding a letter that folds into ASCII (the long s) still names its tag;
        // one with another letter outside ASCII does not.
        {"NOM=A\r\nDE\xc5\xbf=x\r\nN\xc3\x96M=B", "A", "x\r\nN\xc3\x96M=B", "", 0},
    };
    for (const auto &c : cases) {
        const auto reading = parseRecordText(QString::fromUtf8(c.text));
        ASSERT_TRUE(reading) << c.text;
        const DiscRecord &r = reading->record;
        EXPECT_EQ(QStringList({r.name, r.description, r.volumeLabel, QString::number(r.excluded), QString::number(r.burnDate)}),
                  QStringList({c.name, c.description, c.volume, QString::number(c.excluded), "0"})) << c.text;
    }
    const struct { const char *value; std::optional<double> day; } dates[] = {
        {"31/12/1999 23:59:59", dayOf(1999, 12, 31, 23, 59, 59)}, {"01/02/2003", dayOf(2003, 2, 1, 0, 0, 0)},
        {"", 0.0}, {"hier", std::nullopt}, {"32/01/2000 00:00:00", std::nullopt}, {"12/31/1999 10:00:00", std::nullopt},
    };
    for (const auto &c : dates) {
        const auto reading = parseRecordText(QString("NOM=A\r\nGRV=" + QString::fromUtf8(c.value)));
        EXPECT_EQ(reading ? std::optional(reading->record.burnDate) : std::nullopt, c.day) << c.value;
    }
}

TEST(RecordText, KeywordNamesTranslateAndNewOnesGetTheNextNumber)
{
    // Empty pieces and text after the last ";" are skipped; the last of equal names counts.
    const struct { std::vector<KeywordEntry> list; const char *names, *codes, *after; } cases[] = {
        {{{"Jazz", 3}}, "Jazz;;Live;", "|3|4|", "3=Jazz;4=Live"}, {{}, "Rock;", "|1|", "1=Rock"},
        {{{"jazz", 9}, {"a", 2}}, "JAZZ;trailing", "|9|", "9=jazz;2=a"},
        {{{"Jazz", 3}, {"JAZZ", 5}}, "jazz;", "|5|", "3=Jazz;5=JAZZ"}, {{{"X", 1}}, "", "|", "1=X"},
        {{{"X", 1}}, "New;new;", "|2|2|", "1=X;2=New"},
    };
    for (const auto &c : cases) {
        Catalogue catalogue;
        catalogue.keywords.insert(catalogue.keywords.end(), c.list.begin(), c.list.end());
        EXPECT_EQ(keywordCodesFromNames(catalogue, QString::fromUtf8(c.names)), QString::fromUtf8(c.codes)) << c.names;
        EXPECT_EQ(test::keywordsText(catalogue.keywords), c.after) << c.names;
    }
}

TEST(RecordText, FieldValuesGoToFieldsByPositionAndNamesJoinTheList)
{
    const struct { const char *names, *values, *fields; } cases[] = {
        {"A;B;C;", "1;2;", "A=1 B=2 C="}, {"A;;B;", "1;2;3;", "A=1 B=2"}, {"A;B;", ";2;", "A= B=2"},
        {"A;B", "1;2", "A=1"}, {"", "1;", ""}, {"Lieu;Prix;PRIX;", "", "Lieu= Prix= PRIX="},
    };
    for (const auto &c : cases) {
        Catalogue catalogue;
        catalogue.fieldNames << "lieu";
        DiscRecord record;
        applyFieldTexts(catalogue, record, QString::fromUtf8(c.names), QString::fromUtf8(c.values));
        QStringList fields;
        for (const FieldPair &field : record.fields)
            fields << field.name + '=' + field.value;
        EXPECT_EQ(fields.join(' '), QString::fromUtf8(c.fields)) << c.names;
        if (c.names[0] == 'L') {   // names are added once, ignoring case
            EXPECT_EQ(catalogue.fieldNames, QStringList({QString(), "lieu", "Prix"}));
        }
    }
}

TEST_F(RecordStoreTest, WriteReadAndLoadThroughTheArchive)
{
    catalogue.keywords.push_back({"Jazz", 2});
    DiscRecord record = named("Disque <.03.>");
    record.identifier = "-123";
    record.keywordCodes = "|2|";
    record.fields = {{"Lieu", "Nice"}};
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("-123", ".fic"), "files"));
    catalogue.memberFlags = Member::Fic;
    QString error;
    ASSERT_TRUE(writeRecord(catalogue, record, 4, &error)) << error.toStdString();
    EXPECT_EQ(catalogue.memberFlags, 0);
    EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("-123"), "-123.fic"), QByteArray("files"));
    EXPECT_TRUE(DiscArchive::readComment(catalogue.archivePath("-123")).startsWith("NOM=Disque\r\n"));
    const auto reading = readRecord(catalogue, "-123");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.identifier, QStringLiteral("-123"));
    EXPECT_EQ(reading->keywordNames, QStringLiteral("Jazz;"));

    // Against another keyword list the name is added with the next number.
    catalogue.keywords = keywordList({{"Rock", 6}});
    addDiscs({{"7", "x"}});
    EXPECT_EQ(loadRecordIntoArray(catalogue, "-123"), 2);
    EXPECT_EQ(catalogue.disc(2).keywordCodes, QStringLiteral("|7|"));
    EXPECT_EQ(catalogue.keywords.back().name, QStringLiteral("Jazz"));
    ASSERT_EQ(catalogue.disc(2).fields.size(), 1u);
    EXPECT_EQ(catalogue.disc(2).fields[0].value, QStringLiteral("Nice"));
    EXPECT_EQ(catalogue.fieldNames, QStringList({QString(), "Lieu"}));
    // Loading again replaces the record instead of appending one.
    catalogue.disc(2).name = "changed";
    EXPECT_EQ(loadRecordIntoArray(catalogue, "-123"), 2);
    EXPECT_EQ(test::discNames(catalogue), QStringList({"x", "Disque"}));
    EXPECT_EQ(loadRecordIntoArray(catalogue, "999"), 0);
    EXPECT_EQ(catalogue.discCount(), 2);
}

TEST_F(RecordStoreTest, FlagWordIsKeptWhenNothingIsWritten)
{
    catalogue.memberFlags = Member::Rep;
    EXPECT_TRUE(writeRecord(catalogue, named("No id"), 4));   // no identifier: nothing to write
    EXPECT_EQ(catalogue.memberFlags, Member::Rep);
    EXPECT_TRUE(QDir(data.path()).entryList(QDir::Files).isEmpty());

    catalogue.dataFolder = data.path() + QStringLiteral("/missing/folder/");
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("1", ".rep"), test::FolderHeader));
    DiscRecord record;
    record.identifier = "1";
    EXPECT_FALSE(writeRecord(catalogue, record, 4));
    EXPECT_EQ(catalogue.memberFlags, Member::Rep);
}

TEST_F(RecordStoreTest, DuplicateNamesGetNumberedSuffixes)
{
    addDiscs({{"1", "Alpha"}, {"2", "Photos"}, {"3", "photos"}, {"4", "Photos"}, {"5", "Zed"}});
    EXPECT_TRUE(hasDuplicateNames(catalogue));
    giveDuplicateSuffixes(catalogue);
    EXPECT_EQ(test::discNames(catalogue), QStringList({"Alpha", "Photos", "Photos <.01.>", "Photos <.02.>", "Zed"}));
    EXPECT_FALSE(hasDuplicateNames(catalogue));

    // Sorted by date: suffixes follow name order (stable), then the user's order comes back.
    catalogue.discs.resize(1);
    addDiscs({{"1", "Photos"}, {"2", "Music"}, {"3", "Photos"}, {"4", "Photos"}});
    const double dates[] = {100, 400, 300, 200};
    for (int i = 1; i <= 4; ++i)
        catalogue.disc(i).burnDate = dates[i - 1];
    catalogue.sortKey = 1;
    catalogue.sortDescending = true;
    giveDuplicateSuffixes(catalogue);
    EXPECT_EQ(catalogue.sortKey, 1);
    EXPECT_TRUE(catalogue.sortDescending);
    EXPECT_EQ(test::discNames(catalogue), QStringList({"Music", "Photos <.01.>", "Photos <.02.>", "Photos"}));
    EXPECT_EQ(test::discIds(catalogue), QStringLiteral("2,3,4,1"));
}

TEST_F(RecordStoreTest, BurnDateIsTheLatestFolderDate)
{
    std::vector<FolderRecord> folders(1);
    folders.push_back({"a", 0, 36000.5, "", 0});
    folders.push_back({"b", 1, 37000.25, "", 0});
    folders.push_back({"c", 0, 35000, "", 0});
    addDiscs({{"42", "42"}, {"43", "43"}});
    writeDisc(catalogue.disc(1), {{".rep", TreeFiles::folderFileBytes(folders)}});
    writeDisc(catalogue.disc(2));
    catalogue.memberFlags = Member::CataloguingRun;
    catalogue.current = 2;
    ASSERT_TRUE(computeBurnDate(catalogue, 1));
    EXPECT_EQ(catalogue.disc(1).burnDate, 37000.25);
    EXPECT_EQ(catalogue.memberFlags, Member::CataloguingRun);
    EXPECT_FALSE(QFile::exists(catalogue.workingCopy("42", ".rep")));
    EXPECT_EQ(readRecord(catalogue, "42").value().record.burnDate, 37000.25);

    // The current disc keeps its working copy; no folder gives 0.
    ASSERT_TRUE(computeBurnDate(catalogue, 2));
    EXPECT_EQ(catalogue.disc(2).burnDate, 0);
    EXPECT_TRUE(QFile::exists(catalogue.workingCopy("43", ".rep")));
    EXPECT_FALSE(computeBurnDate(catalogue, 3));
    addDiscs({{"44", "no archive"}});
    EXPECT_FALSE(computeBurnDate(catalogue, 3));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("44")));
}
