#pragma once

#include <cstdint>

namespace qm {

// A rectangle in pixels, right and bottom exclusive.
struct TRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    constexpr int64_t width() const { return int64_t(right) - left; }
    constexpr int64_t height() const { return int64_t(bottom) - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool operator==(const TRect &) const = default;
};

constexpr TRect rectOfSize(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return {left, top, left + width, top + height};
}

} // namespace qm
