// Objects of several squares as a level holds them: found from any of their squares, only while
// whole, and never read outside the level whatever its cells hold.

#include "levels/levelobjects.h"

#include "themewidth.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace qm;

namespace {

std::unique_ptr<tlevel> plainLevel(int32_t width, int32_t height)
{
    auto level = std::make_unique<tlevel>();
    level->width = width;
    level->height = height;
    for (auto &row : level->cells)
        for (cell &square : row)
            square = kDefaultCell;
    return level;
}

const int32_t kObjectTiles[] = {kTileStripHorizontal, kTilePair, kTileStripVertical, kTileBlock7x1, kTileBlock7x2,
                                kTileBlock6x3, kTileExit, kTileTall, kTileMarkedTallA, kTileMarkedTallB, kTileMarked3x3};

} // namespace

// Every object, painted, is found from each square painting wrote (the exit's empty square and filler,
// the tower block's empty upper squares, the tall object's lower half), and from no other; painted
// over in one square, it is no object any more; at the level's edge it is the part inside.
TEST(LevelObjects, FoundFromEverySquareOnlyWhileWhole)
{
    const TileWidth width = defaultThemeWidth;
    for (int32_t tile : kObjectTiles) {
        auto level = plainLevel(20, 20);
        paintLevel(*level, 5, 5, tile, PaintVariant::Press, width);
        const LevelObjects objects(*level, width);
        ASSERT_EQ(objects.all().size(), 1u) << tile;
        const LevelObject &object = objects.all()[0];
        EXPECT_EQ(object.tile, tile);
        EXPECT_EQ(object.row, 5);
        EXPECT_EQ(object.column, 5);
        int32_t written = 0;
        for (int32_t r = 1; r <= 20; ++r)
            for (int32_t c = 1; c <= 20; ++c) {
                const bool part = !(level->cells[r - 1][c - 1] == kDefaultCell);
                written += part;
                EXPECT_EQ(objects.at(r, c), part ? &object : nullptr) << tile << " at " << r << "," << c;
            }
        EXPECT_EQ(written, object.rows * object.columns) << tile;

        level->cells[object.row + object.rows - 2][object.column + object.columns - 2] = kDefaultCell;
        EXPECT_TRUE(LevelObjects(*level, width).all().empty()) << tile << " painted over";

        auto edge = plainLevel(20, 20);
        paintLevel(*edge, 20, 20, tile, PaintVariant::Press, width);
        const LevelObjects cut(*edge, width);
        ASSERT_EQ(cut.all().size(), 1u) << tile;
        EXPECT_EQ(cut.all()[0].rows * cut.all()[0].columns, 1) << tile;
    }
}

// Random levels of objects painted over each other and cells of any value: the objects found never
// share a square, each is whole (painting it again changes nothing), and every square of its rectangle
// names it.
TEST(LevelObjects, RandomLevelsGiveWholeSeparateObjects)
{
    std::mt19937 random(30);
    const TileWidth width = defaultThemeWidth;
    for (int round = 0; round < 60; ++round) {
        const int32_t columns = 1 + int32_t(random() % 100), rows = 1 + int32_t(random() % 100);
        auto level = plainLevel(columns, rows);
        for (int k = 0; k < 300; ++k) {
            const int32_t r = 1 + int32_t(random() % 100), c = 1 + int32_t(random() % 100);
            if (random() % 10 == 0)
                level->cells[r - 1][c - 1] = cell{int32_t(random()), int32_t(random()), int32_t(random()), int32_t(random())};
            else
                paintLevel(*level, r, c, random() % 2 ? kObjectTiles[random() % std::size(kObjectTiles)] : 12 + int32_t(random() % 57),
                           PaintVariant::Press, width);
        }
        const LevelObjects objects(*level, width);
        for (const LevelObject &object : objects.all()) {
            for (int32_t r = object.row; r < object.row + object.rows; ++r)
                for (int32_t c = object.column; c < object.column + object.columns; ++c)
                    ASSERT_EQ(objects.at(r, c), &object);
            auto again = std::make_unique<tlevel>(*level);
            paintLevel(*again, object.row, object.column, object.tile, PaintVariant::Press, width);
            for (int32_t r = 1; r <= std::min(rows, kGridSize); ++r)
                for (int32_t c = 1; c <= std::min(columns, kGridSize); ++c) {
                    ASSERT_EQ(again->cells[r - 1][c - 1].tile, level->cells[r - 1][c - 1].tile);
                    ASSERT_EQ(again->cells[r - 1][c - 1].pattern, level->cells[r - 1][c - 1].pattern);
                }
        }
        EXPECT_EQ(objects.at(0, 1), nullptr);
        EXPECT_EQ(objects.at(rows + 1, 1), nullptr);
    }
}
