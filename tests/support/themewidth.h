#pragma once
// The widths of the default theme's pictures, for painting without a graphics file: two-square strips,
// the pair and the blocks at their full sizes, every other tile one square.

#include "levels/painting.h"
#include "levels/tiles.h"

#include <cstdint>

namespace qm {

inline int32_t defaultThemeWidth(int32_t tile)
{
    switch (tile) {
    case kTileStripHorizontal:
        return 2 * kSquare;
    case kTilePair:
    case kTileBlock7x1:
    case kTileBlock7x2:
        return kSevenSquaresWide;
    case kTileBlock6x3:
        return kSixSquaresWide;
    default:
        return kSquare;
    }
}

} // namespace qm
