#pragma once
// How much each reader takes in, and how much memory a file may make the editor spend. Every file is
// hostile until read: these bounds are checked before anything is allocated, and a file beyond one
// is refused with its reader's usual message. They are far above anything the editor's own files
// need (a theme is about 1.5 MB, its largest picture 640 x 480, all its pictures 0.5 M pixels), and
// low enough that no graphics file under 1 MB makes the editor take more than about 256 MB.

#include <cstddef>
#include <cstdint>

namespace qm {

// Levels file: 200 levels of at most 100 x 100 cells of 16 bytes take about 32 MB; the rest is
// slack for headers that point far.
inline constexpr size_t kMaxLevelsFileBytes = size_t(256) << 20;

// Game configuration file: a few hundred lines of text; anything near this size is not one.
inline constexpr size_t kMaxGameConfigBytes = size_t(16) << 20;

// Help document: plain text or simple HTML of a few pages.
inline constexpr size_t kMaxHelpFileBytes = size_t(16) << 20;

// Description beside a recovery copy: a few lines of JSON naming the copy's file and level, and the
// kept solutions (at most 200 recordings of 48,650 bytes, in base 64).
inline constexpr size_t kMaxRecoverySidecarBytes = size_t(16) << 20;

// Graphics file: read whole into memory before it is parsed.
inline constexpr size_t kMaxGraphicsFileBytes = size_t(256) << 20;

// Nesting of lists and objects in a graphics file's component stream: the real files nest three
// deep; the reader recurses, so the bound keeps its stack small.
inline constexpr int kMaxComponentNesting = 64;

// Pixel bytes one picture may decode to beyond the data in the file: run-length output, and the
// zeros that fill the rows a short picture lacks. A 4096 x 4096 8-bit picture.
inline constexpr size_t kMaxDecodedImageBytes = size_t(16) << 20;
inline constexpr size_t kMaxRunLengthImageBytes = kMaxDecodedImageBytes;

// One surface, in pixels (4096 x 4096: 64 MB at 32 bits). A picture is held on surfaces of its own
// size, so this is also the largest picture that can be shown.
inline constexpr int64_t kMaxSurfacePixels = int64_t(4096) * 4096;

// All the pictures of one graphics file together, in pixels: without it, many small pictures that
// each decode to the most one may would add up without bound. Their surfaces take at most 128 MB
// at 32 bits, their decoded pixels at most as much again.
inline constexpr int64_t kMaxGraphicsFilePixels = 2 * kMaxSurfacePixels;

} // namespace qm
