#include "editor/core/maptools.h"

#include "themewidth.h"

#include "levels/levelstore.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace qm;

namespace {

Stamp sampleStamp()
{
    Stamp stamp{2, 3, {}};
    for (int k = 0; k < 6; ++k)
        stamp.cells.push_back(cell{20 + k, 0, 100 + k % 3, k});
    return stamp;
}

std::string withNumberAt(std::string bytes, size_t at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + size_t(k)] = char(value >> (8 * k) & 0xFF);
    return bytes;
}

} // namespace

// The clipboard's bytes come from anywhere: what the editor writes reads back whole, and every damaged
// form is refused with a message instead of read past its end or sized from a hostile count.
TEST(MapTools, ClipboardCellsReadBackAndDamagedOnesAreRefused)
{
    const Stamp stamp = sampleStamp();
    const std::string bytes = stampBytes(stamp);
    EXPECT_EQ(readStampBytes(bytes), stamp);
    EXPECT_EQ(stampText(stamp), "20\t21\t22\n23\t24\t25\n");

    const std::vector<std::pair<const char *, std::string>> damaged{
        {"empty", ""},
        {"another format", "hello, world, this is text"},
        {"header cut short", bytes.substr(0, 12)},
        {"last cell cut short", bytes.substr(0, bytes.size() - 1)},
        {"bytes after the cells", bytes + "x"},
        {"no rows", withNumberAt(bytes, 8, 0)},
        {"negative columns", withNumberAt(bytes, 12, 0xFFFFFFFF)},
        {"more rows than a level", withNumberAt(bytes, 8, 101)},
        {"a size whose cells overflow", withNumberAt(withNumberAt(bytes, 8, 0x40000000), 12, 0x40000000)},
    };
    for (const auto &[what, input] : damaged) {
        try {
            readStampBytes(input);
            ADD_FAILURE() << what << " was read";
        } catch (const Error &e) {
            EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << what << ": " << e.what();
        }
    }
}

namespace {

// A level of the store, every cell the default one, with random tiles, ports and objects painted.
tlevel &randomLevel(std::mt19937 &random)
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    tlevel &level = levels[1];
    level.width = level.height = 30;
    for (int k = 0; k < 120; ++k) {
        const int32_t pick = int32_t(random() % 4);
        const int32_t tile = pick == 0   ? kTilePortRight + int32_t(random() % 4)
                             : pick == 1 ? 12 + int32_t(random() % 57)
                                         : std::array{29, 30, 31, 36, 37, 40, 63, 64, 66, 67, 68}[random() % 11];
        paintLevel(level, 1 + int32_t(random() % 30), 1 + int32_t(random() % 30), tile, PaintVariant::Press,
                   defaultThemeWidth);
    }
    return level;
}

} // namespace

// Flipping twice the same way gives any stamp back, and the two flips commute (a stamp turned half way
// round is one stamp): random stamps cut from random levels, objects reaching beyond their edges among
// them, and stamps from the clipboard.
TEST(MapTools, FlippingTwiceGivesTheStampBack)
{
    std::mt19937 random(31);
    for (int round = 0; round < 200; ++round) {
        const tlevel &level = randomLevel(random);
        const CellPosition a{1 + int32_t(random() % 30), 1 + int32_t(random() % 30)};
        const CellPosition b{1 + int32_t(random() % 30), 1 + int32_t(random() % 30)};
        const Stamp stamp = round % 4 ? captureWholeObjects(level, *cellsBetween(level, a, b), defaultThemeWidth)
                                      : withObjects(captureStamp(level, *cellsBetween(level, a, b)), defaultThemeWidth);
        for (Flip flip : {Flip::LeftRight, Flip::TopBottom}) {
            Stamp twice = stamp;
            flipStamp(twice, flip);
            flipStamp(twice, flip);
            ASSERT_EQ(twice, stamp) << "round " << round;
        }
        Stamp xy = stamp, yx = stamp;
        flipStamp(xy, Flip::LeftRight);
        flipStamp(xy, Flip::TopBottom);
        flipStamp(yx, Flip::TopBottom);
        flipStamp(yx, Flip::LeftRight);
        ASSERT_EQ(xy.cells, yx.cells) << "round " << round;
    }
}

// A stamp through objects: an object whose anchor is inside comes whole, its squares beyond the stamp
// written with it; a part whose anchor is outside becomes a default cell. Flipped, ports turn, other
// tiles stay, and an exit stays whole with its anchor on top.
TEST(MapTools, StampsCarryWholeObjectsAndFlipThem)
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    tlevel &level = levels[1];
    paintLevel(level, 1, 1, kTilePortRight, PaintVariant::Press, defaultThemeWidth);
    paintLevel(level, 1, 2, kTilePortDown, PaintVariant::Press, defaultThemeWidth);
    paintLevel(level, 1, 3, kTileExit, PaintVariant::Press, defaultThemeWidth);
    paintLevel(level, 2, 1, kTileBoulder, PaintVariant::Press, defaultThemeWidth);
    paintLevel(level, 1, 5, kTileExit, PaintVariant::Press, defaultThemeWidth);

    // Rows 2..3 hold the exits' lower squares, without their anchors.
    const Stamp cut = captureWholeObjects(level, CellRect{2, 1, 3, 5}, defaultThemeWidth);
    EXPECT_EQ(cut.at(0, 2), kDefaultCell);
    EXPECT_EQ(cut.at(1, 4), kDefaultCell);
    EXPECT_EQ(cut.at(0, 0).tile, kTileBoulder);

    // One row, the exit reaching below it.
    Stamp stamp = captureWholeObjects(level, CellRect{1, 1, 1, 4}, defaultThemeWidth);
    ASSERT_EQ(stamp.objects.size(), 1u);
    const cell exit = stamp.at(0, 2);
    flipStamp(stamp, Flip::LeftRight);
    EXPECT_EQ(stamp.at(0, 3).tile, kTilePortLeft);
    EXPECT_EQ(stamp.at(0, 2).tile, kTilePortDown);
    EXPECT_EQ(stamp.at(0, 1), exit);
    EXPECT_EQ(stamp.at(0, 0), kDefaultCell);

    StoreStep step;
    step.begin();
    writeStamp(step, 1, {10, 10}, stamp);
    step.finish();
    EXPECT_EQ(level.cellAt(10, 11)->tile, kTileExit);
    EXPECT_EQ(level.cellAt(11, 11)->tile, kTileEmpty) << "the exit's squares beyond the stamp come with it";
    EXPECT_EQ(level.cellAt(12, 11)->tile, kTileFiller);

    Stamp column = captureWholeObjects(level, CellRect{1, 2, 4, 3}, defaultThemeWidth); // port down and the exit
    flipStamp(column, Flip::TopBottom);
    EXPECT_EQ(column.at(3, 0).tile, kTilePortUp);
    EXPECT_EQ(column.at(1, 1).tile, kTileExit) << "the exit's anchor on its new top square";
    EXPECT_EQ(column.at(2, 1).tile, kTileEmpty);
    EXPECT_EQ(column.at(3, 1).tile, kTileFiller);
}
