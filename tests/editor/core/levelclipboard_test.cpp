// Levels on the clipboard and the overview's arranging of levels, without a window.

#include "editor/core/levelclipboard.h"
#include "editor/core/levelcopy.h"

#include "levels/levelsfile.h"
#include "levels/storestep.h"

#include "platform/errors.h"

#include "storebytes.h"

#include <gtest/gtest.h>

#include <random>

using namespace qm;

namespace {

// A file of n levels, each with its own name, size and cells.
void fillStore(int n, std::mt19937 &random)
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    for (int k = 1; k <= n; ++k) {
        addlevel();
        tlevel &level = levels[k];
        level.name = "level " + std::to_string(k);
        level.width = 6 + int(random() % 20);
        level.height = 6 + int(random() % 20);
        level.startx = int(random() % 4000) - 50;
        level.infotrons = int(random() % 30);
        if (k % 2 == 1) // a kept solution travels with its level
            level.solution = {uint8_t(random() % 0xF0), uint8_t(random() % 0xF0), 0xFF};
        for (int r = 1; r <= level.height; ++r)
            for (int c = 1; c <= level.width; ++c)
                *level.cellAt(r, c) = cell{int(random() % 70), int(random() % 3), 100 + int(random() % 3), int(random() % 4)};
    }
    fileopen = true;
    curlevel = 1 + int(random() % uint32_t(n));
    prevlevel = 1 + int(random() % uint32_t(n));
}

} // namespace

// What Copy writes reads back the same, and is appended whole as one step that undo takes back.
TEST(LevelClipboard, CopiedLevelsReadBackAndPasteAsOneStep)
{
    std::mt19937 random(5);
    fillStore(6, random);
    const std::vector<CarriedLevel> carried = carryLevels({5, 2, 9, 0});
    ASSERT_EQ(carried.size(), 2u);
    EXPECT_EQ(carried[0].name, "level 5");
    EXPECT_EQ(carried[0].solution.size(), 3u);
    EXPECT_EQ(readLevelsBytes(levelsBytes(carried)), carried);
    // Levels copied before solutions were kept (no solution after the cells) still paste.
    CarriedLevel plain = carried[1];
    ASSERT_TRUE(plain.solution.empty());
    const std::string bytes = levelsBytes({plain});
    EXPECT_EQ(readLevelsBytes("QMLEVS01" + bytes.substr(8, bytes.size() - 8 - 4)), std::vector<CarriedLevel>{plain});

    const Bytes before = storeBytes();
    const int32_t current = curlevel;
    StoreStep step;
    step.begin();
    appendCarriedLevels(carried, step);
    step.finish();
    ASSERT_EQ(levelsinfo.count, 8);
    EXPECT_EQ(curlevel, 7);
    EXPECT_EQ(carryLevels({7, 8}), carried);
    EXPECT_EQ(*levels[7].cellAt(levels[7].height + 1, 1), kDefaultCell) << "outside the level";
    step.revert();
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(curlevel, current);

    // Past 200 levels: refused before anything changes.
    while (levelsinfo.count < kMaxLevels - 1)
        addlevel();
    const Bytes full = storeBytes();
    StoreStep refused;
    refused.begin();
    EXPECT_THROW(appendCarriedLevels(carried, refused), Error);
    EXPECT_EQ(storeBytes(), full);
}

// The bytes come from anywhere: every cut and every flipped byte is either refused with a message or
// read as levels that keep the rules (sizes inside the grid, cells that fill them, kinds 100..102).
TEST(LevelClipboard, DamagedBytesAreRefusedOrReadWithinTheRules)
{
    std::mt19937 random(11);
    fillStore(3, random);
    const std::string bytes = levelsBytes(carryLevels({1, 2, 3}));
    const auto check = [](const std::string &input, const std::string &what) {
        try {
            for (const CarriedLevel &level : readLevelsBytes(input)) {
                ASSERT_TRUE(level.width >= 0 && level.width <= kGridSize && level.height >= 0
                            && level.height <= kGridSize) << what;
                ASSERT_EQ(level.cells.size(), size_t(level.width) * size_t(level.height)) << what;
                for (const cell &square : level.cells)
                    ASSERT_TRUE(square.kind >= 100 && square.kind <= 102 && square.tile >= 0 && square.pattern >= 0)
                        << what;
                ASSERT_LE(level.name.size(), 255u);
            }
        } catch (const Error &e) {
            EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << what << ": " << e.what();
        }
    };
    for (size_t cut = 0; cut < bytes.size(); cut += 1 + cut / 50)
        EXPECT_THROW(readLevelsBytes(bytes.substr(0, cut)), Error) << "cut at " << cut;
    EXPECT_THROW(readLevelsBytes(bytes + '\0'), Error);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string input = bytes;
        const int flips = 1 + int(random() % 4);
        for (int k = 0; k < flips; ++k)
            input[random() % input.size()] ^= char(1 + random() % 255);
        check(input, "trial " + std::to_string(trial));
    }
    // Hostile counts and sizes, and a text longer than the file allows.
    std::string huge = bytes;
    for (int k = 0; k < 4; ++k)
        huge[8 + size_t(k)] = char(0xFF);
    EXPECT_THROW(readLevelsBytes(huge), Error);
    CarriedLevel empty;
    EXPECT_EQ(readLevelsBytes(levelsBytes({empty})).size(), 1u) << "a level of no squares";
}

// A drag of any levels to any place keeps the moved levels' order and the others', keeps
// the current and previous level, and undo gives the file back.
TEST(LevelClipboard, MovesAndDeletesOfRandomLevelsGiveTheOrderWantedAndUndo)
{
    std::mt19937 random(23);
    for (int trial = 0; trial < 60; ++trial) {
        const int n = 2 + int(random() % 12);
        fillStore(n, random);
        std::vector<int32_t> chosen;
        for (int k = 1; k <= n; ++k)
            if (random() % 3 == 0)
                chosen.push_back(k);
        if (chosen.empty())
            chosen.push_back(1 + int(random() % uint32_t(n)));
        const int32_t before = 1 + int(random() % uint32_t(n + 1));
        // The expected order by names, built one move at a time.
        std::vector<std::string> names;
        for (int k = 1; k <= n; ++k)
            names.push_back(levels[k].name);
        std::vector<std::string> moved, rest;
        for (int k = 1; k <= n; ++k)
            (std::count(chosen.begin(), chosen.end(), k) ? moved : rest).push_back(names[size_t(k) - 1]);
        int32_t restBefore = 0;
        for (int k = 1; k < before; ++k)
            restBefore += std::count(chosen.begin(), chosen.end(), k) ? 0 : 1;
        std::vector<std::string> expected(rest.begin(), rest.begin() + restBefore);
        expected.insert(expected.end(), moved.begin(), moved.end());
        expected.insert(expected.end(), rest.begin() + restBefore, rest.end());
        const std::string current = levels[curlevel].name, previous = levels[prevlevel].name;

        const Bytes saved = storeBytes();
        const int32_t savedCurrent = curlevel;
        StoreStep step;
        step.begin();
        moveLevels(step, chosen, before);
        step.finish();
        for (int k = 1; k <= n; ++k)
            ASSERT_EQ(levels[k].name, expected[size_t(k) - 1]) << "trial " << trial << " place " << k;
        EXPECT_EQ(levels[curlevel].name, current);
        EXPECT_EQ(levels[prevlevel].name, previous);
        step.revert();
        ASSERT_EQ(storeBytes(), saved);
        ASSERT_EQ(curlevel, savedCurrent);

        StoreStep removal;
        removal.begin();
        deleteLevels(removal, chosen);
        removal.finish();
        ASSERT_EQ(levelsinfo.count, n - int(chosen.size()));
        for (int k = 1; k <= levelsinfo.count; ++k)
            ASSERT_EQ(levels[k].name, rest[size_t(k) - 1]);
        if (levelsinfo.count == 0)
            EXPECT_EQ(curlevel, 0);
        else
            EXPECT_TRUE(curlevel >= 1 && curlevel <= levelsinfo.count);
        if (!std::count(chosen.begin(), chosen.end(), savedCurrent)) {
            EXPECT_EQ(levels[curlevel].name, current);
        }
        removal.revert();
        ASSERT_EQ(storeBytes(), saved);
    }
}
