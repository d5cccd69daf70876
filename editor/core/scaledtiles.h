#pragma once
// The level's tiles at a zoomed-out size: every pattern of every tile made smaller once (scaleDown),
// kept until the tiles change, and drawn with the key like the tiles themselves. A frame at a zoom
// only copies these; nothing is scaled while drawing.

#include "graphics/directdrawsurface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qm {

class TPictureCollection;

class ScaledTiles {
public:
    // One tile: its patterns made smaller, and its picture's size and skips divided alike (rounded up
    // for the size, down for the skips).
    struct Tile {
        std::vector<std::unique_ptr<TDirectDrawSurface>> patterns;
        int32_t width = 0, height = 0, skipWidth = 0, skipHeight = 0;
        bool transparent = true;
    };

    // Made again from tiles when they are other tiles, or one of their pictures changed, or the
    // divisor is another; otherwise kept as it is. Answers whether it was made again.
    bool follow(const TPictureCollection &tiles, int32_t divisor);

    int32_t count() const { return int32_t(mTiles.size()); }
    int32_t divisor() const { return mDivisor; }
    // Tile k, or null outside 0 .. count - 1 and for a tile without patterns.
    const Tile *tile(int32_t k) const;
    // Pattern `pattern` of tile k at (x, y), nothing when there is no such tile or pattern.
    void draw(TDirectDrawSurface &dest, int32_t k, int32_t x, int32_t y, int32_t pattern) const;

private:
    std::vector<Tile> mTiles;
    std::vector<uint64_t> mRevisions; // of the pictures these were made from
    const TPictureCollection *mFrom = nullptr;
    int32_t mDivisor = 0;
};

} // namespace qm
