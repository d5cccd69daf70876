#pragma once
// The level checks over the levels of the store, each level with the pictures of its own graphics
// file from the game directory, each file read once.

#include "levelgraphics.h"

#include "levels/levelcheck.h"

#include <cstdint>
#include <vector>

namespace qm {

class StoreChecks {
public:
    // The findings of level k (1..levelsinfo.count) of the store; none for a number outside the file.
    std::vector<Finding> checkStoreLevel(int32_t k);
    // How many error findings the levels of the store have, all together.
    int32_t errorCount();
    // Graphics files are read again at the next check (they may have changed on disk).
    void forgetGraphics() { mGraphics.clear(); }

private:
    GraphicsFiles mGraphics;
};

} // namespace qm
