// The undo history: undo and redo of a stroke over the whole 100 x 100 grid and of a level delete
// (each a pair of undo and redo per iteration, on a file of 200 levels of 100 x 100), and the
// history's memory after 10,000 strokes of varied size (reported as history_bytes; the case fails
// when the history holds more than its budget).

#include "editor/undohistory.h"
#include "levels/levelstore.h"

#include <benchmark/benchmark.h>

#include <QObject>
#include <QUndoStack>
#include <random>

using namespace qm;

namespace {

void fullStore()
{
    initStore();
    resetstore();
    curlevel = 1;
    for (int k = 1; k <= kMaxLevels; ++k) {
        addlevel();
        levels[k].width = levels[k].height = kGridSize;
    }
    curlevel = 1;
}

const TileWidth kNoWidth = [](int32_t) { return 0; };

std::unique_ptr<StoreStep> stroke(int32_t level, int32_t tile, int32_t cells, std::mt19937 &random)
{
    auto step = std::make_unique<StoreStep>();
    step->begin();
    for (int n = 0; n < cells; ++n) {
        const int32_t at = cells >= kGridSize * kGridSize ? n : int32_t(random() % (kGridSize * kGridSize));
        step->paint(level, 1 + at / kGridSize, 1 + at % kGridSize, tile, PaintVariant::Drag, kNoWidth);
    }
    step->finish();
    return step;
}

void undoRedo(benchmark::State &state, UndoHistory &history)
{
    for (auto _ : state) {
        history.stack().undo();
        history.stack().redo();
    }
}

void BM_UndoRedoFullStroke(benchmark::State &state)
{
    fullStore();
    QObject owner;
    UndoHistory history(&owner);
    std::mt19937 random(1);
    history.push("Paint", stroke(1, 20, kGridSize * kGridSize, random));
    undoRedo(state, history);
}

void BM_UndoRedoLevelDelete(benchmark::State &state)
{
    fullStore();
    QObject owner;
    UndoHistory history(&owner);
    auto step = std::make_unique<StoreStep>();
    step->begin();
    step->deleteLevel(1); // every level after it moves
    step->finish();
    history.push("Delete Level", std::move(step));
    undoRedo(state, history);
}

void BM_HistoryAfter10000Strokes(benchmark::State &state)
{
    fullStore();
    size_t bytes = 0;
    for (auto _ : state) {
        QObject owner;
        UndoHistory history(&owner);
        std::mt19937 random(2);
        for (int n = 0; n < 10000; ++n)
            history.push("Paint", stroke(1 + n % 5, 12 + n % 60, 1 + int32_t(random() % 2000), random));
        bytes = history.bytes();
        if (bytes > history.budget())
            state.SkipWithError("the history holds more than its budget");
    }
    state.counters["history_bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_UndoRedoFullStroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoLevelDelete)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistoryAfter10000Strokes)->Unit(benchmark::kMillisecond)->Iterations(1);
