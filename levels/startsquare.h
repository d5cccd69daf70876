#pragma once
// The hero's start square and the pixels a level stores for it: one rule for the levels dialog, the
// map's marker, the S key, the checks, the samples and the import.
//
// A level stores its start square (column, row), counted from 1 like the cells, as the pixels
// column × 40 + 20 and row × 40 + 20. A stored pixel is read back as the levels dialog shows it:
// (pixel − 20) / 40, rounded toward zero. So 60 is column 1, and 40 (not the pixel of any square) is
// column 0, which lies outside every level.

#include "levelstore.h"

#include <cstdint>

namespace qm {

inline constexpr int32_t kStartPixelOffset = 20;

// The column (or row) a stored start pixel means. 64 bits: every int32 pixel has an answer.
inline constexpr int64_t startSquareOf(int32_t pixel) { return (int64_t(pixel) - kStartPixelOffset) / kSquare; }

// The pixel stored for a start column (or row).
inline constexpr int32_t startPixelOf(int32_t square) { return square * kSquare + kStartPixelOffset; }

} // namespace qm
