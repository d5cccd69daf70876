#pragma once
// What the map tools draw over the map: the grid, the start marker, the marked or dragged rectangle,
// the carried stamp and the frame of the selected palette slot, over a frame of the map view or over a
// level's picture.

#include "framememory.h"
#include "maptools.h"
#include "mapview.h"

#include "graphics/directdrawsurface.h"

#include <cstdint>
#include <vector>

namespace qm {

// The grid and the start marker over the whole surface, placed by the view offset (viewx, viewy): the
// overlays of a level's picture.
void drawLevelOverlays(TDirectDrawSurface &surface, const tlevel &level);

// The reach shading over the map area (never the palette panel), placed by the view offset: a square
// the hero can never reach darkened by half towards a deep red, a square reached only by moving,
// breaking or opening something by a quarter. The walls that never move or break are left as they
// are: no one expects to stand on them.
void drawReachShading(TDirectDrawSurface &surface, const tlevel &level, const ReachMap &reach);

// The frame: drawframe, then (when something is to be shown) the reach shading and the overlays on the
// map area, the carried tile's palette frame and the pointer again above them. With nothing to show the frame is
// drawframe's, byte for byte.
void drawToolsFrame(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools);
// The same once scrollview has given the pointer's zone (the window's tick scrolls first, to know
// whether the frame changed).
void drawToolsFrame(PointerZone zone, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools);
// The same frame, drawn over the one that `memory` last drew on the surface: only what changed is
// drawn again. Returns the rectangles that changed (none: the surface already shows the frame).
const std::vector<TRect> &drawChangedToolsFrame(FrameMemory &memory, PointerZone zone, TDirectDrawSurface &surface,
                                                const FramePictures &pictures, MapTools &tools);

} // namespace qm
