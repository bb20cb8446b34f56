#include "SearchSupport.h"

#include "common/LineFields.h"
#include "common/TextCodec.h"
#include "index/FastFields.h"
#include "index/IndexBuildThread.h"
#include "index/IndexObserver.h"
#include "index/RowBlock.h"
#include "index/SearchIndex.h"
#include "index/TextColumn.h"
#include "index/TextColumnScan.h"
#include "settings/StringTable.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <bit>
#include <limits>
#include <random>

using namespace vorn;
using namespace vorn::test;

namespace {

DiscSpec disc(const QString &identifier, const QString &word)
{
    DiscSpec d;
    d.identifier = identifier;
    d.name = "Disc " + identifier;
    d.folders = {{"Docs " + word, 0, day(2004, 6, 15), "", 0}};
    d.files = {{word + ".txt", 1, 100, day(2004, 6, 3), {}, 0},
               {"other.txt", 0, 200, day(2004, 6, 4), {"about " + word, "", ""}, 0}};
    return d;
}

class SearchIndexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        for (const char *id : {"1", "2", "3"})
            fixture.addDisc(disc(id, "alpha"));
    }

    IndexRefresh refresh(const Catalogue &catalogue, const QString &root)
    {
        IndexObserver quiet;
        return SearchIndex(catalogue.dataFolder, root).refresh(discIdentifiers(catalogue), quiet);
    }

    // Searches names and descriptions for "alpha" through the index and checks the
    // rows and summary against the archives'; returns the discs read from the index.
    int searchMatchesStreaming(const Catalogue &catalogue, const QString &root)
    {
        SearchCriteria criteria;
        criteria.pattern = "*alpha*";
        criteria.field = SearchField::NamesAndDescriptions;
        const SearchIndex index(catalogue.dataFolder, root);
        SearchOptions options;
        options.index = &index;
        RecordingObserver a;
        RecordingObserver b;
        const SearchResult streamed = search(catalogue, criteria, a, allDiscs(catalogue));
        const SearchResult indexed = search(catalogue, criteria, b, allDiscs(catalogue), options);
        EXPECT_EQ(streamed.names(), indexed.names());
        EXPECT_EQ(streamed.outcome.summary, indexed.outcome.summary);
        return indexed.outcome.discsFromIndex;
    }

    IsolatedSettings settings;
    SearchFixture fixture;
    QTemporaryDir cache;
};

} // namespace

// A part is used only while its archive keeps the size, time and inode it was made
// from; a refresh rebuilds exactly the discs that changed, came or went.
TEST_F(SearchIndexTest, RefreshFollowsTheArchivesDiscByDisc)
{
    Catalogue catalogue = fixture.open();
    EXPECT_EQ(refresh(catalogue, cache.path()).built, 3);
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 3);

    // Same bytes, same size, a new file and a new time: stale until refreshed.
    const QString archive = catalogue.archivePath("2");
    ASSERT_TRUE(QFile::copy(archive, archive + ".new"));
    ASSERT_TRUE(QFile::remove(archive) && QFile::rename(archive + ".new", archive));
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 2);
    // Re-catalogued with other names: the rows follow the archive, not the old part.
    fixture.addDisc(disc("3", "omega"));
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 1);
    IndexRefresh r = refresh(catalogue, cache.path());
    EXPECT_EQ(r.built, 2);
    EXPECT_EQ(r.unchanged, 1);
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 3);

    // One disc deleted, one added.
    ASSERT_TRUE(QFile::remove(catalogue.archivePath("1")));
    fixture.addDisc(disc("4", "alpha"));
    catalogue = fixture.open();
    r = refresh(catalogue, cache.path());
    EXPECT_EQ(r.built, 1);
    EXPECT_EQ(r.removed, 1);
    EXPECT_EQ(r.unchanged, 2);
    EXPECT_FALSE(QFile::exists(SearchIndex(catalogue.dataFolder, cache.path()).partPath("1")));
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 3);
}

// A damaged part, one of another format version or one cut short is searched from
// its archive with the same rows, and built again by the next refresh.
TEST_F(SearchIndexTest, DamagedPartsAreReadFromTheArchiveAndRebuilt)
{
    const Catalogue catalogue = fixture.open();
    const SearchIndex index(catalogue.dataFolder, cache.path());
    struct Damage { const char *what; qsizetype at; char value; qsizetype keep; };
    const Damage damages[] = {
        {"a flipped bit in a section", -40, 0x10, -1},
        {"a flipped bit in the header", 20, 0x01, -1},
        {"another format version", 8, 0x7f, -1},
        {"cut short", 0, 0, 90},
        {"empty", 0, 0, 0},
    };
    for (const Damage &damage : damages) {
        ASSERT_EQ(refresh(catalogue, cache.path()).status, IndexRefresh::Status::Done);
        QFile part(index.partPath("2"));
        ASSERT_TRUE(part.open(QIODevice::ReadOnly));
        QByteArray bytes = part.readAll();
        part.close();
        if (damage.keep >= 0)
            bytes.truncate(damage.keep);
        else
            bytes[damage.at < 0 ? bytes.size() + damage.at : damage.at] ^= damage.value;
        ASSERT_TRUE(writeFile(index.partPath("2"), bytes));
        EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 2) << damage.what;
        EXPECT_EQ(refresh(catalogue, cache.path()).built, 1) << damage.what;
        EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 3) << damage.what;
    }
}

// Nothing louder than a log line when the cache cannot be written or another copy
// holds the index's lock: the search reads the archives it has no fresh part for.
TEST_F(SearchIndexTest, UnwritableOrBusyCacheStillSearches)
{
    const Catalogue catalogue = fixture.open();
    const QString blocked = cache.path() + "/file";
    ASSERT_TRUE(writeFile(blocked, "not a folder"));
    EXPECT_EQ(refresh(catalogue, blocked).status, IndexRefresh::Status::Unwritable);
    EXPECT_EQ(searchMatchesStreaming(catalogue, blocked), 0);

    const SearchIndex index(catalogue.dataFolder, cache.path());
    ASSERT_TRUE(QDir().mkpath(index.folder()));
    QLockFile other(index.folder() + "/index.lock");
    ASSERT_TRUE(other.lock());
    EXPECT_EQ(refresh(catalogue, cache.path()).status, IndexRefresh::Status::Busy);
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 0);
    other.unlock();
    EXPECT_EQ(refresh(catalogue, cache.path()).built, 3);
}

// The window's background build: ended by itself it leaves every part built;
// cancelled at once it leaves an index whose parts are whole, which a later refresh
// completes.
TEST_F(SearchIndexTest, BackgroundBuildEndsOrIsCancelledCleanly)
{
    const Catalogue catalogue = fixture.open();
    const SearchIndex index(catalogue.dataFolder, cache.path());
    {
        IndexObserver observer;
        IndexBuildThread build(index, discIdentifiers(catalogue), observer);
        build.start();
        build.cancel();
        EXPECT_FALSE(build.isRunning());
    }
    // Whatever was built before the cancel is whole and fresh.
    const int built = searchMatchesStreaming(catalogue, cache.path());
    EXPECT_EQ(refresh(catalogue, cache.path()).unchanged, built);
    IndexObserver observer;
    IndexBuildThread build(SearchIndex(catalogue.dataFolder, cache.path()), discIdentifiers(catalogue), observer);
    build.start();
    build.wait();
    EXPECT_EQ(build.result().status, IndexRefresh::Status::Done);
    EXPECT_EQ(searchMatchesStreaming(catalogue, cache.path()), 3);
}

// The column scan skips to the k-th line feed as a plain loop does, across the
// boundaries of its 16- and 64-byte steps, in dense and sparse columns.
TEST(TextColumnScanTest, SkipPastMatchesAPlainLoop)
{
    std::mt19937 random(3);
    for (const int density : {1, 3, 40}) {
        QByteArray bytes(700, 'x');
        for (char &c : bytes)
            c = random() % density == 0 ? '\n' : 'a';
        for (qsizetype from = 0; from < 130; from += 7) {
            for (qsizetype k = 1; k < 300; k += 5) {
                qsizetype expected = bytes.size();
                for (qsizetype i = from, left = k; i < bytes.size(); ++i) {
                    if (bytes[i] == '\n' && --left == 0) {
                        expected = i + 1;
                        break;
                    }
                }
                ASSERT_EQ(scan::skipPast(bytes.constData(), from, bytes.size(), k, '\n'), expected)
                    << density << " " << from << " " << k;
            }
        }
    }
}

// The build's number readers give exactly what the shared readers give: the plain
// forms they read themselves (digits eight at a time), and every form they hand on.
TEST(FastFieldsTest, SameValuesAsTheSharedReaders)
{
    QList<QByteArray> texts = {"0", "7", "-12", "38000.5", "38000.1234567890", "123456789012345", "1234567890123456",
                               "12345678.9", "00012.50", "1.", ".5", "1e5", "-3.5", " 5", "5 ", "1.2.3", "",
                               "-", "99999999999999999", "123456789012345678", "-123456789012345678",
                               "1234567890123456789", "12345a78", "1234567/", "1234567:", "12a4", "123/",
                               "1:34", "5 67", "9\xb9" "12", "37055.57607638\xb9"};
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        QByteArray text;
        const int digits = 1 + int(random() % 17);
        for (int d = 0; d < digits; ++d)
            text += char('0' + random() % 10);
        if (random() % 2)
            text.insert(int(random() % (text.size() + 1)), '.');
        if (random() % 4 == 0)
            text.prepend('-');
        texts << text;
    }
    for (const QByteArray &text : texts) {
        const double fast = fastNumber(text);
        const double shared = parseFieldNumber(text);
        ASSERT_EQ(std::bit_cast<quint64>(fast), std::bit_cast<quint64>(shared)) << text.constData();
        ASSERT_EQ(fastInteger(text), parseFieldInteger(text)) << text.constData();
    }
}

// The build splits plain file-list lines itself: every line it takes gives the fields
// LineFields gives, and the shapes a catalogue writes are taken.
TEST(FastFieldsTest, PlainLinesSplitAsLineFieldsSplitsThem)
{
    const QList<QByteArray> quoted = {"\"a b.txt\"", "\"\"", "\"x,y\"", "\"d\xc3\xa9j\xc3\xa0\""};
    const QList<QByteArray> plain = {"12", "-3", "37055.5760763889", "", "0"};
    const QList<QByteArray> odd = {" 7", "8 ", "\t", "\"q\" ", "\"q\"x", "\"", ",", " \"s\"", "x\"y"};
    std::mt19937 random(3);
    const auto pick = [&](const QList<QByteArray> &usual) {
        const QList<QByteArray> &from = random() % 6 == 0 ? odd : usual;
        return from[qsizetype(random() % from.size())];
    };
    int taken = 0;
    for (int i = 0; i < 20000; ++i) {
        QByteArray line = pick(quoted);
        for (int k = 1; k < 6; ++k)
            line += ',' + pick(k == 4 ? quoted : plain);
        if (random() % 8 == 0)
            line += ',' + pick(plain);
        QByteArrayView fields[6];
        if (!splitPlainFileLine(line, fields))
            continue;
        ++taken;
        const LineFields expected(line);
        for (int k = 0; k < 6; ++k)
            ASSERT_EQ(fields[k], expected.raw(k)) << line.constData() << " field " << k;
    }
    EXPECT_GT(taken, 1000);
    for (const char *line : {"\"a.txt\",0,12,37055.5760763889,\"\",0", "\"b c\",3,0,0,\"note, more\",-2"}) {
        QByteArrayView fields[6];
        EXPECT_TRUE(splitPlainFileLine(line, fields)) << line;
    }
}

// Every record of a block comes back exactly, whatever the widths its fields need:
// none, a few bits, all 64 (sizes and links at the ends of their ranges), and dates
// near whole seconds, far from them, negative or not numbers at all.
TEST(RowBlockTest, EveryRecordComesBackExactly)
{
    std::mt19937_64 random(17);
    const std::vector<double> oddDates = {0.0, -0.0, -36000.25, 1e-300, 1e7 + 0.5, 37055.57607638891,
                                          std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(), 45000.99999999999};
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + int(random() % 64);
        const int spread = int(random() % 5);
        const auto count = static_cast<size_t>(n);
        std::vector<qint32> owners(count), links(count);
        std::vector<qint64> sizes(count);
        std::vector<double> dates(count);
        for (size_t i = 0; i < count; ++i) {
            owners[i] = spread == 0 ? 7 : qint32(random() >> (spread == 4 ? 32 : 50));
            links[i] = spread == 4 && i % 2 ? std::numeric_limits<qint32>::min() : qint32(random() % 3) - 1;
            sizes[i] = spread == 4 ? qint64(random()) : qint64(random() >> (10 + 12 * spread));
            dates[i] = spread == 3 && random() % 4 == 0
                ? oddDates[random() % oddDates.size()]
                : double(9000 + random() % 40000) + double(random() % 86400) / 86400.0;
        }
        const QByteArray block = RowBlock::encode(owners.data(), links.data(), sizes.data(), dates.data(), n);
        for (int i = 0; i < n; ++i) {
            RowBlock::Fields fields;
            ASSERT_TRUE(RowBlock::decode(block, n, i, fields)) << round << " " << i;
            ASSERT_EQ(fields.owner, owners[size_t(i)]);
            ASSERT_EQ(fields.link, links[size_t(i)]);
            ASSERT_EQ(fields.size, sizes[size_t(i)]);
            ASSERT_EQ(std::bit_cast<quint64>(fields.date), std::bit_cast<quint64>(dates[size_t(i)]))
                << round << " " << i << " " << dates[size_t(i)];
        }
        RowBlock::Fields ignored;
        EXPECT_FALSE(RowBlock::decode(block.first(block.size() - 1), n, 0, ignored));
    }
}

// A byte above 127 anywhere, in a whole word or in the bytes after the last one, makes
// a text not plain ASCII (a Windows-1252 name would otherwise be kept undecoded).
TEST(TextColumnTest, AsciiTestSeesEveryByte)
{
    for (int length = 0; length <= 20; ++length) {
        const QByteArray plain(length, 'a');
        EXPECT_TRUE(isAscii(plain)) << length;
        for (int at = 0; at < length; ++at) {
            QByteArray text = plain;
            text[at] = char(0xe9);
            EXPECT_FALSE(isAscii(text)) << length << " " << at;
        }
    }
}

// A column read back, dense or sparse (mostly empty texts), finds the texts a plain
// search finds and gives every text back, by cursor and from where find saw them.
TEST(TextColumnTest, DenseAndSparseColumnsReadBackTheirTexts)
{
    std::mt19937 random(29);
    const QStringList pieces = {"ab", "AB", "x", "\u212a", "caf\u00e9", "b a"};
    for (const int emptyInTen : {0, 5, 9, 10}) {
        for (int round = 0; round < 30; ++round) {
            QStringList texts;
            TextColumn built;
            for (int i = int(random() % 80); i > 0; --i) {
                QString text;
                if (int(random() % 10) >= emptyInTen) {
                    for (int k = 1 + int(random() % 3); k > 0; --k)
                        text += pieces[qsizetype(random() % pieces.size())];
                }
                texts << text;
                ASSERT_TRUE(built.append(text));
            }
            QByteArray bytes;
            built.serialize(bytes);
            bytes.append(QByteArray(64, '\0')); // the padding a part's sections carry
            TextColumn column;
            ASSERT_TRUE(column.deserialize(QByteArrayView(bytes).first(bytes.size() - 64)));
            std::vector<quint32> found;
            std::vector<TextColumn::TextStart> starts;
            column.find("ab", found, &starts);
            std::vector<quint32> expected;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                if (texts[i].contains(u"ab", Qt::CaseInsensitive) || texts[i].contains(u'\u212a'))
                    expected.push_back(quint32(i));
            }
            ASSERT_EQ(found, expected) << emptyInTen << " " << round;
            TextColumn::Cursor cursor(column);
            for (qsizetype i = 0; i < texts.size(); i += 1 + qsizetype(random() % 3))
                ASSERT_EQ(QString::fromUtf8(cursor.text(quint32(i))), texts[i]) << i;
            TextColumn::Cursor jumping(column);
            for (const TextColumn::TextStart &start : starts) {
                jumping.moveTo(start);
                ASSERT_EQ(QString::fromUtf8(jumping.text(start.number)), texts[start.number]);
            }
        }
    }
}

// Both byte scans (sixteen and thirty-two bytes at a time) find every place a literal
// starts, ignoring ASCII case, and go on from where the caller says.
TEST(TextColumnScanTest, BothScansFindEveryPlace)
{
    std::mt19937 random(31);
    const QByteArray alphabet("aAbB\n1.\xe9z");
    for (int round = 0; round < 400; ++round) {
        QByteArray text;
        for (int i = int(random() % 200); i > 0; --i)
            text += alphabet[qsizetype(random() % alphabet.size())];
        const qsizetype length = 1 + qsizetype(random() % 4);
        const qsizetype from = text.size() > length ? qsizetype(random() % (text.size() - length)) : 0;
        const QByteArray literal = text.size() >= length ? text.mid(from, length).toLower() : QByteArray("ab");
        if (literal.contains('\xe9') || literal.contains('\xc9'))
            continue;
        std::vector<qsizetype> expected;
        for (qsizetype i = 0; i + literal.size() <= text.size(); ++i) {
            if (scan::sameIgnoringCase(text.constData() + i, literal))
                expected.push_back(i);
        }
        const QByteArray padded = text + QByteArray(64, '\0');
        const QByteArrayView view = QByteArrayView(padded).first(text.size());
        std::vector<qsizetype> found;
        auto hit = [&found](qsizetype at) {
            found.push_back(at);
            return at + 1;
        };
        scan::findAsciiIgnoringCaseSse2(view, literal, hit);
        ASSERT_EQ(found, expected) << text.toHex().constData() << " " << literal.constData();
#if defined(VORN_SCAN_AVX2)
        if (scan::hasAvx2()) {
            found.clear();
            scan::findAsciiIgnoringCaseAvx2(view, literal, hit);
            ASSERT_EQ(found, expected) << text.toHex().constData() << " " << literal.constData();
        }
#endif
    }
}
