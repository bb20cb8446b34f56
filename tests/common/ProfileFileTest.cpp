#include "common/ProfileFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace vorn {
namespace {

TEST(ProfileFile, ParsesSectionsAndKeys)
{
    ProfileFile profile;
    profile.parse("orphan=ignored\r\n[TxtSize]\r\nSize=68\r\n\r\n; a comment=not a key\n"
                  "[12]\nTIT=A = B \n  ALB = spaced\r\nnoequals\r\n=nokey\r\nEMPTY=\r\n"
                  "tit=second TIT is ignored\r\n[txtsize]\r\nExtra=from a repeated section\r\n"
                  "[ 0 ]\r\nYEA=1999");
    // Only the first of a repeated section or key counts; names and values keep their order.
    EXPECT_EQ(profile.serialize(), QByteArray("[TxtSize]\r\nSize=68\r\n[12]\r\nTIT=A = B \r\nALB= spaced\r\n"
                                              "EMPTY=\r\n[0]\r\nYEA=1999\r\n"));
    EXPECT_EQ(profile.keys("12"), QStringList({"TIT", "ALB", "EMPTY"}));
    EXPECT_EQ(profile.value("TXTSIZE", "size"), QStringLiteral("68"));
    EXPECT_EQ(profile.value("12", "alb"), QStringLiteral(" spaced"));
    EXPECT_EQ(profile.value("12", "EMPTY", "default"), QString(""));
    EXPECT_EQ(profile.value("12", "missing", "default"), QStringLiteral("default"));
    EXPECT_EQ(profile.value("nosection", "TIT", "d"), QStringLiteral("d"));
    EXPECT_TRUE(profile.keys("none").isEmpty());
    // Each line is decoded on its own: UTF-8 when valid, else Windows-1252; a BOM is skipped.
    profile.parse("\xEF\xBB\xBF[3]\r\nTIT=\xC3\xA9t\xC3\xA9\r\nART=B\xE9la\r\nCOM=\xC2\xA3 and \xA4\r\n");
    EXPECT_EQ(profile.sections(), QStringList({"3"}));
    EXPECT_EQ(profile.value("3", "TIT"), QStringLiteral("été"));
    EXPECT_EQ(profile.value("3", "ART"), QStringLiteral("Béla"));
    EXPECT_EQ(profile.value("3", "COM"), QStringLiteral("Â£ and ¤"));
}

TEST(ProfileFile, SetValueKeepsTheOrderAndReplacesKeysIgnoringCase)
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

TEST(ProfileFile, RoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("1234.id3");
    ProfileFile written;
    written.setValue("7", "TIT", QStringLiteral("Titre n°7 ; \"quoted\""));
    written.setValue("19", "ALB", QStringLiteral(" leading and trailing "));
    ASSERT_TRUE(written.save(path));
    EXPECT_EQ(test::readFile(path), written.serialize());
    ProfileFile read;
    ASSERT_TRUE(read.load(path));
    EXPECT_EQ(read.value("19", "alb"), QStringLiteral(" leading and trailing "));
    EXPECT_EQ(read.serialize(), written.serialize());

    // A file that cannot be read leaves the profile empty.
    EXPECT_FALSE(read.load(dir.filePath("missing.id3")));
    EXPECT_TRUE(read.sections().isEmpty());
    EXPECT_FALSE(read.load(dir.path()));   // a folder cannot be read as a file
    EXPECT_FALSE(read.save(dir.filePath("no/such/folder/x.id3")));
}

} // namespace
} // namespace vorn
