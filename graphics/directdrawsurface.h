#pragma once
// A drawing surface: a rectangle of pixels in the display's format that can be filled, loaded from a
// picture, and copied onto another surface with a source colour key.
//
// Copies with the key are fast because a surface used as a keyed source remembers, for its current
// pixels and key, where each row's runs of non-key pixels lie: rows without key pixels copy as plain
// memory blocks, rows made of a few long runs copy run by run, and only finely mixed rows go through
// the vector kernel that tests every pixel. Any change of pixels or key forgets that knowledge; it is
// rebuilt on the next keyed copy from the surface.

#include "colors.h"
#include "pixelformat.h"
#include "rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qm {

class TGraphic;

class TDirectDrawSurface {
public:

    explicit TDirectDrawSurface(SurfacePixelFormat format = SurfacePixelFormat::Xrgb8888) : mFormat(format) {}
    TDirectDrawSurface(const TDirectDrawSurface &) = delete;
    TDirectDrawSurface &operator=(const TDirectDrawSurface &) = delete;

    SurfacePixelFormat pixelFormat() const { return mFormat; }
    // Changes the format; the surface is released (make it again with SetSize).
    void setPixelFormat(SurfacePixelFormat format);

    // Makes the surface anew, w x h pixels all 0, ColorKey 0. A size of 0 or less releases it.
    // Throws EDirectDrawSurfaceError "Surface cannot be made" when the memory cannot be had.
    void SetSize(int32_t w, int32_t h);
    int32_t Width() const { return mWidth; }
    int32_t Height() const { return mHeight; }
    bool exists() const { return mWidth > 0; }

    // Kept for the picture items; every surface here lives in system memory.
    bool SystemMemory() const { return mSystemMemory; }
    void setSystemMemory(bool value) { mSystemMemory = value; }

    // Sets every pixel to a raw pixel value of this surface's format.
    void Fill(uint32_t value);
    // The same within rect, clipped to the surface.
    void Fill(const TRect &rect, uint32_t value);

    // Copies the srcRect part of source to (x, y), clipped to both surfaces; with transparent, source
    // pixels equal to source's ColorKey are not copied. A missing source, or a rectangle that ends up
    // empty, draws nothing. Mirrored rectangles (right < left) are empty.
    void Draw(int32_t x, int32_t y, const TRect &srcRect, const TDirectDrawSurface *source, bool transparent);

    uint32_t ColorKey() const { return mColorKey; }
    void setColorKey(uint32_t key);

    // The pixel value of this surface's format for a colour; the same conversion as LoadFromPicture.
    uint32_t ColorToPixel(TColor color) const;

    // SetSize to srcRect's size, then the srcRect part of the graphic converted pixel by pixel.
    void LoadFromPicture(const TGraphic &graphic, const TRect &srcRect);

    // Direct pixel access; a pixel outside reads 0 and is not written (nor outside the clip).
    uint32_t pixel(int32_t x, int32_t y) const;
    void setPixel(int32_t x, int32_t y, uint32_t value);

    // The clip: Fill, Draw and setPixel change only pixels inside it. By default, and after
    // clearClip, the whole surface. Writes through mutableBits are the writer's to keep inside it.
    void setClip(const TRect &clip);
    void clearClip() { mClip.reset(); }
    TRect clip() const { return mClip ? *mClip : TRect{0, 0, mWidth, mHeight}; }

    // From beginDrawnBounds on, every Fill, Draw and setPixel adds the part of the surface it aims at,
    // clip or not, to the bounds that endDrawnBounds returns: drawn with an empty clip, a picture
    // tells where it would draw without changing a pixel.
    void beginDrawnBounds();
    TRect endDrawnBounds();

    // Goes up with every change of the pixels or of the size, so that a drawing that remembers what it
    // left on the surface can tell whether anything else has drawn since.
    uint64_t changeCount() const { return mChanges; }
    ptrdiff_t pitch() const { return ptrdiff_t(mWidth) * bytesPerPixel(mFormat); }
    const uint8_t *bits() const { return mPixels.get(); }
    // Writable pixels; the caller changes them, so the keyed-copy knowledge is dropped.
    uint8_t *mutableBits()
    {
        changed();
        return mPixels.get();
    }

private:
    // One row of a keyed source: its non-key runs are runs[first, first + count), and all its non-key
    // pixels lie in [start, end). Finely mixed rows (many short runs) are copied with the vector
    // kernel over [start, end) instead of run by run.
    struct RowRuns {
        int32_t start = 0, end = 0;
        uint32_t first = 0, count = 0;
        bool perPixel = false;
    };
    struct Run {
        int32_t start, end;
    };
    void changed()
    {
        mRunsValid = false;
        ++mChanges;
    }
    // The part of the surface that a rectangle aims at: noted for the drawn bounds, then narrowed
    // to the clip. False when nothing of it is left to change.
    bool aimAt(int64_t &left, int64_t &top, int64_t &right, int64_t &bottom);
    void buildRuns() const;
    void copyRows(uint8_t *dest, ptrdiff_t destPitch, const uint8_t *src, ptrdiff_t srcPitch, int64_t width,
                  int64_t height, int bpp);
    void keyedRows(const TDirectDrawSurface &source, int64_t dx, int64_t dy, int64_t sx, int64_t sy,
                   int64_t width, int64_t height);
    void convertedRows(const TDirectDrawSurface &source, int64_t dx, int64_t dy, int64_t sx, int64_t sy,
                       int64_t width, int64_t height, bool transparent);

    SurfacePixelFormat mFormat;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    bool mSystemMemory = false;
    uint32_t mColorKey = 0;
    std::unique_ptr<uint8_t[]> mPixels;
    std::optional<TRect> mClip;
    std::optional<TRect> mDrawnBounds; // while begun: empty until something is aimed at
    bool mKeepingBounds = false;
    uint64_t mChanges = 0;

    mutable bool mRunsValid = false;
    mutable std::vector<RowRuns> mRows;
    mutable std::vector<Run> mRuns;
};

} // namespace qm
