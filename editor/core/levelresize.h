#pragma once
// Resizing a level around an anchor: the anchor is the side (or the middle) that stays where it is,
// so a level anchored at the bottom right grows at its top and left and loses its top and left rows
// and columns when it shrinks. The cells move with the anchor, the start square moves with the cells,
// and new squares are the default cell. Cells of the grid beyond the new size keep what they hold, as
// the levels dialog's shrink leaves them.
//
// Before a shrink the editor asks what it would cut: the start square, and the objects of several
// squares that levels/levelobjects finds whole.

#include "levels/levelcheck.h"
#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/storestep.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Which side stays: column 0 left, 1 centre, 2 right; row 0 top, 1 middle, 2 bottom.
struct ResizeAnchor {
    int32_t column = 0;
    int32_t row = 0;
    bool operator==(const ResizeAnchor &) const = default;
};

struct LevelResize {
    int32_t width = kNewLevelSize;
    int32_t height = kNewLevelSize;
    ResizeAnchor anchor;
};

// How far the cells move: a cell at (row, column) comes to (row + rows, column + columns). A centred
// change is split in two, the odd square (only possible with a size from a file) on the far side.
struct ResizeShift {
    int32_t rows = 0;
    int32_t columns = 0;
};
ResizeShift resizeShift(const tlevel &level, const LevelResize &resize);

// Whether resize is one the grid holds: width and height 1..100, the anchor's column and row 0..2.
bool validResize(const LevelResize &resize);

// Resizes the level in place (nothing for a resize that is not valid).
void resizeLevel(tlevel &level, const LevelResize &resize);

// Resizes level k of the store, recorded into step so that undo gives back every cell, also the ones
// cut. Nothing happens and nothing is recorded (false) for a level outside the file, a resize that is
// not valid or one that keeps the level's size.
bool resizeStoreLevel(StoreStep &step, int32_t k, const LevelResize &resize);

// What a resize would cut, in the squares of the level as it is.
struct CutObject {
    CellPlace square; // the object's first square (its top left)
    int32_t tile = 0;
};
struct ResizeCuts {
    std::optional<CellPlace> start; // the start square, when it lies inside the level and is cut
    std::vector<CutObject> objects; // objects of several squares the resize cuts or breaks
    bool any() const { return start || !objects.empty(); }
};
// The widths of the level's pictures (widthOf, none when empty) decide the size of strips and blocks,
// as in painting.
ResizeCuts resizeCuts(const tlevel &level, const LevelResize &resize, const TileWidth &widthOf);

// The question asked before a cutting resize: "Resizing cuts the start square (column 3, row 40) and the
// exit (63) at column 12, row 39. Resize anyway?"
std::string cutsQuestion(const ResizeCuts &cuts);

} // namespace qm
