#pragma once
// Replacing a tile: every square of one tile (optionally only those showing one pattern) in one level or
// in all levels becomes another tile, written with the painting rules, as one step. The Replace Tile
// dialog and `qmtool lev replace` both run it.
//
// What a replace writes, square by square in reading order (rows top to bottom, each left to right):
// - A plain tile FROM: the square is cleared as Delete clears it, then TO is painted there as a click
//   with TO paints it (an object of several squares writes its companions to the right and below).
// - An object of several squares FROM (the exit, the tall objects, strips and blocks): it is found at
//   its first square (where painting leaves FROM with pattern 0; the wide 7 x 2 block 37 by its
//   pattern 1 to the right of it) and counted once there. Its other squares, those that still hold
//   what painting FROM wrote there, are cleared as Delete clears them, and TO is painted at the first
//   square. A lone part (a right half of a chip whose left half is gone) is not an object and stays,
//   unless a pattern asks for it: a pattern other than the object's first picks single squares.
// - A square is replaced only when everything painting TO there writes lies inside the level and
//   touches no square this replace has written already: squares outside the level's rectangle are
//   never touched, and no replaced object is cut by the next one.
// So the count before (countReplacements) is the count after (replaceTile), and replacing a plain tile
// by an object and back leaves whole objects only.

#include "levelgraphics.h"

#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/storestep.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// The highest tile a replace writes or looks for: the palette's last tile.
inline constexpr int32_t kHighestReplaceTile = kLastPaletteTile;

struct TileReplace {
    int32_t from = 0;
    int32_t to = 0;
    std::optional<int32_t> pattern = std::nullopt; // only squares of FROM showing this pattern
    int32_t level = 0;              // 1..count; 0: every level of the file
};

struct ReplaceCount {
    int64_t squares = 0;
    int32_t levels = 0;
    bool operator==(const ReplaceCount &) const = default;
};

// The picture widths of level k's graphics file, which painting the strips and blocks depends on.
using LevelTileWidth = std::function<TileWidth(int32_t k)>;

// What replaceTile would replace, the store left as it is. FROM == TO finds nothing.
ReplaceCount countReplacements(const TileReplace &replace, const LevelTileWidth &widthsOf);
// Replaces through step (each level's cells in one patch); answers what it replaced. FROM == TO and
// nothing found write nothing.
ReplaceCount replaceTile(StoreStep &step, const TileReplace &replace, const LevelTileWidth &widthsOf);

// "37 squares in 4 levels", "1 square in 1 level".
std::string replaceCountText(const ReplaceCount &count);

// The picture widths of level k's graphics file in gameDir, read through files. A file that is missing
// or does not read has no widths (every object in its one-square form, as painting with no pictures
// loaded writes it).
TileWidth levelTileWidth(GraphicsFiles &files, const std::string &gameDir, int32_t k);

} // namespace qm
