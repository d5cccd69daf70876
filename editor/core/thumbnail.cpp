#include "thumbnail.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "graphics/drawtarget.h"
#include "graphics/picturecollection.h"

#include <algorithm>

namespace qm {

namespace {

constexpr int64_t kMaxSamplesPerTile = int64_t(1) << 20;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The full-size coordinate that thumbnail coordinate t samples (t may be negative: it counts from a
// square's corner).
int64_t sampled(int64_t t, int32_t square)
{
    const int64_t q = floorDiv(t, square);
    const int64_t j = t - q * square;
    return kSquare * q + (kSquare / 2) * (2 * j + 1) / square;
}

// The thumbnail coordinates, counted from a square's corner, whose samples fall inside a pattern of
// `size` pixels placed `skip` pixels before that corner; first the first of them, then the pattern's
// own coordinate of each.
std::pair<int64_t, std::vector<int64_t>> samplesAcross(int64_t skip, int64_t size, int32_t square)
{
    int64_t t = (floorDiv(-skip, kSquare) - 1) * square;
    while (sampled(t, square) < -skip)
        ++t;
    const int64_t first = t;
    std::vector<int64_t> inside;
    for (; sampled(t, square) < size - skip; ++t)
        inside.push_back(sampled(t, square) + skip);
    return {first, inside};
}

ThumbnailTiles::Tile reduceTile(const TPictureCollectionItem &item, int32_t square)
{
    ThumbnailTiles::Tile tile;
    const int64_t count = item.PatternCount();
    if (count == 0)
        return tile;
    const TRect first = item.Pattern(0).Rect; // every pattern of a picture has the same size
    auto [left, xs] = samplesAcross(item.SkipWidth(), first.width(), square);
    auto [top, ys] = samplesAcross(item.SkipHeight(), first.height(), square);
    tile.left = left;
    tile.top = top;
    tile.width = static_cast<int32_t>(xs.size());
    tile.height = static_cast<int32_t>(ys.size());
    const int64_t block = int64_t(tile.width) * tile.height;
    tile.patterns = block == 0 ? count : std::min(count, kMaxSamplesPerTile / block);
    tile.samples.resize(static_cast<size_t>(tile.patterns * block));
    uint32_t *out = tile.samples.data();
    for (int64_t p = 0; p < tile.patterns && block > 0; ++p) {
        const TPictureCollectionItemPattern pattern = item.Pattern(p);
        const TDirectDrawSurface &surface = *pattern.Surface;
        const bool keyed = item.Transparent();
        for (int64_t y : ys)
            for (int64_t x : xs) {
                const uint32_t value = surface.pixel(static_cast<int32_t>(pattern.Rect.left + x),
                                                     static_cast<int32_t>(pattern.Rect.top + y));
                *out++ = keyed && value == surface.ColorKey() ? ThumbnailTiles::kClear : value;
            }
    }
    return tile;
}

} // namespace

ThumbnailTiles reduceTiles(const TPictureCollection &tiles, int32_t square)
{
    ThumbnailTiles reduced;
    reduced.square = std::clamp(square, kMinThumbnailSquare, kMaxThumbnailSquare);
    if (tiles.DXDraw())
        reduced.format = tiles.DXDraw()->displayFormat();
    reduced.tiles.reserve(static_cast<size_t>(tiles.Count()));
    for (int32_t k = 0; k < tiles.Count(); ++k)
        reduced.tiles.push_back(reduceTile(tiles.Items(k), reduced.square));
    return reduced;
}

Thumbnail drawThumbnail(const tlevel &level, const ThumbnailTiles &tiles)
{
    const int32_t s = std::clamp(tiles.square, kMinThumbnailSquare, kMaxThumbnailSquare);
    const int columns = std::clamp(level.width, 0, kGridSize);
    const int rows = std::clamp(level.height, 0, kGridSize);
    Thumbnail thumbnail;
    thumbnail.width = columns * s;
    thumbnail.height = rows * s;
    thumbnail.format = tiles.format;
    thumbnail.pixels.assign(size_t(thumbnail.width) * size_t(thumbnail.height), 0);
    const int64_t w = thumbnail.width, h = thumbnail.height;

    auto draw = [&](const cell &square, int r, int c) {
        if (square.tile < 0 || size_t(square.tile) >= tiles.tiles.size())
            return;
        const ThumbnailTiles::Tile &tile = tiles.tiles[size_t(square.tile)];
        if (square.pattern < 0 || square.pattern >= tile.patterns || tile.width == 0 || tile.height == 0)
            return;
        const int64_t x0 = int64_t(c) * s + tile.left, y0 = int64_t(r) * s + tile.top;
        const int64_t fromX = std::max<int64_t>(0, -x0), toX = std::min<int64_t>(tile.width, w - x0);
        const int64_t fromY = std::max<int64_t>(0, -y0), toY = std::min<int64_t>(tile.height, h - y0);
        if (fromX >= toX || fromY >= toY)
            return;
        const uint32_t *block = tile.samples.data() + size_t(square.pattern) * size_t(tile.width) * size_t(tile.height);
        for (int64_t y = fromY; y < toY; ++y) {
            const uint32_t *from = block + y * tile.width;
            uint32_t *to = thumbnail.pixels.data() + (y0 + y) * w;
            for (int64_t x = fromX; x < toX; ++x)
                if (from[x] != ThumbnailTiles::kClear)
                    to[x0 + x] = from[x];
        }
    };
    // The map view's order: every cell but kind 102, then the cells of kind 102 above them.
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (level.cells[r][c].kind != kKindOnTop)
                draw(level.cells[r][c], r, c);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (level.cells[r][c].kind == kKindOnTop)
                draw(level.cells[r][c], r, c);
    return thumbnail;
}

} // namespace qm
