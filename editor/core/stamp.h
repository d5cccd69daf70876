#pragma once
// Stamps: a rectangle of a level's cells, carried by the map tools and written elsewhere, and their
// form on the clipboard.

#include "mapediting.h"

#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/storestep.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// An object of several squares carried whole (levels/levelobjects.h): its squares as the level held
// them, a rectangle from its anchor that may reach beyond the stamp's right or bottom edge (and, after
// a flip, beyond its left or top edge).
struct StampObject {
    int32_t row = 0, column = 0; // its anchor, from the stamp's top-left cell (0-based)
    int32_t tile = 0;            // the tile painting it
    int32_t rows = 0, columns = 0;
    std::vector<cell> cells; // row by row
    bool operator==(const StampObject &) const = default;
};

// A rectangle of cells with all four values of each, row by row. The squares of its objects hold
// their parts, as the objects do.
struct Stamp {
    int32_t rows = 0, columns = 0;
    std::vector<cell> cells;
    std::vector<StampObject> objects = {};
    const cell &at(int32_t row, int32_t column) const { return cells[size_t(row) * size_t(columns) + size_t(column)]; }
    cell &at(int32_t row, int32_t column) { return cells[size_t(row) * size_t(columns) + size_t(column)]; }
    bool operator==(const Stamp &) const = default;
};

// The cells of rect as they are (what Copy puts on the clipboard).
Stamp captureStamp(const tlevel &level, const CellRect &rect);
// The cells of rect for the right button's stamp: an object whose anchor lies inside comes whole, also
// its squares beyond rect; the squares of an object whose anchor lies outside become default cells,
// so that the stamp never carries half an object.
Stamp captureWholeObjects(const tlevel &level, const CellRect &rect, const TileWidth &widthOf);
// The stamp with the objects that lie whole within its cells (a stamp from the clipboard), so that
// they stay whole when it is flipped.
Stamp withObjects(Stamp stamp, const TileWidth &widthOf);
// Writes stamp into level k with its top-left cell at topLeft, then its objects' squares; cells that
// fall outside the level's rows and columns are left out.
void writeStamp(StoreStep &step, int32_t k, CellPosition topLeft, const Stamp &stamp);

// Mirrors the stamp left to right or top to bottom. A single square moves to its mirrored place and
// becomes the tile the game's rules name for the flip (a port right a port left); a tile that cannot
// flip is kept as it is. An object moves whole: its anchor goes to the object's new top-left square,
// its squares as painting wrote them. Flipping twice the same way gives the stamp back.
enum class Flip { LeftRight, TopBottom };
void flipStamp(Stamp &stamp, Flip flip);
// What a tile becomes under a flip: itself when it cannot flip.
int32_t flippedTile(int32_t tile, Flip flip);

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
