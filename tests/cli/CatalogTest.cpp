#include "CliTestSupport.h"

#include "common/ProfileFile.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

#include <utime.h>

using namespace vorn;
using test::CliRun;

namespace {

// Members of an archive and its comment, read with libzip directly.
struct ArchiveContent
{
    QHash<QString, QByteArray> members;
    QByteArray comment;
};

ArchiveContent readArchive(const QString &path)
{
    ArchiveContent content;
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return content;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        content.members.insert(QString::fromUtf8(stat.name), data);
    }
    int length = 0;
    const char *comment = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_RAW);
    content.comment = QByteArray(comment, length);
    zip_discard(archive);
    return content;
}

QByteArray mp3WithTags()
{
    QByteArray body;
    for (const auto &[id, text] : {std::pair{"TIT2", "Title"}, {"TPE1", "Artist"}}) {
        const QByteArray value = QByteArray(1, '\0').append(text);
        body.append(id).append(3, '\0').append(char(value.size())).append(2, '\0').append(value);
    }
    QByteArray file("ID3\x03\x00\x00\x00\x00\x00", 9);
    file.append(char(body.size())).append(body).append(QByteArray(64, '\0'));
    return file;
}

void stamp(const QString &path)
{
    // 15/06/2004 10:30:00 local time is day 38153.4375.
    const qint64 when = QDateTime(QDate(2004, 6, 15), QTime(10, 30)).toSecsSinceEpoch();
    utimbuf times{when, when};
    utime(QFile::encodeName(path).constData(), &times);
}

} // namespace

TEST(CliCatalog, WritesTheDiscFilesByteForByte)
{
    test::IsolatedSettings settings;
    setLanguageOffset(0);
    QTemporaryDir disc;
    QTemporaryDir data;
    ASSERT_TRUE(test::writeFile(disc.filePath("a.txt"), "Hi\r\nthere"));
    ASSERT_TRUE(test::writeFile(disc.filePath("D/b.mp3"), mp3WithTags()));
    ASSERT_TRUE(test::writeFile(disc.filePath(".vorn-volume"), "label=LBL\nserial=-42\n"));
    for (const char *path : {"a.txt", "D/b.mp3", "D"})
        stamp(disc.filePath(QString::fromLatin1(path)));
    const QByteArray mp3Size = QByteArray::number(mp3WithTags().size());

    const CliRun run({"--data", data.path(), "catalog", disc.path(), "--name", "T", "--options", "3",
                      "--max-kb", "10"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "-42\n");

    const ArchiveContent archive = readArchive(data.filePath("-42.VORN"));
    EXPECT_EQ(archive.comment, "NOM=T\r\nICO=\r\nEXR=0\r\nVOL=LBL\r\nMC_=\r\nFDN=\r\nFDV=\r\nGRV=\r\nDES=");
    EXPECT_EQ(archive.members["-42.rep"],
              "\"/VORN_Rep/\",200,0,\"\",\"\"\r\n"
              "\"D\",0,38153.4375,\"\",\"\"\r\n");
    EXPECT_EQ(archive.members["-42.fic"],
              "\"/VORN_Rep/\",200,0,0,\"\",\"\"\r\n"
              "\"a.txt\",0,9,38153.4375,\"\xc2\xa3" "AD\xc2\xa4Hi\",1\r\n"
              "\"b.mp3\",1," + mp3Size + ",38153.4375,\"\xc2\xa3" "AD\xc2\xa4[MP3] Artist : Title\",0\r\n");
    EXPECT_EQ(archive.members["-42.text"],
              "[TxtSize]\r\nSize=35\r\n11;          \r\n\r\nHi\r\nthere\r\n\r\n");
    ProfileFile tags;
    tags.parse(archive.members["-42.id3"]);
    EXPECT_EQ(tags.sections(), QStringList({"1"}));
    EXPECT_EQ(tags.value("1", "TIT"), "Title");
    EXPECT_EQ(tags.value("1", "ART"), "Artist");
    EXPECT_EQ(tags.keys("1").size(), 6);
    EXPECT_FALSE(archive.members.contains("-42.ico"));
}

TEST(CliCatalog, NamesAreUniqueAndAKnownDiscIsUpdated)
{
    test::IsolatedSettings settings;
    setLanguageOffset(0);
    QTemporaryDir disc;
    QTemporaryDir other;
    QTemporaryDir data;
    ASSERT_TRUE(test::writeFile(disc.filePath("one.dat"), "1"));
    ASSERT_TRUE(test::writeFile(other.filePath("two.dat"), "2"));
    // The disc names its own icon; it is stored with the disc.
    const QByteArray icon = QByteArray("\0\0\1\0\1\0", 6).append(QByteArray(60, 'i'));
    ASSERT_TRUE(test::writeFile(disc.filePath("AUTORUN.INF"), "[AutoRun]\r\nIcon=pics\\Disc.ico\r\n"));
    ASSERT_TRUE(test::writeFile(disc.filePath("Pics/DISC.ICO"), icon));

    const CliRun first({"--data", data.path(), "catalog", disc.path(), "--id", "5", "--name", "Photos",
                        "--keywords", "Jazz;Live"});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_EQ(readArchive(data.filePath("5.VORN")).members["5.ico"], icon);
    const CliRun clash({"--data", data.path(), "catalog", other.path(), "--id", "6", "--name", "PHOTOS"});
    EXPECT_EQ(clash.code, 1);
    EXPECT_TRUE(clash.err.contains(LoadText(344)));
    EXPECT_FALSE(QFile::exists(data.filePath("6.VORN")));

    ASSERT_TRUE(test::writeFile(disc.filePath("added.dat"), "3"));
    const CliRun update({"--data", data.path(), "catalog", disc.path(), "--id", "5"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    const CliRun list({"--data", data.path(), "list"});
    EXPECT_EQ(list.lines(), QStringList({"5\tPhotos\t\tJazz;Live"}));
    EXPECT_TRUE(readArchive(data.filePath("5.VORN")).members["5.fic"].contains("added.dat"));
    EXPECT_EQ(test::readFile(data.filePath("MC.txt")), "1,\"Jazz\"\r\n2,\"Live\"\r\n");

    struct Case { QStringList args; int code; };
    const Case cases[] = {
        {{"catalog"}, 2},
        {{"catalog", disc.path(), "--drive", "V", "--name", "x"}, 2},
        {{"catalog", disc.path(), "--id", "abc", "--name", "x"}, 2},
        {{"catalog", disc.path(), "--max-kb", "5000", "--name", "x"}, 2},
        {{"catalog", disc.path(), "--max-kb", "zz", "--name", "x"}, 2},
        {{"catalog", disc.path() + "/missing", "--name", "x"}, 1},
        {{"catalog", other.path(), "--id", "9"}, 2},   // a new disc needs a name
    };
    for (const Case &c : cases) {
        const CliRun bad(QStringList({"--data", data.path()}) + c.args);
        EXPECT_EQ(bad.code, c.code) << c.args.join(' ').toStdString();
        if (c.args.contains("--max-kb")) {
            EXPECT_TRUE(bad.err.contains("--max-kb takes a whole number from 0 to 1024")) << bad.err.toStdString();
        }
    }
}
