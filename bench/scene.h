#pragma once
// The one fixed scene of the frame benchmarks: the default game directory's pictures, a level made
// from a fixed random seed, fixed view offsets, pointer and palette. Every case that composes a frame
// (ours, the floors, the peers) draws this scene and checks the frame's checksum against the one our
// own frame gives, so that a faster picture is never a different picture.

#include "editor/core/mapview.h"
#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmbench {

inline constexpr int32_t kFrameWidth = 761;
inline constexpr int32_t kFrameHeight = 483;

// The case's pixel format from its "bits" argument (16 or 32).
qm::SurfacePixelFormat formatArg(const benchmark::State &state);
inline int bitsOf(qm::SurfacePixelFormat format) { return format == qm::SurfacePixelFormat::Rgb565 ? 16 : 32; }

// Editor.dxg and computer.dxg of the game directory, prepared for a back buffer of the given format.
// With keyed false every picture's transparency is off: the same frame with every rectangle copied
// whole.
struct GamePictures {
    explicit GamePictures(qm::SurfacePixelFormat format, bool keyed = true);
    qm::FramePictures frame() const { return {editor.Items(), tiles.Items()}; }
    qm::TDirectDrawSurface &back() { return target.Surface(); }

    qm::OffscreenDrawTarget target;
    qm::TDXImageList editor, tiles;
};

// Makes the store hold one open level of size x size cells from the fixed seed, sets the fixed view
// offsets (a half-pixel x offset), pointer and palette. The same state for every size, so the 40 x 40
// and 100 x 100 frames show the same kind of picture.
void prepareLevel(int size);

// Makes the store hold a full levels file: 200 levels of 70 x 70 cells (about 15.7 MB written).
void prepareFullLevelsFile();

// One rectangle copy of a frame, exactly as a picture's Draw asks the back buffer for it.
struct Blit {
    int32_t x, y;
    qm::TRect rect;
    const qm::TDirectDrawSurface *surface;
    bool keyed;
};

// The draws the frame of the current store state makes, in order, the ones clipped away included
// (the frame makes them too). Composing them with our own Draw gives our frame exactly; the benchmark
// cases check it.
std::vector<Blit> frameBlits(const qm::FramePictures &pictures);

// A blit clipped to a w x h destination, moving the source by the same amount; false when empty.
bool clipBlit(Blit &b, int32_t destWidth, int32_t destHeight);

// FNV-1a over the pixels, alpha bytes of 32-bit pixels ignored (peers keep 0xFF there).
uint64_t frameChecksum(const uint8_t *bits, int32_t width, int32_t height, ptrdiff_t pitch, int bytesPerPixel);
uint64_t frameChecksum(const qm::TDirectDrawSurface &surface);

// Our own frame of the current store state on pictures' back buffer, and its checksum.
uint64_t referenceFrame(GamePictures &pictures);

// Marks the case failed when the frame it made differs from ours; shows the checksum as a counter.
void checkFrame(benchmark::State &state, uint64_t got, uint64_t expected);

} // namespace qmbench
