#pragma once
// Encoding pixels as picture data: the "TDIB" layout and the "TBitmap" layout (a bitmap file behind
// a length), in every bit count the decoder reads, with optional run-length compression. Used to pack
// graphics files from images, to make the game's default graphics, and by the tests.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm {

using Bytes = std::vector<uint8_t>;

// Pixels to encode, top row first: true colour (rgb, 0x00RRGGBB) or palette indexes with a palette
// of up to 256 colours (0x00RRGGBB).
struct PixelImage {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> rgb;
    std::vector<uint8_t> indexes;
    std::vector<uint32_t> palette;

    static PixelImage fromRgb(int32_t width, int32_t height, std::vector<uint32_t> rgb);
    static PixelImage fromIndexed(int32_t width, int32_t height, std::vector<uint8_t> indexes,
                                  std::vector<uint32_t> palette);
    bool indexed() const { return !palette.empty(); }
    uint32_t rgbAt(int32_t x, int32_t y) const;
};

struct DibEncoding {
    int bitCount = 24;          // 1, 4, 8, 16, 24 or 32
    bool runLength = false;     // 8 bits: run-length 8; 4 bits: run-length 4
    bool topDown = false;       // rows top first (negative height); not with run-length data
    bool coreHeader = false;    // the 12-byte information header (3-byte palette entries)
    bool rgb565 = false;        // 16 bits as 5-6-5 through masks (otherwise 5-5-5)
    bool bitFields = false;     // 32 bits with explicit masks
    uint32_t colorsUsed = 0;    // palette entries to write; 0: all the bit count can index
    uint32_t bitmapHeaderSize = 40; // "TBitmap" only: 12, 40, or a larger header (52 to 124)
};

// Raised for images the encoding cannot hold (more colours than the bit count indexes, sizes out of
// range, inconsistent options).
class EncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The graphic's own data, as it follows the class name in picture data.
Bytes encodeDib(const PixelImage &image, const DibEncoding &encoding);
Bytes encodeBitmap(const PixelImage &image, const DibEncoding &encoding);

// Run-length data of variant 8 or 4 for rows of palette indexes (top row first), with end-of-row
// codes and the end-of-image code.
Bytes encodeRunLength(int variant, int32_t width, int32_t height, const std::vector<uint8_t> &indexes);

// Picture data: the class name's length byte, the class name, the graphic's data.
Bytes pictureData(const std::string &className, const Bytes &graphicData);

} // namespace qm
