// The editor's frame with the map tools' overlays (start marker, grid, the carried slot's frame) and
// with a 10 x 10 stamp carried under the pointer, beside BM_EditorFrame100 (bench_editor.cpp) on the
// same 100 x 100 scene: what the overlays add to a frame.

#include "scene.h"

#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"
#include "levels/levelstore.h"

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

} // namespace

BENCHMARK(BM_EditorFrame100Overlays)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100OverlaysAndStamp)->ArgName("bits")->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame100OverlaysAndReach)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
