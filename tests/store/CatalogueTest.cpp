#include "store/Catalogue.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(Catalogue, MemberPathsAreBuiltFromTheFoldersAndTheIdentifier)
{
    Catalogue catalogue;
    catalogue.dataFolder = "/data/";
    catalogue.tempFolder = "/tmp/w/";
    EXPECT_EQ(catalogue.archivePath("-5"), "/data/-5.VORN");
    EXPECT_EQ(catalogue.workingCopy("12", ".fic"), "/tmp/w/12.fic");
    EXPECT_EQ(catalogue.keywordListPath(), "/data/MC.txt");
    EXPECT_EQ(catalogue.iconStorePath(), "/data/VORN.Icons");
    EXPECT_EQ(catalogue.discCount(), 0);
}
