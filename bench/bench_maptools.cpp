// The editor's frame with the map tools' overlays (start marker, grid, the carried slot's frame) and
// with a 10 x 10 stamp carried under the pointer, beside BM_EditorFrame100 (bench_editor.cpp) on the
// same 100 x 100 scene: what the overlays add to a frame. Flipping a 100 x 100 stamp (X, Y) and marking
// one with its objects whole.

#include "scene.h"

#include "tests/support/themewidth.h"

#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"
#include "levels/levelstore.h"
#include "levels/painting.h"

#include <benchmark/benchmark.h>

using namespace qm;
using namespace qmbench;

namespace {

void toolsFrame(benchmark::State &state, bool withStamp, bool reach = false)
{
    GamePictures pictures(formatArg(state), true);
    prepareLevel(100);
    MapTools tools;
    tools.reach = reach;
    if (withStamp)
        tools.carry(captureStamp(levels[curlevel], CellRect{1, 1, 10, 10}));
    const double startX = viewx, startY = viewy;
    for (auto _ : state) {
        drawToolsFrame(1, pictures.back(), pictures.frame(), tools);
        benchmark::ClobberMemory();
    }
    if (viewx != startX || viewy != startY)
        state.SkipWithError("the view moved");
    carriedtile = kPaletteSlotCarried;
}

void BM_EditorFrame100Overlays(benchmark::State &state) { toolsFrame(state, false); }
void BM_EditorFrame100OverlaysAndStamp(benchmark::State &state) { toolsFrame(state, true); }
// With the reach shading: the level unchanged, so only the comparison with the kept tiles and the shading.
void BM_EditorFrame100OverlaysAndReach(benchmark::State &state) { toolsFrame(state, false, true); }

// The scene's level with an object every few squares, as a designer's level holds them.
void prepareLevelWithObjects()
{
    prepareLevel(100);
    const int32_t objects[] = {kTileExit, kTileBlock6x3, kTileBlock7x2, kTileMarked3x3, kTileTall, kTilePortRight};
    int32_t next = 0;
    for (int32_t r = 1; r <= 97; r += 4)
        for (int32_t c = 1; c <= 91; c += 9)
            paintLevel(levels[curlevel], r, c, objects[next++ % 6], PaintVariant::Press, defaultThemeWidth);
}

void BM_FlipStamp100(benchmark::State &state)
{
    prepareLevelWithObjects();
    Stamp stamp = captureWholeObjects(levels[curlevel], CellRect{1, 1, 100, 100}, defaultThemeWidth);
    if (stamp.objects.empty())
        state.SkipWithError("no objects in the stamp");
    bool leftRight = true;
    for (auto _ : state) {
        flipStamp(stamp, leftRight ? Flip::LeftRight : Flip::TopBottom);
        leftRight = !leftRight;
        benchmark::DoNotOptimize(stamp.cells.data());
    }
}

void BM_MarkStamp100(benchmark::State &state)
{
    prepareLevelWithObjects();
    for (auto _ : state) {
        Stamp stamp = captureWholeObjects(levels[curlevel], CellRect{1, 1, 100, 100}, defaultThemeWidth);
        benchmark::DoNotOptimize(stamp.cells.data());
    }
}

} // namespace

BENCHMARK(BM_EditorFrame100Overlays)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100OverlaysAndStamp)->ArgName("bits")->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100OverlaysAndReach)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlipStamp100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkStamp100)->Unit(benchmark::kMicrosecond);
