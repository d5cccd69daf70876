// The game engine: every recorded solution of the original levels replayed (the game's data beside the
// repository, ../shared/game), and random play on a large level. Goal: at least 1,000,000 frames a
// second on one core.

#include "game/engine.h"
#include "game/recording.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

struct Solution {
    qm::game::Level level;
    std::vector<uint8_t> input;
};

const std::vector<Solution> &solutions()
{
    static const std::vector<Solution> all = [] {
        std::vector<Solution> read;
        const std::filesystem::path dir = std::filesystem::path(QM_GAME_DATA) / "solutions" / "00";
        if (!std::filesystem::is_directory(dir))
            return read;
        std::vector<std::filesystem::path> files;
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            if (entry.path().extension() == ".sp")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto &path : files) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            const qm::game::Recording recording = qm::game::readRecording(bytes.data(), bytes.size());
            read.push_back({qm::game::levelFromRecord(recording.record.data()), recording.input});
        }
        return read;
    }();
    return all;
}

void BM_ReplaySolutions(benchmark::State &state)
{
    const std::vector<Solution> &all = solutions();
    if (all.empty()) {
        state.SkipWithError("the recorded solutions are not beside the repository (../shared/game)");
        return;
    }
    int64_t frames = 0, finished = 0;
    for (auto _ : state) {
        frames = finished = 0;
        for (const Solution &solution : all) {
            const qm::game::ReplayResult result = qm::game::replay(solution.level, solution.input);
            frames += result.frames;
            finished += result.finished;
        }
        benchmark::DoNotOptimize(frames);
    }
    if (finished != int64_t(all.size()))
        state.SkipWithError("a recorded solution did not finish");
    state.counters["frames"] = double(frames);
    state.counters["solutions"] = double(all.size());
}
BENCHMARK(BM_ReplaySolutions)->Unit(benchmark::kMillisecond);

// 10,000 frames of random keys on a 100 x 100 level full of objects (no data needed).
void BM_RandomPlay100(benchmark::State &state)
{
    std::mt19937 random(7);
    qm::game::Level level;
    level.width = level.height = 100;
    level.codes.resize(size_t(level.squares()));
    for (uint8_t &c : level.codes) {
        const unsigned pick = random() % 10;
        c = pick < 3 ? 0 : pick < 5 ? 2 : pick < 7 ? uint8_t(1 + random() % 25) : pick < 8 ? 4 : 1;
    }
    level.codes[size_t(50 * 100 + 50)] = 3;
    for (auto _ : state) {
        qm::game::Engine engine(level);
        std::mt19937 keys(11);
        for (int frame = 0; frame < 10000 && !engine.stopped(); ++frame)
            engine.frame(uint8_t(keys() % 10));
        benchmark::DoNotOptimize(engine.randomState());
    }
    state.counters["frames"] = 10000;
}
BENCHMARK(BM_RandomPlay100)->Unit(benchmark::kMillisecond);

} // namespace
