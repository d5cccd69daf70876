#include "editor/core/replacetile.h"

#include "levels/levelcheck.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/tiles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

using namespace qm;

namespace {

class ReplaceTile : public ::testing::Test {
protected:
    void SetUp() override
    {
        initStore();
        levelsinfo = Tlevels{};
        resetstore();
    }

    // A theme whose strips are four squares long and whose blocks have their full sizes.
    std::map<int32_t, int32_t> pictureWidth{{29, 160}, {30, 280}, {36, 280}, {37, 280}, {40, 240}};
    TileWidth widths = [this](int32_t tile) {
        auto it = pictureWidth.find(tile);
        return it == pictureWidth.end() ? kSquare : it->second;
    };
    LevelTileWidth widthsOf = [this](int32_t) { return widths; };

    LevelGraphics graphics() const
    {
        LevelGraphics loaded;
        for (int32_t tile = 0; tile <= kLastPaletteTile; ++tile)
            loaded.pictures.push_back({pictureWidth.count(tile) ? pictureWidth.at(tile) : kSquare, 64});
        return loaded;
    }

    static Bytes fileBytes()
    {
        std::array<int32_t, kOffsetCount> offsets = levelsinfo.offsets;
        return levelsFileBytes(offsets);
    }

    // Runs one replace as the editor does, checking it finds what the count promised.
    std::unique_ptr<StoreStep> replace(const TileReplace &what)
    {
        const ReplaceCount promised = countReplacements(what, widthsOf);
        auto step = std::make_unique<StoreStep>();
        step->begin();
        EXPECT_EQ(replaceTile(*step, what, widthsOf), promised);
        step->finish();
        EXPECT_EQ(step->empty(), promised.squares == 0);
        return step;
    }

    void objectsStayWholeIn(int k);

    std::vector<std::string> objectFindings(int32_t k) const
    {
        const LevelGraphics loaded = graphics();
        std::vector<std::string> codes;
        for (const Finding &finding : checkLevel(levels[k], &loaded))
            if (finding.code.rfind("object-", 0) == 0 || finding.code == "stray-filler")
                codes.push_back(finding.code + ": " + finding.message);
        return codes;
    }
};

} // namespace

// Any sequence of replaces, whole levels or one, with and without a pattern, taken back step by step,
// gives the file's bytes back; done again, it gives the bytes after the last one. Every count matches
// what was replaced.
TEST_F(ReplaceTile, UndoAfterAnySequenceGivesTheBytesBack)
{
    std::mt19937 random(20261208);
    const int32_t tiles[] = {12, 15, 16, 19, 20, 29, 30, 31, 32, 33, 36, 37, 40, 41, 49, 51, 63, 64, 66, 68};
    auto any = [&](int32_t n) { return int32_t(random() % uint32_t(n)); };
    for (int k = 0; k < 5; ++k) {
        addlevel();
        // Level 1 is as large as a level gets: replacing most of it, a step keeps the whole level.
        levels[k + 1].width = k == 0 ? kGridSize : 6 + 2 * any(47);
        levels[k + 1].height = k == 0 ? kGridSize : 6 + 2 * any(47);
        for (int n = 0; n < 300; ++n)
            paintLevel(levels[k + 1], 1 + any(50), 1 + any(50), tiles[any(std::size(tiles))], PaintVariant::Press, widths);
    }
    const Bytes before = fileBytes();
    int64_t replaced = 0;
    for (int round = 0; round < 20; ++round) {
        std::vector<std::unique_ptr<StoreStep>> steps;
        for (int n = 0; n < 6; ++n) {
            TileReplace what{tiles[any(std::size(tiles))], tiles[any(std::size(tiles))]};
            if (any(3) == 0)
                what.pattern = any(3);
            what.level = any(levelsinfo.count + 1);
            replaced += countReplacements(what, widthsOf).squares;
            steps.push_back(replace(what));
        }
        const Bytes after = fileBytes();
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            (*step)->revert();
        ASSERT_EQ(fileBytes(), before) << "round " << round;
        for (auto &step : steps)
            step->apply();
        ASSERT_EQ(fileBytes(), after) << "round " << round;
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            (*step)->revert();
    }
    EXPECT_GT(replaced, 1000) << "the sequences replaced next to nothing";
}

// Replacing the filling of a level by an object of several squares and back leaves whole objects only,
// never writes outside the level's rectangle, and counts each object once.
TEST_F(ReplaceTile, ObjectsStayWholeAndTheLevelsOutsideIsUntouched)
{
    // A small level, and one large enough that the step keeps it whole rather than cell by cell.
    addlevel();
    levels[1].width = 23;
    levels[1].height = 17;
    addlevel();
    levels[2].width = 95;
    levels[2].height = 99;
    for (int k : {1, 2})
        objectsStayWholeIn(k);
}

void ReplaceTile::objectsStayWholeIn(int k)
{
    SCOPED_TRACE(k);
    tlevel &level = levels[k];
    const cell outside{kTileWall, 7, kKindMarked, 3};
    for (int r = 1; r <= kGridSize; ++r)
        for (int c = 1; c <= kGridSize; ++c)
            if (r > level.height || c > level.width)
                *level.cellAt(r, c) = outside;
    const Bytes before = fileBytes();
    const tlevel original = level;

    for (int32_t object : {kTileExit, kTileTall, kTilePair, kTileStripHorizontal, kTileStripVertical, kTileBlock7x1,
                           kTileBlock7x2, kTileBlock6x3, kTileMarkedTallA, kTileMarked3x3}) {
        SCOPED_TRACE(object);
        const int64_t placed = countReplacements({kTileBase, object, std::nullopt, k}, widthsOf).squares;
        auto there = replace({kTileBase, object, std::nullopt, k});
        EXPECT_GT(countReplacements({object, kTileBase, std::nullopt, k}, widthsOf).squares, 0);
        EXPECT_EQ(objectFindings(k), std::vector<std::string>{});
        for (int r = 1; r <= kGridSize; ++r)
            for (int c = 1; c <= kGridSize; ++c)
                ASSERT_TRUE((r <= level.height && c <= level.width) || *level.cellAt(r, c) == outside)
                    << "row " << r << ", column " << c;

        const int64_t objects = countReplacements({object, kTileBase, std::nullopt, k}, widthsOf).squares;
        auto back = replace({object, kTileBase, std::nullopt, k});
        EXPECT_EQ(countReplacements({object, kTileBase, std::nullopt, k}, widthsOf).squares, 0);
        EXPECT_EQ(objectFindings(k), std::vector<std::string>{});
        // Every object's squares went back to the filling, each object counted once.
        int64_t filled = 0;
        for (int r = 1; r <= level.height; ++r)
            for (int c = 1; c <= level.width; ++c)
                filled += !(*level.cellAt(r, c) == original.cells[r - 1][c - 1]);
        EXPECT_EQ(filled, 0);
        EXPECT_EQ(objects, placed);

        back->revert();
        there->revert();
        ASSERT_EQ(fileBytes(), before);
    }
}

// Nothing to do records nothing: the same tile on both sides, a tile the file does not hold, a level
// outside the file.
TEST_F(ReplaceTile, NothingFoundWritesNothing)
{
    addlevel();
    EXPECT_EQ(replaceCountText(countReplacements({kTileBase, kTileBase}, widthsOf)), "0 squares in 0 levels");
    replace({kTileBase, kTileBase});
    replace({kTileExit, kTileBase});
    replace({kTileBase, kTileWall, std::nullopt, 2});
    replace({kTileBase, kTileWall, 1});
    const ReplaceCount one = countReplacements({kTileBase, kTileWall, std::nullopt, 1}, widthsOf);
    EXPECT_EQ(replaceCountText(one), "1600 squares in 1 level");
}
