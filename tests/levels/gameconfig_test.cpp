#include "levels/gameconfig.h"
#include "levels/levelstore.h"

#include "platform/errors.h"

#include "messageof.h"
#include "plainuser.h"
#include "tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace qm;
using qmtest::messageOf;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

namespace {

std::string textOf(const std::string &path)
{
    std::vector<uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The file with the given lines, each ended by CR LF.
std::string crlf(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

const std::string kHead = crlf({"- Quillmoss configuration - this is an internal configuration file -",
                                "------------------ Please be carefull if modify! -------------------", ""});

class GameConfig : public ::testing::Test {
protected:
    void SetUp() override { initGameConfig(); }
    void TearDown() override { initGameConfig(); }
    TempDir dir;
};

} // namespace

TEST_F(GameConfig, TheWrittenFileHasTheExactLayout)
{
    cfgeddie = true;
    cfgshowtips = true;
    cfgmusic = false;
    cfgsounds = true;
    cfgspeed = 3;
    cfglevelsfile = "Sample.lev";
    cfgsongcount = 2;
    cfgsongs[1] = "intro.mod";
    cfgsongs[2] = "deep cave.mod";
    cfglevelsongcount = 2;
    cfglevelsongs = {};
    cfglevelsongs[0] = 1;
    cfglevelsongs[2] = 2;
    const std::string expected =
        kHead
        + crlf({"Character = Eddie;", "Show tips = true;", "Music enabled = false;", "Sounds enabled = true;",
                "Speed = 3;", "Levels File = Sample.lev;", "",
                "------------------------ Music configuration -----------------------", "",
                "Number of songs = 2;", "", "Song1 = intro.mod;", "Song2 = deep cave.mod;", "",
                "------------------------ Levels songs ------------------------------",
                "------------- At every level will be a song number -----------------",
                "----- 0 means random, the game will choose one of the songs --------", "",
                "Number of levels = 2;", "", "Menu = 1;", "Level1 = 0;", "Level2 = 2;", "",
                "--------------------- End of configuration file --------------------"});
    EXPECT_EQ(gameConfigText(), expected);

    writegameconfig(dir.path("Quillmoss.Cfg"));
    EXPECT_EQ(textOf(dir.path("Quillmoss.Cfg")), expected);
    initGameConfig();
    readgameconfig(dir.path("Quillmoss.Cfg"));
    EXPECT_TRUE(cfgeddie);
    EXPECT_TRUE(cfgshowtips);
    EXPECT_FALSE(cfgmusic);
    EXPECT_TRUE(cfgsounds);
    EXPECT_EQ(cfgspeed, 3);
    EXPECT_EQ(cfglevelsfile, "Sample.lev");
    EXPECT_EQ(cfgsongs[2], "deep cave.mod"); // spaces stay: only the one character after "=" goes
    EXPECT_EQ(cfglevelsongs[2], 2);
    EXPECT_EQ(gameConfigText(), expected);
}

TEST_F(GameConfig, UnusualValuesAreReadAsWrittenAndNormalised)
{
    // No space after "=": the first character of the value is dropped. A value may hold "=".
    // Flags compare exactly. Numbers keep their sign. Lines may end in LF alone.
    writeFile(dir.path("c.cfg"),
              kHead + "Character=Eddie;\r\nShow tips = True;\nMusic enabled = true;  trailing words\r\n"
                  "Sounds enabled = yes;\r\nSpeed = -4;\r\nLevels File = a=b.lev;\r\n\r\n-- music --\r\n\r\n"
                  "Number of songs = 0;\r\n\r\n\r\n-\r\n-\r\n-\r\n\r\nNumber of levels = -1;\r\n\r\n"
                  "Menu = 9;\r\n");
    readgameconfig(dir.path("c.cfg"));
    EXPECT_FALSE(cfgeddie);
    EXPECT_FALSE(cfgshowtips);
    EXPECT_TRUE(cfgmusic);
    EXPECT_FALSE(cfgsounds);
    EXPECT_EQ(cfgspeed, -4);
    EXPECT_EQ(cfglevelsfile, "a=b.lev");
    EXPECT_EQ(cfgsongcount, 0);
    EXPECT_EQ(cfglevelsongcount, -1);
    EXPECT_EQ(cfglevelsongs[0], 0); // with -1 levels not even the menu song is read

    std::string text = gameConfigText();
    EXPECT_NE(text.find("\r\nCharacter = Murphy;\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLevels File = a=b.lev;\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nNumber of songs = 0;\r\n\r\n\r\n------------------------ Levels songs"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nNumber of levels = -1;\r\n\r\nMenu = 0;\r\n\r\n---"), std::string::npos);
}

TEST_F(GameConfig, ALevelCountOfZeroReadsAndWritesOnlyTheMenuSong)
{
    cfglevelsongcount = 0;
    cfglevelsongs[0] = 4;
    cfglevelsongs[1] = 7;
    writegameconfig(dir.path("c.cfg"));
    std::string text = textOf(dir.path("c.cfg"));
    EXPECT_NE(text.find("Menu = 4;\r\n\r\n---"), std::string::npos);
    EXPECT_EQ(text.find("Level1"), std::string::npos);
    initGameConfig();
    readgameconfig(dir.path("c.cfg"));
    EXPECT_EQ(cfglevelsongs[0], 4);
    EXPECT_EQ(cfglevelsongs[1], 0);
}

TEST_F(GameConfig, ABadNumberStopsTheReadAndKeepsWhatWasRead)
{
    writeFile(dir.path("c.cfg"), kHead + crlf({"Character = Eddie;", "Show tips = true;", "Music enabled = true;",
                                               "Sounds enabled = true;", "Speed = fast;",
                                               "Levels File = x.lev;"}));
    EXPECT_EQ(messageOf([&] { readgameconfig(dir.path("c.cfg")); }), "'fast' is not a valid integer value");
    EXPECT_TRUE(cfgeddie);
    EXPECT_TRUE(cfgsounds);
    EXPECT_EQ(cfglevelsfile, "");
}

TEST_F(GameConfig, AFileThatEndsEarlyFailsInsteadOfWaiting)
{
    const std::string full = kHead + crlf({"Character = Eddie;", "Show tips = true;", "Music enabled = true;"});
    // Cut inside the search for "=", inside the value, and a character 26 before the ";".
    for (const std::string &text : {full.substr(0, kHead.size() + 5), full.substr(0, kHead.size() + 14),
                                    kHead + "Character = Ed\x1a" "die;\r\n", std::string()}) {
        initGameConfig();
        writeFile(dir.path("c.cfg"), text);
        EXPECT_EQ(messageOf([&] { readgameconfig(dir.path("c.cfg")); }), "Read beyond end of file");
        EXPECT_FALSE(cfgeddie);
    }
    writeFile(dir.path("c.cfg"), full);
    EXPECT_EQ(messageOf([&] { readgameconfig(dir.path("c.cfg")); }), "Read beyond end of file");
    EXPECT_TRUE(cfgeddie);
    EXPECT_TRUE(cfgmusic);
}

TEST_F(GameConfig, MoreThanAHundredSongsAndLevelsKeepTheFirstHundred)
{
    std::string text = kHead + crlf({"Character = Murphy;", "Show tips = false;", "Music enabled = false;",
                                     "Sounds enabled = false;", "Speed = 1;", "Levels File = L.lev;", "", "-",
                                     "", "Number of songs = 150;", ""});
    for (int k = 1; k <= 150; ++k)
        text += "Song" + std::to_string(k) + " = s" + std::to_string(k) + ";\r\n";
    text += crlf({"", "-", "-", "-", "", "Number of levels = 120;", "", "Menu = 5;"});
    for (int k = 1; k <= 120; ++k)
        text += "Level" + std::to_string(k) + " = " + std::to_string(k) + ";\r\n";
    writeFile(dir.path("c.cfg"), text);
    readgameconfig(dir.path("c.cfg"));
    EXPECT_EQ(cfgsongcount, 100);
    EXPECT_EQ(cfgsongs[100], "s100");
    EXPECT_EQ(cfglevelsongcount, 100);
    EXPECT_EQ(cfglevelsongs[0], 5);
    EXPECT_EQ(cfglevelsongs[100], 100);
    std::string written = gameConfigText();
    EXPECT_NE(written.find("Song100 = s100;"), std::string::npos);
    EXPECT_EQ(written.find("Song101"), std::string::npos);
    EXPECT_EQ(written.find("Level101"), std::string::npos);
}

TEST_F(GameConfig, AMissingFileIsReportedAndWritingCreatesItFromTheStartValues)
{
    gamedir = dir.path() + "/";
    EXPECT_EQ(messageOf([] { readgameconfig(); }), "File not found");
    cfglevelsfile = "Chosen.lev";
    writegameconfig();
    std::string text = textOf(dir.path("Quillmoss.Cfg"));
    EXPECT_NE(text.find("Character = Murphy;\r\nShow tips = false;"), std::string::npos);
    EXPECT_NE(text.find("Levels File = Chosen.lev;"), std::string::npos);
}

TEST_F(GameConfig, TheGamesFileIsFoundInAnyLetterCase)
{
    gamedir = dir.path() + "/";
    cfgspeed = 8;
    writegameconfig(dir.path("QUILLMOSS.CFG"));
    initGameConfig();
    readgameconfig();
    EXPECT_EQ(cfgspeed, 8);
    cfgspeed = 9;
    writegameconfig();
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"QUILLMOSS.CFG"});
}

// Run as a user whom the modes bind: root writes everywhere.
TEST_F(GameConfig, AnUnchangedFileInADirectoryTheUserCannotWriteIsNotWrittenAgain)
{
    if (!qmtest::runsAsPlainUser())
        return;
    namespace fs = std::filesystem;
    cfglevelsfile = "Sample.lev";
    const std::string path = dir.path("Quillmoss.Cfg");
    writegameconfig(path);
    const std::string before = textOf(path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                                    | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    EXPECT_EQ(messageOf([&] { writegameconfig(path); }), "(no error)");
    cfglevelsfile = "Other.lev"; // a needed write still fails with its message, the file untouched
    EXPECT_EQ(messageOf([&] { writegameconfig(path); }), "File access denied");
    EXPECT_EQ(textOf(path), before);
}
