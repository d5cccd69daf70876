#pragma once
// The status line under the map, from the level store and what the map tools hold.

#include "maptools.h"

#include <string>

namespace qm {

class TPictureCollection;

// The status line: the file and whether it is saved, the level, the cell under the pointer with its
// tile, picture name and kind, what is carried, the line or rectangle tool while its key is held, the
// zoom when it is not the actual size, and the infotrons asked for against those held. Over
// the palette: the tile under the pointer. While the map is not shown: the file and the level.
std::string statusText(const MapTools &tools, const TPictureCollection &tiles, const std::string &fileName,
                       bool mapShown);

} // namespace qm
