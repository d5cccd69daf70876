#include "thumbnailcache.h"

#include "levelgraphics.h"

#include "levels/levelstore.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace qm {

const ThumbnailTiles &ThumbnailTileCache::tilesFor(const std::string &directory, const std::string &dxg)
{
    auto known = mTiles.find({directory, dxg});
    if (known != mTiles.end())
        return known->second;
    ThumbnailTiles reduced;
    reduced.square = std::clamp(mSquare, kMinThumbnailSquare, kMaxThumbnailSquare);
    try {
        ++mLoads;
        OffscreenDrawTarget target(SurfacePixelFormat::Xrgb8888, 1, 1);
        target.Initialize();
        TDXImageList pictures;
        pictures.SetDXDraw(&target);
        loadLevelGraphics(pictures.Items(), directory, dxg);
        reduced = reduceTiles(pictures.Items(), mSquare);
    } catch (const std::exception &) {
        // Drawn black; the map reports the file when the level is shown.
    }
    return mTiles.emplace(std::make_pair(directory, dxg), std::move(reduced)).first->second;
}

Thumbnail ThumbnailTileCache::draw(const std::string &directory, const tlevel &level)
{
    return drawThumbnail(level, tilesFor(directory, level.dxg));
}

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

uint64_t mix(uint64_t hash, uint64_t word)
{
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 29);
}

} // namespace

uint64_t levelFingerprint(const tlevel &level)
{
    const int columns = std::clamp(level.width, 0, kGridSize), rows = std::clamp(level.height, 0, kGridSize);
    uint64_t hash = mix(mix(1, uint64_t(uint32_t(level.width))), uint64_t(uint32_t(level.height)));
    for (char c : level.dxg)
        hash = mix(hash, uint8_t(c));
    static_assert(sizeof(cell) == 2 * sizeof(uint64_t));
    for (int r = 0; r < rows; ++r) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(level.cells[r]);
        for (size_t i = 0; i < size_t(columns) * sizeof(cell); i += sizeof(uint64_t)) {
            uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            hash = mix(hash, word);
        }
    }
    return hash;
}

} // namespace qm
