// A long editing session through the same library functions the window's commands use: open a levels
// file (with its graphics file loaded as the tiles), paint, draw, save, close, and write the game
// configuration. Files never stay open and nothing accumulates, so after a warm-up the number of open
// file descriptors stays the same and the resident memory stays within a small bound however many
// cycles run.

#include "tempdir.h"

#include "editor/core/mapediting.h"
#include "graphics/componentwriter.h"
#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"
#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace qm;
using qmtest::TempDir;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryHeldBack = true; // the address sanitizer keeps freed memory in quarantine
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryHeldBack = true;
#else
constexpr bool kMemoryHeldBack = false;
#endif
#else
constexpr bool kMemoryHeldBack = false;
#endif

size_t openDescriptors()
{
    size_t n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * size_t(::sysconf(_SC_PAGESIZE));
}

// A theme of 70 tile pictures, each 40 pixels high; a few are wider, as the game's objects are.
Bytes themeFile()
{
    std::vector<PictureEntry> pictures;
    for (int tile = 0; tile < 70; ++tile) {
        const int32_t width = tile == 63 ? 120 : 40;
        std::vector<uint32_t> rgb(size_t(width) * 40, uint32_t(tile * 0x030507) & 0xFFFFFF);
        pictures.push_back(PictureEntry::fromImage("t" + std::to_string(tile), PixelImage::fromRgb(width, 40, rgb),
                                                   {.bitCount = 24, .runLength = false}));
    }
    return writeGraphicsFile(pictures);
}

class Session {
public:
    explicit Session(const TempDir &dir) : mDir(dir), mTarget(SurfacePixelFormat::Xrgb8888, 200, 120)
    {
        mTarget.Initialize();
        mTiles.SetDXDraw(&mTarget);
        writeFileSafely(dir.path("computer.dxg"), themeFile());
        initGameConfig();
        // The file edited: two levels, the first as large as a level can be.
        initStore();
        levelsinfo = Tlevels{};
        resetstore();
        addlevel();
        addlevel();
        levels[1].width = kGridSize;
        levels[1].height = kGridSize;
        levels[1].dxg = "computer.dxg";
        levelsfilepath = dir.path("session.lev");
        writelevelsfile();
    }

    void cycle(int n)
    {
        // Open.
        resetstore();
        levelsfilepath = mDir.path("session.lev");
        readlevelsfile();
        curlevel = 1;
        mTiles.Items().LoadFromFile(mDir.path(levels[curlevel].dxg));
        fileopen = true;
        saved = true;

        // Edit and draw.
        const TileWidth widthOf = [this](int32_t tile) {
            return tile >= 0 && tile < mTiles.Items().Count() ? mTiles.Items().Items(tile).Picture().Width() : 0;
        };
        for (int i = 0; i < 20; ++i)
            paintcell(1 + (n + i * 7) % kGridSize, 1 + (n * 3 + i) % kGridSize, 12 + (n + i) % 57,
                      i % 2 ? PaintVariant::Drag : PaintVariant::Press, widthOf);
        for (int32_t tile = 0; tile < mTiles.Items().Count(); tile += 5)
            mTiles.Items().Items(tile).Draw(mTarget.Surface(), (tile * 13) % 200 - 20, (tile * 7) % 120 - 20, 0);
        mTarget.Flip();

        // Save, close, and the game configuration written as at exit, read as at start-up.
        writelevelsfile();
        mTiles.Items().Clear();
        fileopen = false;
        cfglevelsfile = "session.lev";
        cfgspeed = n;
        writegameconfig(mDir.path(kGameConfigName));
        readgameconfig(mDir.path(kGameConfigName));
    }

private:
    const TempDir &mDir;
    OffscreenDrawTarget mTarget;
    TDXImageList mTiles;
};

} // namespace

TEST(Resources, ALongSessionHoldsNoMoreFilesOrMemoryThanAShortOne)
{
    TempDir dir;
    Session session(dir);
    int n = 0;
    for (; n < 30; ++n)
        session.cycle(n);
    const size_t descriptors = openDescriptors();
    const size_t resident = residentBytes();

    // Each cycle reads and writes a levels file of about 160 KB and loads a graphics file of about
    // 350 KB, so a buffer kept per cycle would add some 100 MB over the run.
    for (; n < 330; ++n)
        session.cycle(n);
    EXPECT_EQ(openDescriptors(), descriptors);
    if (!kMemoryHeldBack) {
        EXPECT_LE(residentBytes(), resident + (size_t(8) << 20));
    }

    // The session did its work: the last edits are in the file.
    resetstore();
    levelsfilepath = dir.path("session.lev");
    readlevelsfile();
    EXPECT_EQ(levelsinfo.count, 2);
    EXPECT_EQ(cfgspeed, n - 1);
}
