#include "ArchiveFixtures.h"

#include "capture/Autorun.h"
#include "capture/PeIcons.h"
#include "scan/Volume.h"
#include "scan/VolumeDiscFiles.h"

namespace {

const QByteArray kDiscIcon = makeIco({image(32, 'i', 100)});

class AutorunTest : public ArchiveTest
{
protected:
    void SetUp() override { QDir().mkpath(m_temp); QDir().mkpath(m_disc + "/icons/sub"); }
    void put(const QString &relative, const QByteArray &bytes) { ASSERT_TRUE(writeFile(m_disc + u'/' + relative, bytes)); }
    void putAutorun(const QByteArray &iconValue) { put("autorun.inf", "[autorun]\r\nicon=" + iconValue + "\r\n"); }
    // The icon read from the host folder; read through the disc's volume (as for an
    // image) it must come out the same.
    QString read()
    {
        const QString viaFolder = ReadAutorunIcon(m_disc, QStringLiteral("-12345"), m_temp);
        const QByteArray bytes = readFile(expectedPath());
        QFile::remove(expectedPath());
        const QString viaVolume = ReadAutorunIcon(VolumeDiscFiles(HostVolume(m_disc)), QStringLiteral("-12345"), m_temp);
        EXPECT_EQ(viaVolume, viaFolder);
        EXPECT_EQ(readFile(expectedPath()), bytes);
        return viaFolder;
    }
    QString expectedPath() const { return QDir::toNativeSeparators(m_temp + QStringLiteral("/-12345.ico")); }
    // No icon: an empty answer and nothing written.
    void expectNone()
    {
        EXPECT_TRUE(read().isEmpty());
        EXPECT_TRUE(QDir(m_temp).entryList(QDir::Files).isEmpty());
    }
    const QString m_disc = file("disc");
    const QString m_temp = file("temp");
};

TEST(AutorunIconValue, FileAndIndex)
{
    struct Case { const char *value; const char *file; int index; bool given; };
    const Case cases[] = {
        {"disc.ico", "disc.ico", 0, false},
        {"setup.exe,1", "setup.exe", 1, true},
        {"setup.exe, 2", "setup.exe", 2, true},
        {"setup.exe,-101", "setup.exe", -101, true},
        {"setup.exe,x", "setup.exe", 0, true},
        {"\"my app.exe\",3", "my app.exe", 3, true},
        {"  \"disc.ico\"  ", "disc.ico", 0, false},
        {"a,b.ico", "a,b.ico", 0, false},   // ends with .ico: a file name as it stands
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const auto value = parseAutorunIconValue(QString::fromUtf8(c.value));
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->file, QString::fromUtf8(c.file));
        EXPECT_EQ(value->index, c.index);
        EXPECT_EQ(value->indexGiven, c.given);
    }
    EXPECT_FALSE(parseAutorunIconValue("").has_value());
    EXPECT_FALSE(parseAutorunIconValue("  ,1").has_value());
}

TEST_F(AutorunTest, IconFileIsCopiedAsItIsWhateverTheLetterCase)
{
    const char *cases[][3] = {   // autorun file name, its text, where the icon is
        {"Autorun.inf", "[autorun]\r\nicon=disc.ico\r\n", "disc.ico"},
        {"AUTORUN.INF", "[AutoRun]\r\nICON=Disc.Ico\r\n", "Disc.Ico"},
        {"autorun.inf", "[AUTORUN]\r\nopen=setup.exe\r\nIcon=ICONS\\disc.ico\r\n", "icons/DISC.ICO"},
        {"Autorun.inf", "[autorun]\nicon=\\icons\\disc.ico\n", "icons/disc.ico"},
        {"Autorun.inf", "[autorun]\nicon=icons/sub/../disc.ico\n", "icons/disc.ico"},
        {"Autorun.inf", "[autorun]\nicon=\"disc.ico\"\n", "disc.ico"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c[1]);
        QDir(m_disc).removeRecursively();
        QDir().mkpath(m_disc + "/icons/sub");
        put(c[0], c[1]);
        put(c[2], kDiscIcon);
        QFile::remove(expectedPath());
        EXPECT_EQ(read(), expectedPath());
        EXPECT_EQ(readFile(expectedPath()), kDiscIcon);
    }
}

TEST_F(AutorunTest, ProgramIconsByIndex)
{
    const IconGroupResource first{1, {image(32, 'a', 80)}};
    const IconGroupResource second{2, {image(16, 'b', 40), image(32, 'c', 90)}};
    put("Setup.EXE", makePe({first, second}));
    const std::pair<const char *, const std::vector<IconImage> *> cases[] = {
        {"setup.exe", &first.images}, {"SETUP.exe,1", &second.images}, {"setup.exe,-2", &second.images}, {"setup.exe,2", nullptr},
    };
    for (const auto &[value, images] : cases) {
        SCOPED_TRACE(value);
        QFile::remove(expectedPath());
        putAutorun(value);
        if (!images) {
            expectNone();
            continue;
        }
        EXPECT_EQ(read(), expectedPath());
        EXPECT_EQ(readFile(expectedPath()), makeIco(*images));
    }
}

// No icon when none is declared or readable, nor when the declared one lies outside the disc.
TEST_F(AutorunTest, NothingDeclaredReadableOrOnTheDiscGivesNoIcon)
{
    put("disc.ico", kDiscIcon);
    put("notes.txt", "not an icon");
    put("huge.ico", QByteArray(kMaxIconFileSize + 1, '\0'));
    const QString outside = write("outside.ico", kDiscIcon);
    ASSERT_TRUE(QFile::link(outside, m_disc + "/link.ico"));
    ASSERT_TRUE(QFile::link(m_dir.path(), m_disc + "/icons/up"));
    const QByteArray cases[] = {
        {},   // no autorun file
        "[setup]\r\nicon=disc.ico\r\n",
        "[autorun]\r\nicon=\r\n",
        "[autorun]\r\nicon=gone.ico\r\n",
        "[autorun]\r\nicon=disc.ico,1\r\n",   // an index on an icon file
        "[autorun]\r\nicon=notes.txt\r\n",
        "[autorun]\r\nicon=icons\r\n",        // a folder
        "[autorun]\r\nicon=huge.ico\r\n",
        "[autorun]\r\nicon=..\\outside.ico\r\n",
        "[autorun]\r\nicon=icons\\..\\..\\outside.ico\r\n",
        "[autorun]\r\nicon=link.ico\r\n",
        "[autorun]\r\nicon=icons\\up\\outside.ico\r\n",
        "[autorun]\r\nicon=C:\\outside.ico\r\n",
        // An absolute host path is read from the disc's root, where there is no such file.
        "[autorun]\r\nicon=" + QFile::encodeName(outside) + "\r\n",
    };
    for (const QByteArray &text : cases) {
        SCOPED_TRACE(text.toStdString());
        QFile::remove(m_disc + "/autorun.inf");
        if (!text.isEmpty())
            put("autorun.inf", text);
        expectNone();
    }
    // An autorun file that is a link to one outside the disc is not read.
    QFile::remove(m_disc + "/autorun.inf");
    ASSERT_TRUE(QFile::link(write("elsewhere.inf", "[autorun]\r\nicon=disc.ico\r\n"), m_disc + "/autorun.inf"));
    expectNone();
    // Nor can the identifier name another folder.
    QFile::remove(m_disc + "/autorun.inf");
    putAutorun("disc.ico,0");
    ASSERT_EQ(read(), expectedPath());
    QFile::remove(expectedPath());
    for (const char *identifier : {"", "..", "../x", "a\\b"})
        EXPECT_TRUE(ReadAutorunIcon(m_disc, QString::fromUtf8(identifier), m_temp).isEmpty()) << identifier;
    EXPECT_TRUE(QDir(m_temp).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(file("x.ico")));
}

} // namespace
