#pragma once
// The designer's tools on the map, as plain functions over the level store: picking a tile from the
// map, stamps (a rectangle of cells carried and written elsewhere), filling a rectangle, clearing it,
// the hero's start square, scrolling the view by keys and wheel, the status text, the cells' clipboard
// bytes, and the frame with the overlays (start marker, grid, marked rectangle, the carried stamp). The
// window routes its right button, Shift, wheel and keys here; every store change goes through a step.

#include "mapediting.h"
#include "mapview.h"

#include "graphics/directdrawsurface.h"
#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/storestep.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TPictureCollection;

// Rows top..bottom and columns left..right of a level, both ends included, 1-based.
struct CellRect {
    int32_t top = 1, left = 1, bottom = 0, right = 0;
    int32_t rows() const { return bottom - top + 1; }
    int32_t columns() const { return right - left + 1; }
    bool operator==(const CellRect &) const = default;
};

// The rectangle with corners a and b, clipped to the level's rows and columns; none when no cell of
// the level is left.
std::optional<CellRect> cellsBetween(const tlevel &level, CellPosition a, CellPosition b);

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
// Sets every cell of rect to kDefaultCell.
void clearCells(StoreStep &step, int32_t k, const CellRect &rect);
// The rows and columns painting tile covers from its own square (1 x 1 for a plain tile).
CellPosition paintedSize(int32_t tile, const TileWidth &widthOf);
// Paints tile over rect as painting it square by square from the top left to the bottom right would
// place it: a plain tile in every cell, an object larger than one square side by side, as many whole
// ones as fit. Answers how many were painted.
int32_t fillCells(StoreStep &step, int32_t k, const CellRect &rect, int32_t tile, const TileWidth &widthOf);
// The same with a stamp: as many whole copies as fit, side by side.
int32_t fillWithStamp(StoreStep &step, int32_t k, const CellRect &rect, const Stamp &stamp);

// Right click: tile becomes the carried tile. A palette tile selects its slot and scrolls the palette
// to show it; any other is carried without a slot.
void carryTile(int32_t tile);
// The tile of the palette slot at surface position (x, y), or none.
std::optional<int32_t> paletteTileAt(int32_t x, int32_t y);

// The hero's start square as the levels dialog shows it (levels/startsquare.h), and moving it to a cell
// kept within the level as the levels dialog keeps it. Answers whether it moved.
CellPosition startSquare(const tlevel &level);
bool moveStartSquare(StoreStep &step, int32_t k, CellPosition to);

// The cells of the level that the map area shows, whole or in part; none without a current level.
std::optional<CellRect> visibleCells();
// cell moved to the nearest cell that the map area shows (as it is, without a current level).
CellPosition nearestVisibleCell(CellPosition cell);

// The view moved by (dx, dy) pixels, or to the level's top-left or bottom-right edge, within the bounds
// of edge scrolling. Nothing while the file has no current level.
void scrollViewBy(double dx, double dy);
void scrollViewToEdge(bool bottomRight);

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

// The carried tile while a stamp is carried: it has no picture, and nothing paints it.
inline constexpr int32_t kStampCarried = -2;

// What the tools hold between events.
struct MapTools {
    enum class Drag { None, Mark, Fill, Stamp };
    std::optional<Stamp> stamp;     // carried in place of the tile
    std::optional<CellRect> marked; // the last rectangle marked with the right button
    Drag drag = Drag::None;
    CellPosition dragFrom{0, 0};
    bool overlays = true; // start marker, grid and the carried tile's palette frame
    TDirectDrawSurface panelCopy; // the panel kept while the stamp is drawn over the map

    // Carries cells in place of the tile (the pointer then carries no tile of its own), or drops them.
    void carry(Stamp cells);
    void dropStamp();
    // Drops the stamp, the marked rectangle and a drag; answers whether anything was held.
    bool drop();
};

// The status line: the file and whether it is saved, the level, the cell under the pointer with its
// tile, picture name and kind, what is carried, and the infotrons asked for against those held. Over
// the palette: the tile under the pointer. While the map is not shown: the file and the level.
std::string statusText(const MapTools &tools, const TPictureCollection &tiles, const std::string &fileName,
                       bool mapShown);

// The grid and the start marker over the whole surface, placed by the view offset (viewx, viewy): the
// overlays of a level's picture.
void drawLevelOverlays(TDirectDrawSurface &surface, const tlevel &level);

// The frame: drawframe, then (when something is to be shown) the overlays on the map area, the
// carried tile's palette frame and the pointer again above them. With nothing to show the frame is
// drawframe's, byte for byte.
void drawToolsFrame(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools);
// The same once scrollview has given the pointer's zone (the window's tick scrolls first, to know
// whether the frame changed).
void drawToolsFrame(PointerZone zone, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools);

} // namespace qm
