// The editor's frame through drawframe on the worst case, a 100 x 100 level (20,000 cell draws of
// which about 17 x 13 a pass are visible), and on a 40 x 40 level, with the default game directory's
// pictures; and in the same run the floor: the very same frame with every picture's transparency off,
// so that every rectangle is copied row by row without the key test. Every frame's checksum is
// checked, so that speed work cannot change a picture unnoticed.

#include "editor/mapview.h"
#include "levels/levelstore.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

using namespace qm;

namespace {

struct EditorScene {
    OffscreenDrawTarget target;
    TDXImageList editor, tiles;

    EditorScene(SurfacePixelFormat format, bool keyed) : target(format)
    {
        target.Initialize();
        editor.SetDXDraw(&target);
        tiles.SetDXDraw(&target);
        editor.Items().LoadFromFile(std::string(QM_GAME_DIR) + "/Editor.dxg");
        tiles.Items().LoadFromFile(std::string(QM_GAME_DIR) + "/computer.dxg");
        if (!keyed)
            for (TPictureCollection *list : {&editor.Items(), &tiles.Items()})
                for (int32_t i = 0; i < list->Count(); ++i)
                    list->Items(i).setTransparent(false);
    }
};

// A fixed level: every tile of the palette somewhere, kind 102 on the ports, fixed view and pointer.
void prepareLevel(int size)
{
    initstore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    tlevel &level = levels[1];
    level.width = level.height = size;
    for (int r = 1; r <= size; ++r)
        for (int c = 1; c <= size; ++c) {
            const int tile = 12 + (r * 7 + c * 13) % 57;
            *level.cellAt(r, c) = cell{tile, 0, tile >= 49 && tile <= 52 ? 102 : 100, 0};
        }
    fileopen = true;
    viewx = 1000.5;
    viewy = 1500;
    pointerx = 300;
    pointery = 200;
    palscroll = 3;
}

uint64_t checksum(const TDirectDrawSurface &surface)
{
    uint64_t sum = 1469598103934665603ull;
    const uint8_t *bits = surface.bits();
    const size_t bytes = size_t(surface.pitch()) * size_t(surface.Height());
    for (size_t i = 0; i < bytes; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bits + i, std::min<size_t>(8, bytes - i));
        sum = (sum ^ word) * 1099511628211ull;
    }
    return sum;
}

void frameBenchmark(benchmark::State &state, bool keyed, int size)
{
    const auto format = state.range(0) == 16 ? SurfacePixelFormat::Rgb565 : SurfacePixelFormat::Xrgb8888;
    EditorScene scene(format, keyed);
    prepareLevel(size);
    const FramePictures pictures{scene.editor.Items(), scene.tiles.Items()};
    const double startX = viewx, startY = viewy;
    drawmapview(scene.target.Surface(), pictures, PointerZone::None);
    const uint64_t expected = checksum(scene.target.Surface());
    for (auto _ : state) {
        drawmapview(scene.target.Surface(), pictures, PointerZone::None);
        benchmark::ClobberMemory();
    }
    if (checksum(scene.target.Surface()) != expected || viewx != startX || viewy != startY)
        state.SkipWithError("the frame changed between runs");
    state.counters["checksum"] = double(expected % 1000000);
}

void BM_EditorFrame100(benchmark::State &state) { frameBenchmark(state, true, 100); }
void BM_EditorFrame40(benchmark::State &state) { frameBenchmark(state, true, 40); }
void BM_EditorFrameFloor100(benchmark::State &state) { frameBenchmark(state, false, 100); }

} // namespace

BENCHMARK(BM_EditorFrame100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameFloor100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame40)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
