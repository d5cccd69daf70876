// The level checks on small levels made here, painted with the painting rules themselves.

#include "levels/levelcheck.h"
#include "levels/painting.h"
#include "levels/tiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qm;

namespace {

// Pictures as the default themes have them: every tile one square with a few patterns, the strips and
// blocks as wide as the painting rules look for.
LevelGraphics themeGraphics()
{
    LevelGraphics graphics;
    graphics.pictures.assign(69, TilePicture{40, 1});
    for (auto [tile, width, patterns] : {std::tuple{29, 80, 2}, {30, 280, 14}, {31, 40, 2}, {36, 280, 7},
                                         {37, 280, 14}, {40, 240, 18}})
        graphics.pictures[size_t(tile)] = TilePicture{width, patterns};
    return graphics;
}

int32_t themeWidth(int32_t tile) { return themeGraphics().pictures[size_t(tile)].width; }

// A 10 x 8 level of empty squares, the start at column 2, row 2, one infotron asked for and held, an
// exit at the bottom left.
std::unique_ptr<tlevel> cleanLevel()
{
    auto level = std::make_unique<tlevel>();
    level->width = 10;
    level->height = 8;
    for (auto &row : level->cells)
        for (cell &c : row)
            c = kDefaultCell;
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 10; ++c)
            level->cellAt(r, c)->tile = kTileEmpty;
    level->cellAt(3, 3)->tile = kTileInfotron;
    level->infotrons = 1;
    paintLevel(*level, 6, 1, kTileExit, PaintVariant::Press, themeWidth);
    return level;
}

std::vector<std::string> codes(const std::vector<Finding> &findings)
{
    std::vector<std::string> out;
    for (const Finding &f : findings)
        out.push_back(f.code);
    return out;
}

using Codes = std::vector<std::string>;

} // namespace

TEST(LevelCheck, CleanLevelHasNoFindingsWithOrWithoutPictures)
{
    const auto level = cleanLevel();
    const LevelGraphics graphics = themeGraphics();
    EXPECT_EQ(codes(checkLevel(*level, &graphics, CheckOptions{true})), Codes{});
    EXPECT_EQ(codes(checkLevel(*level, nullptr)), Codes{});
}

TEST(LevelCheck, StartSquareInfotronsAndExit)
{
    auto level = cleanLevel();
    level->cellAt(2, 2)->tile = kTileWall;
    level->infotrons = 3;
    level->cellAt(6, 1)->tile = kTileBase; // the exit's square
    std::vector<Finding> findings = checkLevel(*level, nullptr);
    ASSERT_EQ(codes(findings), (Codes{"start-tile", "infotrons", "no-exit"}));
    EXPECT_EQ(findings[0].severity, Severity::Warning);
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 2}));
    EXPECT_EQ(findings[1].severity, Severity::Error);
    EXPECT_EQ(findings[1].message, "the level asks for 3 infotrons but holds 1 infotron tiles (tile 12)");
    EXPECT_EQ(findings[2].severity, Severity::Warning);

    // Column 11 of a 10-column level, and a start left of column 1 (x 39 lies in column 0).
    for (auto [x, y] : {std::pair{11 * 40 + 20, 100}, {39, 100}, {100, 9 * 40 + 20}}) {
        level->startx = x;
        level->starty = y;
        findings = checkLevel(*level, nullptr);
        ASSERT_FALSE(findings.empty());
        EXPECT_EQ(findings[0].code, "start-outside") << x << "," << y;
        EXPECT_EQ(findings[0].severity, Severity::Error);
    }
}

TEST(LevelCheck, PicturesAndPatternsTheGraphicsFileLacks)
{
    auto level = cleanLevel();
    level->cellAt(4, 5)->tile = 69;   // one past the last picture
    level->cellAt(4, 6)->tile = -1;
    level->cellAt(5, 5)->pattern = 1; // the empty square's picture has one pattern
    LevelGraphics graphics = themeGraphics();
    std::vector<Finding> findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), (Codes{"no-picture", "no-picture", "no-pattern"}));
    EXPECT_EQ(findings[0].cell, (CellPlace{4, 5}));
    EXPECT_EQ(findings[2].cell, (CellPlace{5, 5}));

    graphics.state = LevelGraphics::State::Missing;
    findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"graphics-missing"}); // and no picture checks without the file
    EXPECT_EQ(findings[0].severity, Severity::Error);
    graphics.state = LevelGraphics::State::Unreadable;
    graphics.message = "Cannot open file computer.dxg";
    findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"graphics-unreadable"});
    EXPECT_NE(findings[0].message.find("Cannot open file computer.dxg"), std::string::npos);
}

TEST(LevelCheck, HiddenCellsOnlyWhenAskedFor)
{
    auto level = cleanLevel();
    level->cellAt(1, 11)->tile = kTileWall;
    level->cellAt(9, 1)->kind = kKindOnTop;
    level->cellAt(100, 100)->pattern = 2;
    EXPECT_EQ(codes(checkLevel(*level, nullptr)), Codes{});
    const std::vector<Finding> findings = checkLevel(*level, nullptr, CheckOptions{true});
    ASSERT_EQ(codes(findings), Codes{"hidden-cells"});
    EXPECT_EQ(findings[0].severity, Severity::Information);
    EXPECT_EQ(findings[0].message.rfind("3 cells outside", 0), 0u) << findings[0].message;
}

// Every object larger than one square: painted whole it is clean; painted against the right or the
// bottom edge it is cut; with its last companion square painted over it is broken. The finding names
// the square the object was painted at.
struct ObjectCase {
    const char *name;
    int32_t tile;
    int columns, rows; // the squares painting covers with the theme's pictures
};

class ObjectCheck : public testing::TestWithParam<ObjectCase> {};

TEST_P(ObjectCheck, CleanCutAndBroken)
{
    const ObjectCase o = GetParam();
    const LevelGraphics graphics = themeGraphics();
    auto paintedAt = [&](int r, int c) {
        auto level = cleanLevel();
        level->width = level->height = 12;
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j)
                if (i > 8 || j > 10)
                    *level->cellAt(i, j) = cell{kTileEmpty, 0, kKindOrdinary, 0};
        paintLevel(*level, r, c, o.tile, PaintVariant::Press, themeWidth);
        return level;
    };
    auto level = paintedAt(2, 4);
    EXPECT_EQ(codes(checkLevel(*level, &graphics)), Codes{});

    *level->cellAt(2 + o.rows - 1, 4 + o.columns - 1) = cell{kTileWall, 0, kKindOrdinary, 0};
    std::vector<Finding> findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"object-broken"});
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 4}));

    if (o.columns > 1) {
        level = paintedAt(2, 12 - o.columns + 2);
        findings = checkLevel(*level, &graphics);
        ASSERT_EQ(codes(findings), Codes{"object-cut"});
        EXPECT_NE(findings[0].message.find("right edge"), std::string::npos) << findings[0].message;
    }
    if (o.rows > 1) {
        level = paintedAt(12 - o.rows + 2, 4);
        findings = checkLevel(*level, &graphics);
        ASSERT_EQ(codes(findings), Codes{"object-cut"});
        EXPECT_NE(findings[0].message.find("bottom edge"), std::string::npos) << findings[0].message;
        EXPECT_EQ(findings[0].cell, (CellPlace{12 - o.rows + 2, 4}));
    }
}

INSTANTIATE_TEST_SUITE_P(Objects, ObjectCheck,
                         testing::Values(ObjectCase{"StripHorizontal", 29, 2, 1}, ObjectCase{"Block7x2Of30", 30, 7, 2},
                                         ObjectCase{"StripVertical", 31, 1, 2}, ObjectCase{"Block7x1", 36, 7, 1},
                                         ObjectCase{"Block7x2", 37, 7, 2}, ObjectCase{"Block6x3", 40, 6, 3},
                                         ObjectCase{"Exit", 63, 1, 3}, ObjectCase{"Tall", 64, 1, 2},
                                         ObjectCase{"MarkedTallA", 66, 1, 3}, ObjectCase{"MarkedTallB", 67, 1, 3},
                                         ObjectCase{"Marked3x3", 68, 3, 3}),
                         [](const auto &entry) { return std::string(entry.param.name); });

TEST(LevelCheck, PartsLeftOfAnObjectWhoseFirstSquareWasPaintedOver)
{
    auto level = cleanLevel();
    paintLevel(*level, 2, 4, kTileStripHorizontal, PaintVariant::Press, themeWidth);
    paintLevel(*level, 4, 2, kTileBlock7x2, PaintVariant::Press, themeWidth);
    const LevelGraphics graphics = themeGraphics();
    ASSERT_EQ(codes(checkLevel(*level, &graphics)), Codes{});
    *level->cellAt(2, 4) = cell{kTileEmpty, 0, kKindOrdinary, 0};
    *level->cellAt(4, 3) = cell{kTileEmpty, 0, kKindOrdinary, 0}; // the 7 x 2 block's pattern 1
    const std::vector<Finding> findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes(1 + 1 + 7, "object-part")); // 29: 1; 37: 2 above, 7..13 below
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 5}));
    EXPECT_EQ(findings[1].cell, (CellPlace{4, 4}));
    EXPECT_EQ(findings[8].cell, (CellPlace{5, 8}));
}

TEST(LevelCheck, WithoutPicturesOnlyTheObjectsOfFixedSizeAreChecked)
{
    auto level = cleanLevel();
    paintLevel(*level, 2, 10, kTileStripHorizontal, PaintVariant::Press, themeWidth); // cut, unknown without pictures
    paintLevel(*level, 4, 10, kTilePair, PaintVariant::Press, [](int32_t) { return 0; }); // the pair: always two
    const std::vector<Finding> findings = checkLevel(*level, nullptr);
    ASSERT_EQ(codes(findings), Codes{"object-cut"});
    EXPECT_EQ(findings[0].cell, (CellPlace{4, 10}));
}
