#pragma once
// What painting a tile writes: the tile's own square and the companion squares of objects larger than
// one square, as a sequence of cell writes. The editor applies them to the current level; the level
// checks compare a level with them. Nothing here touches the store.

#include "levelstore.h"
#include "tiles.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace qm {

enum class PaintVariant { Press, Drag };

// The width in pixels of the level's picture for a tile value, 0 when there is none. Painting the
// strips and blocks depends on it.
using TileWidth = std::function<int32_t(int32_t tile)>;

// The picture widths that turn tiles 30, 36 and 37 into blocks seven squares wide, and tile 40 into one
// six squares wide.
inline constexpr int32_t kSevenSquaresWide = 7 * kSquare;
inline constexpr int32_t kSixSquaresWide = 6 * kSquare;

// One write of painting: the fields named in `fields` of cell (row, column) get their values. The
// square may lie outside the level or outside the grid (rows and columns 1..100).
struct CellWrite {
    enum Field : uint8_t { Tile = 1, Pattern = 2, Kind = 4 };
    int32_t row;
    int32_t column;
    uint8_t fields;
    int32_t tile = 0;
    int32_t pattern = 0;
    int32_t kind = 0;
};

// The pattern of the square by which an object of tile t is known: painting leaves its tile with
// pattern 0 at its first square, except the 7 x 2 block drawn seven squares wide, which leaves that
// square empty and is known by its pattern 1 one square to the right.
template <class WidthOf>
int32_t objectKeyPattern(int32_t t, const WidthOf &widthOf)
{
    return t == kTileBlock7x2 && widthOf(kTileBlock7x2) == kSevenSquaresWide ? 1 : 0;
}

// Calls write(CellWrite) for every write of painting tile t at (r, c), in the order painting makes
// them: a later write to the same square overrides an earlier one. A strip longer than the grid is
// followed only to the first square beyond it (the rest could never be written).
template <class WidthOf, class Write>
void paintingWrites(int32_t r, int32_t c, int32_t t, PaintVariant variant, const WidthOf &widthOf, Write &&write)
{
    auto tile = [&](int32_t row, int32_t column, int32_t value) { write(CellWrite{row, column, CellWrite::Tile, value}); };
    auto kind = [&](int32_t row, int32_t column, int32_t value) {
        write(CellWrite{row, column, CellWrite::Kind, 0, 0, value});
    };
    auto whole = [&](int32_t row, int32_t column, int32_t value, int32_t pattern, int32_t kindValue) {
        write(CellWrite{row, column, CellWrite::Tile | CellWrite::Pattern | CellWrite::Kind, value, pattern, kindValue});
    };
    // A strip of n squares from (r, c) to the right (down when vertical).
    auto strip = [&](int32_t value, bool vertical) {
        const int64_t n = widthOf(kTileStripHorizontal) / kSquare;
        const int64_t from = vertical ? r : c;
        for (int64_t k = std::max<int64_t>(0, 1 - from); k < n && from + k <= kGridSize + 1; ++k)
            whole(vertical ? int32_t(r + k) : r, vertical ? c : int32_t(c + k), value, int32_t(k), kKindOnTop);
    };

    if (variant == PaintVariant::Drag)
        kind(r, c, kKindOrdinary);

    // Marks and fillers.
    switch (t) {
    case kTileMarkedTallA:
    case kTileMarkedTallB:
        kind(r, c, kKindMarked);
        tile(r + 1, c, kTileFiller);
        tile(r + 2, c, kTileFiller);
        break;
    case kTileMarked3x3:
        kind(r, c, kKindMarked);
        for (int i = 0; i <= 2; ++i)
            for (int j = 0; j <= 2; ++j)
                tile(r + i, c + j, kTileFiller);
        break;
    case kTileTall:
        tile(r + 1, c, kTileTallLower);
        break;
    case kTilePortRight:
    case kTilePortDown:
    case kTilePortLeft:
    case kTilePortUp:
        kind(r, c, kKindOnTop);
        break;
    case kTileExit:
        kind(r, c, variant == PaintVariant::Press ? kKindMarked : kKindOnTop);
        tile(r + 1, c, kTileFiller);
        tile(r + 2, c, kTileFiller);
        break;
    default:
        break;
    }

    tile(r, c, t);
    if (t == kTileExit)
        tile(r + 1, c, kTileEmpty);
    write(CellWrite{r, c, CellWrite::Pattern, 0, 0, 0});

    // Strips and blocks: objects that cover several squares carry their parts as patterns.
    switch (t) {
    case kTileStripHorizontal:
        strip(kTileStripHorizontal, false);
        break;
    case kTilePair:
        write(CellWrite{r, c + 1, CellWrite::Tile | CellWrite::Pattern, kTilePair, 1});
        if (widthOf(kTilePair) == kSevenSquaresWide)
            for (int k = 0; k <= 6; ++k) {
                whole(r, c + k, kTilePair, k, kKindMarked);
                whole(r + 1, c + k, kTilePair, 7 + k, kKindMarked);
            }
        break;
    case kTileStripVertical:
        strip(kTileStripVertical, true); // as long as the horizontal strip's picture is wide
        break;
    case kTileBlock7x1:
        if (widthOf(kTileBlock7x1) == kSevenSquaresWide)
            for (int k = 0; k <= 6; ++k)
                whole(r, c + k, kTileBlock7x1, k, kKindMarked);
        break;
    case kTileBlock7x2:
        if (widthOf(kTileBlock7x2) == kSevenSquaresWide) {
            for (int k = 0; k <= 6; ++k) {
                whole(r, c + k, kTileEmpty, 0, kKindMarked);
                whole(r + 1, c + k, kTileBlock7x2, 7 + k, kKindMarked);
            }
            whole(r, c + 1, kTileBlock7x2, 1, kKindMarked);
            whole(r, c + 2, kTileBlock7x2, 2, kKindMarked);
        }
        break;
    case kTileBlock6x3:
        if (widthOf(kTileBlock6x3) == kSixSquaresWide)
            for (int i = 0; i <= 2; ++i)
                for (int k = 0; k <= 5; ++k)
                    whole(r + i, c + k, kTileBlock6x3, 6 * i + k, kKindMarked);
        break;
    case kTileOnTop:
        kind(r, c, kKindOnTop);
        break;
    default:
        break;
    }
}

// Paints tile t at (r, c) of level: the writes of paintingWrites, those outside the grid skipped.
inline void paintLevel(tlevel &level, int32_t r, int32_t c, int32_t t, PaintVariant variant, const TileWidth &widthOf)
{
    paintingWrites(r, c, t, variant, widthOf, [&level](const CellWrite &write) {
        cell *at = level.cellAt(write.row, write.column);
        if (!at)
            return;
        if (write.fields & CellWrite::Tile)
            at->tile = write.tile;
        if (write.fields & CellWrite::Pattern)
            at->pattern = write.pattern;
        if (write.fields & CellWrite::Kind)
            at->kind = write.kind;
    });
}

} // namespace qm
