#pragma once
// Levels drawn small: each 40 x 40 square of a level becomes S x S pixels.
//
// A thumbnail is a point sampling of the level drawn at full size the way `qmtool lev render` draws
// it (filled with 0, then the cells in the map view's two passes, each picture shifted by its skips,
// clipped to the level): thumbnail pixel (x, y) is the full-size pixel
//     (40 * floor(x / S) + centre(x mod S), 40 * floor(y / S) + centre(y mod S)),
//     centre(j) = floor(20 * (2j + 1) / S),
// the middle of the j-th of S equal parts of its square. Because every square is sampled at the same
// offsets, each pattern of each tile picture is sampled once, into a few pixels with their
// transparency (ThumbnailTiles), and a thumbnail only places those samples: the result is the same,
// pixel for pixel, as sampling the full drawing.

#include "graphics/pixelformat.h"

#include <cstdint>
#include <vector>

namespace qm {

class TPictureCollection;
struct tlevel;

inline constexpr int32_t kMinThumbnailSquare = 1;
inline constexpr int32_t kMaxThumbnailSquare = 40;

// The tile pictures of one graphics file, sampled for thumbnails of squares S pixels on a side.
// Made once per graphics file and size; it keeps no reference to the pictures it was made from, so
// it may be read from any thread once made.
struct ThumbnailTiles {
    // A sample that lets what lies below show (the picture's transparent colour).
    static constexpr uint32_t kClear = 0xFFFFFFFFu;
    // The samples of one picture's patterns all share one placement: the block of width x height
    // samples starts (left, top) thumbnail pixels from the top-left corner of its square's S x S.
    struct Tile {
        int64_t left = 0, top = 0;
        int32_t width = 0, height = 0;
        int64_t patterns = 0;         // pattern numbers below this have samples
        std::vector<uint32_t> samples; // pattern p's block at p * width * height, row by row
    };
    int32_t square = 0; // S
    SurfacePixelFormat format = SurfacePixelFormat::Xrgb8888;
    std::vector<Tile> tiles; // by tile value
};

// A level drawn small: width x height pixel values of format, row by row.
struct Thumbnail {
    int32_t width = 0, height = 0;
    SurfacePixelFormat format = SurfacePixelFormat::Xrgb8888;
    std::vector<uint32_t> pixels;
};

// Samples the prepared pictures of tiles (picture k for tile value k, as the map view takes them) for
// squares of `square` pixels (1 to 40, clamped). Pictures not prepared have no patterns, as they draw
// nothing. A picture cut into so many patterns that their samples would pass 2^20 keeps only its
// first patterns; cells showing the others stay as below them.
ThumbnailTiles reduceTiles(const TPictureCollection &tiles, int32_t square);

// The level drawn small with tiles; a level of w x h squares gives w*S x h*S pixels.
Thumbnail drawThumbnail(const tlevel &level, const ThumbnailTiles &tiles);

} // namespace qm
