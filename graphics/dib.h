#pragma once
// Device-independent bitmaps: the "TDIB" picture data (information header, optional masks, colour
// table, pixels) and the "TBitmap" picture data (a complete bitmap file behind a length).

#include "graphic.h"

#include <array>
#include <vector>

namespace qm {

// Where the red, green and blue fields of a 16- or 32-bit pixel lie.
struct DibPixelFormat {
    uint8_t redBits = 8, greenBits = 8, blueBits = 8;
    uint8_t redShift = 16, greenShift = 8, blueShift = 0;

    // Fields packed red highest, blue lowest, as the picture data's masks are read.
    static constexpr DibPixelFormat packed(uint8_t r, uint8_t g, uint8_t b)
    {
        return {r, g, b, static_cast<uint8_t>(g + b), b, 0};
    }
    bool hasWidths(uint8_t r, uint8_t g, uint8_t b) const
    {
        return redBits == r && greenBits == g && blueBits == b;
    }
    bool operator==(const DibPixelFormat &) const = default;
};

class TDIB : public TGraphic {
public:
    std::string className() const override { return "TDIB"; }
    int32_t Width() const override { return mWidth; }
    int32_t Height() const override { return mHeight; }

    // Picture data layout, all numbers little-endian:
    //   information header, 12 bytes (size, u16 width, u16 height, u16 planes, u16 bit count) or
    //   40 bytes (size, i32 width, i32 height - negative when the top row comes first - u16 planes,
    //   u16 bit count, u32 compression 0 none / 1, 2 run-length / 3 bit fields, u32 run-length data
    //   size, two resolutions, u32 colours used, u32 important colours);
    //   with compression 3, three u32 masks (red, green, blue);
    //   the colour table (colours used, or 2^bit count up to 8 bits; at most 256), 3 bytes an entry
    //   after a 12-byte header, 4 otherwise (blue, green, red, reserved);
    //   the pixel rows (padded to 4 bytes, bottom row first) or the run-length data.
    // No data at all is an empty image.
    void readData(ByteReader &data) override;
    std::unique_ptr<TGraphic> clone() const override { return std::make_unique<TDIB>(*this); }
    TColor pixelColor(int32_t x, int32_t y) const override;
    void convertRect(SurfacePixelFormat format, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t *dest,
                     ptrdiff_t pitch) const override;

    int bitCount() const { return mBitCount; }
    const DibPixelFormat &pixelFormat() const { return mFormat; }
    // 256 entries, 0x00RRGGBB (the reserved byte dropped); entries the data did not give are 0.
    const std::array<uint32_t, 256> &palette() const { return mPalette; }
    int colorCount() const { return mBitCount <= 8 ? 1 << mBitCount : 0; }
    size_t rowSize() const { return mRowSize; }
    // Whether the image still holds its run-length data, not yet decoded.
    bool holdsRunLength() const { return mRleVariant != 0 && !mRleDecoded; }
    // The pixel rows, bottom row first, rowSize() bytes each; run-length data is decoded on first use.
    const std::vector<uint8_t> &pixels() const;
    // The palette index at (x, y) from the top, for images of 8 bits or fewer.
    int indexAt(int32_t x, int32_t y) const;

protected:
    struct InfoHeader {
        uint32_t size = 0;
        int64_t width = 0, height = 0;
        uint16_t planes = 0, bitCount = 0;
        uint32_t compression = 0, imageSize = 0, colorsUsed = 0;
    };
    static InfoHeader readInfoHeader(ByteReader &in, uint32_t size);
    void readColorTable(ByteReader &in, uint32_t count, size_t entrySize);
    void setGeometry(int64_t width, int64_t height, int bitCount);
    void readRows(ByteReader &in, bool topDown, bool allowShort);
    void clear();
    const uint8_t *row(int32_t yFromTop) const;

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int mBitCount = 0;
    DibPixelFormat mFormat;
    std::array<uint32_t, 256> mPalette{};
    size_t mRowSize = 0;
    mutable std::vector<uint8_t> mPixels;
    // Run-length data as read (variant 8 or 4), decoded into mPixels when the pixels are first needed.
    mutable std::vector<uint8_t> mRle;
    int mRleVariant = 0;
    mutable bool mRleDecoded = false;
};

// A complete bitmap file: u32 length N, then N bytes: the 14-byte file header starting "BM", an
// information header of 12 bytes or of 40 or more, masks, colour table and pixels as for TDIB but by
// the file format's own rules (masks at their real positions, run-length variant chosen by the
// compression value, pixel data cut short by the end of the N bytes left black).
class TBitmap : public TDIB {
public:
    std::string className() const override { return "TBitmap"; }
    void readData(ByteReader &data) override;
    std::unique_ptr<TGraphic> clone() const override { return std::make_unique<TBitmap>(*this); }
};

// Decodes run-length data of variant 8 or 4 into rows (bottom row first, rowSize bytes each, already
// zeroed). Never reads or writes outside the two buffers; pixels off the image are dropped.
void decodeRunLength(int variant, const uint8_t *data, size_t size, uint8_t *pixels, size_t rowSize,
                     int32_t width, int32_t height);


} // namespace qm
