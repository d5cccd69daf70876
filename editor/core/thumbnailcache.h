#pragma once
// The tile pictures of graphics files sampled for thumbnails, each file once per square size: the
// pictures are read from the game directory the first time a level needs them and kept only as their
// samples.

#include "thumbnail.h"

#include <map>
#include <string>
#include <utility>

namespace qm {

class ThumbnailTileCache {
public:
    // square: pixels a square of a level is drawn with (1 to 40).
    explicit ThumbnailTileCache(int32_t square) : mSquare(square) {}

    // The samples of gamedir + dxg. A graphics file that cannot be read gives tiles without patterns:
    // its levels are drawn black, as the map shows no tiles for them.
    const ThumbnailTiles &tilesFor(const std::string &directory, const std::string &dxg);
    // Draws level with the tiles of its graphics file in directory.
    Thumbnail draw(const std::string &directory, const tlevel &level);

    int32_t square() const { return mSquare; }
    // How many graphics files were read.
    int loads() const { return mLoads; }

private:
    int32_t mSquare;
    int mLoads = 0;
    std::map<std::pair<std::string, std::string>, ThumbnailTiles> mTiles;
};

// A number that changes whenever what a thumbnail of level shows changes: its graphics file, its size
// and the cells inside it (not its name). Cheap enough to take of every level after each edit.
uint64_t levelFingerprint(const tlevel &level);

} // namespace qm
