// Level checks and thumbnails: all 200 levels of a full file, 100 x 100 squares each, against the
// pictures of the computer theme, as qmtool lev check, Check All Levels and qmtool lev sheet do; the
// checks include what the hero can reach. Also one level checked again, as F7's window does after a
// stroke.

#include "editor/core/levelgraphics.h"
#include "editor/core/thumbnail.h"
#include "levels/levelcheck.h"
#include "levels/painting.h"
#include "levels/startsquare.h"
#include "levels/tiles.h"

#include "scene.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Walls, base, empty squares and infotrons, with every object larger than one square painted every
// 4 rows and 8 columns (300 objects a level), a few of them broken afterwards.
struct CheckScene {
    std::unique_ptr<qm::tlevel[]> levels = std::make_unique<qm::tlevel[]>(qm::kMaxLevels);
    qm::LevelGraphics graphics = qm::readLevelGraphics(std::string(QM_GAME_DIR) + "/", "computer.dxg");

    CheckScene()
    {
        const int32_t plain[] = {qm::kTileEmpty, qm::kTileBase, qm::kTileInfotron, qm::kTileWall, qm::kTileBoulder};
        const int32_t objects[] = {29, 30, 31, 36, 37, 40, 63, 64, 66, 67, 68};
        auto widthOf = [this](int32_t tile) { return graphics.widthOf(tile); };
        for (int k = 0; k < qm::kMaxLevels; ++k) {
            qm::tlevel &level = levels[size_t(k)];
            level.width = level.height = qm::kGridSize;
            level.infotrons = 100;
            for (int r = 1; r <= qm::kGridSize; ++r)
                for (int c = 1; c <= qm::kGridSize; ++c)
                    *level.cellAt(r, c) = qm::cell{plain[(r * 7 + c * 13 + k) % 5], 0, qm::kKindOrdinary, 0};
            int n = k;
            for (int r = 1; r <= qm::kGridSize; r += 4)
                for (int c = 1; c <= qm::kGridSize; c += 8)
                    qm::paintLevel(level, r, c, objects[n++ % 11], qm::PaintVariant::Press, widthOf);
            for (int r = 2; r <= qm::kGridSize; r += 16)
                level.cellAt(r, 2)->tile = qm::kTileBase;
        }
    }
};

void BM_CheckLevels(benchmark::State &state)
{
    static CheckScene scene;
    for (auto _ : state) {
        size_t findings = 0;
        for (int k = 0; k < qm::kMaxLevels; ++k)
            findings += qm::checkLevel(scene.levels[size_t(k)], &scene.graphics).size();
        benchmark::DoNotOptimize(findings);
    }
}
BENCHMARK(BM_CheckLevels)->Unit(benchmark::kMillisecond);

// 200 open levels of 100 x 100: base with infotrons, sparks, boulders, chips and ports, a frame of hard
// walls, the start in a corner and the exit in the other: the fills of the reach cross every square.
struct OpenScene {
    std::unique_ptr<qm::tlevel[]> levels = std::make_unique<qm::tlevel[]>(qm::kMaxLevels);
    qm::LevelGraphics graphics = qm::readLevelGraphics(std::string(QM_GAME_DIR) + "/", "computer.dxg");

    OpenScene()
    {
        const int32_t plain[] = {qm::kTileBase,  qm::kTileBase,  qm::kTileEmpty, qm::kTileInfotron, qm::kTileSpark,
                                 qm::kTileBoulder, qm::kTileChip, qm::kTileBase, qm::kTilePortRight, qm::kTileEmpty};
        for (int k = 0; k < qm::kMaxLevels; ++k) {
            qm::tlevel &level = levels[size_t(k)];
            level.width = level.height = qm::kGridSize;
            level.infotrons = 500;
            level.startx = level.starty = qm::startPixelOf(1);
            for (int r = 1; r <= qm::kGridSize; ++r)
                for (int c = 1; c <= qm::kGridSize; ++c) {
                    const bool frame = r == 1 || c == 1 || r == qm::kGridSize || c == qm::kGridSize;
                    *level.cellAt(r, c) =
                        qm::cell{frame ? qm::kTileWall : plain[(r * 31 + c * 17 + k) % 10], 0, qm::kKindOrdinary, 0};
                }
            *level.cellAt(2, 2) = qm::cell{qm::kTileBase, 0, qm::kKindOrdinary, 0};
            *level.cellAt(98, 98) = qm::cell{qm::kTileExit, 0, qm::kKindOrdinary, 0};
        }
    }
};

void BM_CheckOpenLevels(benchmark::State &state)
{
    static OpenScene scene;
    for (auto _ : state) {
        size_t findings = 0;
        for (int k = 0; k < qm::kMaxLevels; ++k)
            findings += qm::checkLevel(scene.levels[size_t(k)], &scene.graphics).size();
        benchmark::DoNotOptimize(findings);
    }
}
BENCHMARK(BM_CheckOpenLevels)->Unit(benchmark::kMillisecond);

// Checking the current level again after a stroke, as the check window does while it follows edits.
void BM_RecheckCurrentLevel(benchmark::State &state)
{
    static OpenScene open;
    static CheckScene objects;
    const qm::tlevel &level = state.range(0) ? objects.levels[0] : open.levels[0];
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::checkLevel(level, &open.graphics).size());
}
BENCHMARK(BM_RecheckCurrentLevel)->ArgName("objects")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Sampling the theme's tile pictures, once per graphics file and size.
void BM_ThumbnailTiles(benchmark::State &state)
{
    static qmbench::GamePictures pictures(qm::SurfacePixelFormat::Xrgb8888);
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::reduceTiles(pictures.tiles.Items(), int32_t(state.range(0))).tiles.size());
}
BENCHMARK(BM_ThumbnailTiles)->ArgName("size")->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// The thumbnails of all 200 levels, with squares of 2 and 4 pixels.
void BM_Thumbnails200(benchmark::State &state)
{
    static CheckScene scene;
    static qmbench::GamePictures pictures(qm::SurfacePixelFormat::Xrgb8888);
    const qm::ThumbnailTiles tiles = qm::reduceTiles(pictures.tiles.Items(), int32_t(state.range(0)));
    for (auto _ : state) {
        uint32_t corner = 0;
        for (int k = 0; k < qm::kMaxLevels; ++k)
            corner ^= qm::drawThumbnail(scene.levels[size_t(k)], tiles).pixels.back();
        benchmark::DoNotOptimize(corner);
    }
}
BENCHMARK(BM_Thumbnails200)->ArgName("size")->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
