#pragma once
// The levels of the store as the levels file holds them, to compare the store before and after a step.

#include "levels/levelsfile.h"

#include <array>
#include <cstdint>

namespace qm {

inline Bytes storeBytes()
{
    std::array<int32_t, kOffsetCount> offsets{};
    return levelsFileBytes(offsets);
}

} // namespace qm
