#include "directdrawsurface.h"

#include "blitkernels.h"
#include "graphic.h"
#include "graphicserrors.h"

#include "platform/limits.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qm {
namespace {

// A row of several runs is blended pixel by pixel with the vector kernel when its span holds at most
// this many pixels a run: one block copy a run costs about as much as blending that many pixels.
constexpr int64_t kBlendedPixelsPerRun = 24;

#if defined(__x86_64__)
#define QM_CLONED_FOR_AVX2 __attribute__((target_clones("avx2", "default")))
#else
#define QM_CLONED_FOR_AVX2
#endif

typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint8_t Bytes32 __attribute__((vector_size(32)));

// Copies n >= sizeof(Vector) bytes between two surfaces in vectors, the last one overlapping.
template <typename Vector>
inline void copyInVectors(uint8_t *d, const uint8_t *s, size_t n)
{
    const size_t last = n - sizeof(Vector);
    Vector lastBytes;
    std::memcpy(&lastBytes, s + last, sizeof lastBytes);
    for (size_t i = 0; i < last; i += sizeof(Vector)) {
        Vector bytes;
        std::memcpy(&bytes, s + i, sizeof bytes);
        std::memcpy(d + i, &bytes, sizeof bytes);
    }
    std::memcpy(d + last, &lastBytes, sizeof lastBytes);
}

// A run of a keyed row. Runs are short (a tile row is 40 pixels): a call to memcpy costs more than
// the copy itself, so runs of up to 128 bytes are copied inline.
inline void copyRun(uint8_t *d, const uint8_t *s, size_t n)
{
    if (n >= 32 && n <= 128)
        copyInVectors<Bytes32>(d, s, n);
    else if (n >= 16 && n < 32)
        copyInVectors<Bytes16>(d, s, n);
    else
        std::memcpy(d, s, n);
}

uint32_t convertPixel(uint32_t v, SurfacePixelFormat from, SurfacePixelFormat to)
{
    if (from == to)
        return v;
    if (from == SurfacePixelFormat::Rgb565) {
        uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
        return rgbToPixel(to, r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
    }
    return rgbToPixel(to, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

} // namespace

void TDirectDrawSurface::setPixelFormat(SurfacePixelFormat format)
{
    if (format == mFormat)
        return;
    SetSize(0, 0);
    mFormat = format;
}

void TDirectDrawSurface::SetSize(int32_t w, int32_t h)
{
    mPixels.reset();
    mWidth = mHeight = 0;
    mColorKey = 0;
    changed();
    mRows.clear();
    mRuns.clear();
    if (w <= 0 || h <= 0)
        return;
    if (int64_t(w) * h > kMaxSurfacePixels)
        throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", {"Surface"}));
    size_t bytes = size_t(w) * size_t(h) * size_t(bytesPerPixel(mFormat));
    uint8_t *memory = new (std::nothrow) uint8_t[bytes]();
    if (!memory)
        throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", {"Surface"}));
    mPixels.reset(memory);
    mWidth = w;
    mHeight = h;
}

void TDirectDrawSurface::Fill(uint32_t value)
{
    if (!exists())
        return;
    if (mClip || mKeepingBounds) {
        Fill(TRect{0, 0, mWidth, mHeight}, value);
        return;
    }
    changed();
    size_t n = size_t(mWidth) * size_t(mHeight);
    if (mFormat == SurfacePixelFormat::Rgb565)
        blit::fill16(reinterpret_cast<uint16_t *>(mPixels.get()), n, static_cast<uint16_t>(value));
    else
        blit::fill32(reinterpret_cast<uint32_t *>(mPixels.get()), n, value);
}

void TDirectDrawSurface::Fill(const TRect &rect, uint32_t value)
{
    int64_t left = std::max(rect.left, 0), right = std::min(rect.right, mWidth);
    int64_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, mHeight);
    if (!aimAt(left, top, right, bottom))
        return;
    changed();
    for (int64_t y = top; y < bottom; ++y) {
        uint8_t *row = mPixels.get() + ptrdiff_t(y) * pitch();
        if (mFormat == SurfacePixelFormat::Rgb565)
            blit::fill16(reinterpret_cast<uint16_t *>(row) + left, size_t(right - left), static_cast<uint16_t>(value));
        else
            blit::fill32(reinterpret_cast<uint32_t *>(row) + left, size_t(right - left), value);
    }
}

void TDirectDrawSurface::setClip(const TRect &clip)
{
    mClip = TRect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, mWidth),
                  std::min(clip.bottom, mHeight)};
}

void TDirectDrawSurface::beginDrawnBounds()
{
    mKeepingBounds = true;
    mDrawnBounds.reset();
}

TRect TDirectDrawSurface::endDrawnBounds()
{
    mKeepingBounds = false;
    return mDrawnBounds.value_or(TRect{});
}

bool TDirectDrawSurface::aimAt(int64_t &left, int64_t &top, int64_t &right, int64_t &bottom)
{
    if (left >= right || top >= bottom)
        return false;
    if (mKeepingBounds) {
        // Within the surface, so every value fits in 32 bits.
        const TRect aimed{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
        mDrawnBounds = !mDrawnBounds ? aimed
                                     : TRect{std::min(mDrawnBounds->left, aimed.left), std::min(mDrawnBounds->top, aimed.top),
                                             std::max(mDrawnBounds->right, aimed.right),
                                             std::max(mDrawnBounds->bottom, aimed.bottom)};
    }
    if (mClip) {
        left = std::max<int64_t>(left, mClip->left);
        top = std::max<int64_t>(top, mClip->top);
        right = std::min<int64_t>(right, mClip->right);
        bottom = std::min<int64_t>(bottom, mClip->bottom);
    }
    return left < right && top < bottom;
}

void TDirectDrawSurface::setColorKey(uint32_t key)
{
    if (mFormat == SurfacePixelFormat::Rgb565)
        key &= 0xFFFF;
    if (key != mColorKey)
        mRunsValid = false;
    mColorKey = key;
}

uint32_t TDirectDrawSurface::ColorToPixel(TColor color) const
{
    TColor c = resolveColor(color);
    return rgbToPixel(mFormat, colorRed(c), colorGreen(c), colorBlue(c));
}

void TDirectDrawSurface::LoadFromPicture(const TGraphic &graphic, const TRect &srcRect)
{
    int64_t w = srcRect.width(), h = srcRect.height();
    if (w > INT32_MAX || h > INT32_MAX)
        throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", {"Surface"}));
    SetSize(static_cast<int32_t>(w), static_cast<int32_t>(h));
    if (!exists())
        return;
    graphic.convertRect(mFormat, srcRect.left, srcRect.top, mWidth, mHeight, mPixels.get(), pitch());
}

uint32_t TDirectDrawSurface::pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return 0;
    const uint8_t *p = mPixels.get() + ptrdiff_t(y) * pitch();
    if (mFormat == SurfacePixelFormat::Rgb565)
        return reinterpret_cast<const uint16_t *>(p)[x];
    return reinterpret_cast<const uint32_t *>(p)[x];
}

void TDirectDrawSurface::setPixel(int32_t x, int32_t y, uint32_t value)
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return;
    int64_t left = x, top = y, right = int64_t(x) + 1, bottom = int64_t(y) + 1;
    if (!aimAt(left, top, right, bottom))
        return;
    changed();
    uint8_t *p = mPixels.get() + ptrdiff_t(y) * pitch();
    if (mFormat == SurfacePixelFormat::Rgb565)
        reinterpret_cast<uint16_t *>(p)[x] = static_cast<uint16_t>(value);
    else
        reinterpret_cast<uint32_t *>(p)[x] = value;
}

void TDirectDrawSurface::buildRuns() const
{
    mRows.assign(size_t(mHeight), RowRuns{});
    mRuns.clear();
    const int bpp = bytesPerPixel(mFormat);
    for (int32_t y = 0; y < mHeight; ++y) {
        const uint8_t *row = mPixels.get() + ptrdiff_t(y) * pitch();
        auto isKey = [&](int32_t x) {
            return bpp == 2 ? reinterpret_cast<const uint16_t *>(row)[x] == mColorKey
                            : reinterpret_cast<const uint32_t *>(row)[x] == mColorKey;
        };
        RowRuns &info = mRows[size_t(y)];
        info.first = static_cast<uint32_t>(mRuns.size());
        int32_t x = 0;
        while (x < mWidth) {
            while (x < mWidth && isKey(x))
                ++x;
            if (x == mWidth)
                break;
            int32_t start = x;
            while (x < mWidth && !isKey(x))
                ++x;
            mRuns.push_back({start, x});
        }
        info.count = static_cast<uint32_t>(mRuns.size()) - info.first;
        if (info.count > 0) {
            info.start = mRuns[info.first].start;
            info.end = mRuns.back().end;
            info.perPixel = info.count > 1 && int64_t(info.end) - info.start <= kBlendedPixelsPerRun * info.count;
        }
    }
    mRunsValid = true;
}

void TDirectDrawSurface::copyRows(uint8_t *dest, ptrdiff_t destPitch, const uint8_t *src, ptrdiff_t srcPitch,
                                  int64_t width, int64_t height, int bpp)
{
    size_t bytes = size_t(width) * size_t(bpp);
    for (int64_t y = 0; y < height; ++y)
        std::memcpy(dest + y * destPitch, src + y * srcPitch, bytes);
}

// On x86-64 built twice, for processors with AVX2 and for the rest, and chosen when the program loads:
// the inline copies then move 32 bytes at a time where the processor can.
QM_CLONED_FOR_AVX2 void TDirectDrawSurface::keyedRows(
    const TDirectDrawSurface &source, int64_t dx, int64_t dy, int64_t sx, int64_t sy, int64_t width, int64_t height)
{
    if (!source.mRunsValid)
        source.buildRuns();
    const int bpp = bytesPerPixel(mFormat);
    const ptrdiff_t dp = pitch(), sp = source.pitch();
    uint8_t *dbase = mPixels.get() + dy * dp;
    const int64_t shift = dx - sx; // source column c lands on destination column c + shift
    const uint8_t *sbase = source.mPixels.get() + sy * sp;
    const int64_t sx1 = sx + width;
    const blit::KeyedRow32 keyed32 = blit::activeKeyedRow32();
    const blit::KeyedRow16 keyed16 = blit::activeKeyedRow16();
    const uint32_t key = source.mColorKey;
    for (int64_t y = 0; y < height; ++y) {
        const RowRuns &row = source.mRows[size_t(sy + y)];
        const int64_t a = std::max<int64_t>(row.start, sx), b = std::min<int64_t>(row.end, sx1);
        if (a >= b)
            continue;
        uint8_t *d = dbase + y * dp;
        const uint8_t *s = sbase + y * sp;
        if (row.count == 1) { // the row's one run is [start, end): no run to look up
            copyRun(d + (a + shift) * bpp, s + a * bpp, size_t(b - a) * size_t(bpp));
            continue;
        }
        if (row.perPixel) {
            if (bpp == 4)
                keyed32(reinterpret_cast<uint32_t *>(d) + (a + shift), reinterpret_cast<const uint32_t *>(s) + a,
                        size_t(b - a), key);
            else
                keyed16(reinterpret_cast<uint16_t *>(d) + (a + shift), reinterpret_cast<const uint16_t *>(s) + a,
                        size_t(b - a), static_cast<uint16_t>(key));
            continue;
        }
        const Run *run = source.mRuns.data() + row.first;
        const Run *end = run + row.count;
        for (; run != end; ++run) {
            const int64_t r0 = std::max<int64_t>(run->start, a), r1 = std::min<int64_t>(run->end, b);
            if (r0 < r1)
                copyRun(d + (r0 + shift) * bpp, s + r0 * bpp, size_t(r1 - r0) * size_t(bpp));
        }
    }
}

void TDirectDrawSurface::convertedRows(const TDirectDrawSurface &source, int64_t dx, int64_t dy, int64_t sx,
                                       int64_t sy, int64_t width, int64_t height, bool transparent)
{
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            uint32_t v = source.pixel(int32_t(sx + x), int32_t(sy + y));
            if (transparent && v == source.mColorKey)
                continue;
            setPixel(int32_t(dx + x), int32_t(dy + y), convertPixel(v, source.mFormat, mFormat));
        }
}

void TDirectDrawSurface::Draw(int32_t x, int32_t y, const TRect &srcRect, const TDirectDrawSurface *source,
                              bool transparent)
{
    if (!source || x > mWidth || y > mHeight || !source->exists() || !exists())
        return;
    // Both rectangles move together; 64-bit sums cannot overflow whatever the inputs.
    int64_t sl = srcRect.left, st = srcRect.top, sr = srcRect.right, sb = srcRect.bottom;
    int64_t dl = x, dt = y, dr = dl + (sr - sl), db = dt + (sb - st);
    if (dl < 0) { sl -= dl; dl = 0; }
    if (dt < 0) { st -= dt; dt = 0; }
    if (sl < 0) { dl -= sl; sl = 0; }
    if (st < 0) { dt -= st; st = 0; }
    if (dr > mWidth) { sr -= dr - mWidth; dr = mWidth; }
    if (db > mHeight) { sb -= db - mHeight; db = mHeight; }
    if (sr > source->mWidth) { dr -= sr - source->mWidth; sr = source->mWidth; }
    if (sb > source->mHeight) { db -= sb - source->mHeight; sb = source->mHeight; }
    if (dr <= dl || db <= dt || sr <= sl || sb <= st)
        return;
    // The clip narrows the destination; the source moves with it.
    const int64_t aimedLeft = dl, aimedTop = dt;
    if (!aimAt(dl, dt, dr, db))
        return;
    sl += dl - aimedLeft;
    st += dt - aimedTop;
    const int64_t w = dr - dl, h = db - dt;
    changed();

    if (source == this) {
        // A copy within one surface goes through a copy of the source part, so overlap is harmless.
        TDirectDrawSurface part(mFormat);
        part.SetSize(int32_t(w), int32_t(h));
        part.copyRows(part.mPixels.get(), part.pitch(), mPixels.get() + st * pitch() + sl * bytesPerPixel(mFormat),
                      pitch(), w, h, bytesPerPixel(mFormat));
        part.mColorKey = mColorKey;
        Draw(int32_t(dl), int32_t(dt), rectOfSize(0, 0, int32_t(w), int32_t(h)), &part, transparent);
        return;
    }
    if (source->mFormat != mFormat) {
        convertedRows(*source, dl, dt, sl, st, w, h, transparent);
        return;
    }
    const int bpp = bytesPerPixel(mFormat);
    if (!transparent) {
        copyRows(mPixels.get() + dt * pitch() + dl * bpp, pitch(), source->mPixels.get() + st * source->pitch() + sl * bpp,
                 source->pitch(), w, h, bpp);
        return;
    }
    keyedRows(*source, dl, dt, sl, st, w, h);
}

} // namespace qm
