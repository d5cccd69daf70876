// The level checks on small levels made here, painted with the painting rules themselves.

#include "levels/gamerules.h"
#include "levels/levelcheck.h"
#include "levels/painting.h"
#include "levels/palette.h"
#include "levels/reach.h"
#include "levels/supaplex.h"
#include "levels/tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
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
    // The exit painted over leaves its filler.
    ASSERT_EQ(codes(findings), (Codes{"start-wall", "infotrons", "no-exit", "stray-filler"}));
    EXPECT_EQ(findings[0].severity, Severity::Error);
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 2}));
    EXPECT_EQ(findings[1].severity, Severity::Error);
    EXPECT_EQ(findings[1].message,
              "the level asks for 3 infotrons but can hold at most 1: 1 infotron (12) and 0 sparks (39) that leave "
              "nine each when destroyed");
    EXPECT_EQ(findings[2].severity, Severity::Error);
    EXPECT_EQ(findings[3].severity, Severity::Warning);
    EXPECT_EQ(findings[3].cell, (CellPlace{8, 1}));

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
    EXPECT_EQ(findings[0].severity, Severity::Note);
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
    ASSERT_EQ(codes(findings), Codes(2, "object-part")); // one for each object: 29's second half, 37's 8 squares
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 5}));
    EXPECT_EQ(findings[0].message, "a square of a horizontal chip (29) at column 5, row 2 is left of an object whose "
                                   "first square was painted over");
    EXPECT_EQ(findings[1].cell, (CellPlace{4, 4}));
    EXPECT_EQ(findings[1].message.rfind("8 squares of a tower block (37) from column 4, row 4 on", 0), 0u)
        << findings[1].message;
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

namespace {

// A level drawn in text, one character a square: '.' empty, 'b' base, '#' hard wall, 'S' the start
// (empty), 'E' exit, 'i' infotron, 'o' boulder, 'c' chip, 'D' locked door, 'k' key, 'x' spark,
// 'n' spinner, 't' teleporter, '>' 'v' '<' '^' ports. Infotrons asked for: given.
std::unique_ptr<tlevel> drawn(const std::vector<std::string> &rows, int32_t infotrons)
{
    auto level = std::make_unique<tlevel>();
    for (auto &row : level->cells)
        for (cell &c : row)
            c = kDefaultCell;
    level->height = int32_t(rows.size());
    level->width = int32_t(rows[0].size());
    level->infotrons = infotrons;
    for (int r = 1; r <= level->height; ++r)
        for (int c = 1; c <= level->width; ++c) {
            const char ch = rows[size_t(r - 1)][size_t(c - 1)];
            const std::string keys = ".b#SEiocDkxnt>v<^";
            const int32_t tiles[] = {15, 16, 41, 15, 63, 12, 20, 28, 17, 14, 39, 38, 24, 49, 50, 51, 52};
            *level->cellAt(r, c) = cell{tiles[keys.find(ch)], 0, ch == 'E' ? kKindMarked : kKindOrdinary, 0};
            if (ch == 'S') {
                level->startx = c * 40 + 20;
                level->starty = r * 40 + 20;
            }
        }
    return level;
}

// The codes of the errors and warnings (exits drawn as one square leave their companions out, and
// the levels drawn are smaller than the Levels dialog allows).
Codes problems(const tlevel &level)
{
    Codes out;
    for (const Finding &f : checkLevel(level, nullptr))
        if (f.severity != Severity::Note && f.code != "object-cut" && f.code != "object-broken" && f.code != "size")
            out.push_back(f.code);
    return out;
}

// The codes of the notes on the hero's reach and the infotrons asked for.
Codes reachNotes(const tlevel &level)
{
    Codes out;
    for (const Finding &f : checkLevel(level, nullptr))
        if (f.severity == Severity::Note && (f.code == "reach-obstructed" || f.code == "no-infotrons"))
            out.push_back(f.code);
    return out;
}

// Turns a drawn level a quarter to the right, ports with it.
std::vector<std::string> turned(const std::vector<std::string> &rows)
{
    std::vector<std::string> out(rows[0].size(), std::string(rows.size(), ' '));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[0].size(); ++c) {
            char ch = rows[r][c];
            const std::string from = ">v<^", to = "v<^>";
            if (from.find(ch) != std::string::npos)
                ch = to[from.find(ch)];
            out[c][rows.size() - 1 - r] = ch;
        }
    return out;
}

} // namespace

TEST(GameRules, EveryPaletteTileHasARuleAndFlipsComeBack)
{
    for (int32_t tile = kFirstPaletteTile; tile <= kLastPaletteTile; ++tile) {
        const TileRules *rules = tileRules(tile);
        ASSERT_NE(rules, nullptr) << tile;
        EXPECT_EQ(rules->tile, tile);
        EXPECT_FALSE(std::string(rules->name).empty()) << tile;
        EXPECT_FALSE(std::string(rules->how).empty()) << tile;
        EXPECT_EQ(rules->rule == TileRule::Port, rules->directions != 0) << tile;
        for (int32_t flipped : {rules->flippedLeftRight, rules->flippedTopBottom})
            EXPECT_TRUE(flipped == kCannotFlip || tileRules(flipped)) << tile;
        if (rules->flippedLeftRight != kCannotFlip) {
            EXPECT_EQ(tileRules(rules->flippedLeftRight)->flippedLeftRight, tile) << tile;
        }
        if (rules->flippedTopBottom != kCannotFlip) {
            EXPECT_EQ(tileRules(rules->flippedTopBottom)->flippedTopBottom, tile) << tile;
        }
        // Objects of several squares mirror at most along their single row or column.
        if (coversSeveralSquares(tile)) {
            EXPECT_TRUE(rules->flippedLeftRight == kCannotFlip || rules->flippedTopBottom == kCannotFlip) << tile;
        }
    }
    EXPECT_EQ(tileRules(kTilePortRight)->flippedLeftRight, kTilePortLeft);
    EXPECT_EQ(tileRules(kTilePortDown)->flippedTopBottom, kTilePortUp);
    EXPECT_EQ(tileRules(kTilePortUp)->flippedLeftRight, kTilePortUp);
    EXPECT_EQ(tileRules(11), nullptr);
    EXPECT_EQ(ruleOf(11), TileRule::Unknown);
    EXPECT_EQ(ruleOf(-5), TileRule::Unknown);
    EXPECT_EQ(infotronsLeftBy(kTileSpark), 9);
    EXPECT_EQ(infotronsLeftBy(kTileInfotron), 1);
    EXPECT_EQ(infotronsLeftBy(kTileSpinner), 0);
    EXPECT_EQ(tileWords(kTileExit), "exit (63)");
    EXPECT_EQ(tileWords(kTilePortUpDown), "port up and down (70)");
    EXPECT_EQ(tileWords(78), "tile 78");
}

// The walls of imported levels are walls that never move or break; nothing else the import writes is.
TEST(GameRules, ImportedHardwareIsWallAndNothingElse)
{
    for (int code = 0; code < 256; ++code) {
        const bool hardware = code == 6 || (code >= 28 && code <= 37);
        EXPECT_EQ(ruleOf(supaplexCell(uint8_t(code)).tile) == TileRule::Wall, hardware) << code;
    }
    EXPECT_EQ(ruleOf(supaplexCell(24).tile), TileRule::Enemy);
    for (int code = 9; code <= 16; ++code)
        EXPECT_EQ(ruleOf(supaplexCell(uint8_t(code)).tile), TileRule::Port) << code;
}

// A wall across the level with a port in it, in each of the four directions: the port passed its own
// way lets the hero to the exit; the port the other way round is an error naming the reach.
TEST(Reach, PortsPassOnlyTheirOwnWay)
{
    std::vector<std::string> through{"...#....", ".S.#..E.", "...>....", "...#....", "...#....", "...#i..."};
    std::vector<std::string> back = through;
    back[2][3] = '<';
    for (int quarter = 0; quarter < 4; ++quarter) {
        SCOPED_TRACE(quarter);
        EXPECT_EQ(problems(*drawn(through, 1)), Codes{});
        const auto blocked = drawn(back, 1);
        EXPECT_EQ(problems(*blocked), (Codes{"exit-unreachable", "infotrons-unreachable"}));
        const std::vector<Finding> findings = checkLevel(*blocked, nullptr);
        EXPECT_NE(findings[0].message.find("cannot be reached from the start square"), std::string::npos);
        const ReachMap reach = findReach(*blocked);
        EXPECT_EQ(reach.at(reach.startRow, reach.startColumn), Reached::Freely);
        through = turned(through);
        back = turned(back);
    }
    // Ports one after another are passed together; a port across them stops the hero, and so does a
    // wall on the square beyond.
    EXPECT_EQ(problems(*drawn({"#######", "S>>>.Ei"}, 1)), Codes{});
    EXPECT_EQ(problems(*drawn({"#######", "S>>v.Ei"}, 1)), (Codes{"exit-unreachable", "infotrons-unreachable"}));
    EXPECT_EQ(problems(*drawn({"#######", "S>#.Ei#"}, 1)), (Codes{"exit-unreachable", "infotrons-unreachable"}));
}

// The error about infotrons out of reach names the first one cut off and how many more, and speaks of
// sparks only on a level that has them.
TEST(Reach, InfotronsOutOfReachAreNamedByTheFirstOne)
{
    const auto level = drawn({"S.E#ii", "..i#.i"}, 3);
    std::vector<Finding> findings = checkLevel(*level, nullptr);
    const auto unreachable = std::find_if(findings.begin(), findings.end(),
                                          [](const Finding &f) { return f.code == "infotrons-unreachable"; });
    ASSERT_NE(unreachable, findings.end());
    EXPECT_EQ(unreachable->message, "only 1 of the 3 infotrons the level asks for can be reached from the start "
                                    "square; the infotron at column 5, row 1 and 2 more cannot be reached from the "
                                    "start square, even with every boulder, chip and locked door out of the way");
    EXPECT_EQ(unreachable->cell, (CellPlace{1, 5}));
}

// What stands in the only way: a boulder or a chip is a note (the normal way of the game), a hard wall
// an error; a locked door opens with a key in reach, and without one it is a note (the door may still
// open); enemies and teleporters never stand in the way.
TEST(Reach, WhatStandsInTheOnlyWay)
{
    auto level = [](char way) {
        return drawn({"######", "S.i" + std::string(1, way) + "E.", "######"}, 1);
    };
    EXPECT_EQ(problems(*level('.')), Codes{});
    EXPECT_EQ(problems(*level('n')), Codes{});
    EXPECT_EQ(problems(*level('x')), Codes{});
    EXPECT_EQ(reachNotes(*level('.')), Codes{});
    for (char way : {'o', 'c', 'D'}) {
        EXPECT_EQ(problems(*level(way)), Codes{}) << way;
        EXPECT_EQ(reachNotes(*level(way)), Codes{"reach-obstructed"}) << way;
    }
    EXPECT_EQ(problems(*level('#')), Codes{"exit-unreachable"});
    EXPECT_EQ(reachNotes(*drawn({"#######", "Ski.D.E", "#######"}, 1)), Codes{});
    EXPECT_EQ(reachNotes(*drawn({"#########", "S.i.D.kE.", "#########"}, 1)), Codes{"reach-obstructed"}); // key behind
    // The note names what cannot be had freely, the exit and infotrons behind a boulder, and what
    // stands on the way, most frequent first.
    std::vector<Finding> findings = checkLevel(*drawn({"##########", "S.ioo.iciE", "##########"}, 3), nullptr);
    ASSERT_EQ(codes(findings), (Codes{"size", "reach-obstructed", "object-cut"})); // the exit drawn alone
    EXPECT_EQ(findings[1].severity, Severity::Note);
    EXPECT_EQ(findings[1].message, "the hero reaches the exit (63) at column 10, row 2 and 2 of the 3 infotrons needed "
                                   "only by moving, breaking or opening something on the way: 2 boulders (20) and a "
                                   "chip (28)");
    // Asking for no infotrons folds into the same line; the boulders off the way are not named.
    findings = checkLevel(*drawn({"#o#####", "S.o.iE.", "#######"}, 0), nullptr);
    ASSERT_EQ(codes(findings), (Codes{"size", "reach-obstructed", "object-cut"}));
    EXPECT_EQ(findings[1].message, "the level asks for no infotrons: the exit is open from the start; the hero reaches "
                                   "the exit (63) at column 6, row 2 only by moving, breaking or opening something on "
                                   "the way: a boulder (20)");
    // A teleporter takes the hero to the other one behind the wall.
    EXPECT_EQ(problems(*drawn({"S.t#t.iE"}, 1)), Codes{});
}

// The infotrons asked for against what the level can hold: its infotron tiles and nine for each spark.
TEST(Reach, InfotronsCountSparksAndTheirSpace)
{
    const std::vector<std::string> rows{"S.i.x..E", "........", "##.#####", "..x#....", "...#...."};
    EXPECT_EQ(problems(*drawn(rows, 19)), Codes{}); // 1 + 9 + 9
    EXPECT_EQ(problems(*drawn(rows, 20)), Codes{"infotrons"});
    EXPECT_EQ(problems(*drawn(rows, 0)), Codes{});
    EXPECT_EQ(reachNotes(*drawn(rows, 0)), Codes{"no-infotrons"});
    EXPECT_EQ(checkLevel(*drawn(rows, 0), nullptr)[1].message,
              std::string("the level asks for no infotrons: the exit is open from the start"));
    // The second spark walled off: its infotrons cannot be had.
    auto walled = rows;
    walled[2][2] = '#';
    EXPECT_EQ(problems(*drawn(walled, 10)), Codes{});
    EXPECT_EQ(problems(*drawn(walled, 11)), Codes{"infotrons-unreachable"});
    // Behind a boulder the spark's space still meets the hero's: its infotrons count.
    walled[2][2] = 'o';
    EXPECT_EQ(problems(*drawn(walled, 19)), Codes{});
}

TEST(Reach, StartSquareAndStoredSize)
{
    EXPECT_EQ(problems(*drawn({"#S.iE."}, 1)), Codes{});
    auto level = drawn({"#.S.iE"}, 1);
    level->cellAt(1, 3)->tile = kTileWall;
    EXPECT_EQ(problems(*level), Codes{"start-wall"});
    level->cellAt(1, 3)->tile = kTileBoulder;
    EXPECT_EQ(problems(*level), Codes{"start-tile"});
    // The start square is read as the levels dialog reads it: pixel 40 is column 0.
    level->cellAt(1, 3)->tile = kTileEmpty;
    level->startx = 40;
    EXPECT_EQ(problems(*level), Codes{"start-outside"});
    for (auto [width, height, right] : {std::tuple{100, 8, false}, {8, 7, false}, {4, 8, false}, {72, 8, false},
                                         {6, 70, true}, {70, 6, true}}) {
        level = drawn({"S.iE.."}, 1);
        level->width = width;
        level->height = height;
        const Codes found = codes(checkLevel(*level, nullptr));
        EXPECT_EQ(std::count(found.begin(), found.end(), "size") == 0, right) << width << " x " << height;
    }
}

// One finding per object: an object cut by an edge, two objects painted over each other, the fillers
// left of an object painted over.
TEST(LevelCheck, OneFindingPerObject)
{
    const LevelGraphics graphics = themeGraphics();
    auto level = cleanLevel();
    paintLevel(*level, 4, 9, kTileMarked3x3, PaintVariant::Press, themeWidth);
    std::vector<Finding> findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"object-cut"});
    EXPECT_EQ(findings[0].message, "the big object (68) at column 9, row 4 is cut by the level's right edge (3 of 9 "
                                   "squares missing)");

    level = cleanLevel();
    paintLevel(*level, 1, 2, kTileBlock7x1, PaintVariant::Press, themeWidth);
    paintLevel(*level, 1, 5, kTileBlock6x3, PaintVariant::Press, themeWidth);
    EXPECT_EQ(codes(checkLevel(*level, &graphics)), Codes{"object-broken"}); // the long block only
    *level->cellAt(3, 10) = cell{kTileEmpty, 0, kKindOrdinary, 0};
    findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"object-overlap"});
    EXPECT_EQ(findings[0].message, "the long block (36) at column 2, row 1 and the large block (40) at column 5, row 1 "
                                   "are painted over each other, so that neither is whole");

    level = cleanLevel();
    paintLevel(*level, 2, 5, kTileMarked3x3, PaintVariant::Press, themeWidth);
    *level->cellAt(2, 5) = cell{kTileBase, 0, kKindOrdinary, 0};
    findings = checkLevel(*level, &graphics);
    ASSERT_EQ(codes(findings), Codes{"stray-filler"});
    EXPECT_EQ(findings[0].cell, (CellPlace{2, 6}));
    EXPECT_EQ(findings[0].message.rfind("8 stray fillers (11) from column 6, row 2 on", 0), 0u) << findings[0].message;
}

// Notes fold by kind, in the order the kinds appear; one note of a kind stays its own message.
TEST(LevelCheck, NotesFoldByKind)
{
    const LevelGraphics graphics = themeGraphics();
    auto level = cleanLevel();
    for (int c = 2; c <= 7; ++c)
        *level->cellAt(5, c) = supaplexCell(39); // lower halves alone
    *level->cellAt(2, 6) = supaplexCell(36);
    const std::vector<Finding> findings = checkLevel(*level, &graphics);
    ASSERT_EQ(findings.size(), 7u);
    for (const Finding &f : findings)
        EXPECT_EQ(f.severity, Severity::Note) << f.message;
    const std::vector<NoteGroup> notes = foldNotes(findings);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].text, "the long block (36) at column 6, row 2 is a single square, as imported");
    EXPECT_EQ(notes[1].text, "6 lone lower halves of vertical chips (31), as imported");
    EXPECT_EQ(notes[1].first, (CellPlace{5, 2}));
}

// A spark closed in by hard walls still counts when a square of the hero's touches its space at a
// corner: an explosion there reaches it, and its infotrons land on both sides.
TEST(Reach, ASparkWalledInCountsThroughACorner)
{
    EXPECT_EQ(problems(*drawn({"S..iE", "..###", "..#x#", "..###"}, 10)), Codes{"infotrons-unreachable"});
    EXPECT_EQ(problems(*drawn({"S..iE", "...##", "..#x#", "..###"}, 10)), Codes{});
}

// The game keeps the settings of at most 10 special ports: an 11th is a warning at its square; ten are
// nothing to say.
TEST(LevelCheck, MoreThanTenSpecialPortsAreAWarningAtTheEleventh)
{
    auto level = cleanLevel();
    for (int k = 0; k < 10; ++k)
        level->cellAt(1 + k / 5, 4 + k % 5)->tile = kTileSpecialPortRight + k % 4;
    auto special = [&] {
        std::vector<Finding> found;
        for (const Finding &f : checkLevel(*level, nullptr))
            if (f.code == "special-ports")
                found.push_back(f);
        return found;
    };
    EXPECT_TRUE(special().empty());
    level->cellAt(8, 10)->tile = kTileSpecialPortUp;
    const std::vector<Finding> found = special();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, Severity::Warning);
    EXPECT_EQ(found[0].message, "the level holds 11 special ports; the game allows at most 10 (the 11th is at column 10, row 8)");
    EXPECT_EQ(found[0].cell, (CellPlace{8, 10}));
}
