#pragma once
// The store for tests: a fresh one, and its levels as the levels file holds them (to compare the store
// before and after a step).

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <array>
#include <cstdint>

namespace qm {

// A store as a new file leaves it: empty, then one new level, the current one.
inline void storeWithOneNewLevel()
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
}

inline Bytes storeBytes()
{
    std::array<int32_t, kOffsetCount> offsets{};
    return levelsFileBytes(offsets);
}

} // namespace qm
