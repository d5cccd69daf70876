// Picture data of any bytes through the "TDIB" and the "TBitmap" decoder. A refusal is one of the
// decoders' own errors with its own text. An image that decodes holds exactly its rows of pixels
// (run-length data decoded on request), converts to either surface format pixel for pixel as its
// colours say without touching anything outside the image, and written again by our encoder in its
// own bit count it decodes to the same colours.

#include "graphics/dib.h"
#include "graphics/dibwriter.h"
#include "graphics/graphicserrors.h"
#include "platform/bytes.h"

#include "platform/errors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace qm;

namespace {

// Images up to this many pixels are checked whole; of larger ones, windows at two corners.
constexpr int64_t kWholeCheckPixels = int64_t(1) << 16;
constexpr int32_t kWindow = 40;
constexpr uint32_t kGuard = 0xA5A5A5A5;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

bool expectedMessage(const std::string &m, bool bitmap)
{
    if (m == "Stream read error")
        return true;
    if (bitmap)
        return m == "Bitmap image is not valid";
    if (m == "DIB is invalid" || m == "PixelFormat in invalid")
        return true;
    const std::string prefix = "Bitcount in invalid (";
    if (m.compare(0, prefix.size(), prefix) != 0 || m.back() != ')')
        return false;
    const std::string number = m.substr(prefix.size(), m.size() - prefix.size() - 1);
    return !number.empty() && number.size() <= 5 && number.find_first_not_of("0123456789") == std::string::npos;
}

// Converts the w x h rectangle at (x, y) into a guarded buffer larger than it, and checks each pixel.
void checkConversion(const TDIB &image, SurfacePixelFormat format, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int bpp = bytesPerPixel(format);
    const ptrdiff_t pitch = ptrdiff_t(w + 2) * bpp;
    std::vector<uint8_t> buffer(size_t(pitch) * size_t(h + 2), 0xA5);
    image.convertRect(format, x, y, w, h, buffer.data() + pitch + bpp, pitch);
    for (int32_t by = 0; by < h + 2; ++by)
        for (int32_t bx = 0; bx < w + 2; ++bx) {
            const uint8_t *p = buffer.data() + by * pitch + bx * bpp;
            const uint32_t got = bpp == 2 ? loadLe16(p) : loadLe32(p);
            const int32_t ix = x + bx - 1, iy = y + by - 1;
            const bool inRect = bx >= 1 && by >= 1 && bx <= w && by <= h;
            const bool onImage = ix >= 0 && iy >= 0 && ix < image.Width() && iy < image.Height();
            uint32_t expected = bpp == 2 ? kGuard & 0xFFFF : kGuard;
            if (inRect && onImage) {
                const TColor c = image.pixelColor(ix, iy);
                expected = rgbToPixel(format, colorRed(c), colorGreen(c), colorBlue(c));
            }
            if (got != expected)
                fail(inRect && onImage ? "a converted pixel differs from its colour" : "conversion wrote outside the image");
        }
}

// Our encoder's picture of the decoded image, in the image's own bit count where it can.
Bytes reencode(const TDIB &image)
{
    const int32_t w = image.Width(), h = image.Height();
    if (image.bitCount() <= 8) {
        std::vector<uint8_t> indexes;
        indexes.reserve(size_t(w) * size_t(h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                indexes.push_back(uint8_t(image.indexAt(x, y)));
        std::vector<uint32_t> palette(image.palette().begin(), image.palette().begin() + image.colorCount());
        return encodeDib(PixelImage::fromIndexed(w, h, std::move(indexes), std::move(palette)),
                         {.bitCount = image.bitCount()});
    }
    std::vector<uint32_t> rgb;
    rgb.reserve(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const TColor c = image.pixelColor(x, y);
            rgb.push_back(uint32_t(colorRed(c)) << 16 | uint32_t(colorGreen(c)) << 8 | colorBlue(c));
        }
    return encodeDib(PixelImage::fromRgb(w, h, std::move(rgb)), {.bitCount = 24});
}

void checkImage(const TDIB &image)
{
    if (image.Width() < 0 || image.Height() < 0)
        fail("a negative size");
    if (image.Empty())
        return;
    const uint64_t rowSize = (uint64_t(image.bitCount()) * uint64_t(image.Width()) + 31) / 32 * 4;
    if (image.rowSize() != rowSize)
        fail("rows are not the size the width and bit count give");
    if (image.pixels().size() != rowSize * uint64_t(image.Height()))
        fail("the pixel count does not match the size");
    if (image.holdsRunLength())
        fail("run-length data kept after decoding");

    const int64_t area = int64_t(image.Width()) * image.Height();
    for (SurfacePixelFormat format : {SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565}) {
        if (area <= kWholeCheckPixels) {
            checkConversion(image, format, -1, -1, image.Width() + 2, image.Height() + 2);
        } else {
            checkConversion(image, format, -kWindow / 2, -kWindow / 2, kWindow, kWindow);
            checkConversion(image, format, image.Width() - kWindow / 2, image.Height() - kWindow / 2, kWindow, kWindow);
        }
    }
    if (area > kWholeCheckPixels)
        return;
    const Bytes again = reencode(image);
    TDIB copy;
    ByteReader in(again.data(), again.size(), throwStreamReadError);
    copy.readData(in);
    if (copy.Width() != image.Width() || copy.Height() != image.Height())
        fail("written again, the image has another size");
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x)
            if (copy.pixelColor(x, y) != image.pixelColor(x, y))
                fail("written again, the image has other colours");
}

template <class Decoder> void decode(const uint8_t *data, size_t size, bool bitmap)
{
    Decoder image;
    try {
        ByteReader in(data, size, throwStreamReadError);
        image.readData(in);
    } catch (const Error &e) {
        if (!expectedMessage(e.what(), bitmap)) {
            std::fprintf(stderr, "unexpected message: %s: %s\n", e.className().c_str(), e.what());
            std::abort();
        }
        return;
    }
    checkImage(image);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decode<TDIB>(data, size, false);
    decode<TBitmap>(data, size, true);
    return 0;
}
