#pragma once
// One frame of the editor: the map view of the current level, the tile palette, the panel and the
// editor's own pointer, drawn from scratch onto the back buffer.

#include "mapediting.h"
#include "scaledtiles.h"

#include "graphics/rect.h"
#include "levels/levelstore.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qm {

class TDirectDrawSurface;
class TPictureCollection;
struct tlevel;

// Palette slots (levels/palette.h): 41 pixels apart, the first at (641, 97) at the window's first
// size; one pixel right of where the panel starts at any size.
inline constexpr int kSlotLeft = 641;
inline constexpr int kSlotTop = 97;
inline constexpr int kSlotPitch = 41;
inline int32_t slotLeft() { return maparea.width() + 1; }

// The pictures a frame is drawn from: the editor's own (found by name) and the level's tiles (picture
// k for tile value k).
struct FramePictures {
    const TPictureCollection &editor;
    const TPictureCollection &tiles;
};

// What the palette slots ("p" in every slot) and the panel ("fondtop") leave of the level's pixels
// below them: within bounds, only the windows show; everything outside bounds shows.
struct PanelCover {
    TRect bounds;
    std::vector<TRect> windows;
};

// The cover of the editor's pictures as they are now prepared. Found by drawing them, so keys,
// patterns and clipping count exactly as in a frame.
PanelCover panelCover(const TPictureCollection &editor);

// The panel: the palette from palscroll, then "fondtop" at (640, 0).
void drawPanel(TDirectDrawSurface &surface, const FramePictures &pictures);

// Draws the frame for the given pointer zone: fill with 0, background picture 0, the cells of the
// current level in two passes (kind 102 last), the palette from palscroll, "fondtop" at (640, 0) and
// the pointer. A picture that is missing is skipped; nothing is read outside the image lists.
void drawMapView(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone);

// The same without the pointer: what lies under it.
void drawMapBase(TDirectDrawSurface &surface, const FramePictures &pictures);

// The editor's pointer for the zone at (pointerx, pointery), over the map with the carried tile.
void drawPointer(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone);

// The cells of a level in both passes, placed by the view offset (viewx, viewy). With a cover, the
// cells whose pictures would lie wholly under it are not drawn (the cover is drawn over them anyway).
void drawLevel(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level,
               const PanelCover *cover = nullptr);

// The same with the tiles made smaller (a zoomed-out map): squares kSquare / divisor pixels apart.
void drawScaledLevel(TDirectDrawSurface &surface, const ScaledTiles &tiles, const tlevel &level,
                     const PanelCover *cover = nullptr);

// Where the cells of a level land on a surface at the map's zoom, placed by the view offset, and which
// of them can put a pixel on it: the frame draws those cells and no others.
struct CellPlacement {
    std::array<int64_t, kGridSize> columnX{}, rowY{}; // the corner of a square of that column or row
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    // Around a square's corner, where each tile's picture reaches (empty: the tile draws nothing).
    std::vector<TRect> tileReach;
};
CellPlacement cellPlacement(const TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level);

// The tiles at the map's zoom (maparea.square), made once per zoom level and kept while the tiles
// stay the same; null at full size.
const ScaledTiles *scaledTiles(const TPictureCollection &tiles);
// Pattern `pattern` of a tile at the map's zoom at (x, y), moved by its skips when lessSkips.
void drawTileAtZoom(TDirectDrawSurface &surface, const TPictureCollection &tiles, int32_t tile, int32_t x, int32_t y,
                    int32_t pattern, bool lessSkips);

// The frame routine of the timer: scrollview, then the drawing.
void drawframe(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures);

} // namespace qm
