#include "levels/levelstore.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

class LevelStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        initStore();
        resetstore();
    }

    // Gives level k a recognisable content.
    static void mark(int k)
    {
        levels[k].name = "level " + std::to_string(k);
        levels[k].cellAt(1, 1)->tile = 1000 + k;
    }
};

bool everyCellIsDefault(const tlevel &level)
{
    for (int r = 1; r <= kGridSize; ++r)
        for (int c = 1; c <= kGridSize; ++c)
            if (!(*level.cellAt(r, c) == kDefaultCell))
                return false;
    return true;
}

} // namespace

TEST_F(LevelStore, AddLevelGivesADefaultLevelEvenInAUsedSlot)
{
    levels[1].name = "old";
    levels[1].width = 70;
    levels[1].cellAt(100, 100)->tile = 55;
    levels[1].infotrons = 9;
    curlevel = 7;
    addlevel();
    EXPECT_EQ(levelsinfo.count, 1);
    EXPECT_EQ(curlevel, 1);
    EXPECT_EQ(prevlevel, 7);
    const tlevel &level = levels[1];
    EXPECT_EQ(level.name, "Untitled");
    EXPECT_EQ(level.dxg, "computer.dxg");
    EXPECT_EQ(level.width, 40);
    EXPECT_EQ(level.height, 40);
    EXPECT_EQ(level.startx, 100);
    EXPECT_EQ(level.starty, 100);
    EXPECT_EQ(level.reserved, 0);
    EXPECT_EQ(level.infotrons, 0);
    EXPECT_TRUE(everyCellIsDefault(level));
}

TEST_F(LevelStore, AddThenRemoveRestoresTheStore)
{
    for (int k = 1; k <= 3; ++k) {
        addlevel();
        mark(k);
    }
    curlevel = 2;
    addlevel();
    removecurrentlevel();
    EXPECT_EQ(levelsinfo.count, 3);
    EXPECT_EQ(curlevel, 2);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(levels[k].name, "level " + std::to_string(k));
}

TEST_F(LevelStore, RemovingALevelMovesTheLaterOnesDown)
{
    for (int k = 1; k <= 4; ++k) {
        addlevel();
        mark(k);
    }
    curlevel = 2;
    prevlevel = 1;
    removecurrentlevel();
    EXPECT_EQ(levelsinfo.count, 3);
    EXPECT_EQ(curlevel, 1);
    EXPECT_EQ(levels[2].name, "level 3");
    EXPECT_EQ(levels[2].cellAt(1, 1)->tile, 1003);
    EXPECT_EQ(levels[3].name, "level 4");
    EXPECT_EQ(levels[4].name, "level 4"); // outside the count, keeps its old content

    // Copies are whole and separate: changing one slot leaves the other alone.
    levels[3].name = "changed";
    EXPECT_EQ(levels[4].name, "level 4");
}

TEST_F(LevelStore, RemovingWithoutACurrentLevelOnlyReturnsToThePreviousOne)
{
    prevlevel = 3;
    curlevel = 0;
    removecurrentlevel();
    EXPECT_EQ(levelsinfo.count, 0);
    EXPECT_EQ(curlevel, 3);

    addlevel();
    addlevel();
    curlevel = 5; // no such level: nothing is removed
    prevlevel = 1;
    removecurrentlevel();
    EXPECT_EQ(levelsinfo.count, 2);
    EXPECT_EQ(curlevel, 1);
}

// The operations that undo builds on: an insert puts back exactly what a delete took, a swap is its
// own inverse, and none of them reaches outside the levels of the file or moves the current level.
TEST_F(LevelStore, DeleteInsertAndSwapAreExactInversesAndStayInsideTheFile)
{
    auto names = [] {
        std::string all;
        for (int k = 1; k <= levelsinfo.count; ++k)
            all += std::to_string(levels[k].cellAt(1, 1)->tile - 1000);
        return all;
    };
    for (int k = 1; k <= 4; ++k) {
        addlevel();
        mark(k);
    }
    curlevel = 3;
    prevlevel = 2;
    const tlevel removed = levels[2];
    EXPECT_TRUE(deleteLevel(2));
    EXPECT_EQ(names(), "134");
    EXPECT_TRUE(insertLevel(2, removed));
    EXPECT_EQ(names(), "1234");
    EXPECT_EQ(levels[2].name, "level 2");

    EXPECT_TRUE(swapLevels(1, 4));
    EXPECT_EQ(names(), "4231");
    EXPECT_TRUE(swapLevels(4, 1));
    EXPECT_TRUE(insertLevel(5, levels[1])); // a slot of the store itself, at the end
    EXPECT_EQ(names(), "12341");
    EXPECT_TRUE(insertLevel(1, levels[4]));
    EXPECT_EQ(names(), "412341");

    for (bool refused : {deleteLevel(0), deleteLevel(7), swapLevels(0, 1), swapLevels(2, 7),
                         insertLevel(0, removed), insertLevel(8, removed)})
        EXPECT_FALSE(refused);
    EXPECT_EQ(names(), "412341");
    EXPECT_EQ(curlevel, 3);
    EXPECT_EQ(prevlevel, 2);

    levelsinfo.count = kMaxLevels;
    EXPECT_THROW(insertLevel(1, removed), Error);
    EXPECT_EQ(levelsinfo.count, kMaxLevels);
}

TEST_F(LevelStore, ResetKeepsTheLevelsAndStartsTheRestAfresh)
{
    addlevel();
    addlevel();
    mark(2);
    newfilename = "Sea";
    levelsfilepath = "/x/Sea.lev";
    viewx = 80;
    viewy = 40;
    palscroll = 3;
    palcolumn = 2;
    palrow = 1;
    painting = true;
    fileopen = false;
    resetstore();
    EXPECT_EQ(levelsinfo.count, 2);
    EXPECT_EQ(levels[2].name, "level 2");
    EXPECT_EQ(newfilename, "");
    EXPECT_EQ(levelsfilepath, "");
    EXPECT_EQ(viewx, 0);
    EXPECT_EQ(viewy, 0);
    EXPECT_EQ(palscroll, 0);
    EXPECT_EQ(palcolumn, 0);
    EXPECT_EQ(palrow, 0);
    EXPECT_FALSE(painting);
    EXPECT_EQ(curlevel, 0);
    EXPECT_EQ(prevlevel, 0);
    EXPECT_TRUE(fileopen);
}

TEST_F(LevelStore, AFullStoreRefusesAnotherLevelAndChangesNothing)
{
    for (int k = 1; k <= kMaxLevels; ++k)
        addlevel();
    mark(kMaxLevels);
    curlevel = 5;
    prevlevel = 4;
    try {
        addlevel();
        FAIL() << "a 201st level was added";
    } catch (const Error &e) {
        EXPECT_STREQ(e.what(), "This levels file already holds 200 levels, the most a levels file can hold.");
    }
    EXPECT_EQ(levelsinfo.count, kMaxLevels);
    EXPECT_EQ(curlevel, 5);
    EXPECT_EQ(prevlevel, 4);
    EXPECT_EQ(levels[kMaxLevels].name, "level 200");
}

TEST_F(LevelStore, NothingOutsideTheSlotsAndTheGridIsReachable)
{
    EXPECT_THROW(levels[0], Error);
    EXPECT_THROW(levels[201], Error);
    EXPECT_THROW(levels[-1], Error);
    EXPECT_NO_THROW(levels[200]);
    tlevel &level = levels[1];
    EXPECT_EQ(level.cellAt(0, 1), nullptr);
    EXPECT_EQ(level.cellAt(1, 101), nullptr);
    EXPECT_EQ(level.cellAt(-5, -5), nullptr);
    EXPECT_EQ(level.cellAt(100, 100), &level.cells[99][99]);
}
