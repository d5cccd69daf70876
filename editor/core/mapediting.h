#pragma once
// The editing rules of the map view, as plain functions over the level store and the editor-window
// state: edge scrolling, the cell under the pointer, the palette and painting with the mouse. The
// main window only routes its mouse events and timer ticks here.

#include "levels/painting.h"
#include "levels/palette.h"
#include "levels/storestep.h"

#include <cstdint>
#include <optional>

namespace qm {

// Geometry of the drawing surface at the window's first size: the map area is the left 640 x 480
// pixels (16 x 12 squares); the palette panel starts at x = 640.
inline constexpr int kMapWidth = 640;
inline constexpr int kMapHeight = 480;
inline constexpr int kPanelWidth = 121;

// The control the frame is shown in, and the surface and map area that follow from its size and the
// zoom. At the first size, 784 x 480, the surface is 761 x 483 (shown 11 pixels right of the control's
// left edge and 1 above its top), the map area 640 x 480 and the panel at x = 640; a larger control
// gives a larger surface with the panel against its right edge and the map area everything left of it.
// Pointer positions are control positions, used unchanged as surface positions.
struct MapArea {
    int32_t controlWidth = kMapWidth + kPanelWidth + 23;
    int32_t controlHeight = kMapHeight;
    int32_t square = kSquare; // pixels a square of the level is drawn at (the zoom)

    int32_t surfaceWidth() const { return controlWidth - 23; }
    int32_t surfaceHeight() const { return controlHeight + 3; }
    int32_t width() const { return surfaceWidth() - kPanelWidth; } // also where the panel starts
    int32_t height() const { return controlHeight; }
    // Level pixels (40 a square) in one pixel of the map area.
    double scale() const { return double(kSquare) / square; }
};
extern MapArea maparea;

// The sizes a square can be drawn at, largest first: the zoom levels.
inline constexpr int32_t kZoomSquares[] = {40, 20, 10};
// The zoom level `steps` away from the current one (positive: larger squares), kept to the levels.
int32_t zoomStep(int32_t steps);
// Draws squares `square` pixels a side (one of kZoomSquares; another is ignored) and keeps the level
// pixel under map-area position (anchorX, anchorY) where it is, within the view's bounds.
void setZoom(int32_t square, int32_t anchorX, int32_t anchorY);

// The control's size after a resize, kept at least the first size; the view kept within its bounds.
void setControlSize(int32_t width, int32_t height);

// Which pointer picture the frame draws.
enum class PointerZone { None, Up, Down, Left, Panel };

// Moves the view while the last pointer position rests in an edge zone, by lagCount x 0.5 pixels,
// keeps the view within the current level (a level smaller than the map gets a negative offset, so
// it sits against the right and bottom edges), clamps the pointer's upper bounds and returns the zone.
PointerZone scrollview(int32_t lagCount);

struct CellPosition {
    int32_t row;
    int32_t column;
};

// Rows top..bottom and columns left..right of a level, both ends included, 1-based.
struct CellRect {
    int32_t top = 1, left = 1, bottom = 0, right = 0;
    int32_t rows() const { return bottom - top + 1; }
    int32_t columns() const { return right - left + 1; }
    bool operator==(const CellRect &) const = default;
};

// The level the window edits, or nullptr when the file has no current level (a file whose only
// level was cancelled keeps a stale slot that must not be edited).
tlevel *currentLevel();

// Keeps the view within its bounds: not above or left of the level, and not beyond its right and
// bottom edges (which wins for a level smaller than the map).
void clampView();

// Scrolls the view so that cell (row, column) of the current level is in the middle of the map area,
// kept within the bounds that edge scrolling keeps, and puts the pointer's mark on the cell (the
// mark is the editor's own pointer, drawn at the cell's top-left corner, so pointercell() answers it).
void centreViewOn(int32_t row, int32_t column);

// The cell of the current level whose top-left corner is nearest to the pointer; it can lie outside
// the level and outside the grid.
CellPosition pointercell();

// Writes tile into cell (row, column) of the current level with the companion squares of objects
// larger than one square (paintingWrites), and clears saved. Writes that would fall outside rows and columns
// 1..100 are skipped. With a step, the cells are changed through it, so that it can take them back.
void paintcell(int32_t row, int32_t column, int32_t tile, PaintVariant variant, const TileWidth &widthOf,
               StoreStep *step = nullptr);

// The palette slot a press at surface (x, y) selects, counted from the palette's top (the row shown
// first is palscroll), or nothing outside the slots' hit grid.
std::optional<PaletteSlot> paletteSlotAt(int32_t x, int32_t y);

enum class MouseButton { Left, Right, Middle };

// The mouse on the drawing surface, at surface position (x, y). Before a file is open, presses and
// moves do nothing; a release always ends painting. Painting records its writes in stroke when given.
void mapMouseDown(MouseButton button, int32_t x, int32_t y, const TileWidth &widthOf, StoreStep *stroke = nullptr);
void mapMouseMove(int32_t x, int32_t y, const TileWidth &widthOf, StoreStep *stroke = nullptr);
void mapMouseUp();

} // namespace qm
