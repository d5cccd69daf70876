// The level checks by the game's own rules, on levels kept whole for the game: the recorded solutions'
// levels (each finished by a player) get no error, and records made here show each rule.

#include "levels/levelcheck.h"
#include "levels/levelstore.h"
#include "levels/reach.h"
#include "levels/supaplexexport.h"

#include "platform/fileio.h"

#include "game/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace qm;

namespace {

std::unique_ptr<tlevel> wholeLevelOf(const uint8_t *record)
{
    auto level = std::make_unique<tlevel>();
    importSupaplexRecordWhole(record, *level);
    return level;
}

std::string listed(const std::vector<Finding> &findings)
{
    std::string out;
    for (const Finding &f : findings)
        if (f.severity != Severity::Note)
            out += std::string(severityName(f.severity)) + " " + f.code + ": " + f.message + "\n";
    return out;
}

using Codes = std::vector<std::string>;

// The codes of the errors and warnings, and of the notes on the reach.
Codes problems(const tlevel &level)
{
    Codes out;
    for (const Finding &f : checkLevel(level, nullptr))
        if (f.severity != Severity::Note || f.code == "reach-obstructed")
            out.push_back(f.code);
    return out;
}

// A record of hardware with rows of codes written from its top left square, infotrons asked for given
// (byte 1,470).
std::array<uint8_t, kSupaplexRecordBytes> record(const std::vector<std::vector<uint8_t>> &rows, uint8_t infotrons,
                                                 int32_t firstRow = 0, int32_t firstColumn = 0)
{
    std::array<uint8_t, kSupaplexRecordBytes> bytes{};
    std::fill(bytes.begin(), bytes.begin() + 1440, uint8_t(6));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            bytes[(size_t(firstRow) + r) * 60 + size_t(firstColumn) + c] = rows[r][c];
    bytes[1470] = infotrons;
    return bytes;
}

} // namespace

// Where something can explode, an explosion clears every square but hardware: a port the wrong way in
// the only way is then no longer certain to stop the hero, while hardware still is. (Chips, terminals
// and invisible walls are breakable either way.)
TEST(GameChecks, ExplosionsClearAllButHardware)
{
    const Codes closed = {"exit-unreachable"}, passed = {"reach-obstructed"};
    for (uint8_t way : {uint8_t(11), uint8_t(6), uint8_t(5), uint8_t(40), uint8_t(19)}) {
        SCOPED_TRACE(int(way));
        // 3 hero, 0 space, 7 exit, 8 orange disk, 1 zonk; below the row: what else the level holds.
        auto level = [&](uint8_t other) { return wholeLevelOf(record({{3, 0, way, 0, 7}, {other}}, 0, 1, 1).data()); };
        const bool port = way == 11, hardware = way == 6;
        EXPECT_EQ(problems(*level(6)), port || hardware ? closed : passed);
        EXPECT_EQ(problems(*level(8)), hardware ? closed : passed);
        EXPECT_EQ(problems(*level(1)), port || hardware ? closed : passed); // a zonk cannot explode by itself
    }
}

// The infotrons a spark's explosion leaves count nine, and so do those of each disk and spinner in its
// space that its explosion can set off; without a spark the disks leave none.
TEST(GameChecks, InfotronsCountWhatASparksChainLeaves)
{
    // 3 hero, 7 exit, 24 electron, 8 orange disk, 18 yellow disk, closed in but for a corner.
    const std::vector<std::vector<uint8_t>> rows{
        {3, 0, 0, 0, 0, 0, 7}, {6, 6, 6, 6, 0, 0, 6}, {6, 24, 8, 18, 6, 0, 6}};
    EXPECT_EQ(problems(*wholeLevelOf(record(rows, 27, 1, 1).data())), Codes{});
    const std::vector<Finding> findings = checkLevel(*wholeLevelOf(record(rows, 28, 1, 1).data()), nullptr);
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].code + ": " + findings[0].message, "infotrons: the level asks for 28 infotrons but can hold at most 27: 0 infotrons (12) and 1 "
                                   "spark (39) that leave nine each when destroyed, and nine for each of the 2 disks "
                                   "and spinners their explosions can set off");
    auto noSpark = rows;
    noSpark[2][1] = 6;
    EXPECT_EQ(problems(*wholeLevelOf(record(noSpark, 1, 1, 1).data())), Codes{"infotrons"});
    // The spark's space closed off by hardware: what it leaves cannot be had.
    auto closed = rows;
    closed[1][4] = 6;
    EXPECT_EQ(problems(*wholeLevelOf(record(closed, 27, 1, 1).data())), Codes{"infotrons-unreachable"});
}

namespace {

// Plays a kept level's record with the keys held for the frames given, in turn; whether it finishes.
bool finishes(const std::array<uint8_t, kSupaplexRecordBytes> &bytes, const std::vector<std::pair<uint8_t, int>> &keys)
{
    game::Engine engine(game::levelFromRecord(bytes.data()));
    for (auto [key, frames] : keys)
        for (int frame = 0; frame < frames && !engine.stopped(); ++frame)
            engine.frame(key);
    return engine.finished();
}

} // namespace

// A level kept for the game is one run of squares: right of the last column lies the next row's first
// square, and above the top row free memory the hero walks along. The engine agrees; a level of the
// editor's own keeps its rows apart.
TEST(GameChecks, AKeptLevelIsOneRunOfSquares)
{
    auto wrapped = record({}, 0);
    wrapped[60 + 59] = 3;  // the hero at the end of row 1
    wrapped[120] = 7;      // the exit at the start of row 2
    EXPECT_TRUE(finishes(wrapped, {{game::kRight, 40}}));
    const auto kept = wholeLevelOf(wrapped.data());
    EXPECT_EQ(problems(*kept), Codes{});
    auto own = std::make_unique<tlevel>(*kept);
    for (int r = 1; r <= 24; ++r)
        for (int c = 1; c <= 60; ++c)
            own->cellAt(r, c)->reserved = 0;
    EXPECT_EQ(problems(*own), Codes{"exit-unreachable"});

    auto above = record({}, 0);
    above[5] = 3;
    above[40] = 7;
    EXPECT_TRUE(finishes(above, {{game::kUp, 8}, {game::kRight, 35 * 8}, {game::kDown, 40}}));
    EXPECT_EQ(problems(*wholeLevelOf(above.data())), Codes{});
}

// A kept level without a hero cannot be played; a hero standing where a zonk falls on him in the
// first frames is a warning naming what kills him, a zonk resting on him is not.
TEST(GameChecks, NoHeroAndAHeroKilledStandingStill)
{
    EXPECT_EQ(problems(*wholeLevelOf(record({{0, 0, 7}}, 0, 1, 1).data())), Codes{"no-hero"});
    const std::vector<std::vector<uint8_t>> falling{{1, 0, 0}, {0, 0, 0}, {3, 0, 7}};
    const std::vector<Finding> findings = checkLevel(*wholeLevelOf(record(falling, 0, 1, 1).data()), nullptr);
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].code, "hero-killed");
    EXPECT_EQ(findings[0].severity, Severity::Warning);
    EXPECT_EQ(findings[0].cell, (CellPlace{4, 2}));
    EXPECT_NE(findings[0].message.find("by a boulder (20) that falls on him"), std::string::npos) << findings[0].message;
    EXPECT_EQ(problems(*wholeLevelOf(record({{1, 0, 0}, {3, 0, 7}}, 0, 1, 1).data())), Codes{});
}

// Small rooms of random objects played with random keys: whenever the engine finishes one, the checks
// call none of its errors on the reach or the infotrons.
TEST(GameChecks, LevelsTheEngineFinishesGetNoReachError)
{
    std::mt19937 random(38);
    // Space and base often, then zonks, infotrons, chips, hardware, ports, disks, enemies, terminals, bugs.
    const std::vector<uint8_t> codes{0, 0, 0, 0, 2, 2, 2, 1, 4, 4, 5, 6, 9, 10, 11, 12, 21, 22, 23, 8, 18, 19, 20, 17, 24, 25, 40};
    int finished = 0;
    for (int round = 0; round < 12000; ++round) {
        std::vector<std::vector<uint8_t>> rows(6, std::vector<uint8_t>(10));
        for (auto &row : rows)
            for (uint8_t &code : row)
                code = codes[random() % codes.size()];
        rows[random() % 6][random() % 10] = 3;
        rows[random() % 6][random() % 10] = 7;
        const auto bytes = record(rows, uint8_t(random() % 4), 1 + int32_t(random() % 3), 1 + int32_t(random() % 40));
        game::Level level = game::levelFromRecord(bytes.data());
        if (std::count(level.codes.begin(), level.codes.end(), 3) != 1 || std::count(level.codes.begin(), level.codes.end(), 7) != 1)
            continue;
        game::Engine engine(level);
        for (int held = 0; held < 60 && !engine.stopped(); ++held) {
            const uint8_t key = uint8_t(random() % 10);
            for (int frame = 0; frame < 8 && !engine.stopped(); ++frame)
                engine.frame(key);
        }
        if (!engine.finished())
            continue;
        ++finished;
        for (const Finding &f : checkLevel(*wholeLevelOf(bytes.data()), nullptr))
            EXPECT_TRUE(f.code != "exit-unreachable" && f.code != "infotrons-unreachable" && f.code != "infotrons"
                        && f.code != "no-exit" && f.code != "no-hero" && f.code != "start-wall")
                << "round " << round << ": " << f.code << ": " << f.message;
    }
    EXPECT_GT(finished, 40);
}

// Every level a recorded solution finishes, imported whole without its recording: no error, and at
// most one warning.
TEST(GameChecks, LevelsOfRecordedSolutionsHaveNoErrorAndAtMostOneWarning)
{
    const std::filesystem::path solutions = std::filesystem::path(QM_SHARED_GAME_DIR) / "solutions" / "00";
    ASSERT_TRUE(std::filesystem::is_directory(solutions)) << solutions;
    int checked = 0;
    for (const auto &entry : std::filesystem::directory_iterator(solutions)) {
        if (entry.path().extension() != ".sp")
            continue;
        const Bytes bytes = readWholeFile(entry.path().string(), 1 << 20);
        ASSERT_GE(bytes.size(), kSupaplexRecordBytes) << entry.path();
        const auto level = wholeLevelOf(bytes.data());
        const std::vector<Finding> findings = checkLevel(*level, nullptr);
        const auto count = [&](Severity severity) {
            return std::count_if(findings.begin(), findings.end(), [&](const Finding &f) { return f.severity == severity; });
        };
        EXPECT_EQ(count(Severity::Error), 0) << entry.path().filename() << "\n" << listed(findings);
        EXPECT_LE(count(Severity::Warning), 1) << entry.path().filename() << "\n" << listed(findings);
        ++checked;
    }
    EXPECT_GT(checked, 300);
}
