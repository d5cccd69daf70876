// Graphics files of any bytes. Every fault is one of the program's errors; a failed load leaves no
// picture prepared. Each picture that loads is prepared for drawing in both pixel formats (once by
// loading into a list already attached to a drawing target, once by attaching a loaded list), has as
// many patterns as its cutting gives, and every pattern draws at positions inside, across and outside
// the edges of the destination exactly the picture's own pixels: each destination pixel is either
// the converted colour of the picture pixel under it, or, when that pixel has the key colour of a
// transparent picture, untouched.

#include "graphics/dximagelist.h"
#include "graphics/graphic.h"
#include "graphics/offscreendrawtarget.h"
#include "graphics/patternlayout.h"
#include "graphics/picturecollection.h"
#include "graphics/textcase.h"

#include "platform/errors.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace qm;

namespace {

// Pictures larger than this in all are read but not prepared: preparing them is correct but slow,
// and slow inputs starve the search.
constexpr int64_t kPreparedPixelBudget = int64_t(1) << 20;
// Patterns drawn per picture (the first ones and the last ones), and those checked pixel by pixel.
constexpr int64_t kDrawnPatterns = 256;
constexpr int64_t kCheckedPatterns = 6;
constexpr int32_t kTargetWidth = 48, kTargetHeight = 40;
constexpr uint32_t kBackground = 0x00A5C3E1;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

OffscreenDrawTarget &target(SurfacePixelFormat format)
{
    static OffscreenDrawTarget *targets[2] = {};
    OffscreenDrawTarget *&t = targets[format == SurfacePixelFormat::Rgb565 ? 1 : 0];
    if (!t) {
        t = new OffscreenDrawTarget(format, kTargetWidth, kTargetHeight);
        t->Initialize();
    }
    return *t;
}

struct Outcome {
    bool failed = false;
    std::string className, message;
};

Outcome load(TPictureCollection &items, const uint8_t *data, size_t size)
{
    try {
        items.LoadFromStream(data, size);
        return {};
    } catch (const Error &e) {
        return {true, e.className(), e.what()};
    }
}

bool anyPrepared(const TPictureCollection &items)
{
    for (int32_t i = 0; i < items.Count(); ++i)
        if (items.Items(i).PatternCount() != 0)
            return true;
    return false;
}

// Draws pattern index at (x, y) on a background and checks every pixel of the destination.
void drawChecked(const TPictureCollectionItem &item, const PatternLayout &layout, int64_t index, int32_t x,
                 int32_t y, TDirectDrawSurface &dest)
{
    const uint32_t background = dest.pixelFormat() == SurfacePixelFormat::Rgb565 ? kBackground & 0xFFFF : kBackground;
    dest.Fill(background);
    item.Draw(dest, x, y, int32_t(index));
    const TGraphic &graphic = *item.Picture().Graphic();
    const TPictureCollectionItemPattern pattern = item.Pattern(index);
    const PatternLayout::Place place = layout.place(index);
    const TRect &block = layout.blocks()[place.block];
    if (!(pattern.Rect == place.rect) || pattern.Surface != item.surfaces()[place.block].get())
        fail("a pattern lies where its cutting does not put it");
    const int64_t w = pattern.Rect.width(), h = pattern.Rect.height();
    for (int32_t dy = 0; dy < dest.Height(); ++dy)
        for (int32_t dx = 0; dx < dest.Width(); ++dx) {
            const int64_t px = int64_t(dx) - x, py = int64_t(dy) - y;
            uint32_t expected = background;
            if (px >= 0 && py >= 0 && px < w && py < h) {
                const int32_t gx = int32_t(block.left + pattern.Rect.left + px);
                const int32_t gy = int32_t(block.top + pattern.Rect.top + py);
                const uint32_t source = dest.ColorToPixel(graphic.pixelColor(gx, gy));
                if (pattern.Surface->pixel(int32_t(pattern.Rect.left + px), int32_t(pattern.Rect.top + py)) != source)
                    fail("a prepared pixel differs from the picture's colour");
                if (!(item.Transparent() && source == pattern.Surface->ColorKey()))
                    expected = source;
            }
            if (dest.pixel(dx, dy) != expected)
                fail("a drawn pixel differs from the pattern");
        }
}

void drawAll(const TPictureCollection &items, DrawTarget &drawTarget)
{
    TDirectDrawSurface &dest = drawTarget.Surface();
    for (int32_t i = 0; i < items.Count(); ++i) {
        const TPictureCollectionItem &item = items.Items(i);
        if (item.Picture().Empty()) {
            if (item.PatternCount() != 0)
                fail("an empty picture has patterns");
            continue;
        }
        if (!item.Initialized())
            fail("a picture of a list on a ready target is not prepared");
        const PatternLayout layout(item.Picture().Width(), item.Picture().Height(), item.patternGeometry());
        const int64_t count = item.PatternCount();
        if (count != layout.count())
            fail("the pattern count is not what the cutting gives");
        if (count == 0)
            continue;
        const int32_t w = int32_t(layout.patternWidth()), h = int32_t(layout.patternHeight());
        const int32_t positions[][2] = {
            {0, 0}, {-w / 2, -h / 2}, {kTargetWidth - w / 2, kTargetHeight - h / 2}, {kTargetWidth - 1, 3},
            {3, kTargetHeight - 1}, {1 - w, 1 - h}, {-w, 0}, {kTargetWidth, kTargetHeight},
        };
        std::vector<int64_t> indexes;
        for (int64_t k = 0; k < count && k < kDrawnPatterns; ++k)
            indexes.push_back(k);
        for (int64_t k = std::max(kDrawnPatterns, count - kDrawnPatterns); k < count; ++k)
            indexes.push_back(k);
        for (size_t k = 0; k < indexes.size(); ++k) {
            const bool checked = k < size_t(kCheckedPatterns) || k + 1 == indexes.size();
            for (const auto &p : positions) {
                if (checked)
                    drawChecked(item, layout, indexes[k], p[0], p[1], dest);
                else
                    item.Draw(dest, p[0], p[1], int32_t(indexes[k]));
            }
        }
        // Indexes that are no pattern draw nothing.
        dest.Fill(0);
        item.Draw(dest, 0, 0, -1);
        if (count <= INT32_MAX)
            item.Draw(dest, 0, 0, int32_t(count));
        for (int32_t y = 0; y < dest.Height(); ++y)
            for (int32_t x = 0; x < dest.Width(); ++x)
                if (dest.pixel(x, y) != 0)
                    fail("a pattern index out of range drew something");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Read without a drawing target.
    TDXImageList loaded;
    const Outcome first = load(loaded.Items(), data, size);
    if (anyPrepared(loaded.Items()))
        fail("a list without a drawing target has prepared pictures");
    for (int32_t i = 0; i < loaded.Items().Count(); ++i) {
        const std::string &name = loaded.Items().Items(i).Name();
        const TPictureCollectionItem *found = loaded.Items().findItem(name);
        if (!found || !sameTextIgnoringCase(found->Name(), name))
            fail("a picture cannot be found by its own name");
    }

    // Read into a list already on a drawing target: the same outcome, and a failure prepares nothing.
    TDXImageList attached;
    attached.SetDXDraw(&target(SurfacePixelFormat::Xrgb8888));
    int64_t pixels = 0;
    for (int32_t i = 0; i < loaded.Items().Count(); ++i) {
        const TPicture &picture = loaded.Items().Items(i).Picture();
        pixels += int64_t(picture.Width()) * picture.Height();
    }
    if (pixels > kPreparedPixelBudget)
        return 0;
    const Outcome second = load(attached.Items(), data, size);
    if (second.failed != first.failed || second.message != first.message || second.className != first.className)
        fail("loading into a prepared list ends differently");
    if (attached.Items().Count() != loaded.Items().Count())
        fail("loading into a prepared list reads a different number of pictures");
    if (first.failed) {
        if (anyPrepared(attached.Items()))
            fail("a failed load left pictures prepared");
        // The pictures read before the fault are prepared on the target's next restore.
        target(SurfacePixelFormat::Xrgb8888).Restore();
    }
    drawAll(attached.Items(), target(SurfacePixelFormat::Xrgb8888));

    // Attach the list read first to a 16-bit target: everything is prepared at once.
    loaded.SetDXDraw(&target(SurfacePixelFormat::Rgb565));
    drawAll(loaded.Items(), target(SurfacePixelFormat::Rgb565));
    return 0;
}
