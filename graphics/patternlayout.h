#pragma once
// How a picture is cut into patterns (tiles, animation frames) and into the surfaces that hold them.
//
// W and H are PatternWidth and PatternHeight when above 0, else the picture's size. A picture whose
// pattern is the whole picture is one pattern on one surface. Otherwise patterns step by W + SkipWidth
// and H + SkipHeight, numbered row by row, as many as fit; they lie on one surface of the whole
// picture (SystemMemory) or on a grid of blocks about 512 pixels on a side, each block a whole number
// of pattern steps. Patterns are computed from their number, never stored, so even a picture cut into
// millions of one-pixel patterns costs nothing extra.

#include "rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

struct PatternGeometry {
    int32_t patternWidth = 0, patternHeight = 0, skipWidth = 0, skipHeight = 0;
    bool systemMemory = false;
};

class PatternLayout {
public:
    PatternLayout() = default;
    PatternLayout(int32_t pictureWidth, int32_t pictureHeight, const PatternGeometry &geometry);

    int64_t count() const { return mColumns * mRows; }
    int64_t patternWidth() const { return mW; }
    int64_t patternHeight() const { return mH; }
    // The surfaces to make, as rectangles of the picture, row by row.
    const std::vector<TRect> &blocks() const { return mBlocks; }

    struct Place {
        size_t block; // index into blocks()
        TRect rect;   // on that block's surface
    };
    // Where pattern index lies; index must be in [0, count()).
    Place place(int64_t index) const;

private:
    int64_t mW = 0, mH = 0, mStepX = 1, mStepY = 1, mColumns = 0, mRows = 0;
    int64_t mBlockW = 1, mBlockH = 1, mBlockColumns = 1;
    std::vector<TRect> mBlocks;
};

} // namespace qm
