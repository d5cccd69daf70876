#include "scaledtiles.h"

#include "graphics/picturecollection.h"
#include "graphics/surfacescale.h"

#include <algorithm>

namespace qm {

namespace {

// Cells use a few patterns of a tile; a hostile graphics file could cut a picture into millions. Those
// past this many are not made smaller, and draw nothing at a zoom.
constexpr int64_t kMaxScaledPatterns = 1024;

} // namespace

bool ScaledTiles::follow(const TPictureCollection &tiles, int32_t divisor)
{
    // Called every frame: the comparison allocates nothing.
    bool same = &tiles == mFrom && divisor == mDivisor && mRevisions.size() == size_t(tiles.Count());
    for (int32_t k = 0; same && k < tiles.Count(); ++k)
        same = mRevisions[size_t(k)] == tiles.Items(k).revision();
    if (same)
        return false;
    mFrom = &tiles;
    mDivisor = divisor;
    mRevisions.resize(size_t(tiles.Count()));
    for (int32_t k = 0; k < tiles.Count(); ++k)
        mRevisions[size_t(k)] = tiles.Items(k).revision();
    mTiles.clear();
    mTiles.resize(size_t(tiles.Count()));
    for (int32_t k = 0; k < tiles.Count(); ++k) {
        const TPictureCollectionItem &picture = tiles.Items(k);
        Tile &tile = mTiles[size_t(k)];
        if (!picture.Initialized())
            continue;
        tile.width = int32_t((picture.drawnWidth() + divisor - 1) / divisor);
        tile.height = int32_t((picture.drawnHeight() + divisor - 1) / divisor);
        tile.skipWidth = picture.SkipWidth() / divisor;
        tile.skipHeight = picture.SkipHeight() / divisor;
        tile.transparent = picture.Transparent();
        for (int64_t p = 0; p < std::min(picture.PatternCount(), kMaxScaledPatterns); ++p) {
            const TPictureCollectionItemPattern pattern = picture.Pattern(p);
            if (!pattern.Surface)
                break;
            auto scaled = std::make_unique<TDirectDrawSurface>(pattern.Surface->pixelFormat());
            scaleDown(*pattern.Surface, pattern.Rect, divisor, tile.transparent, *scaled);
            tile.patterns.push_back(std::move(scaled));
        }
    }
    return true;
}

const ScaledTiles::Tile *ScaledTiles::tile(int32_t k) const
{
    if (k < 0 || k >= count() || mTiles[size_t(k)].patterns.empty())
        return nullptr;
    return &mTiles[size_t(k)];
}

void ScaledTiles::draw(TDirectDrawSurface &dest, int32_t k, int32_t x, int32_t y, int32_t pattern) const
{
    const Tile *scaled = tile(k);
    if (!scaled || pattern < 0 || size_t(pattern) >= scaled->patterns.size())
        return;
    const TDirectDrawSurface &surface = *scaled->patterns[size_t(pattern)];
    dest.Draw(x, y, TRect{0, 0, surface.Width(), surface.Height()}, &surface, scaled->transparent);
}

} // namespace qm
