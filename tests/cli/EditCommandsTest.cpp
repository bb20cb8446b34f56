#include "CliTestSupport.h"

#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;
using test::CliRun;

TEST(CliEditCommands, ChangeOneDiscAndRefuseBadInputWithoutTouchingTheArchive)
{
    test::IsolatedSettings settings;
    setLanguageOffset(0);
    QTemporaryDir disc, data;
    ASSERT_TRUE(test::writeFile(disc.filePath("Sub/b.txt"), "b"));
    const QStringList base{"--data", data.path()};
    for (const char *id : {"5", "6"})
        ASSERT_EQ(CliRun(base + QStringList{"catalog", disc.path(), "--id", id, "--name", QString("Disc ") + id}).code,
                  0);
    const QByteArray before = test::readFile(data.filePath("5.VORN"));

    struct Case { QStringList args; int code; QString out; };
    const Case refused[] = {
        {{"catalog", disc.path(), "--id", "7", "--name", "x\nDES=evil"}, 2, ""},
        {{"catalog", disc.path(), "--id", "0", "--name", "Zero"}, 2, ""},
        {{"rename", "5", "disc 6"}, 2, ""},
        {{"rename", "5", "a\tb"}, 2, ""},
        {{"rename", "0", "x"}, 2, ""},
        {{"rename", "77", "x"}, 2, ""},
        {{"delete", "5"}, 1, ""},
        {{"keywords", "5", "--remove", "Rock"}, 2, ""},
        {{"keywords", "5", "--add", "a;b"}, 2, ""},
        {{"bookmark", "5", "nothing\\"}, 2, ""},
        {{"bookmark", "5", "Sub\\", "--remove", "--description", "x"}, 2, ""},
    };
    for (const Case &c : refused)
        EXPECT_EQ(CliRun(base + c.args).code, c.code) << c.args.join(' ').toStdString();
    EXPECT_EQ(test::readFile(data.filePath("5.VORN")), before);
    EXPECT_FALSE(QFile::exists(data.filePath("7.VORN")));

    const Case done[] = {
        {{"rename", "5", "Albums"}, 0, ""},
        {{"delete", "6", "--yes"}, 0, ""},
        {{"describe", "5", "Line one\nLine two"}, 0, ""},
        {{"describe", "5"}, 0, "Line one\nLine two\n"},
        {{"keywords", "5", "--add", "Jazz", "--add", "Live"}, 0, "Jazz;Live\n"},
        {{"keywords", "5", "--remove", "jazz"}, 0, "Live\n"},
        {{"bookmark", "5", "sub\\", "--description", "first"}, 0, ""},
        {{"bookmark", "5", "Sub\\", "--description", "again"}, 0, ""},
        {{"bookmark", "5", "Sub\\b.txt"}, 0, ""},
        {{"bookmark", "5", "Sub\\b.txt", "--remove"}, 0, ""},
        {{"list"}, 0, "5\tAlbums\t\tLive\n"},
        {{"bookmarks"}, 0, "Sub\tAlbums\t\t\tagain\n"},
    };
    for (const Case &c : done) {
        const CliRun run(base + c.args);
        EXPECT_EQ(run.code, c.code) << c.args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString()) << c.args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(data.filePath("6.VORN")));
}
