#pragma once
// The designer's tools on the map, as plain functions over the level store: picking a tile from the
// map, carrying a stamp (stamp.h), filling a rectangle, clearing it, the hero's start square and
// scrolling the view by keys and wheel. What they draw is in mapoverlays.h, the status line in
// statustext.h. The window routes its right button, Shift, wheel and keys here; every store change
// goes through a step.

#include "mapediting.h"
#include "stamp.h"

#include "graphics/directdrawsurface.h"
#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/reach.h"
#include "levels/storestep.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace qm {

// The rectangle with corners a and b, clipped to the level's rows and columns; none when no cell of
// the level is left.
std::optional<CellRect> cellsBetween(const tlevel &level, CellPosition a, CellPosition b);

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

// The end of a straight line from `from` towards `to`: in the same row, the same column or on a 45°
// diagonal, whichever is nearest the direction to `to`, never past it.
CellPosition lineEnd(CellPosition from, CellPosition to);
// Where pieces of rows x columns squares start along the line from `from` towards `to` (lineEnd),
// side by side along it without overlapping, as many whole ones as the line's length holds; only
// those that start inside the level.
std::vector<CellPosition> linePieces(const tlevel &level, CellPosition from, CellPosition to, CellPosition size);
// Where pieces start along the border of rect: the pieces of a fill of rect (fillCells) that have no
// whole piece beyond them on some side.
std::vector<CellPosition> outlinePieces(const CellRect &rect, CellPosition size);
// The size of the pieces the left button paints: the carried stamp's, or what painting the tile covers.
CellPosition carriedSize(const std::optional<Stamp> &stamp, int32_t tile, const TileWidth &widthOf);
// Paints the pieces: the stamp's copies when one is carried, otherwise tile as painting places it.
void paintPieces(StoreStep &step, int32_t k, const std::vector<CellPosition> &pieces, const std::optional<Stamp> &stamp,
                 int32_t tile, const TileWidth &widthOf);

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

// The carried tile while a stamp is carried: it has no picture, and nothing paints it.
inline constexpr int32_t kStampCarried = -2;

// What the hero can reach in a level, kept between frames: worked out again only when something it
// depends on changed (the level's size, start square or tiles), which a comparison with the copy kept
// tells for a few microseconds a frame.
class ReachShading {
public:
    const ReachMap &of(const tlevel &level);
    // How many times the reach was worked out.
    int64_t fills() const { return mFills; }

private:
    ReachMap mMap;
    std::vector<int32_t> mTiles; // the tiles of the level's rectangle, row by row
    int32_t mWidth = -1, mHeight = -1, mStartX = 0, mStartY = 0;
    int64_t mFills = 0;
};

// What the tools hold between events.
struct MapTools {
    enum class Drag { None, Mark, Fill, Stamp, Line, Rectangle };
    std::optional<Stamp> stamp;     // carried in place of the tile
    std::optional<CellRect> marked; // the last rectangle marked with the right button
    Drag drag = Drag::None;
    CellPosition dragFrom{0, 0};
    CellPosition dragSize{1, 1}; // the pieces a line or rectangle paints
    bool lineKey = false;      // L held: the left button draws a line
    bool rectangleKey = false; // R held: a rectangle's outline (with Shift, filled)
    bool overlays = true; // start marker, grid and the carried tile's palette frame
    bool reach = false;   // the squares the hero cannot reach from the start square, shaded
    // The pointer is over the drawing surface: from a move or press there until it leaves. The last
    // position stays for edge scrolling, but S and the status line name no square after a leave.
    bool pointerOver = false;
    ReachShading reachShading;

    // Carries cells in place of the tile (the pointer then carries no tile of its own), or drops them.
    void carry(Stamp cells);
    void dropStamp();
    // Drops the stamp, the marked rectangle and a drag; answers whether anything was held.
    bool drop();
    // Where the line or rectangle being dragged paints its pieces when released at `to`.
    std::vector<CellPosition> dragPieces(const tlevel &level, CellPosition to) const;
};

} // namespace qm
