#include "dib.h"

#include "platform/bytes.h"
#include "graphicserrors.h"

#include "platform/limits.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace qm {
namespace {

constexpr const char *kDibInvalid = "DIB is invalid";
constexpr const char *kBitmapInvalid = "Bitmap image is not valid";

// Length of the run of set bits starting at the lowest set bit of mask, and where it starts.
struct MaskRun {
    uint8_t bits = 0;
    uint8_t shift = 0;
};
MaskRun maskRun(uint32_t mask)
{
    if (mask == 0)
        return {};
    int shift = std::countr_zero(mask);
    return {static_cast<uint8_t>(std::countr_one(mask >> shift)), static_cast<uint8_t>(shift)};
}

// Widens a field of `bits` bits to 8 bits, repeating its bits so that full scale stays full scale.
inline uint32_t expandField(uint32_t v, int bits)
{
    if (bits >= 8)
        return (v >> (bits - 8)) & 0xFF;
    if (bits <= 0)
        return 0;
    uint32_t out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? v << shift : v >> -shift;
    return out & 0xFF;
}

inline uint32_t fieldOf(uint32_t v, uint8_t bits, uint8_t shift)
{
    if (bits == 0)
        return 0;
    uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return expandField((v >> shift) & mask, bits);
}

// rowSize x rows as a byte count, or SIZE_MAX when it does not fit.
size_t imageBytes(size_t rowSize, size_t rows)
{
    if (rows != 0 && rowSize > SIZE_MAX / rows)
        return SIZE_MAX;
    return rowSize * rows;
}

} // namespace

TDIB::InfoHeader TDIB::readInfoHeader(ByteReader &in, uint32_t size)
{
    InfoHeader h;
    h.size = size;
    if (size == 12) {
        h.width = in.u16();
        h.height = in.u16();
        h.planes = in.u16();
        h.bitCount = in.u16();
        return h;
    }
    h.width = in.i32();
    h.height = in.i32();
    h.planes = in.u16();
    h.bitCount = in.u16();
    h.compression = in.u32();
    h.imageSize = in.u32();
    in.skip(8); // resolutions
    h.colorsUsed = in.u32();
    in.skip(4); // important colours
    return h;
}

void TDIB::clear()
{
    mWidth = mHeight = 0;
    mBitCount = 0;
    mFormat = {};
    mPalette.fill(0);
    mRowSize = 0;
    mPixels.clear();
    mRle.clear();
    mRleVariant = 0;
    mRleDecoded = false;
}

void TDIB::readColorTable(ByteReader &in, uint32_t count, size_t entrySize)
{
    uint32_t kept = std::min<uint32_t>(count, 256);
    const uint8_t *p = in.take(size_t(kept) * entrySize);
    for (uint32_t i = 0; i < kept; ++i, p += entrySize)
        mPalette[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    // Entries beyond the 256 a palette holds are stepped over so that the pixels are found.
    if (count > kept)
        in.skip(size_t(count - kept) * entrySize);
}

void TDIB::setGeometry(int64_t width, int64_t height, int bitCount)
{
    mBitCount = bitCount;
    if (width <= 0 || height <= 0) {
        mWidth = mHeight = 0;
        mRowSize = 0;
        return;
    }
    mWidth = static_cast<int32_t>(width);
    mHeight = static_cast<int32_t>(height);
    mRowSize = static_cast<size_t>((uint64_t(bitCount) * uint64_t(width) + 31) / 32 * 4);
}

void TDIB::readRows(ByteReader &in, bool topDown, bool allowShort)
{
    size_t need = imageBytes(mRowSize, size_t(mHeight));
    if (need > in.remaining() && !allowShort)
        throw EReadError(kStreamReadError);
    size_t have = std::min(need, in.remaining());
    if (have < need && need > kMaxDecodedImageBytes)
        throw EInvalidGraphic(kBitmapInvalid);
    const uint8_t *src = in.take(have);
    if (!topDown && have == need) {
        mPixels.assign(src, src + need); // one block, straight into place
        return;
    }
    mPixels.assign(need, 0);
    size_t rows = mRowSize ? have / mRowSize : 0;
    size_t partial = mRowSize ? have % mRowSize : 0;
    for (size_t r = 0; r <= rows && r < size_t(mHeight); ++r) {
        size_t bytes = r < rows ? mRowSize : partial;
        size_t to = topDown ? size_t(mHeight) - 1 - r : r;
        if (bytes)
            std::memcpy(mPixels.data() + to * mRowSize, src + r * mRowSize, bytes);
    }
}

void TDIB::readData(ByteReader &in)
{
    clear();
    if (in.atEnd())
        return;
    if (in.remaining() < 4)
        throw EInvalidGraphic(kDibInvalid);
    uint32_t size = in.u32();
    if (size != 12 && size != 40)
        throw EInvalidGraphic(kDibInvalid);
    InfoHeader h = readInfoHeader(in, size);
    if (h.compression > 3)
        throw EInvalidGraphic(kDibInvalid);

    DibPixelFormat format = h.bitCount == 16 ? DibPixelFormat::packed(5, 5, 5) : DibPixelFormat::packed(8, 8, 8);
    if (h.compression == 3) {
        // Only the widths count; the fields are taken as packed red, green, blue from the top.
        uint8_t r = maskRun(in.u32()).bits;
        uint8_t g = maskRun(in.u32()).bits;
        uint8_t b = maskRun(in.u32()).bits;
        format = DibPixelFormat::packed(r, g, b);
    }
    uint32_t colors = h.colorsUsed ? h.colorsUsed : (h.bitCount <= 8 ? 1u << h.bitCount : 0);
    readColorTable(in, std::min<uint32_t>(colors, 256), size == 12 ? 3 : 4);

    switch (h.bitCount) {
    case 1: case 4: case 8: case 24: case 32:
        if (!format.hasWidths(8, 8, 8))
            throw EInvalidGraphicOperation("PixelFormat in invalid");
        break;
    case 16:
        if (!format.hasWidths(5, 5, 5) && !format.hasWidths(5, 6, 5))
            throw EInvalidGraphicOperation("PixelFormat in invalid");
        break;
    default:
        throw EInvalidGraphicOperation(formatMessage("Bitcount in invalid (%d)", {std::to_string(h.bitCount)}));
    }
    bool runLength = h.compression == 1 || h.compression == 2;
    // Run-length data exists only for 8 and 4 bits; anything else declaring it cannot be decoded.
    if (runLength && h.bitCount != 8 && h.bitCount != 4)
        throw EInvalidGraphic(kDibInvalid);
    if (h.width < 0 || h.height == INT32_MIN)
        throw EInvalidGraphic(kDibInvalid);

    mFormat = format;
    setGeometry(h.width, h.height < 0 ? -h.height : h.height, h.bitCount);
    if (runLength) {
        const uint8_t *data = in.take(h.imageSize);
        if (imageBytes(mRowSize, size_t(mHeight)) > kMaxRunLengthImageBytes)
            throw EInvalidGraphic(kDibInvalid);
        mRle.assign(data, data + h.imageSize);
        mRleVariant = h.bitCount;
        return;
    }
    readRows(in, h.height < 0, false);
}

void TBitmap::readData(ByteReader &outer)
{
    clear();
    uint32_t length = outer.u32();
    if (length == 0)
        return;
    ByteReader in = outer.sub(length);
    const uint8_t *fileHeader = in.take(14);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        throw EInvalidGraphic(kBitmapInvalid);
    uint32_t size = in.u32();
    if (size != 12 && size < 40)
        throw EInvalidGraphic(kBitmapInvalid);
    InfoHeader h = readInfoHeader(in, size);
    // Larger headers are read whole; of their further fields only the masks are used.
    ByteReader extra = size > 40 ? in.sub(size - 40) : in.sub(0);
    if (h.planes != 1)
        throw EInvalidGraphic(kBitmapInvalid);
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        throw EInvalidGraphic(kBitmapInvalid);
    }
    bool fits = h.compression == 0 || (h.compression == 1 && h.bitCount == 8)
                || (h.compression == 2 && h.bitCount == 4)
                || (h.compression == 3 && (h.bitCount == 16 || h.bitCount == 32));
    if (!fits || h.width < 0 || h.height == INT32_MIN)
        throw EInvalidGraphic(kBitmapInvalid);

    DibPixelFormat format = h.bitCount == 16 ? DibPixelFormat::packed(5, 5, 5) : DibPixelFormat::packed(8, 8, 8);
    if (h.compression == 3) {
        ByteReader &masks = extra.remaining() >= 12 ? extra : in;
        MaskRun r = maskRun(masks.u32()), g = maskRun(masks.u32()), b = maskRun(masks.u32());
        for (const MaskRun &m : {r, g, b})
            if (m.bits == 0 || m.shift + m.bits > h.bitCount)
                throw EInvalidGraphic(kBitmapInvalid);
        format = {r.bits, g.bits, b.bits, r.shift, g.shift, b.shift};
    }
    uint32_t colors = h.colorsUsed ? h.colorsUsed : (h.bitCount <= 8 ? 1u << h.bitCount : 0);
    readColorTable(in, colors, size == 12 ? 3 : 4);

    mFormat = format;
    setGeometry(h.width, h.height < 0 ? -h.height : h.height, h.bitCount);
    size_t dataSize = h.imageSize ? size_t(h.imageSize) : imageBytes(mRowSize, size_t(mHeight));
    dataSize = std::min(dataSize, in.remaining());
    if (h.compression == 1 || h.compression == 2) {
        if (imageBytes(mRowSize, size_t(mHeight)) > kMaxRunLengthImageBytes)
            throw EInvalidGraphic(kBitmapInvalid);
        const uint8_t *data = in.take(dataSize);
        mRle.assign(data, data + dataSize);
        mRleVariant = h.bitCount;
        return;
    }
    ByteReader rows = in.sub(dataSize);
    readRows(rows, h.height < 0, true);
}

// Run-length data, read in pairs (count, value) from column 0 of the bottom row:
//   count > 0         count pixels of value (variant 4: its high and low halves in turn)
//   0, 0              end of row: column 0 of the next row up
//   0, 1              end of the image
//   0, 2, dx, dy      move dx columns right and dy rows up
//   0, n >= 3         n literal indexes (variant 4: two a byte, high half first), then a padding byte
//                     when the literal bytes are odd in number
// The data may end anywhere; that ends the image too.
void decodeRunLength(int variant, const uint8_t *data, size_t size, uint8_t *pixels, size_t rowSize,
                     int32_t width, int32_t height)
{
    const int64_t w = width, h = height;
    int64_t x = 0, y = 0;
    auto put = [&](int64_t px, uint8_t index) {
        if (px < 0 || px >= w || y < 0 || y >= h)
            return;
        uint8_t *row = pixels + size_t(y) * rowSize;
        if (variant == 8) {
            row[px] = index;
        } else {
            uint8_t &b = row[px >> 1];
            b = (px & 1) ? static_cast<uint8_t>((b & 0xF0) | (index & 0x0F))
                         : static_cast<uint8_t>((b & 0x0F) | (index << 4));
        }
    };
    size_t pos = 0;
    while (pos + 2 <= size && y < h) {
        uint8_t count = data[pos];
        uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (variant == 8 && y >= 0 && x < w) {
                int64_t n = std::min<int64_t>(count, w - x);
                std::memset(pixels + size_t(y) * rowSize + size_t(x), value, size_t(n));
            } else if (variant == 4) {
                for (int i = 0; i < count; ++i)
                    put(x + i, (i & 1) ? (value & 0x0F) : (value >> 4));
            }
            x += count;
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (pos + 2 > size)
                return;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            size_t bytes = variant == 8 ? value : (size_t(value) + 1) / 2;
            size_t avail = std::min(bytes, size - pos);
            if (variant == 8) {
                if (x < w) {
                    size_t n = std::min<size_t>(avail, size_t(w - x));
                    std::memcpy(pixels + size_t(y) * rowSize + size_t(x), data + pos, n);
                }
            } else {
                for (int i = 0; i < value && size_t(i) / 2 < avail; ++i) {
                    uint8_t b = data[pos + size_t(i) / 2];
                    put(x + i, (i & 1) ? (b & 0x0F) : (b >> 4));
                }
            }
            x += value;
            pos += bytes + (bytes & 1);
            if (avail < bytes)
                return;
        }
    }
}

const std::vector<uint8_t> &TDIB::pixels() const
{
    if (mRleVariant != 0 && !mRleDecoded) {
        mPixels.assign(imageBytes(mRowSize, size_t(mHeight)), 0);
        decodeRunLength(mRleVariant, mRle.data(), mRle.size(), mPixels.data(), mRowSize, mWidth, mHeight);
        mRleDecoded = true;
        mRle.clear();
        mRle.shrink_to_fit();
    }
    return mPixels;
}

const uint8_t *TDIB::row(int32_t yFromTop) const
{
    return pixels().data() + size_t(mHeight - 1 - yFromTop) * mRowSize;
}

int TDIB::indexAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight || mBitCount > 8)
        return 0;
    const uint8_t *r = row(y);
    switch (mBitCount) {
    case 1:
        return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? r[x >> 1] & 0x0F : r[x >> 1] >> 4;
    default:
        return r[x];
    }
}

TColor TDIB::pixelColor(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return clBlack;
    const uint8_t *r = row(y);
    uint32_t red, green, blue;
    switch (mBitCount) {
    case 1: case 4: case 8: {
        uint32_t c = mPalette[size_t(indexAt(x, y))];
        return rgbColor(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
    }
    case 16: {
        uint32_t v = loadLe16(r + 2 * size_t(x));
        red = fieldOf(v, mFormat.redBits, mFormat.redShift);
        green = fieldOf(v, mFormat.greenBits, mFormat.greenShift);
        blue = fieldOf(v, mFormat.blueBits, mFormat.blueShift);
        break;
    }
    case 24:
        blue = r[3 * size_t(x)];
        green = r[3 * size_t(x) + 1];
        red = r[3 * size_t(x) + 2];
        break;
    default: {
        uint32_t v = loadLe32(r + 4 * size_t(x));
        red = fieldOf(v, mFormat.redBits, mFormat.redShift);
        green = fieldOf(v, mFormat.greenBits, mFormat.greenShift);
        blue = fieldOf(v, mFormat.blueBits, mFormat.blueShift);
        break;
    }
    }
    return rgbColor(uint8_t(red), uint8_t(green), uint8_t(blue));
}

namespace {

template <typename Pixel, typename Fn>
void convertLoop(int32_t x0, int32_t y0, int32_t w, int32_t h, uint8_t *dest, ptrdiff_t pitch, int32_t dx,
                 int32_t dy, Fn pixelAt)
{
    for (int32_t y = 0; y < h; ++y) {
        Pixel *out = reinterpret_cast<Pixel *>(dest + (dy + y) * pitch) + dx;
        for (int32_t x = 0; x < w; ++x)
            out[x] = static_cast<Pixel>(pixelAt(x0 + x, y0 + y));
    }
}

} // namespace

void TDIB::convertRect(SurfacePixelFormat format, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t *dest,
                       ptrdiff_t pitch) const
{
    // Only the part that lies on the image is converted.
    int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t(x) + w, mWidth), bottom = std::min<int64_t>(int64_t(y) + h, mHeight);
    if (left >= right || top >= bottom)
        return;
    const int32_t cx = int32_t(left), cy = int32_t(top), cw = int32_t(right - left), ch = int32_t(bottom - top);
    const int32_t dx = int32_t(left - x), dy = int32_t(top - y);

    std::array<uint32_t, 256> lut{};
    if (mBitCount <= 8)
        for (size_t i = 0; i < 256; ++i)
            lut[i] = rgbToPixel(format, (mPalette[i] >> 16) & 0xFF, (mPalette[i] >> 8) & 0xFF, mPalette[i] & 0xFF);
    const bool plain888 = mFormat == DibPixelFormat::packed(8, 8, 8);

    auto run = [&](auto pixelType) {
        using Pixel = decltype(pixelType);
        switch (mBitCount) {
        case 1: case 4: case 8:
            convertLoop<Pixel>(cx, cy, cw, ch, dest, pitch, dx, dy,
                               [&](int32_t px, int32_t py) { return lut[size_t(indexAt(px, py))]; });
            break;
        case 24:
            convertLoop<Pixel>(cx, cy, cw, ch, dest, pitch, dx, dy, [&](int32_t px, int32_t py) {
                const uint8_t *p = row(py) + 3 * size_t(px);
                return rgbToPixel(format, p[2], p[1], p[0]);
            });
            break;
        case 32:
            if (plain888) {
                convertLoop<Pixel>(cx, cy, cw, ch, dest, pitch, dx, dy, [&](int32_t px, int32_t py) {
                    const uint8_t *p = row(py) + 4 * size_t(px);
                    return rgbToPixel(format, p[2], p[1], p[0]);
                });
                break;
            }
            [[fallthrough]];
        default:
            convertLoop<Pixel>(cx, cy, cw, ch, dest, pitch, dx, dy, [&](int32_t px, int32_t py) {
                TColor c = pixelColor(px, py);
                return rgbToPixel(format, colorRed(c), colorGreen(c), colorBlue(c));
            });
            break;
        }
    };
    if (format == SurfacePixelFormat::Rgb565)
        run(uint16_t{});
    else
        run(uint32_t{});
}

} // namespace qm
