// Levels files: reading and writing a full 200-level file of 70 x 70 levels (about 15.7 MB), side by
// side with one plain read and one plain write of the same number of bytes; and loading a theme
// graphics file into an image list whose pictures are prepared for the back buffer, as Edit does.

#include "scene.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

struct LevelsFileScene {
    std::string dir;
    std::string file;
    std::string oneWindowFile; // its first levels, as many as one read window holds
    std::vector<uint8_t> bytes;

    LevelsFileScene()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qmbench-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data());
        file = dir + "/big.lev";
        qmbench::prepareFullLevelsFile();
        qm::levelsinfo.count = int32_t(qm::kLevelsFileWindowBytes / (16 * 70 * 70 + 100));
        oneWindowFile = dir + "/one-window.lev";
        qm::levelsfilepath = oneWindowFile;
        qm::writelevelsfile();
        qm::levelsinfo.count = qm::kMaxLevels;
        qm::levelsfilepath = file;
        qm::writelevelsfile();
        std::array<int32_t, qm::kOffsetCount> offsets{};
        bytes = qm::levelsFileBytes(offsets);
    }
    ~LevelsFileScene() { std::filesystem::remove_all(dir); }
};

LevelsFileScene &scene()
{
    static LevelsFileScene instance;
    return instance;
}

void BM_LevelsFileRead(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    for (auto _ : state) {
        qm::levelsfilepath = s.file;
        qm::readlevelsfile();
        benchmark::DoNotOptimize(qm::levels[200].cells[0][0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// A file a little smaller than one read window (26 levels of 70 x 70, about 2 MB), read whole.
void BM_OneWindowLevelsFileRead(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    for (auto _ : state) {
        qm::levelsfilepath = s.oneWindowFile;
        qm::readlevelsfile();
        benchmark::DoNotOptimize(qm::levels[1].cells[0][0]);
    }
    const auto size = static_cast<int64_t>(std::filesystem::file_size(s.oneWindowFile));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    // The cases after this one save the full store.
    qm::levelsfilepath = s.file;
    qm::readlevelsfile();
}

// The game's own sample file: a few small levels, where opening and reading each part costs more than
// the cells.
void BM_SampleLevelsFileRead(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    for (auto _ : state) {
        qm::levelsfilepath = std::string(QM_GAME_DIR) + "/Sample.lev";
        qm::readlevelsfile();
        benchmark::DoNotOptimize(qm::levels[1].cells[0][0]);
    }
    // The cases after this one save the full store.
    qm::levelsfilepath = s.file;
    qm::readlevelsfile();
}

void BM_PlainRead(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    std::vector<uint8_t> buffer(s.bytes.size());
    for (auto _ : state) {
        int fd = ::open(s.file.c_str(), O_RDONLY);
        size_t done = 0;
        while (done < buffer.size()) {
            ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// The editor's save: the whole file laid out in memory, written aside, flushed to disk, renamed.
void BM_LevelsFileWrite(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    qm::levelsfilepath = s.dir + "/saved.lev";
    for (auto _ : state)
        qm::writelevelsfile();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// One plain write of all the bytes, as a program that writes a file in one go does.
void writeAll(int fd, const std::vector<uint8_t> &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
}

// One plain write of the same bytes; with sync, also flushed to disk as a save must be.
void BM_PlainWrite(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    const bool sync = state.range(0) != 0;
    std::string path = s.dir + "/plain.lev";
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        writeAll(fd, s.bytes);
        if (sync)
            ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// The plain write that a save compares with: a new file each time (the old one removed, as the save's
// rename removes the file it replaces), written and flushed to disk. Writing over the old file with
// O_TRUNC instead would make the plain write pay for freeing the old file's blocks in place.
void BM_PlainWriteNewFile(benchmark::State &state)
{
    LevelsFileScene &s = scene();
    std::string path = s.dir + "/plain-new.lev";
    for (auto _ : state) {
        ::unlink(path.c_str());
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        writeAll(fd, s.bytes);
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

void BM_LoadTheme(benchmark::State &state)
{
    qm::OffscreenDrawTarget target(state.range(0) == 16 ? qm::SurfacePixelFormat::Rgb565 : qm::SurfacePixelFormat::Xrgb8888);
    target.Initialize();
    qm::TDXImageList tiles;
    tiles.SetDXDraw(&target);
    const std::string file = std::string(QM_GAME_DIR) + "/computer.dxg";
    for (auto _ : state) {
        tiles.Items().LoadFromFile(file);
        benchmark::DoNotOptimize(tiles.Items().Count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(file)));
}

} // namespace

BENCHMARK(BM_LoadTheme)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelsFileRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWindowLevelsFileRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleLevelsFileRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelsFileWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->ArgName("sync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteNewFile)->Unit(benchmark::kMillisecond);
