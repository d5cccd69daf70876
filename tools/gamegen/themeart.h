#pragma once
// The level themes: one graphics file per theme whose picture k is the picture of tile value k.
//
// Pictures 0..77 of every theme:
//   0        the map background, 640 x 480, drawn fixed behind the level;
//   1..10    spare tile values no palette slot offers: plain marked squares, so that a level holding
//            one still shows something;
//   11       a fully transparent filler (the squares a large object covers);
//   12..77   the palette's tiles, 40 x 40 unless listed in tileGeometry().
// Pictures larger than one square are drawn from the square the painting writes the tile into and
// reach right and down from it, so no picture needs a skip; every skip is 0.

#include "graphics/componentwriter.h"

#include <string>
#include <vector>

namespace qm::gamegen {

enum class ThemeId { Computer, Forest, Kitchen, Underground };

inline constexpr int kThemePictureCount = 78;

struct ThemeInfo {
    ThemeId id;
    const char *fileName; // "computer.dxg", ...
    const char *title;    // "Computer", ...
};
const std::vector<ThemeInfo> &themes();

// Size and pattern size of a theme picture. Pattern size 0 means one pattern, the whole picture.
struct TileGeometry {
    int width = 40, height = 40;
    int patternWidth = 0, patternHeight = 0;
};
TileGeometry tileGeometry(int tile);

// The short English name of a tile value (the picture's name in every theme): "background",
// "infotron", "exit", ...
const char *tileName(int tile);

// Pictures 0..77 of a theme, each named by tileName().
std::vector<PictureEntry> themePictures(ThemeId theme);

} // namespace qm::gamegen
