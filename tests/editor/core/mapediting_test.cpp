#include "editor/core/mapediting.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"
#include "storebytes.h"

#include <gtest/gtest.h>
#include <cstring>
#include <map>

using namespace qm;

namespace {

class MapEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        storeWithOneNewLevel();
        saved = true;
    }

    // Picture widths of a theme: strips 160 wide, the blocks at their full sizes.
    TileWidth widths = [this](int32_t tile) {
        auto it = pictureWidth.find(tile);
        return it == pictureWidth.end() ? 40 : it->second;
    };
    std::map<int32_t, int32_t> pictureWidth{{29, 160}, {30, 280}, {36, 280}, {37, 280}, {40, 240}};

    static cell at(int r, int c) { return *levels[curlevel].cellAt(r, c); }
    static void select(int tile)
    {
        palrow = (tile - 12) / 3;
        palcolumn = (tile - 12) % 3;
    }
    void paint(int tile, int r, int c, PaintVariant variant = PaintVariant::Press)
    {
        paintcell(r, c, tile, variant, widths);
    }
};

cell tpk(int32_t tile, int32_t pattern, int32_t kind) { return cell{tile, 0, kind, pattern}; }

} // namespace

TEST_F(MapEditing, SingleTilesKeepTheirKindOnAPressAndBecomeOrdinaryOnADrag)
{
    levels[1].cellAt(3, 3)->kind = kKindMarked;
    levels[1].cellAt(3, 3)->pattern = 4;
    paint(12, 3, 3);
    EXPECT_EQ(at(3, 3), tpk(12, 0, kKindMarked));
    EXPECT_FALSE(saved);
    paint(12, 3, 3, PaintVariant::Drag);
    EXPECT_EQ(at(3, 3), tpk(12, 0, kKindOrdinary));
    EXPECT_EQ(at(3, 4), kDefaultCell);
}

TEST_F(MapEditing, TallAndSquareObjectsWriteTheirFillers)
{
    paint(kTileMarked3x3, 5, 5);
    EXPECT_EQ(at(5, 5), tpk(kTileMarked3x3, 0, kKindMarked));
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j)
            if (i || j) {
                EXPECT_EQ(at(5 + i, 5 + j), tpk(kTileFiller, 0, kKindOrdinary)) << i << "," << j;
            }

    paint(kTileExit, 10, 5);
    EXPECT_EQ(at(10, 5), tpk(kTileExit, 0, kKindMarked));
    EXPECT_EQ(at(11, 5).tile, kTileEmpty);
    EXPECT_EQ(at(12, 5).tile, kTileFiller);
    paint(kTileExit, 10, 6, PaintVariant::Drag);
    EXPECT_EQ(at(10, 6), tpk(kTileExit, 0, kKindOnTop));

    paint(kTileTall, 20, 5);
    EXPECT_EQ(at(20, 5).tile, kTileTall);
    EXPECT_EQ(at(21, 5).tile, kTileTallLower);

    paint(kTileMarkedTallA, 30, 5);
    EXPECT_EQ(at(30, 5), tpk(kTileMarkedTallA, 0, kKindMarked));
    EXPECT_EQ(at(31, 5).tile, kTileFiller);
    EXPECT_EQ(at(32, 5).tile, kTileFiller);

    for (int port : {kTilePortRight, kTilePortUp, kTileOnTop}) {
        paint(port, 35, 5);
        EXPECT_EQ(at(35, 5), tpk(port, 0, kKindOnTop)) << port;
    }
}

TEST_F(MapEditing, StripsFollowTheWidthOfTheHorizontalStripsPicture)
{
    paint(kTileStripHorizontal, 2, 2);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(at(2, 2 + k), tpk(kTileStripHorizontal, k, kKindOnTop));
    EXPECT_EQ(at(2, 6), kDefaultCell);

    paint(kTileStripVertical, 10, 2);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(at(10 + k, 2), tpk(kTileStripVertical, k, kKindOnTop));
    EXPECT_EQ(at(14, 2), kDefaultCell);

    pictureWidth[29] = 39; // narrower than a square: the strip is the one square only
    paint(kTileStripHorizontal, 20, 2);
    EXPECT_EQ(at(20, 2), tpk(kTileStripHorizontal, 0, kKindOrdinary));
    EXPECT_EQ(at(20, 3), kDefaultCell);
}

TEST_F(MapEditing, BlocksNeedTheirPictureAtItsFullWidth)
{
    paint(kTilePair, 2, 2);
    for (int k = 0; k <= 6; ++k) {
        EXPECT_EQ(at(2, 2 + k), tpk(kTilePair, k, kKindMarked));
        EXPECT_EQ(at(3, 2 + k), tpk(kTilePair, 7 + k, kKindMarked));
    }
    paint(kTileBlock7x1, 5, 2);
    for (int k = 0; k <= 6; ++k)
        EXPECT_EQ(at(5, 2 + k), tpk(kTileBlock7x1, k, kKindMarked));
    paint(kTileBlock7x2, 7, 2);
    EXPECT_EQ(at(7, 2), tpk(kTileEmpty, 0, kKindMarked));
    EXPECT_EQ(at(7, 3), tpk(kTileBlock7x2, 1, kKindMarked));
    EXPECT_EQ(at(7, 4), tpk(kTileBlock7x2, 2, kKindMarked));
    EXPECT_EQ(at(7, 5), tpk(kTileEmpty, 0, kKindMarked));
    for (int k = 0; k <= 6; ++k)
        EXPECT_EQ(at(8, 2 + k), tpk(kTileBlock7x2, 7 + k, kKindMarked));
    paint(kTileBlock6x3, 10, 2);
    for (int i = 0; i <= 2; ++i)
        for (int k = 0; k <= 5; ++k)
            EXPECT_EQ(at(10 + i, 2 + k), tpk(kTileBlock6x3, 6 * i + k, kKindMarked));

    // Pictures of other widths: only the square itself, and for 30 its pair.
    pictureWidth = {{29, 160}};
    paint(kTileBlock7x1, 20, 2);
    EXPECT_EQ(at(20, 2), tpk(kTileBlock7x1, 0, kKindOrdinary));
    EXPECT_EQ(at(20, 3), kDefaultCell);
    paint(kTilePair, 22, 2);
    EXPECT_EQ(at(22, 2), tpk(kTilePair, 0, kKindOrdinary));
    EXPECT_EQ(at(22, 3), tpk(kTilePair, 1, kKindOrdinary));
    EXPECT_EQ(at(22, 4), kDefaultCell);
    EXPECT_EQ(at(23, 2), kDefaultCell);
}

TEST_F(MapEditing, NoWriteLeavesTheGrid)
{
    levels[2] = levels[1]; // the neighbouring slot must stay as it is
    tlevel before = levels[2];
    paint(kTileBlock6x3, 99, 97);
    EXPECT_EQ(at(99, 97), tpk(kTileBlock6x3, 0, kKindMarked));
    EXPECT_EQ(at(100, 100), tpk(kTileBlock6x3, 9, kKindMarked));
    paint(kTileMarked3x3, 100, 100);
    paint(kTileStripVertical, 100, 1);
    paint(12, 0, 0);
    paint(12, -5, 101);
    paint(kTileStripHorizontal, 1, 100);
    EXPECT_EQ(at(1, 100), tpk(kTileStripHorizontal, 0, kKindOnTop));
    EXPECT_EQ(levels[2].name, before.name);
    EXPECT_EQ(std::memcmp(levels[2].cells, before.cells, sizeof before.cells), 0);
}

TEST_F(MapEditing, PaletteHitsSelectAndScrollWithTheirQuirks)
{
    mapMouseDown(MouseButton::Left, 700, 90, widths); // scroll up at the top
    EXPECT_EQ(palscroll, 0);
    palscroll = kPaletteScrollMax;
    mapMouseDown(MouseButton::Right, 700, 430, widths); // scroll down at the bottom
    EXPECT_EQ(palscroll, kPaletteScrollMax);
    mapMouseDown(MouseButton::Left, 700, 90, widths);
    EXPECT_EQ(palscroll, kPaletteScrollMax - 1);
    palscroll = 0;
    mapMouseDown(MouseButton::Left, 700, 430, widths);
    EXPECT_EQ(palscroll, 1);

    palscroll = 2;
    mapMouseDown(MouseButton::Left, 770, 110, widths);
    EXPECT_EQ(palcolumn, 3);
    EXPECT_EQ(palrow, 2);
    EXPECT_EQ(selectedtile(), 2 * 3 + 3 + 12);
    mapMouseDown(MouseButton::Left, 700, 422, widths);
    EXPECT_EQ(palcolumn, 1);
    EXPECT_EQ(palrow, 10);
    mapMouseDown(MouseButton::Left, 640, 200, widths); // x = 640 is neither panel nor map
    EXPECT_EQ(palrow, 10);
    EXPECT_TRUE(saved);
}

TEST_F(MapEditing, PressesAndDragsPaintTheCellUnderTheLastPointerPosition)
{
    mapMouseMove(100, 60, widths); // column (100 + 20) div 40 + 1 = 4, row 3
    EXPECT_TRUE(saved);
    mapMouseDown(MouseButton::Right, 100, 60, widths); // right alone does not paint
    EXPECT_EQ(at(3, 4), kDefaultCell);
    EXPECT_TRUE(saved);

    select(20);
    mapMouseDown(MouseButton::Left, 100, 60, widths);
    EXPECT_EQ(at(3, 4), tpk(20, 0, kKindOrdinary));
    EXPECT_FALSE(saved);
    mapMouseMove(140, 60, widths);
    EXPECT_EQ(at(3, 5).tile, 20);
    mapMouseMove(700, 150, widths); // over the panel: no painting
    mapMouseDown(MouseButton::Right, 700, 150, widths); // selects while the left is held
    EXPECT_EQ(selectedtile(), 12 + 1 + 3 * 1);
    mapMouseMove(60, 60, widths);
    EXPECT_EQ(at(3, 3).tile, 16);
    mapMouseUp(); // any release ends painting
    mapMouseMove(20, 100, widths);
    EXPECT_EQ(at(4, 2), kDefaultCell);
}

TEST_F(MapEditing, NothingReactsBeforeAFileIsOpenButAReleaseEndsPainting)
{
    fileopen = false;
    painting = true;
    mapMouseMove(100, 100, widths);
    mapMouseDown(MouseButton::Left, 700, 200, widths);
    EXPECT_EQ(pointerx, 0);
    EXPECT_EQ(palrow, 0);
    EXPECT_TRUE(saved);
    mapMouseUp();
    EXPECT_FALSE(painting);
}

TEST_F(MapEditing, ScrollingStartsOnePixelPastEachThreshold)
{
    levels[1].width = levels[1].height = 100;
    viewx = viewy = 100;
    struct Case {
        int x, y;
        double dx, dy;
        PointerZone zone;
    } cases[] = {
        {300, 460, 0, 0, PointerZone::None}, {300, 461, 0, 5, PointerZone::Down},
        {300, 20, 0, 0, PointerZone::None},  {300, 19, 0, -5, PointerZone::Up},
        {764, 200, 0, 0, PointerZone::Panel}, {765, 200, 5, 0, PointerZone::Panel},
        {20, 200, 0, 0, PointerZone::None},  {19, 200, -5, 0, PointerZone::Left},
        {5, 5, -5, -5, PointerZone::Left},   {700, 470, 0, 5, PointerZone::Panel},
    };
    for (const Case &c : cases) {
        viewx = viewy = 100;
        pointerx = c.x;
        pointery = c.y;
        EXPECT_EQ(scrollview(10), c.zone) << c.x << "," << c.y;
        EXPECT_EQ(viewx, 100 + c.dx) << c.x << "," << c.y;
        EXPECT_EQ(viewy, 100 + c.dy) << c.x << "," << c.y;
    }
}

TEST_F(MapEditing, TheViewStopsAtTheLevelsBoundsAndSmallLevelsSitBottomRight)
{
    levels[1].width = levels[1].height = 100;
    pointerx = 3;
    pointery = 300;
    viewx = 1.5;
    EXPECT_EQ(scrollview(1), PointerZone::Left);
    EXPECT_EQ(viewx, 1.0);
    EXPECT_EQ(scrollview(2000), PointerZone::Left); // a long gap moves far, then the bounds hold
    EXPECT_EQ(viewx, 0.0);
    pointerx = 900;
    pointery = 900;
    scrollview(10000);
    EXPECT_EQ(pointerx, 784);
    EXPECT_EQ(pointery, 480);
    EXPECT_EQ(viewx, 100 * 40 - 640);
    EXPECT_EQ(viewy, 100 * 40 - 480);

    levels[1].width = 10;
    levels[1].height = 8;
    pointerx = 300;
    pointery = 300;
    scrollview(1);
    EXPECT_EQ(viewx, -240);
    EXPECT_EQ(viewy, -160);
    EXPECT_EQ(pointercell().column, (300 - 240 + 20) / 40 + 1);
}

TEST_F(MapEditing, PointerCellTruncatesTowardZero)
{
    viewx = 0;
    viewy = 0;
    pointerx = 630;
    pointery = 0;
    EXPECT_EQ(pointercell().column, 17);
    EXPECT_EQ(pointercell().row, 1);
    viewx = -240;
    pointerx = 150; // -240 + 150 + 20 = -70: -1 toward zero, so column 0
    EXPECT_EQ(pointercell().column, 0);
    viewx = 12.5;
    pointerx = 7; // 39.5 truncates to 39
    EXPECT_EQ(pointercell().column, 1);
    pointerx = -100000;
    EXPECT_EQ(pointercell().column, (12 - 100000 + 20) / 40 + 1);
}

// A finding shown on the map: its cell in the middle of the map area when the view can go there,
// otherwise within the bounds that edge scrolling keeps; the pointer's mark on the cell either way,
// and the next frame's scrolling leaves the view where it is.
TEST_F(MapEditing, CentringOnACellKeepsTheEdgeScrollingBoundsAndMarksTheCell)
{
    struct Row {
        const char *name;
        int32_t width, height, row, column;
        double viewx, viewy;
    } rows[] = {{"middle", 100, 100, 50, 60, 2060, 1740},
                {"top left", 100, 100, 1, 1, 0, 0},
                {"bottom right", 100, 100, 100, 100, 3360, 3520},
                {"level smaller than the map", 10, 8, 4, 5, -240, -160}};
    for (const Row &row : rows) {
        levels[1].width = row.width;
        levels[1].height = row.height;
        viewx = viewy = 777;
        centreViewOn(row.row, row.column);
        EXPECT_EQ(viewx, row.viewx) << row.name;
        EXPECT_EQ(viewy, row.viewy) << row.name;
        EXPECT_EQ(pointercell().row, row.row) << row.name;
        EXPECT_EQ(pointercell().column, row.column) << row.name;
        scrollview(1);
        EXPECT_EQ(viewx, row.viewx) << row.name;
        EXPECT_EQ(viewy, row.viewy) << row.name;
    }
}
