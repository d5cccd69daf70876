#include "platform/files.h"

#include "tempdir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using qmtest::TempDir;
using qmtest::writeFile;

TEST(FileExists, FindsEntriesOfEveryKind)
{
    TempDir dir;
    writeFile(dir.path("Levels.lev"), std::string("x"));
    ::mkdir(dir.path("sub").c_str(), 0755);
    ::symlink("nowhere", dir.path("dangling").c_str());
    writeFile(dir.path("hidden.dxg"), std::string());
    ::chmod(dir.path("hidden.dxg").c_str(), 0);

    EXPECT_TRUE(qm::fileexists(dir.path("Levels.lev")));
    EXPECT_TRUE(qm::fileexists(dir.path("sub")));
    EXPECT_TRUE(qm::fileexists(dir.path("dangling")));
    EXPECT_TRUE(qm::fileexists(dir.path("hidden.dxg")));
    EXPECT_FALSE(qm::fileexists(dir.path("other.lev")));
    EXPECT_FALSE(qm::fileexists(dir.path("nodir/Levels.lev")));
}

TEST(FileExists, EmptyNamesAndNamesEndingInASeparatorDoNotExist)
{
    TempDir dir;
    ::mkdir(dir.path("sub").c_str(), 0755);
    EXPECT_FALSE(qm::fileexists(""));
    EXPECT_FALSE(qm::fileexists(dir.path("sub") + "/"));
    EXPECT_FALSE(qm::fileexists(dir.path()));
}

TEST(FileExists, WildcardsMatchAnyEntry)
{
    TempDir dir;
    writeFile(dir.path("forest.dxg"), std::string());
    EXPECT_TRUE(qm::fileexists(dir.path("*.dxg")));
    EXPECT_TRUE(qm::fileexists(dir.path("f?rest.dxg")));
    EXPECT_TRUE(qm::fileexists(dir.path("*")));
    EXPECT_FALSE(qm::fileexists(dir.path("*.lev")));
    EXPECT_FALSE(qm::fileexists(dir.path("forest.dx?x")));
}

TEST(FileExists, LetterCaseOnlyMattersWhenTheExactNameExists)
{
    TempDir dir;
    writeFile(dir.path("computer.dxg"), std::string("lower"));
    EXPECT_TRUE(qm::fileexists(dir.path("Computer.dxg")));
    EXPECT_TRUE(qm::fileexists(dir.path("COMPUTER.DXG")));
    EXPECT_EQ(qm::resolveDataFile(dir.path("Computer.dxg")), dir.path("computer.dxg"));

    writeFile(dir.path("Computer.dxg"), std::string("upper"));
    EXPECT_EQ(qm::resolveDataFile(dir.path("Computer.dxg")), dir.path("Computer.dxg"));
    EXPECT_EQ(qm::resolveDataFile(dir.path("missing.dxg")), dir.path("missing.dxg"));
}

TEST(ExecutableDirectory, IsTheTestProgramsDirectoryWithATrailingSlash)
{
    std::string dir = qm::executableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(qm::fileexists(dir + "platform_tests"));
}
