#include "testimages.h"

#include "graphics/dximagelist.h"
#include "graphics/graphicserrors.h"
#include "graphics/offscreendrawtarget.h"
#include "graphics/patternlayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace qm;
using namespace qm::testing;

namespace {

struct LayoutCase {
    const char *name;
    int32_t pw, ph;
    PatternGeometry geometry;
    int64_t count;
    std::vector<TRect> firstRects; // in the picture
};

TRect inPicture(const PatternLayout &layout, int64_t index)
{
    PatternLayout::Place p = layout.place(index);
    const TRect &b = layout.blocks()[p.block];
    return {b.left + p.rect.left, b.top + p.rect.top, b.left + p.rect.right, b.top + p.rect.bottom};
}

} // namespace

class PatternLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PatternLayouts, CountAndPlaces)
{
    const LayoutCase &c = GetParam();
    for (bool systemMemory : {false, true}) {
        PatternGeometry geometry = c.geometry;
        geometry.systemMemory = systemMemory;
        PatternLayout layout(c.pw, c.ph, geometry);
        ASSERT_EQ(layout.count(), c.count);
        for (size_t i = 0; i < c.firstRects.size(); ++i)
            EXPECT_EQ(inPicture(layout, int64_t(i)), c.firstRects[i]) << i;
        // Every pattern lies whole inside its own block.
        for (int64_t i = 0; i < layout.count(); ++i) {
            PatternLayout::Place p = layout.place(i);
            const TRect &b = layout.blocks()[p.block];
            ASSERT_GE(p.rect.left, 0);
            ASSERT_GE(p.rect.top, 0);
            ASSERT_LE(p.rect.right, b.right - b.left);
            ASSERT_LE(p.rect.bottom, b.bottom - b.top);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternLayouts,
    ::testing::Values(
        LayoutCase{"WholePictureWhateverTheSkips", 50, 30, {0, 0, 7, 9}, 1, {{0, 0, 50, 30}}},
        LayoutCase{"TenSquares", 400, 40, {40, 40, 0, 0}, 10, {{0, 0, 40, 40}, {40, 0, 80, 40}, {80, 0, 120, 40}, {120, 0, 160, 40}}},
        LayoutCase{"SkipWidthThree", 126, 40, {40, 0, 3, 0}, 3, {{0, 0, 40, 40}, {43, 0, 83, 40}, {86, 0, 126, 40}}},
        LayoutCase{"PatternLargerThanPicture", 30, 30, {40, 40, 0, 0}, 0, {}},
        LayoutCase{"RowsAndColumnsWithSkips", 85, 85, {40, 40, 5, 5}, 4, {{0, 0, 40, 40}, {45, 0, 85, 40}, {0, 45, 40, 85}}},
        LayoutCase{"BlocksOfWholeSteps", 1200, 100, {40, 50, 0, 0}, 60, {{0, 0, 40, 50}}},
        LayoutCase{"SkipCancellingThePattern", 100, 40, {40, 40, -40, 0}, 0, {}},
        LayoutCase{"OverlappingPatterns", 100, 40, {40, 40, -20, 0}, 4, {{0, 0, 40, 40}, {20, 0, 60, 40}, {40, 0, 80, 40}}},
        LayoutCase{"NegativeSizeMeansWholeSide", 80, 40, {-5, 20, 0, 0}, 2, {{0, 0, 80, 20}, {0, 20, 80, 40}}},
        LayoutCase{"EmptyPicture", 0, 0, {}, 0, {}}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST(PatternLayoutBlocks, AboutFiveHundredPixelsOfWholeSteps)
{
    PatternLayout layout(1200, 100, {40, 50, 0, 0, false});
    // 13 steps of 40 = 520 wide, 2 rows of 50 = 100 high: three blocks, the last 160 wide.
    ASSERT_EQ(layout.blocks().size(), 3u);
    EXPECT_EQ(layout.blocks()[2], (TRect{1040, 0, 1200, 100}));
    EXPECT_EQ(layout.place(13).block, 1u);
    EXPECT_EQ(layout.place(13).rect, (TRect{0, 0, 40, 50}));
}

namespace {

// An image list attached to an off-screen target, and helpers to draw with it.
struct Fixture {
    explicit Fixture(SurfacePixelFormat format = SurfacePixelFormat::Xrgb8888) : target(format, 200, 100)
    {
        list.SetDXDraw(&target);
    }
    void load(const Bytes &file) { list.Items().LoadFromStream(file.data(), file.size()); }

    OffscreenDrawTarget target;
    TDXImageList list;
};

} // namespace

TEST(ImageList, PicturesLoadedBeforeInitialisationDrawOnlyAfterIt)
{
    Fixture f;
    f.load(writeGraphicsFile({picture("a", 4, 4)}));
    TPictureCollectionItem &a = f.list.Items().Items(0);
    EXPECT_FALSE(a.Initialized());
    EXPECT_EQ(a.PatternCount(), 0);
    f.target.Initialize();
    EXPECT_TRUE(a.Initialized());
    EXPECT_EQ(a.PatternCount(), 1);
    // Loading while ready prepares at once; finalising frees everything.
    f.load(writeGraphicsFile({picture("b", 80, 40)}));
    EXPECT_EQ(f.list.Items().Find("b").PatternCount(), 1);
    f.target.Finalize();
    EXPECT_FALSE(f.list.Items().Items(0).Initialized());
    EXPECT_TRUE(f.list.Items().Items(0).surfaces().empty());
    EXPECT_EQ(f.list.Items().DXDraw(), nullptr);
}

// A list that lets its pictures go once their surfaces are made draws the same, still tells each
// picture's size, and keeps its surfaces through a restore that the pictures could not redo.
TEST(ImageList, ReleasedPicturesKeepTheirSizeAndDrawTheSame)
{
    Fixture keep, release;
    release.list.Items().setReleasesPictures(true);
    for (Fixture *f : {&keep, &release}) {
        f->target.Initialize();
        f->load(writeGraphicsFile({picture("g", 90, 45)}));
    }
    const TPictureCollectionItem &kept = keep.list.Items().Items(0);
    const TPictureCollectionItem &released = release.list.Items().Items(0);
    EXPECT_NE(kept.Picture().Graphic(), nullptr);
    EXPECT_EQ(released.Picture().Graphic(), nullptr);
    EXPECT_EQ(released.Picture().Width(), 90);
    EXPECT_EQ(released.Picture().Height(), 45);
    release.target.loseSurfaces();
    ASSERT_TRUE(release.target.ReadyToDraw());
    ASSERT_EQ(released.PatternCount(), 1);
    TDirectDrawSurface a, b;
    a.SetSize(90, 45);
    b.SetSize(90, 45);
    kept.Draw(a, 0, 0, 0);
    released.Draw(b, 0, 0, 0);
    for (int32_t y = 0; y < 45; ++y)
        for (int32_t x = 0; x < 90; ++x)
            ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << x << "," << y;
}

TEST(ImageList, AttachingToAReadyTargetPreparesAtOnce)
{
    OffscreenDrawTarget target;
    target.Initialize();
    TDXImageList list;
    Bytes file = writeGraphicsFile({picture("a", 4, 4)});
    list.Items().LoadFromStream(file.data(), file.size());
    list.SetDXDraw(&target);
    EXPECT_EQ(list.Items().Items(0).PatternCount(), 1);
    list.SetDXDraw(nullptr);
    EXPECT_FALSE(list.Items().Items(0).Initialized());
    EXPECT_EQ(target.listenerCount(), 0u);
}

TEST(ImageList, InitialisingWithoutAReadyTargetFails)
{
    TPictureCollection c;
    OffscreenDrawTarget target;
    for (DrawTarget *t : {static_cast<DrawTarget *>(nullptr), static_cast<DrawTarget *>(&target)}) {
        try {
            c.Initialize(t);
            FAIL();
        } catch (const EPictureCollectionError &e) {
            EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
        }
    }
}

TEST(ImageList, DrawOutsideThePatternsDoesNothing)
{
    Fixture f;
    f.target.Initialize();
    PictureEntry e = picture("t", 30, 30);
    e.patternWidth = e.patternHeight = 40;
    std::vector<PictureEntry> entries{e, picture("u", 40, 40)};
    f.load(writeGraphicsFile(entries));
    TDirectDrawSurface &back = f.target.Surface();
    back.Fill(7);
    for (int32_t i : {-1, 0, 1})
        f.list.Items().Items(0).Draw(back, 0, 0, i);
    f.list.Items().Items(1).Draw(back, 0, 0, -1);
    f.list.Items().Items(1).Draw(back, 0, 0, 1);
    for (int32_t y = 0; y < back.Height(); ++y)
        for (int32_t x = 0; x < back.Width(); ++x)
            ASSERT_EQ(back.pixel(x, y), 7u);
}

TEST(ImageList, PatternsDrawTheSamePixelsFromBlocksAndFromOneSurface)
{
    PixelImage image = gradient(1210, 95);
    std::vector<PictureEntry> entries;
    for (bool systemMemory : {false, true}) {
        entries.push_back(PictureEntry::fromImage(systemMemory ? "one" : "blocks", image, {.bitCount = 24}));
        entries.back().patternWidth = 40;
        entries.back().patternHeight = 45;
        entries.back().skipWidth = 2;
        entries.back().skipHeight = 5;
        entries.back().systemMemory = systemMemory;
        entries.back().transparent = false;
    }
    Fixture f;
    f.target.Initialize();
    f.load(writeGraphicsFile(entries));
    const TPictureCollectionItem &blocks = f.list.Items().Find("blocks");
    const TPictureCollectionItem &one = f.list.Items().Find("one");
    ASSERT_GT(blocks.surfaces().size(), 1u);
    ASSERT_EQ(one.surfaces().size(), 1u);
    ASSERT_EQ(blocks.PatternCount(), 28 * 2);
    TDirectDrawSurface a, b;
    a.SetSize(40, 45);
    b.SetSize(40, 45);
    for (int32_t i = 0; i < blocks.PatternCount(); ++i) {
        blocks.Draw(a, 0, 0, i);
        one.Draw(b, 0, 0, i);
        int32_t col = i % 28, row = i / 28;
        for (int32_t y = 0; y < 45; y += 11)
            for (int32_t x = 0; x < 40; x += 7) {
                ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << i;
                ASSERT_EQ(a.pixel(x, y), image.rgbAt(col * 42 + x, row * 50 + y)) << i;
            }
    }
}

TEST(ImageList, TransparencyFollowsTheItemAndCollapsesOnSixteenBits)
{
    // Pixels: the key colour, a colour near it, and white.
    PixelImage image = PixelImage::fromRgb(3, 1, {0xFF00FF, 0xFC01FA, 0xFFFFFF});
    for (auto format : {SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565}) {
        Fixture f(format);
        f.target.Initialize();
        std::vector<PictureEntry> entries{PictureEntry::fromImage("keyed", image), PictureEntry::fromImage("opaque", image)};
        entries[0].transparentColor = clFuchsia;
        entries[1].transparentColor = clFuchsia;
        entries[1].transparent = false;
        f.load(writeGraphicsFile(entries));
        TDirectDrawSurface &back = f.target.Surface();
        back.Fill(1);
        f.list.Items().Find("keyed").Draw(back, 0, 0, 0);
        f.list.Items().Find("opaque").Draw(back, 0, 1, 0);
        const uint32_t fuchsia = back.ColorToPixel(clFuchsia);
        EXPECT_EQ(back.pixel(0, 0), 1u);
        if (format == SurfacePixelFormat::Rgb565)
            EXPECT_EQ(back.pixel(1, 0), 1u) << "a near colour that converts to the key is skipped too";
        else
            EXPECT_EQ(back.pixel(1, 0), back.ColorToPixel(rgbColor(0xFC, 0x01, 0xFA)));
        EXPECT_EQ(back.pixel(2, 0), back.ColorToPixel(clWhite));
        EXPECT_EQ(back.pixel(0, 1), fuchsia) << "Transparent false draws the key colour";
        // A new transparent colour re-keys the prepared surfaces.
        f.list.Items().Find("keyed").setTransparentColor(clWhite);
        back.Fill(1);
        f.list.Items().Find("keyed").Draw(back, 0, 0, 0);
        EXPECT_EQ(back.pixel(0, 0), fuchsia);
        EXPECT_EQ(back.pixel(2, 0), 1u);
    }
}

TEST(ImageList, LoadFromFileFindsAnyLetterCaseAndReportsMissingFiles)
{
    char dir[] = "/tmp/qmgfxXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/computer.dxg";
    Bytes file = writeGraphicsFile({picture("a", 2, 2)});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
    TPictureCollection c;
    c.LoadFromFile(std::string(dir) + "/Computer.dxg");
    EXPECT_EQ(c.Count(), 1);
    std::string missing = std::string(dir) + "/forest.dxg";
    try {
        c.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing + ": File not found");
    }
    std::remove(path.c_str());
    rmdir(dir);
}

// The drawing target's lifecycle as its listeners and events see it.
namespace {

struct Recorder {
    std::vector<std::string> log;
    void attach(DrawTarget &t, const std::string &who)
    {
        t.attachListener(this + log.size() * 0 + (who == "b" ? 1 : 0), [this, who](DrawTarget &, DXDrawNotice n) {
            static const char *names[] = {"destroying", "initializing", "initialize", "initializesurface",
                                          "finalizesurface", "finalize", "restore", "size"};
            log.push_back(who + ":" + names[int(n)]);
        });
    }
};

} // namespace

TEST(DrawTargetLifecycle, NoticesInOrderAndReverseOrderOfAttachment)
{
    Recorder r;
    std::vector<std::string> expect;
    {
        OffscreenDrawTarget t;
        t.OnInitialize = [&] { r.log.push_back("OnInitialize"); };
        t.OnFinalize = [&] { r.log.push_back("OnFinalize"); };
        r.attach(t, "a");
        r.attach(t, "b");
        EXPECT_FALSE(t.ReadyToDraw());
        t.Initialize();
        EXPECT_TRUE(t.ReadyToDraw());
        EXPECT_EQ(t.Surface().Width(), 761);
        t.Finalize();
        EXPECT_FALSE(t.ReadyToDraw());
        EXPECT_EQ(t.SurfaceWidth(), 761) << "the size is kept";
    }
    expect = {"a:size", "b:size", "b:initializing", "a:initializing", "b:size", "a:size", "b:initialize",
              "a:initialize", "OnInitialize", "b:initializesurface", "a:initializesurface", "b:restore",
              "a:restore", "b:finalizesurface", "a:finalizesurface", "b:finalize", "a:finalize",
              "OnFinalize", "b:destroying", "a:destroying"};
    EXPECT_EQ(r.log, expect);
}

TEST(DrawTargetLifecycle, LateListenerCatchesUpAndDetachingFinalises)
{
    OffscreenDrawTarget t;
    t.Initialize();
    Recorder r;
    r.attach(t, "a");
    EXPECT_EQ(r.log, (std::vector<std::string>{"a:size", "a:initialize", "a:initializesurface", "a:restore"}));
    r.log.clear();
    t.detachListener(&r);
    EXPECT_EQ(r.log, (std::vector<std::string>{"a:finalizesurface", "a:finalize"}));
}

TEST(DrawTargetLifecycle, FailuresAndLostSurfaces)
{
    OffscreenDrawTarget t;
    t.setOnForm(false);
    try {
        t.Initialize();
        FAIL();
    } catch (const EDXDrawError &e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    EXPECT_FALSE(t.Initialized());
    EXPECT_FALSE(t.ReadyToDraw());
    t.setOnForm(true);
    t.Initialize();
    t.Surface().Fill(5);
    t.loseSurfaces();
    EXPECT_TRUE(t.ReadyToDraw()) << "restored on the way";
    EXPECT_EQ(t.Surface().pixel(0, 0), 0u) << "a restored back buffer is cleared";
    t.setRestorable(false);
    t.loseSurfaces();
    EXPECT_FALSE(t.ReadyToDraw());
    t.Flip();
    EXPECT_EQ(t.flipCount(), 0);
    t.setRestorable(true);
    t.Flip();
    EXPECT_EQ(t.flipCount(), 1);
}

TEST(DrawTargetLifecycle, DestroyedTargetDetachesItsImageLists)
{
    TDXImageList list;
    {
        OffscreenDrawTarget t;
        list.SetDXDraw(&t);
        t.Initialize();
    }
    EXPECT_EQ(list.DXDraw(), nullptr);
    EXPECT_EQ(list.Items().DXDraw(), nullptr);
}
