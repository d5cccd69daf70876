#include "editor/core/levelresize.h"

#include "levels/startsquare.h"

#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <random>

using namespace qm;

namespace {

// Strips two squares long: the horizontal strip's picture is what decides it.
int32_t widths(int32_t tile) { return tile == kTileStripHorizontal ? 2 * kSquare : 0; }

class LevelResizeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        levelsinfo = Tlevels{};
        resetstore();
        addlevel();
    }
    static void fillRandomly(tlevel &level, std::mt19937 &random)
    {
        std::uniform_int_distribution<int32_t> value(0, 1000);
        for (auto &row : level.cells)
            for (cell &square : row)
                square = cell{value(random), value(random), value(random), value(random)};
    }
    static bool sameInside(const tlevel &a, const tlevel &b)
    {
        if (a.width != b.width || a.height != b.height || a.startx != b.startx || a.starty != b.starty)
            return false;
        for (int r = 1; r <= a.height; ++r)
            for (int c = 1; c <= a.width; ++c)
                if (*a.cellAt(r, c) != *b.cellAt(r, c))
                    return false;
        return true;
    }
};

} // namespace

// Over random sizes and anchors: the cells and the start square move together, new squares are the
// default cell, a grow followed by the shrink back gives the level back, and a shrink recorded as a
// step is undone to the last cell, also those it cut and those beyond the level.
TEST_F(LevelResizeTest, CellsAndStartMoveTogetherAndUndoGivesEverythingBack)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int32_t> size(1, kGridSize), part(0, 2);
    for (int run = 0; run < 300; ++run) {
        tlevel &level = levels[1];
        fillRandomly(level, random);
        level.width = size(random);
        level.height = size(random);
        const int32_t column = std::uniform_int_distribution<int32_t>(1, level.width)(random);
        const int32_t row = std::uniform_int_distribution<int32_t>(1, level.height)(random);
        level.startx = startPixelOf(column);
        level.starty = startPixelOf(row);
        const auto original = std::make_unique<tlevel>(level);
        const ResizeAnchor anchor{part(random), part(random)};
        const LevelResize grown{std::uniform_int_distribution<int32_t>(level.width, kGridSize)(random),
                                std::uniform_int_distribution<int32_t>(level.height, kGridSize)(random), anchor};
        SCOPED_TRACE(testing::Message() << "run " << run << ": " << level.width << " x " << level.height << " to "
                                        << grown.width << " x " << grown.height << ", anchor " << anchor.column << ","
                                        << anchor.row);

        const ResizeShift shift = resizeShift(level, grown);
        resizeLevel(level, grown);
        EXPECT_EQ(startSquareOf(level.startx), column + shift.columns);
        EXPECT_EQ(startSquareOf(level.starty), row + shift.rows);
        for (int r = 1; r <= level.height; ++r)
            for (int c = 1; c <= level.width; ++c) {
                const cell *from = original->cellAt(r - shift.rows, c - shift.columns);
                const bool old = r - shift.rows >= 1 && r - shift.rows <= original->height && c - shift.columns >= 1
                                 && c - shift.columns <= original->width;
                ASSERT_EQ(*level.cellAt(r, c), old ? *from : kDefaultCell) << "row " << r << ", column " << c;
            }

        resizeLevel(level, {original->width, original->height, anchor});
        EXPECT_TRUE(sameInside(level, *original)) << "the shrink back";

        // Any shrink through the store, recorded: the start square stays inside, undo restores the grid.
        const auto before = std::make_unique<tlevel>(level);
        const LevelResize shrunk{std::uniform_int_distribution<int32_t>(1, level.width)(random),
                                 std::uniform_int_distribution<int32_t>(1, level.height)(random),
                                 {part(random), part(random)}};
        StoreStep step;
        step.begin();
        const bool changed = resizeStoreLevel(step, 1, shrunk);
        step.finish();
        EXPECT_EQ(changed, shrunk.width != before->width || shrunk.height != before->height);
        EXPECT_EQ(step.empty(), !changed) << "an unchanged size records nothing";
        EXPECT_GE(startSquareOf(level.startx), 1);
        EXPECT_LE(startSquareOf(level.startx), level.width);
        EXPECT_GE(startSquareOf(level.starty), 1);
        EXPECT_LE(startSquareOf(level.starty), level.height);
        step.revert();
        EXPECT_EQ(std::memcmp(&level.cells, &before->cells, sizeof level.cells), 0);
        EXPECT_TRUE(sameInside(level, *before));
    }
}

// What a shrink cuts: objects that cross the line between the squares kept and those cut, seen from
// either side, and the start square; objects wholly on one side and sizes that only grow cut nothing.
TEST_F(LevelResizeTest, ShrinkNamesTheObjectsAndStartSquareItCuts)
{
    tlevel &level = levels[1];
    level.width = level.height = 20;
    level.startx = startPixelOf(3);
    level.starty = startPixelOf(19);
    paintLevel(level, 17, 10, kTileExit, PaintVariant::Press, widths);             // rows 17..19
    paintLevel(level, 1, 5, kTileTall, PaintVariant::Press, widths);               // rows 1..2
    paintLevel(level, 10, 19, kTileStripHorizontal, PaintVariant::Press, widths);  // columns 19..20
    paintLevel(level, 5, 5, kTileTall, PaintVariant::Press, widths);               // inside everything below

    // Two rows off the bottom: the exit loses its filler, the start square goes.
    ResizeCuts cuts = resizeCuts(level, {20, 18, {0, 0}}, widths);
    ASSERT_TRUE(cuts.start);
    EXPECT_EQ(*cuts.start, (CellPlace{19, 3}));
    ASSERT_EQ(cuts.objects.size(), 1u);
    EXPECT_EQ(cuts.objects[0].square, (CellPlace{17, 10}));
    EXPECT_EQ(cuts.objects[0].tile, kTileExit);
    EXPECT_EQ(cutsQuestion(cuts),
              "Resizing cuts the start square (column 3, row 19) and the exit (63) at column 10, row 17. Resize anyway?");

    // One row off the top: the tall object's upper half goes and leaves its lower half.
    cuts = resizeCuts(level, {20, 19, {0, 2}}, widths);
    EXPECT_FALSE(cuts.start);
    ASSERT_EQ(cuts.objects.size(), 1u);
    EXPECT_EQ(cuts.objects[0].square, (CellPlace{1, 5}));
    EXPECT_EQ(cuts.objects[0].tile, kTileTall);

    // Centred to 18 wide: one column off each side cuts the strip's second square.
    cuts = resizeCuts(level, {18, 20, {1, 1}}, widths);
    ASSERT_EQ(cuts.objects.size(), 1u);
    EXPECT_EQ(cuts.objects[0].square, (CellPlace{10, 19}));

    // Four columns off the right take the whole strip: nothing is cut in two.
    EXPECT_FALSE(resizeCuts(level, {16, 20, {0, 0}}, widths).any());
    EXPECT_FALSE(resizeCuts(level, {40, 40, {1, 1}}, widths).any());
}
