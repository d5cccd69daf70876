#pragma once
// One frame of the editor: the map view of the current level, the tile palette, the panel and the
// editor's own pointer, drawn from scratch onto the back buffer.

#include "mapediting.h"

#include <cstdint>

namespace qm {

class TDirectDrawSurface;
class TPictureCollection;
struct tlevel;

// Palette slots: 8 rows of 3, 41 pixels apart, the first at (641, 97).
inline constexpr int kPaletteRows = 8;
inline constexpr int kPaletteColumns = 3;
inline constexpr int kSlotLeft = 641;
inline constexpr int kSlotTop = 97;
inline constexpr int kSlotPitch = 41;

// The pictures a frame is drawn from: the editor's own (found by name) and the level's tiles (picture
// k for tile value k).
struct FramePictures {
    const TPictureCollection &editor;
    const TPictureCollection &tiles;
};

// Draws the frame for the given pointer zone: fill with 0, background picture 0, the cells of the
// current level in two passes (kind 102 last), the palette from palscroll, "fondtop" at (640, 0) and
// the pointer. A picture that is missing is skipped; nothing is read outside the image lists.
void drawMapView(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone);

// The editor's pointer for the zone at (pointerx, pointery), over the map with the carried tile.
void drawPointer(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone);

// The cells of a level in both passes, placed by the view offset (viewx, viewy).
void drawLevel(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level);

// The frame routine of the timer: scrollview, then the drawing.
void drawframe(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures);

} // namespace qm
