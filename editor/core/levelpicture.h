#pragma once
// A whole level as one picture, 40 pixels a square: what `qmtool lev render` writes and what the editor
// exports and copies. Filled with 0, then the level's cells in the map view's two passes from the top-left
// corner of the level, with the grid and the start marker over them when asked.

#include <cstdint>

namespace qm {

class TDirectDrawSurface;
class TPictureCollection;
struct tlevel;

struct PictureSize {
    int32_t width = 0, height = 0;
};

// The picture's size: the level's columns and rows (at least one of each) times 40. A picture past the
// largest surface (platform/limits.h) throws qm::Error, before anything is allocated.
PictureSize levelPictureSize(const tlevel &level);

// Draws level onto surface, which has its picture's size and the pixel format its tiles were prepared
// for. The view offset (viewx, viewy) is left as it was.
void drawLevelPicture(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level,
                      bool overlays);

} // namespace qm
