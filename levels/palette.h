#pragma once
// The tile palette: which tiles it offers, how they are laid out and how much of it shows at a time.
// One rule for the palette's drawing, its clicks, painting, picking a tile from the map and qmtool.
//
// The palette offers tiles 12..77 in rows of three: slot (row, column), counted from 0 at the top of
// the whole palette, holds tile row × 3 + column + 12. Eight rows show at a time, from the row palscroll;
// the twenty-two rows scroll from 0 to 14.

#include <algorithm>
#include <cstdint>

namespace qm {

inline constexpr int32_t kFirstPaletteTile = 12;
inline constexpr int32_t kLastPaletteTile = 77;

inline constexpr int32_t kPaletteColumns = 3;
inline constexpr int32_t kPaletteRowsShown = 8;
// Rows of the whole palette; the last is full (75, 76, 77 fill it exactly).
inline constexpr int32_t kPaletteRowCount = (kLastPaletteTile - kFirstPaletteTile) / kPaletteColumns + 1;
// The largest palscroll: the last row shows at the bottom.
inline constexpr int32_t kPaletteScrollMax = kPaletteRowCount - kPaletteRowsShown;

struct PaletteSlot {
    int32_t row;    // from the top of the whole palette, not from the first row shown
    int32_t column; // 0..2
};

inline constexpr bool onPalette(int32_t tile) { return tile >= kFirstPaletteTile && tile <= kLastPaletteTile; }

// The tile of a slot. Not bounded: a column of 3 reads as the first slot of the next row, as the
// palette's hit grid has it.
inline constexpr int32_t paletteTile(int32_t row, int32_t column)
{
    return row * kPaletteColumns + column + kFirstPaletteTile;
}

// The slot of a tile on the palette (onPalette).
inline constexpr PaletteSlot paletteSlot(int32_t tile)
{
    return {(tile - kFirstPaletteTile) / kPaletteColumns, (tile - kFirstPaletteTile) % kPaletteColumns};
}

inline constexpr int32_t clampPaletteScroll(int32_t scroll) { return std::clamp(scroll, 0, kPaletteScrollMax); }

// The scroll nearest to scroll that shows row.
inline constexpr int32_t paletteScrollShowing(int32_t row, int32_t scroll)
{
    if (row < scroll)
        scroll = row;
    if (row >= scroll + kPaletteRowsShown)
        scroll = row - kPaletteRowsShown + 1;
    return clampPaletteScroll(scroll);
}

} // namespace qm
