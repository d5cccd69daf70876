#pragma once
// Objects of several squares as a level holds them: which squares belong together, so that the map
// tools can pick, carry and mirror an object whole instead of a filler or a half.
//
// An object is found at its anchor, the square painting its tile starts from (the tile with pattern
// 0; for the 7 x 2 block the empty square left of its pattern 1). It is an object only while every
// square painting it writes inside the level still holds what painting wrote there (tile and
// pattern; kinds may differ). An object painted over in part is no object: its remaining squares are
// single squares, as the level checks report them. Painting writes a rectangle from the anchor to the
// right and down, so every object is a rectangle with its anchor at the top left. Where two objects
// would share a square, the first anchor in reading order keeps it and the other is no object.

#include "levelstore.h"
#include "painting.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

struct LevelObject {
    int32_t row, column;   // the anchor, 1-based
    int32_t tile;          // the tile painting it
    int32_t rows, columns; // the rectangle it covers from its anchor, cut at the level's edges
    bool contains(int32_t r, int32_t c) const
    {
        return r >= row && r < row + rows && c >= column && c < column + columns;
    }
};

class LevelObjects {
public:
    // The objects of rows x columns cells laid out row by row, stride cells from one row to the next.
    LevelObjects(const cell *cells, int32_t rows, int32_t columns, size_t stride, const TileWidth &widthOf);
    // The objects within the level's rows and columns.
    LevelObjects(const tlevel &level, const TileWidth &widthOf);

    const std::vector<LevelObject> &all() const { return mObjects; }
    // The object covering square (r, c), 1-based; nullptr for a square that is no part of an object.
    const LevelObject *at(int32_t r, int32_t c) const;

private:
    std::vector<LevelObject> mObjects;
    std::vector<int32_t> mOwner; // per square, row by row: the object's index + 1, or 0
    int32_t mRows = 0, mColumns = 0;
};

} // namespace qm
