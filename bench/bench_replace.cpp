// Replace Tile over a whole file: 200 levels of 100 x 100 with a tenth of their squares walls or all, the
// walls replaced by red disks and back in turn (each iteration one replace, recorded as a step).

#include "editor/core/replacetile.h"
#include "levels/levelstore.h"
#include "levels/tiles.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace qm;

namespace {

void BM_ReplaceTile200(benchmark::State &state)
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    std::mt19937 random(30);
    for (int k = 1; k <= kMaxLevels; ++k) {
        addlevel();
        levels[k].width = levels[k].height = kGridSize;
        for (int r = 1; r <= kGridSize; ++r)
            for (int c = 1; c <= kGridSize; ++c)
                if (random() % uint32_t(state.range(0)) == 0)
                    levels[k].cellAt(r, c)->tile = kTileWall;
    }
    const TileWidth widths = [](int32_t) { return kSquare; };
    const LevelTileWidth widthsOf = [&](int32_t) { return widths; };
    TileReplace replace{kTileWall, kTileRedDisk};
    const ReplaceCount expected = countReplacements(replace, widthsOf);
    for (auto _ : state) {
        StoreStep step;
        step.begin();
        const ReplaceCount done = replaceTile(step, replace, widthsOf);
        step.finish();
        if (!(done == expected)) {
            state.SkipWithError("the replace did not find what it counted");
            break;
        }
        std::swap(replace.from, replace.to);
    }
    state.counters["squares"] = double(expected.squares);
}

} // namespace

// Every tenth square a wall, or every square.
BENCHMARK(BM_ReplaceTile200)->ArgName("oneIn")->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond);
