#include "store/CapturedTextStore.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/Records.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

const QString kId = QStringLiteral("-5");

class CapturedTextStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath("data");
        QDir(m_root.path()).mkpath("temp");
        catalogue.dataFolder = m_root.filePath("data") + '/';
        catalogue.tempFolder = m_root.filePath("temp") + '/';
    }

    QString storePath() const { return catalogue.workingCopy(kId, ".text"); }

    // Writes a finished store holding the given texts; returns its bytes.
    QByteArray writeStore(const QStringList &texts)
    {
        CapturedTextWriter writer;
        EXPECT_TRUE(writer.begin(storePath()));
        for (const QString &text : texts)
            EXPECT_GT(writer.append(text), 0);
        EXPECT_TRUE(writer.finish());
        return readFile(storePath());
    }

    QStringList tempEntries() const
    {
        return QDir(catalogue.tempFolder)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir m_root;
    Catalogue catalogue;
};

// Texts whose stored lengths (bytes + CRLF) give the wanted list.
QStringList textsOfLengths(const std::vector<int> &lengths)
{
    QStringList texts;
    for (size_t i = 0; i < lengths.size(); ++i)
        texts.append(QString(lengths[i] - 2, QChar(u'a' + int(i % 26))));
    return texts;
}

std::vector<int> repeat(int count, int length, std::vector<int> tail = {})
{
    std::vector<int> lengths(size_t(count), length);
    lengths.insert(lengths.end(), tail.begin(), tail.end());
    return lengths;
}

QList<QByteArray> crlfLines(const QByteArray &bytes, int count)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        if (end < 0)
            break;
        lines.append(bytes.mid(start, end - start));
        start = end + 2;
    }
    return lines;
}

struct HeaderCase
{
    const char *name;
    std::vector<int> lengths;
    int line3Size;   // bytes of the length list line, without CRLF
    int h;           // the value "Size=" must hold
};

} // namespace

TEST_F(CapturedTextStoreTest, HeaderValueIsTheFixedPointOfItsOwnDigits)
{
    const HeaderCase cases[] = {
        {"no texts", {}, 10, 32},
        {"line 3 of 77 bytes", repeat(16, 100, {12}), 77, 99},
        {"line 3 of 78 bytes: 100 would be wrong", repeat(17, 100), 78, 101},
        {"just below four digits", repeat(241, 100, {2}), 976, 999},
        {"four digits reached", repeat(241, 100, {12}), 977, 1001},
    };
    for (const HeaderCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList texts = textsOfLengths(c.lengths);
        const QByteArray bytes = writeStore(texts);

        const QList<QByteArray> lines = crlfLines(bytes, 4);
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], "[TxtSize]");
        EXPECT_EQ(lines[1], "Size=" + QByteArray::number(c.h));
        EXPECT_EQ(lines[2].size(), c.line3Size);
        EXPECT_TRUE(lines[2].endsWith(QByteArray(10, ' ')));
        EXPECT_EQ(lines[3], "");

        // The four header lines end exactly at H + 2, where text 1 begins.
        const qsizetype headerEnd = lines[0].size() + lines[1].size() + lines[2].size() + 8;
        EXPECT_EQ(headerEnd, c.h + 2);
        EXPECT_EQ(bytes.mid(c.h, 2), "\r\n");

        qsizetype offset = c.h + 2;
        for (int i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(bytes.mid(offset, c.lengths[size_t(i)]), texts[i].toUtf8() + "\r\n")
                << "text " << i + 1;
            offset += c.lengths[size_t(i)];
        }
        EXPECT_EQ(bytes.mid(offset), "\r\n");

        EXPECT_EQ(capturedTextHeaderValue(c.line3Size), c.h);
    }
}

TEST_F(CapturedTextStoreTest, LengthsCountBytesOfTheStoredUtf8)
{
    const QStringList texts = {
        QStringLiteral("Hello\r\nWorld\r\n"),       // CRLF pairs of its own
        QStringLiteral("日本"),                     // 3 bytes a character
        QStringLiteral("Ünïcödé 😀 end"),
        QStringLiteral("x"),
    };
    const QByteArray bytes = writeStore(texts);
    EXPECT_EQ(crlfLines(bytes, 3).value(2), "16;8;22;3;          ");

    CapturedTextReader reader;
    for (int k = 1; k <= texts.size(); ++k)
        EXPECT_EQ(reader.read(catalogue, kId, k), texts[k - 1] + "\r\n") << "text " << k;
}

TEST_F(CapturedTextStoreTest, ReaderGivesEmptyTextOutsideTheList)
{
    writeStore({"one", "two"});
    CapturedTextReader reader;
    for (int k : {-1, 0, 3, 1000})
        EXPECT_EQ(reader.read(catalogue, kId, k), QString()) << "k = " << k;
    EXPECT_EQ(reader.read(catalogue, kId, 2), "two\r\n");
}

TEST_F(CapturedTextStoreTest, ReaderTakesStoresWrittenInTheAnsiCodePage)
{
    // An older store: "café" in Windows-1252, a text with its own CRLF, hand-counted.
    const QByteArray old = "[TxtSize]\r\nSize=34\r\n6;8;        \r\n\r\n"
                           "caf\xe9\r\nab\r\ncd\r\n\r\n";
    ASSERT_TRUE(writeFile(storePath(), old));
    CapturedTextReader reader;
    EXPECT_EQ(reader.read(catalogue, kId, 1), QStringLiteral("café\r\n"));
    EXPECT_EQ(reader.read(catalogue, kId, 2), "ab\r\ncd\r\n");
}

TEST_F(CapturedTextStoreTest, IndexParsing)
{
    struct Case { const char *name; QByteArray head; qint64 firstText; std::vector<qint64> lengths; };
    const Case cases[] = {
        {"one text", "[TxtSize]\r\nSize=34\r\n6;          \r\n\r\n", 36, {6}},
        {"blank pieces skipped", "[TxtSize]\r\nSize=40\r\n12; ;3;   \r\n", 42, {12, 3}},
        {"LF line ends", "[TxtSize]\nSize=40\n12;3;\n", 42, {12, 3}},
        {"size 0", "[TxtSize]\r\nSize=0\r\n6;          \r\n", 0, {}},
        {"other section", "[Other]\r\nSize=34\r\n6;          \r\n", 0, {}},
        {"only two lines", "[TxtSize]\r\nSize=34\r\n", 0, {}},
        {"no texts", "[TxtSize]\r\nSize=32\r\n          \r\n\r\n", 34, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CapturedTextIndex index = parseCapturedTextIndex(c.head);
        EXPECT_EQ(index.lengths, c.lengths);
        if (!c.lengths.empty()) {
            EXPECT_EQ(index.firstText, c.firstText);
            EXPECT_EQ(index.starts.front(), c.firstText);
        }
    }
}

TEST_F(CapturedTextStoreTest, MissingWorkingCopyIsUnpackedFromTheDiscArchive)
{
    CapturedTextReader reader;
    CapturedTextScanner scanner;
    EXPECT_EQ(reader.read(catalogue, kId, 1), QString());   // no store anywhere yet
    EXPECT_FALSE(scanner.occurs(catalogue, kId, 1, u""));

    writeStore({"alpha", "beta"});
    ASSERT_TRUE(DiscArchive::pack(catalogue, kId, Member::Text, QString(), 6));
    ASSERT_TRUE(QFile::remove(storePath()));

    EXPECT_EQ(reader.read(catalogue, kId, 2), "beta\r\n");
    EXPECT_TRUE(QFile::exists(storePath()));

    ASSERT_TRUE(QFile::remove(storePath()));
    EXPECT_TRUE(scanner.occurs(catalogue, kId, 1, u"ALPH"));
}

TEST_F(CapturedTextStoreTest, ScannerAnswersLikeTheReaderForEveryText)
{
    const QStringList texts = {
        "README\r\nInstall with SETUP.EXE",
        QStringLiteral("Überblick: ÄÖÜ"),
        "x",
        QStringLiteral("日本語のテキスト"),
        "last line\r\n",
    };
    const QByteArray bytes = writeStore(texts);
    CapturedTextReader reader;

    const QString needles[] = {"setup", QStringLiteral("äöü"), "X", QStringLiteral("テキ"),
                               "LAST", "missing", ""};
    for (const QString &needle : needles) {
        SCOPED_TRACE(needle.toStdString());
        CapturedTextScanner fromFile;
        CapturedTextScanner fromMemory;
        for (int k = 1; k <= texts.size(); ++k) {
            const QString expected = reader.read(catalogue, kId, k);
            const bool occurs = expected.contains(needle, Qt::CaseInsensitive);
            EXPECT_EQ(fromFile.occurs(catalogue, kId, k, needle), occurs) << "k = " << k;
            EXPECT_EQ(fromMemory.occurs(kId, bytes, k, needle), occurs) << "k = " << k;
        }
        EXPECT_FALSE(fromFile.isOpen());
        EXPECT_FALSE(fromMemory.isOpen());
    }
}

TEST_F(CapturedTextStoreTest, ScannerFollowsAnyOrderOfCalls)
{
    const QStringList texts = {"t1", "t2", "t3", "t4"};
    const QByteArray bytes = writeStore(texts);
    struct Step { int k; QString text; bool openAfter; };
    const Step steps[] = {
        {2, "t2\r\n", true},  {2, "t2\r\n", true}, {3, "t3\r\n", true},
        {1, "t1\r\n", true},  // going back starts again from the first text
        {9, "", true},        {4, "t4\r\n", false}, // closed after the last text
        {3, "t3\r\n", true},  {0, "", true},
    };
    CapturedTextScanner fromFile;
    CapturedTextScanner fromMemory;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.k);
        EXPECT_EQ(fromFile.text(catalogue, kId, step.k), step.text);
        EXPECT_EQ(fromFile.isOpen(), step.openAfter);
        EXPECT_EQ(fromMemory.text(kId, bytes, step.k), step.text);
        EXPECT_EQ(fromMemory.isOpen(), step.openAfter);
    }
}

TEST_F(CapturedTextStoreTest, ScannerSwitchesDiscs)
{
    const QByteArray first = writeStore({"apple", "pear"});
    const QByteArray second = writeStore({"cherry", "plum", "fig"});
    CapturedTextScanner scanner;
    EXPECT_TRUE(scanner.occurs("1", first, 1, u"APPLE"));
    EXPECT_TRUE(scanner.occurs("2", second, 2, u"plum"));
    EXPECT_FALSE(scanner.occurs("1", first, 2, u"plum"));
    EXPECT_TRUE(scanner.occurs("1", first, 2, u"pear"));
}

TEST_F(CapturedTextStoreTest, DiscWithoutTextsHasAStoreTheScannerFindsEmpty)
{
    const QByteArray bytes = writeStore({});
    EXPECT_EQ(bytes, "[TxtSize]\r\nSize=32\r\n          \r\n\r\n\r\n");
    CapturedTextScanner scanner;
    EXPECT_FALSE(scanner.occurs(catalogue, kId, 1, u""));
    EXPECT_FALSE(scanner.occurs(kId, bytes, 1, u""));
    EXPECT_FALSE(scanner.isOpen());
}

TEST_F(CapturedTextStoreTest, FailedFinishLeavesNoStore)
{
    for (CapturedTextWriter::Step failing :
         {CapturedTextWriter::Step::Write, CapturedTextWriter::Step::Commit}) {
        SCOPED_TRACE(int(failing));
        CapturedTextWriter writer;
        writer.setFailurePoint([&](CapturedTextWriter::Step step) { return step == failing; });
        ASSERT_TRUE(writer.begin(storePath()));
        writer.append(u"some text");
        EXPECT_FALSE(writer.finish());
        EXPECT_EQ(tempEntries(), QStringList());
    }
}

TEST_F(CapturedTextStoreTest, BlockedRenameNamesFallBack)
{
    // A name that cannot be freed (a folder with a file inside) is passed over.
    struct Case
    {
        const char *name;
        int blocked;   // how many of "_", "_1", ... "_100" are taken
    };
    for (const Case &c : {Case{"first name taken", 1}, Case{"all 101 names taken", 101}}) {
        SCOPED_TRACE(c.name);
        QStringList blockers;
        for (int n = 0; n < c.blocked; ++n) {
            const QString name = storePath() + '_' + (n == 0 ? QString() : QString::number(n));
            ASSERT_TRUE(writeFile(name + "/keep", "x"));
            blockers.append(QFileInfo(name).fileName());
        }
        const QByteArray bytes = writeStore({"abc"});
        EXPECT_EQ(bytes, "[TxtSize]\r\nSize=34\r\n5;          \r\n\r\nabc\r\n\r\n");
        QStringList expected = blockers;
        expected.append(QFileInfo(storePath()).fileName());
        expected.sort();
        EXPECT_EQ(tempEntries(), expected);
        for (const QString &blocker : blockers)
            QDir(catalogue.tempFolder + blocker).removeRecursively();
    }
}

