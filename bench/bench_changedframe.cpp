// The window's frame as the editor makes it: drawn over the last one by the frame memory, only what
// changed drawn again, then those rectangles painted into the window's image (a QImage of the
// control's size standing in for the window's buffer, painted as the control paints). On the fixed
// scene's 100 x 100 level with the tools as a new window has them (overlays on), at the window's first
// size and at 1920 x 1080:
//   idle: nothing changed (a tick after a still pointer);
//   pointer: the pointer moves a few pixels over the map each frame;
//   stroke: the same, painting a square under the pointer each frame;
//   scroll: the view moves half a pixel each frame (edge scrolling): every pixel of the map changes;
//   whole: the same drawn whole without the memory and painted whole: the floor of a frame where
//   every pixel changes (and what every frame cost before the memory).
// The final frame of each case is checked against the same state drawn whole.

#include "scene.h"

#include "editor/core/framememory.h"
#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"
#include "editor/dxdraw.h"
#include "levels/levelstore.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QRegion>

using namespace qm;
using namespace qmbench;

namespace {

enum class Change { Idle, Pointer, Stroke, Scroll, Whole };

void changedFrame(benchmark::State &state, Change change)
{
    const bool large = state.range(0) != 0;
    GamePictures pictures(SurfacePixelFormat::Xrgb8888, true);
    maparea = MapArea{};
    if (large) {
        setControlSize(1920, 1080);
        pictures.target.setSurfaceSize(maparea.surfaceWidth(), maparea.surfaceHeight());
    }
    prepareLevel(100);
    viewx = viewy = 400;
    pointerx = 200;
    pointery = 200;
    TDirectDrawSurface &surface = pictures.back();
    const FramePictures frame = pictures.frame();
    MapTools tools;
    FrameMemory memory;
    QImage window(maparea.controlWidth, maparea.controlHeight, QImage::Format_RGB32);
    const QPoint origin((maparea.controlWidth - surface.Width()) / 2, (maparea.controlHeight - surface.Height()) / 2);
    drawChangedToolsFrame(memory, PointerZone::None, surface, frame, tools);

    int64_t step = 0, painted = 0;
    for (auto _ : state) {
        ++step;
        if (change != Change::Idle && change != Change::Scroll) {
            pointerx = int32_t(100 + (step * 3) % 400);
            pointery = int32_t(100 + (step * 2) % 300);
        }
        if (change == Change::Stroke) {
            cell &square = *levels[1].cellAt(int32_t((viewy + pointery) / 40) + 1, int32_t((viewx + pointerx) / 40) + 1);
            square.tile = square.tile == 16 ? 18 : 16;
        }
        if (change == Change::Scroll || change == Change::Whole)
            viewx = 400 + double(step % 400) * 0.5;
        QRegion region;
        if (change == Change::Whole) {
            drawToolsFrame(PointerZone::None, surface, frame, tools);
            region = QRect(origin, QSize(surface.Width(), surface.Height()));
        } else {
            for (const TRect &r : drawChangedToolsFrame(memory, PointerZone::None, surface, frame, tools))
                region += QRect(r.left + origin.x(), r.top + origin.y(), int(r.width()), int(r.height()));
        }
        QPainter painter(&window);
        painted += paintBackBuffer(painter, surface, origin, region & QRect(QPoint(0, 0), window.size()));
        benchmark::ClobberMemory();
    }
    state.counters["painted_pixels_per_frame"] = double(painted) / double(std::max<int64_t>(step, 1));

    TDirectDrawSurface whole(surface.pixelFormat());
    whole.SetSize(surface.Width(), surface.Height());
    drawToolsFrame(PointerZone::None, whole, frame, tools);
    checkFrame(state, frameChecksum(surface), frameChecksum(whole));
    maparea = MapArea{};
}

void BM_ChangedFrameIdle(benchmark::State &state) { changedFrame(state, Change::Idle); }
void BM_ChangedFramePointer(benchmark::State &state) { changedFrame(state, Change::Pointer); }
void BM_ChangedFrameStroke(benchmark::State &state) { changedFrame(state, Change::Stroke); }
void BM_ChangedFrameScroll(benchmark::State &state) { changedFrame(state, Change::Scroll); }
void BM_WholeFramePainted(benchmark::State &state) { changedFrame(state, Change::Whole); }

} // namespace

BENCHMARK(BM_ChangedFrameIdle)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangedFramePointer)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangedFrameStroke)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangedFrameScroll)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeFramePainted)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
