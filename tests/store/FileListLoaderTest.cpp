#include "store/FileListLoader.h"

#include "StoreFixture.h"

using namespace vorn;

namespace {

const QByteArray Header = "\"/VORN_Rep/\",200,0,0,\"\",\"\"\r\n";
constexpr int Whole = FileListLoader::WholeFile;

QByteArray line(const char *name, int owner, qint64 size, int link = 0)
{
    return "\"" + QByteArray(name) + "\"," + QByteArray::number(owner) + "," + QByteArray::number(size)
           + ",36000.5,\"\"," + QByteArray::number(link) + "\r\n";
}

struct LoaderTest : test::StoreFixture
{
    DiscTree tree;
    FileListLoader loader;

    LoaderTest()
    {
        addDiscs({{"10", "a"}, {"-20", "b"}});
        catalogue.current = 1;
    }
    void writeList(const char *id, const QByteArray &bytes)
    {
        ASSERT_TRUE(test::writeFile(catalogue.workingCopy(id, ".fic"), bytes));
    }
    QString names() const
    {
        QStringList list;
        for (const FileRecord &file : tree.files)
            list << file.name;
        return list.join(u',');
    }
};

} // namespace

TEST_F(LoaderTest, ReadsOnlyAsFarAsTheFolderAskedFor)
{
    writeList("10", Header + line("a", 0, 1) + line("b", 0, 2) + line("c", 1, 4) + line("d", 3, 8) + line("e", 5, 16)
                        + line("f", 5, 32) + line("g", 6, 64));
    const struct { int target; qint64 result; int lines; qint32 lastOwner; } steps[] = {
        {0, -1, 3, 1}, {1, -1, 4, 3}, {3, -1, 5, 5},
        {3, -1, 5, 5},    // the last line read belongs to folder 5: nothing more is read
        {5, -1, 7, 6}, {Whole, 127, 7, 6},
        {0, 127, 7, 6},   // fully read: the total at once
    };
    for (const auto &s : steps) {
        const qint64 result = loader.load(catalogue, tree, s.target);
        EXPECT_EQ(QList<qint64>({result, loader.linesRead(), qint64(tree.files.size()), loader.lastOwner()}),
                  QList<qint64>({s.result, s.lines, s.lines, s.lastOwner})) << s.target;
    }
    EXPECT_EQ(names(), "a,b,c,d,e,f,g");
    EXPECT_EQ(catalogue.disc(1).fileCount, 7);

    writeList("-20", Header);   // header only: no files, statistics reset to 0
    catalogue.disc(2).fileCount = 99;
    EXPECT_EQ(loader.load(catalogue, tree, 0, 2), 0);
    EXPECT_TRUE(tree.files.empty());
    EXPECT_TRUE(loader.fullyRead() && catalogue.disc(2).fileListRead);
    EXPECT_EQ(catalogue.disc(2).fileCount, 0);
}

TEST_F(LoaderTest, StatisticsSumFilesArchivesMembersAndTexts)
{
    writeList("10", Header + line("a.zip", 0, 1000, ArchiveAtZero) + line("m1", ArchiveAtZero, 10)
                        + line("m2", ArchiveAtZero, 0, 3) + line("readme", 0, 300, 1) + line("empty", 1, 0)
                        + line("b.cab", 2, 5000000000LL, -5) + line("m3", -5, 7, 2)
                        + "\"last\",2,40,36000.5,\"\",0");   // no line end after the last line
    EXPECT_EQ(loader.load(catalogue, tree, Whole), 5000001341LL);
    ASSERT_EQ(tree.files.size(), 8u);
    EXPECT_EQ(tree.files[2].size, 1);   // a zero size reads as 1
    EXPECT_EQ(tree.files[7].name, QStringLiteral("last"));
    const DiscRecord &d = catalogue.disc(1);
    // total, files, archives, members, captured texts, their size, members' size
    EXPECT_EQ(QList<qint64>({d.totalSize, d.fileCount, d.archiveCount, d.memberCount, d.capturedCount, d.capturedSize,
                             loader.sums().memberSize}), QList<qint64>({5000001341LL, 5, 2, 3, 3, 300 + 1 + 7, 10 + 1 + 7}));
    EXPECT_FALSE(loader.failed());
}

TEST_F(LoaderTest, MissingOrCutFileKeepsWhatWasRead)
{
    for (int position : {3, 0}) {   // no such disc; no current disc
        catalogue.current = 0;
        EXPECT_EQ(loader.load(catalogue, tree, 0, position), 0);
        EXPECT_TRUE(loader.failed());
        loader.close();
    }
    catalogue.current = 1;
    EXPECT_EQ(loader.load(catalogue, tree, 0), 0);      // no working copy
    EXPECT_TRUE(loader.failed() && tree.files.empty());
    loader.close();
    writeList("10", Header + line("a", 0, 5) + line("b", 1, 6) + "\"c\",2,");
    EXPECT_EQ(loader.load(catalogue, tree, Whole), 11);
    EXPECT_TRUE(loader.failed());
    EXPECT_FALSE(loader.fullyRead() || catalogue.disc(1).fileListRead);
    EXPECT_EQ(catalogue.disc(1).fileCount, 0);
    EXPECT_EQ(names(), "a,b");
    // Later calls for the same disc stop at once; closing starts afresh.
    writeList("10", Header + line("x", 0, 1));
    EXPECT_EQ(loader.load(catalogue, tree, Whole), 11);
    EXPECT_EQ(names(), "a,b");
    loader.load(catalogue, tree, FileListLoader::Close);
    EXPECT_FALSE(loader.failed());
    EXPECT_EQ(loader.load(catalogue, tree, Whole), 1);
    EXPECT_EQ(names(), "x");
}

TEST_F(LoaderTest, SwitchingDiscsStartsTheNewDiscFromItsFirstLine)
{
    writeList("10", Header + line("a", 0, 1) + line("b", 2, 2) + line("c", 3, 4));
    writeList("-20", Header + line("x", 0, 100) + line("y", 0, 200));
    EXPECT_EQ(loader.load(catalogue, tree, 0), -1);
    EXPECT_EQ(names(), "a,b");
    EXPECT_EQ(loader.load(catalogue, tree, Whole, 2), 300);
    EXPECT_EQ(names() + '@' + QString::number(loader.position()), "x,y@2");
    EXPECT_EQ(QList<qint64>({catalogue.disc(1).totalSize, catalogue.disc(2).totalSize}), QList<qint64>({0, 300}));
    // Back to the current disc (position 0): read again from the start.
    EXPECT_EQ(loader.load(catalogue, tree, 2), -1);
    EXPECT_EQ(names() + '@' + QString::number(loader.position()), "a,b,c@1");
    EXPECT_EQ(loader.load(catalogue, tree, 3), 7);
    // A disc array re-sorted under the loader: the same position now holds another disc.
    std::swap(catalogue.discs[1], catalogue.discs[2]);
    EXPECT_EQ(loader.load(catalogue, tree, Whole, 1), 300);
    EXPECT_EQ(names(), "x,y");
}

TEST_F(LoaderTest, DamagedLinesNeverStopTheLoader)
{
    writeList("10", Header + "\"text\",abc,xyz,nodate,\"\",link\r\n\r\n\"short\",1\r\n"
                        + "\"wide\",999999,5,1,\"d\",0,\"extra\",\"more\"\r\n\"neg\",-77777,3,1,\"\",0\r\n"
                        + "\"open quote,2,3\r\n\"end\",2,1,0,\"\",0\r\n");
    EXPECT_EQ(loader.load(catalogue, tree, Whole), 1 + 1 + 5 + 1 + 1);   // the member "neg" not counted
    EXPECT_FALSE(loader.failed());
    EXPECT_EQ(names(), QStringLiteral("text,short,wide,neg,open quote,2,3,end"));
    EXPECT_EQ(tree.files[2].owner, 999999);
    EXPECT_EQ(catalogue.disc(1).memberCount, 1);
}

TEST_F(LoaderTest, LargeFileListCrossesReadBlocksIntact)
{
    constexpr int Count = 60000;   // some 4 MB: lines cut across read blocks
    QByteArray bytes = Header;
    qint64 total = 0;
    for (int i = 0; i < Count; ++i) {
        total += 1000 + i;
        bytes += "\"file number " + QByteArray::number(i) + ".txt\"," + QByteArray::number(i / 10) + ","
                 + QByteArray::number(1000 + i) + ",36892.5416666667,\"\xC2\xA3" "AD\xC2\xA4info "
                 + QByteArray::number(i) + "\",0\r\n";
    }
    writeList("10", bytes);
    EXPECT_EQ(loader.load(catalogue, tree, 100), -1);
    EXPECT_EQ(loader.linesRead(), 1011);
    EXPECT_EQ(loader.load(catalogue, tree, Whole), total);
    ASSERT_EQ(tree.files.size(), size_t(Count));
    for (int i : {0, 1010, 12345, 54321, Count - 1}) {
        const FileRecord &f = tree.files[size_t(i)];
        EXPECT_EQ(f.name + '|' + f.descriptions.automatic + '|' + QString::number(f.owner),
                  QStringLiteral("file number %1.txt|info %1|%2").arg(i).arg(i / 10));
    }
}

TEST_F(LoaderTest, EveryCutOfTheFileKeepsAPrefixOfItsRecords)
{
    const QByteArray full = Header + line("a.zip", 0, 10, ArchiveAtZero) + line("m", ArchiveAtZero, 3)
                            + "\"q\"\"x\",1,2,3,\"\xA3MD\xA4" "d\",1\r\n" + line("last", 2, 5);
    writeList("10", full);
    ASSERT_EQ(loader.load(catalogue, tree, Whole), 10 + 2 + 5);
    const std::vector<FileRecord> complete = tree.files;
    ASSERT_EQ(complete.size(), 4u);
    for (qsizetype cut = 0; cut < full.size(); ++cut) {
        writeList("10", full.left(cut));
        loader.close();
        tree.files.clear();
        loader.load(catalogue, tree, Whole);
        EXPECT_NE(loader.failed(), loader.fullyRead()) << cut;
        ASSERT_LE(tree.files.size(), complete.size()) << cut;
        for (size_t i = 0; i + 1 < tree.files.size(); ++i)
            EXPECT_EQ(tree.files[i].name, complete[i].name) << cut;
    }
}
