#include "testimages.h"

#include "graphics/graphicserrors.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qm;
using namespace qm::testing;

namespace {

// A 40-byte information header.
Bytes infoHeader(int32_t w, int32_t h, int bits, uint32_t compression = 0, uint32_t imageSize = 0,
                 uint32_t colorsUsed = 0)
{
    Bytes b;
    appendLe32(b, 40);
    appendLe32(b, uint32_t(w));
    appendLe32(b, uint32_t(h));
    appendLe16(b, 1);
    appendLe16(b, uint32_t(bits));
    appendLe32(b, compression);
    appendLe32(b, imageSize);
    appendLe32(b, 0);
    appendLe32(b, 0);
    appendLe32(b, colorsUsed);
    appendLe32(b, 0);
    return b;
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes zeros(size_t n) { return Bytes(n, 0); }

// An 8-bit run-length image of width 8 and height 2 with the given data.
TDIB rle8(const Bytes &data)
{
    return decodeDib(infoHeader(8, 2, 8, 1, uint32_t(data.size())) + zeros(1024) + data);
}

} // namespace

TEST(DibDecoding, EightBitsWithNoColoursUsedReadsAFullTable)
{
    Bytes table = zeros(1024);
    table[255 * 4 + 2] = 0x12; // red of entry 255
    Bytes data = infoHeader(1, 1, 8) + table + Bytes{255, 0, 0, 0};
    TDIB dib = decodeDib(data);
    EXPECT_EQ(dib.pixelColor(0, 0), rgbColor(0x12, 0, 0));
    // One byte short of the pixels: the table really took 1,024 bytes.
    data.pop_back();
    EXPECT_THROW(decodeDib(data), EReadError);
}

TEST(DibDecoding, ColoursUsedLimitsTheTableAndTheRestIsBlack)
{
    PixelImage image = PixelImage::fromIndexed(5, 1, {0, 1, 2, 3, 4}, {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF});
    TDIB dib = decodeDib(encodeDib(image, {.bitCount = 4, .colorsUsed = 3}));
    EXPECT_EQ(dib.pixelColor(2, 0), toTColor(0x778899));
    EXPECT_EQ(dib.pixelColor(3, 0), clBlack);
    EXPECT_EQ(dib.pixelColor(4, 0), clBlack);
}

TEST(DibDecoding, SixteenBitFormatsFromCompressionAndMasks)
{
    Bytes pixel{0x00, 0xF8, 0, 0}; // 0xF800: top five bits set
    TDIB plain = decodeDib(infoHeader(1, 1, 16) + pixel);
    EXPECT_TRUE(plain.pixelFormat().hasWidths(5, 5, 5));
    EXPECT_EQ(plain.pixelColor(0, 0), rgbColor(0xF7, 0, 0)) << "5-5-5 puts 0xF800 into red 0x1E and bit 15 nowhere";

    Bytes masks565;
    appendLe32(masks565, 0xF800), appendLe32(masks565, 0x7E0), appendLe32(masks565, 0x1F);
    TDIB fiveSixFive = decodeDib(infoHeader(1, 1, 16, 3) + masks565 + pixel);
    EXPECT_TRUE(fiveSixFive.pixelFormat().hasWidths(5, 6, 5));
    EXPECT_EQ(fiveSixFive.pixelColor(0, 0), rgbColor(0xFF, 0, 0));

    Bytes swapped;
    appendLe32(swapped, 0x1F), appendLe32(swapped, 0x7E0), appendLe32(swapped, 0xF800);
    TDIB redHigh = decodeDib(infoHeader(1, 1, 16, 3) + swapped + pixel);
    EXPECT_TRUE(redHigh.pixelFormat().hasWidths(5, 6, 5));
    EXPECT_EQ(redHigh.pixelColor(0, 0), rgbColor(0xFF, 0, 0)) << "red is always the highest field";
}

TEST(DibDecoding, TopDownAndBottomUpGiveTheSamePixels)
{
    PixelImage image = gradient(7, 5);
    TDIB up = decodeDib(encodeDib(image, {.bitCount = 24}));
    TDIB down = decodeDib(encodeDib(image, {.bitCount = 24, .topDown = true}));
    EXPECT_EQ(up.pixels(), down.pixels());
    EXPECT_EQ(down.pixelColor(6, 0), toTColor(image.rgbAt(6, 0)));
}

TEST(DibDecoding, RowsArePaddedToFourBytes)
{
    TDIB dib = decodeDib(encodeDib(gradient(3, 2), {.bitCount = 24}));
    EXPECT_EQ(dib.rowSize(), 12u);
    EXPECT_EQ(dib.pixels().size(), 24u);
}

TEST(DibDecoding, EmptyDataIsAnEmptyImage)
{
    EXPECT_TRUE(decodeDib({}).Empty());
    EXPECT_TRUE(decodeBitmap({0, 0, 0, 0}).Empty());
}

TEST(RunLength, EightBitRunsAndEndOfRow)
{
    TDIB dib = rle8({0x03, 0x05, 0x00, 0x00, 0x02, 0x07, 0x00, 0x01});
    EXPECT_TRUE(dib.holdsRunLength()) << "kept compressed until the pixels are needed";
    // Row 1 from the top is the bottom row.
    EXPECT_EQ(dib.indexAt(0, 1), 5);
    EXPECT_EQ(dib.indexAt(2, 1), 5);
    EXPECT_EQ(dib.indexAt(3, 1), 0);
    EXPECT_EQ(dib.indexAt(0, 0), 7);
    EXPECT_EQ(dib.indexAt(1, 0), 7);
    EXPECT_EQ(dib.indexAt(2, 0), 0);
    EXPECT_FALSE(dib.holdsRunLength());
}

TEST(RunLength, MoveEscape)
{
    TDIB dib = rle8({0x00, 0x02, 0x02, 0x01, 0x04, 0x09, 0x00, 0x01});
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dib.indexAt(x, 1), 0) << x;
    EXPECT_EQ(dib.indexAt(0, 0), 0);
    EXPECT_EQ(dib.indexAt(1, 0), 0);
    for (int x = 2; x < 6; ++x)
        EXPECT_EQ(dib.indexAt(x, 0), 9) << x;
    EXPECT_EQ(dib.indexAt(6, 0), 0);
}

TEST(RunLength, OddLiteralIsFollowedByPadding)
{
    TDIB dib = rle8({0x00, 0x03, 1, 2, 3, 0xEE, 0x02, 0x04, 0x00, 0x01});
    std::vector<int> row;
    for (int x = 0; x < 6; ++x)
        row.push_back(dib.indexAt(x, 1));
    EXPECT_EQ(row, (std::vector<int>{1, 2, 3, 4, 4, 0}));
}

TEST(RunLength, FourBitRunsAlternateHalves)
{
    Bytes data{0x05, 0x12, 0x00, 0x03, 0x34, 0x50, 0x00, 0x01};
    TDIB dib = decodeDib(infoHeader(10, 1, 4, 2, uint32_t(data.size())) + zeros(64) + data);
    std::vector<int> row;
    for (int x = 0; x < 9; ++x)
        row.push_back(dib.indexAt(x, 0));
    EXPECT_EQ(row, (std::vector<int>{1, 2, 1, 2, 1, 3, 4, 5, 0}));
}

TEST(RunLength, PixelsOffTheImageAreDroppedAndHostileDataIsHarmless)
{
    // Runs and moves far beyond the image, literals cut by the end of the data.
    TDIB dib = rle8({0xFF, 0x01, 0x00, 0x02, 0xFF, 0xFF, 0x09, 0x02, 0x00, 0x00, 0x00, 0x07, 1, 2});
    EXPECT_EQ(dib.indexAt(7, 1), 1);
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes data(rng() % 64);
        for (uint8_t &b : data)
            b = uint8_t(rng() % 4 == 0 ? rng() % 3 : rng());
        int variant = round % 2 ? 8 : 4;
        int32_t w = int32_t(rng() % 9 + 1), h = int32_t(rng() % 4 + 1);
        size_t rowSize = (size_t(variant) * size_t(w) + 31) / 32 * 4;
        std::vector<uint8_t> pixels(rowSize * size_t(h), 0);
        decodeRunLength(variant, data.data(), data.size(), pixels.data(), rowSize, w, h);
    }
}

struct DecodeFailure {
    const char *name;
    std::function<Bytes()> data;
    bool asBitmap;
    const char *className;
    const char *message;
};

class DecodeFailures : public ::testing::TestWithParam<DecodeFailure> {};

TEST_P(DecodeFailures, FailWithTheirClassAndMessage)
{
    const DecodeFailure &f = GetParam();
    try {
        if (f.asBitmap)
            decodeBitmap(f.data());
        else
            decodeDib(f.data());
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.className(), f.className);
        EXPECT_STREQ(e.what(), f.message);
    }
}

Bytes bitmapOf(const Bytes &file)
{
    Bytes b;
    appendLe32(b, uint32_t(file.size()));
    return b + file;
}

Bytes validBitmap() { return encodeBitmap(gradient(2, 2), {.bitCount = 24}); }

INSTANTIATE_TEST_SUITE_P(
    Dib, DecodeFailures,
    ::testing::Values(
        DecodeFailure{"ThreeBytesOfHeaderSize", [] { return Bytes{40, 0, 0}; }, false, "EInvalidGraphic", "DIB is invalid"},
        DecodeFailure{"HeaderSizeNeither12Nor40", [] { return Bytes{108, 0, 0, 0} + zeros(104); }, false,
                      "EInvalidGraphic", "DIB is invalid"},
        DecodeFailure{"CompressionFour", [] { return infoHeader(1, 1, 24, 4) + zeros(4); }, false, "EInvalidGraphic",
                      "DIB is invalid"},
        DecodeFailure{"TwoBits", [] { return infoHeader(1, 1, 2) + zeros(16 + 4); }, false,
                      "EInvalidGraphicOperation", "Bitcount in invalid (2)"},
        DecodeFailure{"TenTenTenMasks",
                      [] {
                          Bytes m;
                          appendLe32(m, 0x3FF00000), appendLe32(m, 0xFFC00), appendLe32(m, 0x3FF);
                          return infoHeader(1, 1, 32, 3) + m + zeros(4);
                      },
                      false, "EInvalidGraphicOperation", "PixelFormat in invalid"},
        DecodeFailure{"RunLengthAt24Bits", [] { return infoHeader(1, 1, 24, 1, 2) + Bytes{0, 1}; }, false,
                      "EInvalidGraphic", "DIB is invalid"},
        DecodeFailure{"HeaderCutShort",
                      [] {
                          Bytes h = infoHeader(1, 1, 24);
                          h.resize(20);
                          return h;
                      },
                      false, "EReadError", "Stream read error"},
        DecodeFailure{"ColourTableCutShort", [] { return infoHeader(1, 1, 8) + zeros(1000); }, false, "EReadError",
                      "Stream read error"},
        DecodeFailure{"PixelsCutShort", [] { return infoHeader(2, 2, 24) + zeros(15); }, false, "EReadError",
                      "Stream read error"},
        DecodeFailure{"RunLengthDataCutShort", [] { return infoHeader(2, 2, 8, 1, 10) + zeros(1024 + 9); }, false,
                      "EReadError", "Stream read error"},
        DecodeFailure{"NegativeWidth", [] { return infoHeader(-1, 1, 24) + zeros(4); }, false, "EInvalidGraphic",
                      "DIB is invalid"}),
    [](const auto &entry) { return std::string(entry.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Bitmap, DecodeFailures,
    ::testing::Values(
        DecodeFailure{"NoBM",
                      [] {
                          Bytes b = validBitmap();
                          b[4] = 'X';
                          return b;
                      },
                      true, "EInvalidGraphic", "Bitmap image is not valid"},
        DecodeFailure{"PlanesTwo",
                      [] {
                          Bytes b = validBitmap();
                          b[4 + 14 + 12] = 2;
                          return b;
                      },
                      true, "EInvalidGraphic", "Bitmap image is not valid"},
        DecodeFailure{"LengthBeyondData",
                      [] {
                          Bytes b = validBitmap();
                          b.pop_back();
                          return b;
                      },
                      true,
                      "EReadError", "Stream read error"},
        DecodeFailure{"FileHeaderCutShort", [] { return bitmapOf({'B', 'M', 0, 0}); }, true, "EReadError",
                      "Stream read error"}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST(BitmapDecoding, PixelDataCutShortInsideTheFileLeavesBlack)
{
    Bytes b = validBitmap();
    b.resize(b.size() - 8); // most of the top row
    uint32_t n = uint32_t(b.size() - 4);
    b[0] = uint8_t(n), b[1] = uint8_t(n >> 8);
    TBitmap bmp = decodeBitmap(b);
    EXPECT_EQ(bmp.pixelColor(0, 1), toTColor(gradient(2, 2).rgbAt(0, 1)));
    EXPECT_EQ(bmp.pixelColor(1, 0), clBlack);
}

// Written by our writer, read back by the decoder: the same colours, pixel for pixel.
struct RoundTrip {
    const char *name;
    DibEncoding encoding;
    bool asBitmap = false;
};

class WriterRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

uint32_t expand(uint32_t v, int bits)
{
    return bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4);
}

TEST_P(WriterRoundTrip, DecodesToTheWrittenPixels)
{
    const RoundTrip &rt = GetParam();
    const int bits = rt.encoding.bitCount;
    PixelImage image = bits <= 8 ? randomIndexed(37, 11, 1 << std::min(bits, 8), unsigned(bits), rt.encoding.runLength)
                                 : gradient(37, 11);
    Bytes data = rt.asBitmap ? encodeBitmap(image, rt.encoding) : encodeDib(image, rt.encoding);
    TDIB dib = rt.asBitmap ? decodeBitmap(data) : decodeDib(data);
    ASSERT_EQ(dib.Width(), 37);
    ASSERT_EQ(dib.Height(), 11);
    EXPECT_EQ(dib.bitCount(), bits);
    for (int32_t y = 0; y < 11; ++y)
        for (int32_t x = 0; x < 37; ++x) {
            uint32_t c = image.rgbAt(x, y);
            uint32_t r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
            if (bits == 16) {
                bool six = rt.encoding.rgb565;
                r = expand(r >> 3, 5), b = expand(b >> 3, 5), g = six ? expand(g >> 2, 6) : expand(g >> 3, 5);
            }
            ASSERT_EQ(dib.pixelColor(x, y), rgbColor(uint8_t(r), uint8_t(g), uint8_t(b))) << x << "," << y;
            if (bits <= 8) {
                ASSERT_EQ(dib.indexAt(x, y), image.indexes[size_t(y) * 37 + size_t(x)]);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, WriterRoundTrip,
    ::testing::Values(RoundTrip{"Dib1", {.bitCount = 1}}, RoundTrip{"Dib4", {.bitCount = 4}},
                      RoundTrip{"Dib8", {.bitCount = 8}}, RoundTrip{"Dib16", {.bitCount = 16}},
                      RoundTrip{"Dib16Masks565", {.bitCount = 16, .rgb565 = true}}, RoundTrip{"Dib24", {.bitCount = 24}},
                      RoundTrip{"Dib32", {.bitCount = 32}}, RoundTrip{"Dib32Masks", {.bitCount = 32, .bitFields = true}},
                      RoundTrip{"Dib8RunLength", {.bitCount = 8, .runLength = true}},
                      RoundTrip{"Dib4RunLength", {.bitCount = 4, .runLength = true}},
                      RoundTrip{"Dib8TopDown", {.bitCount = 8, .topDown = true}},
                      RoundTrip{"Dib8CoreHeader", {.bitCount = 8, .coreHeader = true}},
                      RoundTrip{"Dib24CoreHeader", {.bitCount = 24, .coreHeader = true}},
                      RoundTrip{"Bitmap1", {.bitCount = 1}, true}, RoundTrip{"Bitmap4", {.bitCount = 4}, true},
                      RoundTrip{"Bitmap8", {.bitCount = 8}, true}, RoundTrip{"Bitmap16", {.bitCount = 16}, true},
                      RoundTrip{"Bitmap24", {.bitCount = 24}, true}, RoundTrip{"Bitmap32", {.bitCount = 32}, true},
                      RoundTrip{"Bitmap8RunLength", {.bitCount = 8, .runLength = true}, true},
                      RoundTrip{"Bitmap4RunLength", {.bitCount = 4, .runLength = true}, true},
                      RoundTrip{"Bitmap24TopDown", {.bitCount = 24, .topDown = true}, true},
                      RoundTrip{"Bitmap8CoreHeader", {.bitCount = 8, .coreHeader = true}, true},
                      RoundTrip{"Bitmap565V4Header", {.bitCount = 16, .rgb565 = true, .bitmapHeaderSize = 108}, true},
                      RoundTrip{"Bitmap32V5Header", {.bitCount = 32, .bitFields = true, .bitmapHeaderSize = 124}, true}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST(RunLengthWriter, LongRunsAndLiteralsSurviveAcrossEveryLength)
{
    for (int32_t w : {1, 2, 3, 254, 255, 256, 300, 511}) {
        std::vector<uint8_t> idx;
        for (int32_t x = 0; x < w; ++x)
            idx.push_back(uint8_t(x < w / 2 ? 3 : (x * 7) % 16));
        std::vector<uint32_t> palette(16);
        for (size_t i = 0; i < 16; ++i)
            palette[i] = uint32_t(i * 0x111111);
        PixelImage image = PixelImage::fromIndexed(w, 1, idx, palette);
        for (int bits : {4, 8}) {
            TDIB dib = decodeDib(encodeDib(image, {.bitCount = bits, .runLength = true}));
            for (int32_t x = 0; x < w; ++x)
                ASSERT_EQ(dib.indexAt(x, 0), idx[size_t(x)]) << "width " << w << " bits " << bits << " x " << x;
        }
    }
}
