#pragma once
// Stamps: a rectangle of a level's cells, carried by the map tools and written elsewhere, and their
// form on the clipboard.

#include "mapediting.h"

#include "levels/levelstore.h"
#include "levels/storestep.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// A rectangle of cells with all four values of each, row by row.
struct Stamp {
    int32_t rows = 0, columns = 0;
    std::vector<cell> cells;
    const cell &at(int32_t row, int32_t column) const { return cells[size_t(row) * size_t(columns) + size_t(column)]; }
    bool operator==(const Stamp &) const = default;
};

Stamp captureStamp(const tlevel &level, const CellRect &rect);
// Writes stamp into level k with its top-left cell at topLeft; cells that fall outside the level's
// rows and columns are left out.
void writeStamp(StoreStep &step, int32_t k, CellPosition topLeft, const Stamp &stamp);

// The clipboard's form of a stamp: "QMCELLS1", rows and columns (32-bit little-endian, 1..100 each),
// then each cell's four values as 32-bit little-endian numbers, row by row.
inline constexpr const char *kCellsMimeType = "application/x-quillmoss-cells";
std::string stampBytes(const Stamp &stamp);
// The tile numbers, a line per row, separated by tabs.
std::string stampText(const Stamp &stamp);
// Reads stampBytes; anything else throws qm::Error with what is wrong, also cells with values the
// editor never makes (a kind other than 100, 101 and 102, a tile outside 0 and the palette's tiles, a
// negative pattern, a reserved value other than 0).
Stamp readStampBytes(std::string_view bytes);

} // namespace qm
