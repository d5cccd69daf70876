#pragma once
// Surfaces drawn smaller: the map's tiles at its zoomed-out sizes are made once with this, then
// copied with the key like any other picture.

#include "directdrawsurface.h"
#include "rect.h"

#include <cstdint>

namespace qm {

// dest becomes the srcRect part of source made divisor times smaller each way (a partial block at
// the right or bottom edge makes a pixel of its own), in source's format and with source's colour
// key. Each pixel is the average of the block's pixels. For a source copied with its key
// (transparent), key pixels do not count: a block at least half of whose pixels are the key stays the
// key, so outlines keep their shape, and an average that happens to equal the key is moved off it by
// one step of blue. srcRect is clipped to source; divisor below 1 counts as 1. An empty rectangle
// leaves dest released.
void scaleDown(const TDirectDrawSurface &source, const TRect &srcRect, int32_t divisor, bool transparent,
               TDirectDrawSurface &dest);

} // namespace qm
