#pragma once
// What the last frame drawn on a surface showed, so that the next frame redraws only the parts that
// changed and the window presents only those.
//
// A frame is two layers. The base (the map, its cells, the panel and what stays with the cells) follows
// from values that the caller gathers in a key, and from the cells in view, which are compared one by
// one: a changed cell damages where the largest tile's picture could reach around it. The top layer
// (the pointer and whatever moves with it) is measured: drawn with everything clipped away, the surface
// tells where it would draw, and both its last place and its new one are damaged. A different key, or
// anything else having drawn on the surface since, makes the whole frame new.

#include "mapview.h"

#include "graphics/directdrawsurface.h"
#include "graphics/rect.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

class FrameMemory {
public:
    using Layer = std::function<void(TDirectDrawSurface &)>;

    // The values a layer's pixels depend on (for the base, besides the cells in view).
    using Key = std::vector<uint64_t>;

    // Brings the surface to the frame of base and top, redrawing what differs from the last frame
    // drawn here. The cells in view are those of `level` where place() puts them (asked only when the
    // base key changed: the key holds all that the placement follows), squares `square` pixels apart
    // (no level: none). Returns the rectangles that changed, none when the surface already shows the
    // frame.
    const std::vector<TRect> &draw(TDirectDrawSurface &surface, Key baseKey, Key topKey, const tlevel *level,
                                   const std::function<CellPlacement()> &place, int32_t square, const Layer &base,
                                   const Layer &top);

    // The next frame is drawn whole.
    void forget() { mValid = false; }

private:
    // Damages the cells in view that differ from those kept, and keeps the new ones; false when there
    // is a level now and none before, or the other way round.
    bool damageCells(const tlevel *level, int32_t square);
    void keepCells(const tlevel *level);

    bool mValid = false;
    const TDirectDrawSurface *mSurface = nullptr;
    uint64_t mChangeCount = 0;
    Key mBaseKey, mTopKey;
    CellPlacement mPlaced;
    bool mHadLevel = false;
    std::vector<cell> mCells; // the cells in view, row by row
    TRect mTop;               // where the top layer drew
    std::vector<TRect> mChanged;
};

} // namespace qm
