// Levels of the levels file played by the game's engine: imported whole, every recorded solution of
// the original levels still finishes its level; the kept solutions go to their own file and back.

#include "levels/gamelevel.h"
#include "levels/levelstore.h"
#include "levels/solutionsfile.h"
#include "levels/startsquare.h"
#include "levels/supaplexexport.h"
#include "levels/tiles.h"

#include "game/recording.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace qm;

namespace {

std::vector<std::string> solutionFiles()
{
    std::vector<std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(std::string(QM_SHARED_GAME_DIR) + "/solutions/00"))
        if (entry.path().extension() == ".sp")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> bytesOf(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(GameLevel, EverySolutionFinishesItsLevelImportedWhole)
{
    const std::vector<std::string> files = solutionFiles();
    ASSERT_EQ(files.size(), 334u);
    static tlevel level;
    for (const std::string &path : files) {
        const std::vector<uint8_t> bytes = bytesOf(path);
        const game::Recording recording = game::readRecording(bytes.data(), bytes.size());
        initNewLevel(level);
        importSupaplexRecordWhole(recording.record.data(), level);
        const game::ReplayResult result = game::replay(gameLevelOf(level), recording.input);
        EXPECT_TRUE(result.finished) << path << ": " << result.summary();
    }
}

TEST(GameLevel, TilesWithoutACounterpartPlayAsTheirRule)
{
    static tlevel level;
    initNewLevel(level);
    level.width = 5;
    level.height = 3;
    const int32_t tiles[] = {kTileWall, 17 /* locked door */, kTileBlock6x3, kTileEmpty, 13 /* gem */};
    for (int c = 1; c <= 5; ++c)
        level.cellAt(2, c)->tile = tiles[c - 1];
    level.startx = startPixelOf(4);
    level.starty = startPixelOf(2);
    const game::Level played = gameLevelOf(level);
    ASSERT_EQ(played.width, 5);
    // Hardware for the walls; base for the door (the hero may pass it) and the gem; the hero on the
    // start square.
    EXPECT_EQ(std::vector<uint8_t>(played.codes.begin() + 5, played.codes.begin() + 10),
              (std::vector<uint8_t>{6, 2, 6, 3, 2}));

    // Played from another square, the hero is there and only there.
    const game::Level fromHere = gameLevelOf(level, Square{1, 1});
    EXPECT_EQ(fromHere.codes[0], game::code::kHero);
    EXPECT_EQ(std::count(fromHere.codes.begin(), fromHere.codes.end(), game::code::kHero), 1);

    level.startx = startPixelOf(9);
    EXPECT_THROW(gameLevelOf(level), Error);
    level.width = 2;
    EXPECT_THROW(gameLevelOf(level, Square{1, 1}), Error);
}

TEST(SolutionsFile, SolutionsGoToTheirFileAndBackAndDamageIsRefusedWhole)
{
    levelsinfo.count = 3;
    for (int k = 1; k <= 3; ++k)
        initNewLevel(levels[k]);
    levels[1].solution = {0x13, 0x24, 0xFF};
    levels[3].solution = std::vector<uint8_t>(1000, 0x71);
    levels[3].solution.push_back(0xFF);
    const Bytes bytes = solutionsBytes();
    levels[1].solution.clear();
    readSolutions(bytes.data(), bytes.size());
    EXPECT_EQ(levels[1].solution, (std::vector<uint8_t>{0x13, 0x24, 0xFF}));
    EXPECT_TRUE(levels[2].solution.empty());
    EXPECT_EQ(levels[3].solution.size(), 1001u);
    // A solution goes wherever its level goes.
    ASSERT_TRUE(swapLevels(1, 3));
    EXPECT_EQ(levels[1].solution.size(), 1001u);
    EXPECT_EQ(levels[3].solution, (std::vector<uint8_t>{0x13, 0x24, 0xFF}));
    ASSERT_TRUE(deleteLevel(1));
    EXPECT_TRUE(levels[1].solution.empty());
    EXPECT_EQ(levels[2].solution, (std::vector<uint8_t>{0x13, 0x24, 0xFF}));
    levelsinfo.count = 3;

    // Any cut or changed byte of the frame of the file is refused, and no level keeps a solution.
    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        Bytes damaged = bytes;
        if (round % 2 == 0)
            damaged.resize(random() % bytes.size());
        else
            damaged[random() % 20] ^= uint8_t(1 + random() % 255);
        levels[1].solution = {0xFF};
        try {
            readSolutions(damaged.data(), damaged.size());
        } catch (const Error &) {
            EXPECT_TRUE(levels[1].solution.empty() && levels[3].solution.empty());
        }
    }
}
