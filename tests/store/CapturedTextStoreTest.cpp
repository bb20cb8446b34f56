#include "store/CapturedTextStore.h"

#include "store/DiscArchive.h"
#include "StoreFixture.h"

#include <algorithm>
#include <cstdint>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

const QString kId = QStringLiteral("-5");

struct CapturedTextStoreTest : test::StoreFixture
{
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
};

} // namespace

TEST_F(CapturedTextStoreTest, HeaderValueIsTheFixedPointOfItsOwnDigits)
{
    // count texts of `length` bytes stored (CRLF included), then one of `last`; the
    // length list line then has `line3` bytes and H must be `h`.
    const struct { int count, length, last, line3, h; } cases[] = {
        {0, 0, 0, 10, 32}, {16, 100, 12, 77, 99}, {17, 100, 0, 78, 101},   // 100 would be wrong
        {241, 100, 2, 976, 999}, {241, 100, 12, 977, 1001},                // four digits reached
    };
    for (const auto &c : cases) {
        QStringList texts;
        QByteArray lengths;
        std::vector<qint64> lengthList;
        for (int i = 0; i < c.count + (c.last ? 1 : 0); ++i) {
            lengthList.push_back(i < c.count ? c.length : c.last);
            texts.append(QString(int(lengthList.back()) - 2, QChar(u'a' + i % 26)));
            lengths += QByteArray::number(lengthList.back()) + ';';
        }
        lengths += "          ";
        EXPECT_EQ(lengths.size(), c.line3);
        const QByteArray header = "[TxtSize]\r\nSize=" + QByteArray::number(c.h) + "\r\n" + lengths + "\r\n\r\n";
        EXPECT_EQ(header.size(), c.h + 2) << c.line3;   // text 1 starts at H + 2
        EXPECT_EQ(writeStore(texts), header + texts.join("\r\n").toUtf8() + (texts.isEmpty() ? "" : "\r\n") + "\r\n") << c.line3;
        EXPECT_EQ(capturedTextHeaderValue(c.line3), c.h);
        EXPECT_EQ(capturedTextHeader(lengthList), header) << c.line3;
    }
}

TEST_F(CapturedTextStoreTest, LengthsCountBytesOfTheStoredUtf8AndTheReaderFindsEachText)
{
    const QStringList texts = {"Hello\r\nWorld\r\n", QStringLiteral("日本"), QStringLiteral("Ünïcödé 😀 end"), "x"};
    EXPECT_EQ(writeStore(texts).split('\n').value(2), "16;8;22;3;          \r");
    CapturedTextReader reader;
    for (int k = 1; k <= texts.size(); ++k)
        EXPECT_EQ(reader.read(catalogue, kId, k), texts[k - 1] + "\r\n") << "text " << k;
    for (int k : {-1, 0, 5, 1000})
        EXPECT_EQ(reader.read(catalogue, kId, k), QString()) << "k = " << k;

    // An older store: "café" in Windows-1252 and a text with its own CRLF, hand-counted.
    ASSERT_TRUE(writeFile(storePath(), "[TxtSize]\r\nSize=34\r\n6;8;        \r\n\r\ncaf\xe9\r\nab\r\ncd\r\n\r\n"));
    reader.forget();
    EXPECT_EQ(reader.read(catalogue, kId, 1), QStringLiteral("café\r\n"));
    EXPECT_EQ(reader.read(catalogue, kId, 2), "ab\r\ncd\r\n");
}

TEST_F(CapturedTextStoreTest, IndexParsing)
{
    const struct { const char *name; QByteArray head; qint64 firstText; std::vector<qint64> lengths; } cases[] = {
        {"one text", "[TxtSize]\r\nSize=34\r\n6;          \r\n\r\n", 36, {6}},
        {"blank pieces skipped", "[TxtSize]\r\nSize=40\r\n12; ;3;   \r\n", 42, {12, 3}},
        {"LF line ends", "[TxtSize]\nSize=40\n12;3;\n", 42, {12, 3}},
        {"size 0", "[TxtSize]\r\nSize=0\r\n6;          \r\n", 0, {}},
        {"other section", "[Other]\r\nSize=34\r\n6;          \r\n", 0, {}},
        {"only two lines", "[TxtSize]\r\nSize=34\r\n", 0, {}},
        {"no texts", "[TxtSize]\r\nSize=32\r\n          \r\n\r\n", 34, {}},
        {"size past any file", "[TxtSize]\r\nSize=9223372036854775807\r\n6;\r\n", 0, {}},
        {"lengths past any file", "[TxtSize]\r\nSize=40\r\n9223372036854775807;5;\r\n", 42, {INT64_MAX, 5}},
    };
    for (const auto &c : cases) {
        const CapturedTextIndex index = parseCapturedTextIndex(c.head);
        EXPECT_EQ(index.lengths, c.lengths) << c.name;
        EXPECT_EQ(index.starts.empty() ? 0 : index.starts.front(), c.lengths.empty() ? 0 : c.firstText) << c.name;
        EXPECT_TRUE(std::is_sorted(index.starts.begin(), index.starts.end())) << c.name;
    }
}

TEST_F(CapturedTextStoreTest, MissingWorkingCopyIsUnpackedFromTheDiscArchive)
{
    CapturedTextReader reader;
    EXPECT_TRUE(reader.read(catalogue, kId, 1).isEmpty());   // no store yet
    writeStore({"alpha", "beta"});
    ASSERT_TRUE(DiscArchive::pack(catalogue, kId, Member::Text, QString(), 6) && QFile::remove(storePath()));
    EXPECT_EQ(reader.read(catalogue, kId, 2), "beta\r\n");
    EXPECT_TRUE(QFile::exists(storePath()));
}

TEST_F(CapturedTextStoreTest, ScannerAnswersLikeTheReaderForEveryText)
{
    const QStringList texts = {"README\r\nInstall with SETUP.EXE", QStringLiteral("Überblick: ÄÖÜ"), "x",
                               QStringLiteral("日本語のテキスト"), "last line\r\n"};
    const QByteArray bytes = writeStore(texts);
    CapturedTextReader reader;
    for (const QString &needle : {QString("setup"), QStringLiteral("äöü"), QString("X"), QStringLiteral("テキ"),
                                  QString("LAST"), QString("missing"), QString()}) {
        CapturedTextScanner fromMemory;
        for (int k = 1; k <= texts.size(); ++k) {
            const bool occurs = reader.read(catalogue, kId, k).contains(needle, Qt::CaseInsensitive);
            EXPECT_EQ(fromMemory.occurs(kId, bytes, k, needle), occurs) << needle.toStdString() << k;
        }
        EXPECT_FALSE(fromMemory.isOpen());
    }
    const QByteArray empty = writeStore({});   // a disc without texts still has a store
    CapturedTextScanner scanner;
    EXPECT_FALSE(scanner.occurs(kId, empty, 1, u"") || scanner.isOpen());
}

TEST_F(CapturedTextStoreTest, ScannerFollowsAnyOrderOfCallsAndSwitchesDiscs)
{
    const QByteArray bytes = writeStore({"t1", "t2", "t3", "t4"});
    // Going back starts again from the first text; the store closes after the last one.
    const struct { int k; const char *text; bool openAfter; } steps[] = {
        {2, "t2\r\n", true}, {2, "t2\r\n", true}, {3, "t3\r\n", true}, {1, "t1\r\n", true},
        {9, "", true}, {4, "t4\r\n", false}, {3, "t3\r\n", true}, {0, "", true},
    };
    CapturedTextScanner fromMemory;
    for (const auto &step : steps) {
        EXPECT_EQ(fromMemory.text(kId, bytes, step.k), step.text) << step.k;
        EXPECT_EQ(fromMemory.isOpen(), step.openAfter) << step.k;
    }
    const QByteArray second = writeStore({"cherry", "plum", "fig"});
    CapturedTextScanner scanner;   // in-memory stores of two discs, one after the other
    EXPECT_EQ(QList<bool>({scanner.occurs("1", bytes, 1, u"T1"), scanner.occurs("2", second, 2, u"plum"),
                           scanner.occurs("1", bytes, 2, u"plum"), scanner.occurs("1", bytes, 2, u"t2")}),
              QList<bool>({true, true, false, true}));
}

TEST_F(CapturedTextStoreTest, FailedFinishLeavesNoStoreAndBlockedNamesAreSkipped)
{
    for (CapturedTextWriter::Step failing : {CapturedTextWriter::Step::Write, CapturedTextWriter::Step::Commit}) {
        CapturedTextWriter writer;
        writer.setFailurePoint([&](CapturedTextWriter::Step step) { return step == failing; });
        ASSERT_TRUE(writer.begin(storePath()));
        writer.append(u"some text");
        EXPECT_FALSE(writer.finish());
        EXPECT_EQ(tempEntries(), QStringList()) << int(failing);
    }
    // Names that cannot be freed (a folder with a file inside) are passed over: "_" alone, then all 101.
    for (int blocked : {1, 101}) {
        QStringList expected = {QFileInfo(storePath()).fileName()};
        for (int n = 0; n < blocked; ++n) {
            const QString name = storePath() + '_' + (n == 0 ? QString() : QString::number(n));
            ASSERT_TRUE(writeFile(name + "/keep", "x"));
            expected.append(QFileInfo(name).fileName());
        }
        expected.sort();
        EXPECT_EQ(writeStore({"abc"}), "[TxtSize]\r\nSize=34\r\n5;          \r\n\r\nabc\r\n\r\n") << blocked;
        EXPECT_EQ(tempEntries(), expected) << blocked;
        for (const QString &name : expected)
            QDir(temp.filePath(name)).removeRecursively();
    }
}
