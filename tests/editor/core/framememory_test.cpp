// The frame drawn over the last one: only what changed is drawn again, and what changed is reported.

#include "editor/core/framememory.h"
#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "framepictures.h"
#include "storebytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace qm;
using namespace qmtest;

namespace {

class ChangedFrames : public ::testing::TestWithParam<SurfacePixelFormat> {
protected:
    void SetUp() override
    {
        storeWithOneNewLevel();
        maparea = MapArea{};
        viewx = viewy = 0;
        palscroll = 0;
        carriedtile = kPaletteSlotCarried;
    }
    void TearDown() override { maparea = MapArea{}; }

    SyntheticPictures pictures{GetParam()};
};

std::vector<uint8_t> pixelsOf(const TDirectDrawSurface &surface)
{
    return {surface.bits(), surface.bits() + surface.pitch() * surface.Height()};
}

} // namespace

// Random edits, pointer moves, scrolls, zooms, tools and drawings from elsewhere, one after another:
// after each, the frame drawn over the last one is byte for byte the frame drawn whole, every pixel that
// differs from the last frame lies in a reported rectangle, and a frame where nothing changed reports
// nothing.
TEST_P(ChangedFrames, AreTheWholeFrameAndReportEveryChangedPixel)
{
    std::mt19937 random(41);
    const auto below = [&](int n) { return int(random() % uint32_t(n)); };
    TDirectDrawSurface &surface = pictures.target.Surface();
    TDirectDrawSurface whole(surface.pixelFormat());
    whole.SetSize(surface.Width(), surface.Height());
    const FramePictures both{pictures.editor.Items(), pictures.tiles.Items()};
    MapTools tools;
    FrameMemory memory;
    levels[1].width = 40;
    levels[1].height = 30;
    const auto randomCell = [&] {
        return cell{below(70), 0, below(4) ? kKindOrdinary : kKindOnTop, below(3)};
    };
    for (int r = 1; r <= 30; ++r)
        for (int c = 1; c <= 40; ++c)
            *levels[1].cellAt(r, c) = randomCell();
    PointerZone zone = PointerZone::None;

    for (int step = 0; step < 600; ++step) {
        bool idle = false;
        switch (below(14)) {
        case 0: case 1: case 2: // the pointer moves a little, or anywhere
            pointerx = below(3) ? std::clamp(pointerx + below(21) - 10, 0, surface.Width() - 1) : below(surface.Width());
            pointery = below(3) ? std::clamp(pointery + below(21) - 10, 0, surface.Height() - 1) : below(surface.Height());
            zone = below(4) ? PointerZone::None : PointerZone(below(5));
            break;
        case 3: case 4: // a stroke paints a few cells
            for (int k = below(4); k >= 0; --k)
                *levels[1].cellAt(1 + below(30), 1 + below(40)) = randomCell();
            break;
        case 5:
            viewx = std::clamp(viewx + (below(9) - 4) * 0.5 * (below(4) ? 1 : 80), -100.0, 1000.0);
            viewy = std::clamp(viewy + (below(9) - 4) * 0.5 * (below(4) ? 1 : 80), -100.0, 800.0);
            break;
        case 6:
            palscroll = below(3);
            palrow = below(12);
            palcolumn = below(3);
            carriedtile = below(2) ? kPaletteSlotCarried : below(70);
            break;
        case 7:
            tools.overlays = !tools.overlays;
            tools.reach = below(2);
            break;
        case 8:
            if (tools.stamp && below(2)) {
                tools.stamp->at(0, 0) = randomCell(); // flipped or changed in place, same size
            } else if (below(3)) {
                Stamp stamp{1 + below(3), 1 + below(3), {}};
                for (int k = 0; k < stamp.rows * stamp.columns; ++k)
                    stamp.cells.push_back(randomCell());
                tools.carry(stamp);
            } else {
                tools.dropStamp();
                carriedtile = kPaletteSlotCarried;
            }
            break;
        case 9:
            tools.marked = below(2) ? std::optional<CellRect>() : CellRect{1 + below(10), 1 + below(10), 12 + below(10), 12 + below(20)};
            tools.drag = MapTools::Drag(below(6));
            tools.dragFrom = {1 + below(30), 1 + below(40)};
            break;
        case 10:
            levels[1].startx = 40 * below(40);
            levels[1].starty = 40 * below(30);
            if (below(4) == 0)
                curlevel = curlevel == 1 ? 0 : 1; // no level shown, or the level again
            break;
        case 11:
            maparea.square = kZoomSquares[below(3)];
            break;
        case 12: // something else draws on the surface (a played frame, a closed file)
            surface.Fill(TRect{below(700), below(400), 700 + below(60), 400 + below(80)}, uint32_t(random()));
            break;
        default:
            idle = true;
            break;
        }
        const std::vector<uint8_t> before = pixelsOf(surface);
        const std::vector<TRect> changed = drawChangedToolsFrame(memory, zone, surface, both, tools);
        whole.Fill(0x5A5A5A);
        drawToolsFrame(zone, whole, both, tools);
        ASSERT_TRUE(pixelsOf(whole) == pixelsOf(surface)) << "step " << step;
        if (idle) {
            ASSERT_TRUE(changed.empty()) << "step " << step;
        }
        const int bpp = bytesPerPixel(surface.pixelFormat());
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x) {
                const size_t at = size_t(y) * size_t(surface.pitch()) + size_t(x * bpp);
                if (std::memcmp(&before[at], surface.bits() + at, size_t(bpp)) == 0)
                    continue;
                const bool reported = std::any_of(changed.begin(), changed.end(), [&](const TRect &r) {
                    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                });
                ASSERT_TRUE(reported) << "step " << step << ": pixel (" << x << ", " << y << ") changed unreported";
            }
    }
}

// Moving the pointer over the map redraws only around its last and new places.
TEST_P(ChangedFrames, APointerMoveRedrawsAroundThePointerOnly)
{
    TDirectDrawSurface &surface = pictures.target.Surface();
    const FramePictures both{pictures.editor.Items(), pictures.tiles.Items()};
    MapTools tools;
    FrameMemory memory;
    pointerx = 100;
    pointery = 100;
    drawChangedToolsFrame(memory, PointerZone::None, surface, both, tools);
    pointerx = 104;
    const std::vector<TRect> changed = drawChangedToolsFrame(memory, PointerZone::None, surface, both, tools);
    ASSERT_FALSE(changed.empty());
    int64_t area = 0;
    for (const TRect &r : changed)
        area += r.width() * r.height();
    EXPECT_LE(area, 2 * 42 * 42) << "the carried tile and its frame, twice";
}

INSTANTIATE_TEST_SUITE_P(BothPixelFormats, ChangedFrames,
                         ::testing::Values(SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565),
                         [](const auto &entry) {
                             return entry.param == SurfacePixelFormat::Rgb565 ? std::string("Rgb565")
                                                                              : std::string("Xrgb8888");
                         });
