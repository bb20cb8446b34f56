#include "common/ProfileFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace vorn {
namespace {

TEST(ProfileFile, ParsesSectionsAndKeys)
{
    ProfileFile profile;
    profile.parse("orphan=ignored\r\n"
                  "[TxtSize]\r\n"
                  "Size=68\r\n"
                  "\r\n"
                  "; a comment=not a key\n"
                  "[12]\n"
                  "TIT=A = B \n"
                  "  ALB = spaced\r\n"
                  "noequals\r\n"
                  "=nokey\r\n"
                  "EMPTY=\r\n"
                  "tit=second TIT is ignored\r\n"
                  "[txtsize]\r\n"
                  "Extra=from a repeated section\r\n"
                  "[ 0 ]\r\n"
                  "YEA=1999");
    EXPECT_EQ(profile.sections(), QStringList({"TxtSize", "12", "0"}));
    EXPECT_EQ(profile.value("TXTSIZE", "size"), QStringLiteral("68"));
    EXPECT_EQ(profile.value("12", "TIT"), QStringLiteral("A = B "));
    EXPECT_EQ(profile.value("12", "alb"), QStringLiteral(" spaced"));
    EXPECT_EQ(profile.value("12", "EMPTY", "default"), QString(""));
    EXPECT_EQ(profile.value("12", "missing", "default"), QStringLiteral("default"));
    EXPECT_EQ(profile.value("nosection", "TIT", "d"), QStringLiteral("d"));
    EXPECT_EQ(profile.value("TxtSize", "Extra", "d"), QStringLiteral("d"));
    EXPECT_EQ(profile.value("0", "YEA"), QStringLiteral("1999"));
    EXPECT_EQ(profile.keys("12"), QStringList({"TIT", "ALB", "EMPTY"}));
    EXPECT_TRUE(profile.keys("none").isEmpty());
    EXPECT_FALSE(profile.hasSection("orphan"));
}

TEST(ProfileFile, DecodesEachLine)
{
    ProfileFile profile;
    profile.parse("\xEF\xBB\xBF[3]\r\nTIT=\xC3\xA9t\xC3\xA9\r\nART=B\xE9la\r\nCOM=\xC2\xA3 and \xA4\r\n");
    EXPECT_TRUE(profile.hasSection("3"));
    EXPECT_EQ(profile.value("3", "TIT"), QStringLiteral("été"));
    EXPECT_EQ(profile.value("3", "ART"), QStringLiteral("Béla"));
    EXPECT_EQ(profile.value("3", "COM"), QStringLiteral("Â£ and ¤"));
}

TEST(ProfileFile, WritesCrlfUtf8InOrder)
{
    ProfileFile profile;
    profile.setValue("7", "TIT", QStringLiteral("Été"));
    profile.setValue("7", "ALB", QStringLiteral("x=y"));
    profile.setValue("TxtSize", "Size", "0");
    profile.setValue("7", "tit", QStringLiteral("Summer"));    // same key, other case
    profile.setValue("7", "COM", QStringLiteral("two\r\nlines"));
    EXPECT_EQ(profile.serialize(),
              QByteArray("[7]\r\nTIT=Summer\r\nALB=x=y\r\nCOM=two  lines\r\n[TxtSize]\r\nSize=0\r\n"));
    profile.setValue("7", "TIT", QStringLiteral("Été"));
    EXPECT_EQ(profile.serialize().left(16), QByteArray("[7]\r\nTIT=\xC3\x89t\xC3\xA9\r\n"));
}

TEST(ProfileFile, RemovesSections)
{
    ProfileFile profile;
    profile.parse("[a]\r\nk=1\r\n[b]\r\nk=2\r\n[c]\r\nk=3\r\n");
    profile.removeSection("B");
    EXPECT_EQ(profile.sections(), QStringList({"a", "c"}));
    EXPECT_EQ(profile.value("c", "k"), QStringLiteral("3"));
    profile.removeSection("missing");
    EXPECT_EQ(profile.sections().size(), 2);
    profile.setValue("b", "k", "4");
    EXPECT_EQ(profile.sections(), QStringList({"a", "c", "b"}));
    EXPECT_EQ(profile.value("B", "K"), QStringLiteral("4"));
}

TEST(ProfileFile, RoundTripsThroughAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("1234.id3");

    ProfileFile written;
    for (int file = 0; file < 50; ++file) {
        const QString section = QString::number(file);
        written.setValue(section, "TIT", QStringLiteral("Titre n°%1 ; \"quoted\"").arg(file));
        written.setValue(section, "ALB", QStringLiteral(" leading and trailing "));
        written.setValue(section, "YEA", QString::number(1990 + file));
    }
    ASSERT_TRUE(written.save(path));
    EXPECT_EQ(test::readFile(path), written.serialize());

    ProfileFile read;
    ASSERT_TRUE(read.load(path));
    EXPECT_EQ(read.sections(), written.sections());
    for (const QString &section : written.sections()) {
        EXPECT_EQ(read.keys(section), written.keys(section));
        for (const QString &key : written.keys(section))
            EXPECT_EQ(read.value(section, key), written.value(section, key));
    }
    EXPECT_EQ(read.serialize(), written.serialize());
}

TEST(ProfileFile, UnreadableFileLeavesItEmpty)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProfileFile profile;
    profile.parse("[a]\r\nk=1\r\n");
    EXPECT_FALSE(profile.load(dir.filePath("missing.id3")));
    EXPECT_TRUE(profile.sections().isEmpty());
    EXPECT_FALSE(profile.hasSection("a"));
    EXPECT_FALSE(profile.load(dir.path()));   // a folder cannot be read as a file
    EXPECT_FALSE(profile.save(dir.filePath("no/such/folder/x.id3")));
}

} // namespace
} // namespace vorn
