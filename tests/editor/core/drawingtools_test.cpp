// Lines and rectangles on the map, and the map area at other sizes and zooms, without a window.

#include "editor/core/mapediting.h"
#include "editor/core/maptools.h"

#include "levels/levelstore.h"
#include "storebytes.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace qm;

namespace {

class DrawingTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        storeWithOneNewLevel();
        curlevel = 1;
        fileopen = true;
        maparea = MapArea{};
    }
    void TearDown() override { maparea = MapArea{}; }
};

using Square = std::pair<int32_t, int32_t>; // row, column

std::set<Square> squaresOf(const std::vector<CellPosition> &pieces)
{
    std::set<Square> out;
    for (const CellPosition &p : pieces)
        out.insert({p.row, p.column});
    return out;
}

} // namespace

// Wherever the pointer goes, the line ends in the same row, column or on a diagonal, never past the
// pointer; the pieces along it touch end to end without overlapping, fit within its length and lie in
// the level; a plain tile covers every square of it.
TEST_F(DrawingTools, LinesKeepToRowsColumnsAndDiagonalsAndPiecesTouchEndToEnd)
{
    std::mt19937 random(40);
    tlevel level = levels[1];
    level.width = 60;
    level.height = 24;
    for (int round = 0; round < 3000; ++round) {
        const CellPosition from{int32_t(random() % 30) - 2, int32_t(random() % 70) - 4};
        const CellPosition to{int32_t(random() % 30) - 2, int32_t(random() % 70) - 4};
        const CellPosition size{int32_t(random() % 3) + 1, int32_t(random() % 7) + 1};
        const CellPosition end = lineEnd(from, to);
        const int32_t down = end.row - from.row, across = end.column - from.column;
        ASSERT_TRUE(down == 0 || across == 0 || std::abs(down) == std::abs(across));
        ASSERT_LE(std::abs(down), std::abs(to.row - from.row));
        ASSERT_LE(std::abs(across), std::abs(to.column - from.column));
        ASSERT_TRUE(down * (to.row - from.row) >= 0 && across * (to.column - from.column) >= 0) << "towards the pointer";

        const std::vector<CellPosition> pieces = linePieces(level, from, to, size);
        std::set<Square> covered;
        for (const CellPosition &at : pieces) {
            ASSERT_TRUE(at.row >= 1 && at.column >= 1 && at.row <= 24 && at.column <= 60);
            for (int32_t r = 0; r < size.row; ++r)
                for (int32_t c = 0; c < size.column; ++c)
                    ASSERT_TRUE(covered.insert({at.row + r, at.column + c}).second) << "pieces overlap";
            // Every piece touches the line's squares (its row, column or diagonal).
            bool onLine = false;
            for (int32_t k = 0; k <= std::max(std::abs(down), std::abs(across)); ++k) {
                const CellPosition square{from.row + (down > 0 ? k : down < 0 ? -k : 0),
                                          from.column + (across > 0 ? k : across < 0 ? -k : 0)};
                onLine |= square.row >= at.row && square.row < at.row + size.row && square.column >= at.column
                          && square.column < at.column + size.column;
            }
            ASSERT_TRUE(onLine);
        }
        if (size.row == 1 && size.column == 1) {
            // A plain tile: every square of the line that lies in the level.
            int32_t inside = 0;
            for (int32_t k = 0; k <= std::max(std::abs(down), std::abs(across)); ++k) {
                const int32_t r = from.row + (down > 0 ? k : down < 0 ? -k : 0);
                const int32_t c = from.column + (across > 0 ? k : across < 0 ? -k : 0);
                inside += r >= 1 && c >= 1 && r <= 24 && c <= 60;
            }
            ASSERT_EQ(int32_t(pieces.size()), inside);
        }
    }
}

// The outline is the fill's ring of pieces: for a plain tile exactly the border squares; for objects,
// pieces of the fill that no whole piece lies beyond on some side.
TEST_F(DrawingTools, TheOutlineIsTheBorderOfTheFill)
{
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        const CellRect rect{int32_t(random() % 10) + 1, int32_t(random() % 10) + 1, 0, 0};
        CellRect r = rect;
        r.bottom = r.top + int32_t(random() % 12);
        r.right = r.left + int32_t(random() % 12);
        std::set<Square> border;
        for (int32_t y = r.top; y <= r.bottom; ++y)
            for (int32_t x = r.left; x <= r.right; ++x)
                if (y == r.top || y == r.bottom || x == r.left || x == r.right)
                    border.insert({y, x});
        const std::vector<CellPosition> plain = outlinePieces(r, {1, 1});
        ASSERT_EQ(squaresOf(plain), border);
        ASSERT_EQ(plain.size(), border.size());
    }
    // Blocks of 2 rows x 3 columns in 7 x 10 squares: a fill places 3 x 3 of them; all but the middle one.
    const std::vector<CellPosition> blocks = outlinePieces({1, 1, 7, 10}, {2, 3});
    EXPECT_EQ(blocks.size(), 8u);
    EXPECT_EQ(std::count_if(blocks.begin(), blocks.end(), [](CellPosition p) { return p.row == 3 && p.column == 4; }), 0);
}

// At each zoom the pointer names the square whose top-left corner is nearest in level pixels (the
// nearest whole square at the left and top of a level smaller than the map), the
// view's bounds hold the map area's size in level pixels, and zooming about a point keeps the level
// pixel under it.
TEST_F(DrawingTools, EveryZoomMapsThePointerToItsSquareAndKeepsTheAnchor)
{
    levels[1].width = 100;
    levels[1].height = 100;
    setControlSize(1920, 1000);
    EXPECT_EQ(maparea.width(), 1920 - 23 - 121);
    std::mt19937 random(3);
    for (const int32_t square : kZoomSquares) {
        setZoom(square, 0, 0);
        ASSERT_EQ(maparea.square, square);
        for (int round = 0; round < 200; ++round) {
            viewx = (random() % 4000) / 2.0;
            viewy = (random() % 4000) / 2.0;
            clampView();
            pointerx = int32_t(random() % uint32_t(maparea.width()));
            pointery = int32_t(random() % uint32_t(maparea.height()));
            const double levelX = viewx + pointerx * 40.0 / square, levelY = viewy + pointery * 40.0 / square;
            const CellPosition at = pointercell();
            // Divisions toward zero, as at the first size (a level smaller than the map has a negative view).
            ASSERT_EQ(at.column, int32_t(int64_t(std::trunc(levelX + 20)) / 40) + 1);
            ASSERT_EQ(at.row, int32_t(int64_t(std::trunc(levelY + 20)) / 40) + 1);
            ASSERT_LE(viewx, 100 * 40 - maparea.width() * 40.0 / square);
            ASSERT_LE(viewy, 100 * 40 - maparea.height() * 40.0 / square);
        }
    }
    // Zooming about a point in the middle keeps its level pixel (to the half pixel the view keeps).
    setZoom(40, 0, 0);
    viewx = 200;
    viewy = 100;
    setZoom(20, 101, 50);
    EXPECT_EQ(viewx + 101 * 2.0, 301);
    EXPECT_EQ(viewy + 50 * 2.0, 150);
    EXPECT_EQ(zoomStep(1), 40);
    EXPECT_EQ(zoomStep(-1), 10);
    EXPECT_EQ(zoomStep(-5), 10);
    setZoom(33, 0, 0);
    EXPECT_EQ(maparea.square, 20) << "only the zoom levels";

    // A control smaller than the first size keeps the first size.
    setControlSize(100, 100);
    EXPECT_EQ(maparea.width(), 640);
    EXPECT_EQ(maparea.height(), 480);
}
