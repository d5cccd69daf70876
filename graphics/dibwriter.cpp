#include "dibwriter.h"

#include "platform/bytes.h"

#include <algorithm>
#include <map>

namespace qm {
namespace {

// Palette and indexes for images of 8 bits or fewer.
struct Indexed {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indexes;
};

Indexed toIndexed(const PixelImage &image, int bitCount)
{
    const size_t limit = size_t(1) << bitCount;
    Indexed out;
    if (image.indexed()) {
        out.palette = image.palette;
        out.indexes = image.indexes;
        for (uint8_t i : out.indexes)
            if (i >= limit)
                throw EncodeError("palette index " + std::to_string(i) + " does not fit in "
                                  + std::to_string(bitCount) + " bits");
        if (out.palette.size() > limit)
            out.palette.resize(limit);
        return out;
    }
    std::map<uint32_t, uint8_t> seen;
    out.indexes.reserve(image.rgb.size());
    for (uint32_t c : image.rgb) {
        auto it = seen.find(c & 0xFFFFFF);
        if (it == seen.end()) {
            if (seen.size() == limit)
                throw EncodeError("the image has more than " + std::to_string(limit) + " colours");
            it = seen.emplace(c & 0xFFFFFF, uint8_t(out.palette.size())).first;
            out.palette.push_back(c & 0xFFFFFF);
        }
        out.indexes.push_back(it->second);
    }
    return out;
}

size_t rowSizeOf(int bitCount, int32_t width) { return (size_t(bitCount) * size_t(width) + 31) / 32 * 4; }

// The pixel rows, bottom row first unless topDown.
Bytes encodeRows(const PixelImage &image, const DibEncoding &enc, const Indexed &indexed)
{
    const size_t rowSize = rowSizeOf(enc.bitCount, image.width);
    Bytes out(rowSize * size_t(image.height), 0);
    for (int32_t r = 0; r < image.height; ++r) {
        int32_t y = enc.topDown ? r : image.height - 1 - r;
        uint8_t *row = out.data() + size_t(r) * rowSize;
        for (int32_t x = 0; x < image.width; ++x) {
            size_t at = size_t(y) * size_t(image.width) + size_t(x);
            switch (enc.bitCount) {
            case 1:
                row[x >> 3] = uint8_t(row[x >> 3] | (indexed.indexes[at] & 1) << (7 - (x & 7)));
                break;
            case 4:
                row[x >> 1] = uint8_t(row[x >> 1] | ((x & 1) ? indexed.indexes[at] & 15 : indexed.indexes[at] << 4));
                break;
            case 8:
                row[x] = indexed.indexes[at];
                break;
            case 16: {
                uint32_t c = image.rgbAt(x, y), r8 = (c >> 16) & 0xFF, g8 = (c >> 8) & 0xFF, b8 = c & 0xFF;
                uint32_t v = enc.rgb565 ? (r8 >> 3) << 11 | (g8 >> 2) << 5 | b8 >> 3
                                        : (r8 >> 3) << 10 | (g8 >> 3) << 5 | b8 >> 3;
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            case 24: {
                uint32_t c = image.rgbAt(x, y);
                row[3 * x] = uint8_t(c);
                row[3 * x + 1] = uint8_t(c >> 8);
                row[3 * x + 2] = uint8_t(c >> 16);
                break;
            }
            default: {
                uint32_t c = image.rgbAt(x, y);
                row[4 * x] = uint8_t(c);
                row[4 * x + 1] = uint8_t(c >> 8);
                row[4 * x + 2] = uint8_t(c >> 16);
                break;
            }
            }
        }
    }
    return out;
}

struct Layout {
    uint32_t compression = 0;
    bool masks = false;
    uint32_t masksValues[3] = {0, 0, 0};
    uint32_t tableEntries = 0;
    Indexed indexed;
    Bytes pixels;
};

Layout prepare(const PixelImage &image, const DibEncoding &enc)
{
    switch (enc.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        throw EncodeError("bit count " + std::to_string(enc.bitCount) + " cannot be written");
    }
    if (image.width < 0 || image.height < 0)
        throw EncodeError("negative image size");
    if (size_t(image.width) * size_t(image.height) != (image.indexed() ? image.indexes.size() : image.rgb.size()))
        throw EncodeError("the pixel count does not match the image size");
    if (enc.runLength && enc.bitCount != 8 && enc.bitCount != 4)
        throw EncodeError("run-length data exists for 8 and 4 bits only");
    if (enc.runLength && enc.topDown)
        throw EncodeError("run-length data is stored bottom row first");
    Layout l;
    if (enc.bitCount <= 8)
        l.indexed = toIndexed(image, enc.bitCount);
    else if (image.indexed())
        throw EncodeError("palette images are written with 8 bits or fewer");
    if (enc.bitCount == 16 && enc.rgb565) {
        l.masks = true;
        l.masksValues[0] = 0xF800, l.masksValues[1] = 0x7E0, l.masksValues[2] = 0x1F;
    } else if (enc.bitCount == 32 && enc.bitFields) {
        l.masks = true;
        l.masksValues[0] = 0xFF0000, l.masksValues[1] = 0xFF00, l.masksValues[2] = 0xFF;
    }
    l.compression = enc.runLength ? (enc.bitCount == 8 ? 1 : 2) : (l.masks ? 3 : 0);
    // The 12-byte header has no colours-used field: its table is always full.
    l.tableEntries = enc.colorsUsed && !enc.coreHeader ? enc.colorsUsed : (enc.bitCount <= 8 ? 1u << enc.bitCount : 0);
    l.pixels = enc.runLength ? encodeRunLength(enc.bitCount, image.width, image.height, l.indexed.indexes)
                             : encodeRows(image, enc, l.indexed);
    return l;
}

void putTable(Bytes &out, const Layout &l, size_t entrySize)
{
    for (uint32_t i = 0; i < l.tableEntries; ++i) {
        uint32_t c = i < l.indexed.palette.size() ? l.indexed.palette[i] : 0;
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c >> 16));
        if (entrySize == 4)
            out.push_back(0);
    }
}

void putCoreHeader(Bytes &out, const PixelImage &image, const DibEncoding &enc, const Layout &l)
{
    if (image.width > 0xFFFF || image.height > 0xFFFF || enc.topDown || l.compression != 0)
        throw EncodeError("the 12-byte header holds only plain bottom-up images up to 65535 pixels");
    appendLe32(out, 12);
    appendLe16(out, uint32_t(image.width));
    appendLe16(out, uint32_t(image.height));
    appendLe16(out, 1);
    appendLe16(out, uint32_t(enc.bitCount));
}

void putInfoHeader(Bytes &out, const PixelImage &image, const DibEncoding &enc, const Layout &l, uint32_t size)
{
    appendLe32(out, size);
    appendLe32(out, uint32_t(image.width));
    appendLe32(out, enc.topDown ? uint32_t(-image.height) : uint32_t(image.height));
    appendLe16(out, 1);
    appendLe16(out, uint32_t(enc.bitCount));
    appendLe32(out, l.compression);
    appendLe32(out, uint32_t(l.pixels.size()));
    appendLe32(out, 2835); // 72 dots per inch
    appendLe32(out, 2835);
    appendLe32(out, enc.colorsUsed);
    appendLe32(out, 0);
}

} // namespace

PixelImage PixelImage::fromRgb(int32_t width, int32_t height, std::vector<uint32_t> rgb)
{
    PixelImage image;
    image.width = width;
    image.height = height;
    image.rgb = std::move(rgb);
    return image;
}

PixelImage PixelImage::fromIndexed(int32_t width, int32_t height, std::vector<uint8_t> indexes,
                                   std::vector<uint32_t> palette)
{
    PixelImage image;
    image.width = width;
    image.height = height;
    image.indexes = std::move(indexes);
    image.palette = std::move(palette);
    return image;
}

uint32_t PixelImage::rgbAt(int32_t x, int32_t y) const
{
    size_t at = size_t(y) * size_t(width) + size_t(x);
    if (indexed()) {
        uint8_t i = at < indexes.size() ? indexes[at] : 0;
        return i < palette.size() ? palette[i] & 0xFFFFFF : 0;
    }
    return at < rgb.size() ? rgb[at] & 0xFFFFFF : 0;
}

Bytes encodeRunLength(int variant, int32_t width, int32_t height, const std::vector<uint8_t> &indexes)
{
    Bytes out;
    const uint8_t nibble = variant == 4 ? 0x0F : 0xFF;
    for (int32_t r = height - 1; r >= 0; --r) {
        const uint8_t *row = indexes.data() + size_t(r) * size_t(width);
        auto runAt = [&](int32_t x) {
            int32_t n = 1;
            while (x + n < width && n < 255 && row[x + n] == row[x])
                ++n;
            return n;
        };
        int32_t x = 0;
        while (x < width) {
            int32_t run = runAt(x);
            if (run >= 3) {
                uint8_t v = row[x] & nibble;
                out.push_back(uint8_t(run));
                out.push_back(variant == 4 ? uint8_t(v << 4 | v) : v);
                x += run;
                continue;
            }
            int32_t end = x;
            while (end < width && end - x < 255) {
                int32_t n = runAt(end);
                if (n >= 3)
                    break;
                end += std::min(n, 255 - (end - x));
            }
            int32_t count = end - x;
            if (count < 3) {
                for (int32_t i = x; i < end; ++i) {
                    out.push_back(1);
                    out.push_back(variant == 4 ? uint8_t((row[i] & nibble) << 4) : row[i]);
                }
            } else {
                out.push_back(0);
                out.push_back(uint8_t(count));
                size_t bytes = 0;
                if (variant == 8) {
                    out.insert(out.end(), row + x, row + end);
                    bytes = size_t(count);
                } else {
                    for (int32_t i = x; i < end; i += 2) {
                        uint8_t hi = row[i] & nibble, lo = i + 1 < end ? row[i + 1] & nibble : 0;
                        out.push_back(uint8_t(hi << 4 | lo));
                        ++bytes;
                    }
                }
                if (bytes & 1)
                    out.push_back(0);
            }
            x = end;
        }
        if (r > 0) {
            out.push_back(0);
            out.push_back(0);
        }
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

Bytes encodeDib(const PixelImage &image, const DibEncoding &enc)
{
    Layout l = prepare(image, enc);
    Bytes out;
    if (enc.coreHeader)
        putCoreHeader(out, image, enc, l);
    else
        putInfoHeader(out, image, enc, l, 40);
    if (l.masks)
        for (uint32_t m : l.masksValues)
            appendLe32(out, m);
    putTable(out, l, enc.coreHeader ? 3 : 4);
    out.insert(out.end(), l.pixels.begin(), l.pixels.end());
    return out;
}

Bytes encodeBitmap(const PixelImage &image, const DibEncoding &enc)
{
    Layout l = prepare(image, enc);
    const uint32_t headerSize = enc.coreHeader ? 12 : enc.bitmapHeaderSize;
    if (headerSize != 12 && (headerSize < 40 || headerSize > 124))
        throw EncodeError("bitmap information headers are 12 or 40 to 124 bytes long");
    Bytes info;
    if (headerSize == 12)
        putCoreHeader(info, image, enc, l);
    else
        putInfoHeader(info, image, enc, l, headerSize);
    // Larger headers carry the masks themselves, right after the first 40 bytes.
    bool masksInHeader = l.masks && headerSize >= 52;
    if (headerSize > 40) {
        Bytes extra(headerSize - 40, 0);
        if (masksInHeader)
            for (int i = 0; i < 3; ++i)
                for (int b = 0; b < 4; ++b)
                    extra[size_t(i * 4 + b)] = uint8_t(l.masksValues[i] >> (8 * b));
        info.insert(info.end(), extra.begin(), extra.end());
    }
    if (l.masks && !masksInHeader)
        for (uint32_t m : l.masksValues)
            appendLe32(info, m);
    putTable(info, l, headerSize == 12 ? 3 : 4);

    Bytes file;
    file.push_back('B');
    file.push_back('M');
    appendLe32(file, uint32_t(14 + info.size() + l.pixels.size()));
    appendLe32(file, 0);
    appendLe32(file, uint32_t(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), l.pixels.begin(), l.pixels.end());

    Bytes out;
    appendLe32(out, uint32_t(file.size()));
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

Bytes pictureData(const std::string &className, const Bytes &graphicData)
{
    if (className.size() > 255)
        throw EncodeError("class names are at most 255 characters");
    Bytes out(1 + className.size() + graphicData.size());
    out[0] = uint8_t(className.size());
    std::copy(className.begin(), className.end(), out.begin() + 1);
    std::copy(graphicData.begin(), graphicData.end(), out.begin() + 1 + std::ptrdiff_t(className.size()));
    return out;
}

} // namespace qm
