#pragma once
// The pictures of the decoding benchmarks, 280 x 80: one at 24 bits, one of palette indexes with long
// and short runs for run-length 8. The same pixels serve our own "TDIB" data and the bitmap files
// (our "TBitmap" data) that our decoder and the peers read byte for byte alike.

#include "graphics/dibwriter.h"

#include <cstdint>
#include <vector>

namespace qmbench {

inline qm::PixelImage image24()
{
    std::vector<uint32_t> rgb;
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 280; ++x)
            rgb.push_back(uint32_t(x * 0x10203 + y * 0x30201) & 0xFFFFFF);
    return qm::PixelImage::fromRgb(280, 80, std::move(rgb));
}

inline qm::PixelImage imageIndexed()
{
    std::vector<uint8_t> idx;
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 280; ++x)
            idx.push_back(uint8_t(((x / 9) * 3 + (y / 5)) % 200 + ((x * y) % 17 == 0 ? 1 : 0)));
    std::vector<uint32_t> palette(256);
    for (size_t i = 0; i < 256; ++i)
        palette[i] = uint32_t(i * 0x010101);
    return qm::PixelImage::fromIndexed(280, 80, idx, palette);
}

inline const qm::Bytes &dib24()
{
    static const qm::Bytes data = qm::encodeDib(image24(), {.bitCount = 24});
    return data;
}
inline const qm::Bytes &dibRle8()
{
    static const qm::Bytes data = qm::encodeDib(imageIndexed(), {.bitCount = 8, .runLength = true});
    return data;
}
inline const qm::Bytes &bitmap24()
{
    static const qm::Bytes data = qm::encodeBitmap(image24(), {.bitCount = 24});
    return data;
}
inline const qm::Bytes &bitmapRle8()
{
    static const qm::Bytes data = qm::encodeBitmap(imageIndexed(), {.bitCount = 8, .runLength = true});
    return data;
}

} // namespace qmbench
