// Writes the seed corpora of the fuzz targets with the tests' fixture writers:
// fuzz_corpus_writer <corpus folder>.

#include "ArchiveFixtures.h"
#include "scan/DiscImages.h"
#include "scan/ScanFixtures.h"

#include "common/ProfileFile.h"
#include "store/BookmarkFile.h"
#include "store/CapturedTextStore.h"
#include "store/KeywordList.h"
#include "store/Mp3TagStore.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString g_root;

void seed(const char *target, const char *name, const QByteArray &bytes)
{
    const QString folder = g_root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    writeFile(folder + QLatin1Char('/') + QLatin1String(name), bytes);
}

// Sector records as the disc descriptor target reads them: a 16-bit sector number,
// then the sector. Only sectors that hold something are written.
QByteArray sectorRecords(const SectorReader &reader, qint64 count)
{
    QByteArray out;
    for (qint64 s = 16; s < count; ++s) {
        const std::optional<QByteArray> sector = reader.readSector(s);
        if (!sector || sector->count('\0') == sector->size())
            continue;
        out.append(char(s & 0xFF)).append(char(s >> 8)).append(*sector);
    }
    return out;
}

void writeStoreSeeds()
{
    DiscRecord record;
    record.name = QStringLiteral("Photos 2004 <.02.>");
    record.keywordCodes = QStringLiteral("|3|7|");
    record.description = QStringLiteral("Line one\r\nLine two");
    record.fields = {{QStringLiteral("Lieu"), QStringLiteral("Paris")}};
    record.volumeLabel = QStringLiteral("PHOTOS");
    record.burnDate = 38000.5;
    record.totalSize = 123456789;
    record.fileCount = 42;
    seed("RecordText", "record", recordText(record, {{QStringLiteral("Vacances"), 3}}).toUtf8());

    std::vector<FolderRecord> folders(3);
    folders[1] = {QStringLiteral("Docs"), 0, 38000.25, QStringLiteral("Mes documents"), 0};
    folders[2] = {QStringLiteral("été"), 1, 0, {}, 1};
    seed("FolderFile", "folders", TreeFiles::folderFileBytes(folders));

    std::vector<FileRecord> files(3);
    files[0] = {QStringLiteral("a.txt"), 1, 12, 38000.1, {QStringLiteral("user"), QStringLiteral("auto"), {}}, 1};
    files[1] = {QStringLiteral("b.zip"), 2, 4000, 38001, {}, -1};
    files[2] = {
        QStringLiteral("inner.mp3"), TreeFiles::archiveLink(1), 300, 0, {{}, {}, QStringLiteral("sub\\dir")}, 0};
    seed("FileList", "files", TreeFiles::fileListBytes(files));
    seed("FileLineSplit", "files", TreeFiles::fileListBytes(files));

    seed("BookmarkFile", "bookmarks",
         BookmarkFile::serialize({{1, QStringLiteral("a.txt"), QStringLiteral("\\Docs"), 0, QStringLiteral("note"), 1},
                                  {2, QStringLiteral("Docs"), QStringLiteral("\\"), 1, {}, 0}}));
    seed("KeywordList", "keywords",
         KeywordList::format({{QStringLiteral("Vacances"), 3}, {QStringLiteral("Musique é"), 7}}));

    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("store.text"));
    CapturedTextWriter writer;
    writer.begin(store);
    writer.append(u"first text\r\nwith two lines");
    writer.append(u"");
    writer.append(u"third, é");
    writer.finish();
    seed("CapturedText", "store", readFile(store));

    Mp3TagStore tags;
    tags.set(3,
             {QStringLiteral("Title"), QStringLiteral("Album"), QStringLiteral("Artist"), QStringLiteral("Comment"),
              1999, QStringLiteral("4/12")});
    tags.set(9, {QStringLiteral("Other"), {}, {}, {}, 0, {}});
    seed("Mp3TagStore", "tags", tags.serialize());

    ProfileFile profile;
    profile.setValue(QStringLiteral("Options"), QStringLiteral("Langue"), QStringLiteral("1"));
    profile.setValue(QStringLiteral("Dossiers"), QStringLiteral("Data"), QStringLiteral("/home/a/VORN"));
    seed("ProfileFile", "profile", profile.serialize());
}

void writeArchiveSeeds()
{
    seed("Id3", "mp3", mp3Bytes(200));
    seed("PeIcons", "program",
         makePe({{1, {image(16, 'a', 40), image(32, 'b', 60)}}, {2, {image(48, 'c', 30)}, QStringLiteral("MAIN")}}));

    const std::vector<RawZipEntry> entries = {
        {"readme.txt", "hello\r\n"}, {"sub/song.mp3", mp3Bytes(100), -1, 0x800}, {"big.bin", "x", 5000000000LL}};
    seed("ZipMembers", "plain", makeRawZip(entries));
    seed("ZipMembers", "selfextracting", makeRawZip(entries, QByteArray("MZ").leftJustified(512, '\0'), true));
    seed("ZipMembers", "comment", makeRawZip({{"a", "b"}}, {}, false, "comment"));
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("deflated.zip"));
    if (makeZipFile(zip, {{QStringLiteral("doc.txt"), QByteArray(300, 'z')}, {QStringLiteral("folder/")}}))
        seed("ZipMembers", "deflated", readFile(zip));

    const QByteArray cab = makeCab({{"readme.txt", "hello"}, {"dir\\song.mp3", mp3Bytes(100)}});
    const QByteArray rar4 = makeRar4({{QStringLiteral("readme.txt"), "hello"},
                                      {QStringLiteral("dir\\été.mp3"), mp3Bytes(100), 0, false, false, true}});
    const QByteArray rar5 = makeRar5(
        {{QStringLiteral("readme.txt"), "hello", 1000000000}, {QStringLiteral("dir/song.mp3"), mp3Bytes(100)}});
    seed("CabHeader", "cab", cab);
    seed("RarHeader", "rar4", rar4);
    seed("RarHeader", "rar4solid", makeRar4({{QStringLiteral("a"), "1"}, {QStringLiteral("b"), "2"}}, true));
    seed("RarHeader", "rar5", rar5);
    seed("ArchiveStream", "cab", QByteArray(1, '\0') + cab);
    seed("ArchiveStream", "rar4", QByteArray(1, '\1') + rar4);
    seed("ArchiveStream", "rar5", QByteArray(1, '\1') + rar5);
}

// Small images made by genisoimage (when installed) from a tree with nested folders,
// long and accented names and a text file, as the image target's sector records.
void writeImageSeeds()
{
    QTemporaryDir tree;
    QDir(tree.path()).mkpath(QStringLiteral("Docs/Deep"));
    writeFile(tree.filePath(QStringLiteral("readme.txt")), "Hello from the image\r\n");
    writeFile(tree.filePath(QStringLiteral("Docs/Deep/notes.txt")), "Deep notes");
    writeFile(tree.filePath(QStringLiteral("Docs/A rather long name, with accents \u00e9\u00fc.dat")), "odd");
    const struct
    {
        const char *name;
        QStringList options;
    } images[] = {{"joliet-rockridge", {QStringLiteral("-J"), QStringLiteral("-R")}},
                  {"rockridge", {QStringLiteral("-R")}},
                  {"plain", {}}};
    for (const auto &image : images) {
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("disc.iso"));
        if (!vorn::test::makeIsoImage(tree.path(), path, image.options))
            return;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(16 * kDiscSectorSize))
            return;
        QByteArray records;
        for (qint64 s = 16; s < 2048; ++s) {
            const QByteArray sector = file.read(kDiscSectorSize);
            if (sector.isEmpty())
                break;
            if (sector.count('\0') == sector.size())
                continue;
            records.append(char(s & 0xFF)).append(char(s >> 8)).append(sector);
        }
        seed("IsoImage", image.name, records);
    }
}

void writeOtherSeeds()
{
    SectorImage iso(40);
    iso.put(16, isoPrimary("DISC_LABEL"));
    iso.put(17, isoSupplementary(QStringLiteral("Disque été"), "%/E"));
    iso.put(18, isoTerminator());
    seed("DiscDescriptors", "joliet", sectorRecords(iso, 40));
    seed("DiscDescriptors", "udf", sectorRecords(*udfImage(), 300));

    writeImageSeeds();

    seed("Wildcard", "star", QByteArray("*.txt\0readme.txt", 16));
    seed("Wildcard", "mixed", QByteArray("a?[0-9]*b*c\0ax5yybzzc", 21));
    seed("Wildcard", "set", QByteArray("[!a-c]#*[é-ü]\0d7xxü", 20));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_corpus_writer <corpus folder>\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    writeStoreSeeds();
    writeArchiveSeeds();
    writeOtherSeeds();
    return 0;
}
