#pragma once
// A picture's graphic: something with a size that can be copied into a surface, converting each
// pixel's colour to the surface's format.

#include "colors.h"
#include "pixelformat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qm {

class ByteReader;

class TGraphic {
public:
    virtual ~TGraphic() = default;

    // The class name under which the graphic is stored in picture data ("TDIB", "TBitmap").
    virtual std::string className() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }

    // Replaces the graphic with the one held by data (the bytes after the class name).
    virtual void readData(ByteReader &data) = 0;
    virtual std::unique_ptr<TGraphic> clone() const = 0;

    // The colour of the pixel at (x, y), y counted from the top row; black outside the graphic.
    virtual TColor pixelColor(int32_t x, int32_t y) const = 0;

    // Converts the w x h rectangle at (x, y) of the graphic into surface pixels of format at dest
    // (pitch bytes per row, top row first). Parts of the rectangle outside the graphic are left as
    // they are in dest.
    virtual void convertRect(SurfacePixelFormat format, int32_t x, int32_t y, int32_t w, int32_t h,
                             uint8_t *dest, ptrdiff_t pitch) const = 0;
};

} // namespace qm
