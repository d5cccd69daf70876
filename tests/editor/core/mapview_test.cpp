#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"
#include "editor/core/mapview.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "framepictures.h"
#include "storebytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <random>

using namespace qm;
using namespace qmtest;

namespace {

struct QPointLike {
    int x, y;
};

class MapView : public ::testing::TestWithParam<SurfacePixelFormat> {
protected:
    void SetUp() override
    {
        storeWithOneNewLevel();
        pointerx = 320;
        pointery = 240;
    }
    void frame(int32_t lag = 1)
    {
        drawframe(lag, pictures.target.Surface(), FramePictures{pictures.editor.Items(), pictures.tiles.Items()});
    }
    // The colour at (x, y) is that of tile k, pattern p.
    ::testing::AssertionResult shows(int x, int y, uint32_t rgb)
    {
        uint32_t got = pictures.pixel(x, y);
        if (got == pictures.expected(rgb))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                             << ", expected " << pictures.expected(rgb);
    }
    static void put(int r, int c, int tile, int pattern = 0, int kind = kKindOrdinary)
    {
        *levels[1].cellAt(r, c) = cell{tile, 0, kind, pattern};
    }

    SyntheticPictures pictures{GetParam()};
};

} // namespace

TEST_P(MapView, ANewLevelShowsItsBaseInEveryCell)
{
    frame();
    EXPECT_TRUE(shows(1, 1, tileColor(16)));
    EXPECT_TRUE(shows(0, 0, kBackground)); // the tile's transparent corner shows the background
    EXPECT_TRUE(shows(639 - 1, 479, tileColor(16)));
    EXPECT_TRUE(shows(641, 97, kSlot)); // the slot's own pixel under the tile's transparent corner
    EXPECT_TRUE(shows(642, 98, tileColor(12)));
    EXPECT_TRUE(shows(700, 50, kPanel));
}

TEST_P(MapView, SecondPassCellsCoverTheirNeighbours)
{
    put(1, 1, 20, 0, kKindOnTop); // 80 wide: pattern 0 only is drawn, 40 x 40
    put(2, 2, 20, 1, kKindOrdinary);
    put(1, 2, 13, 0, kKindOrdinary);
    frame();
    EXPECT_TRUE(shows(20, 20, tileColor(20, 0)));
    EXPECT_TRUE(shows(60, 20, tileColor(13)));
    EXPECT_TRUE(shows(60, 60, tileColor(20, 1)));
    put(1, 1, 20, 5, kKindOnTop); // a pattern the picture does not have: invisible
    frame();
    EXPECT_TRUE(shows(20, 20, kBackground));
}

TEST_P(MapView, PicturesAreShiftedByTheirSkipsAndTheViewTruncates)
{
    put(3, 3, 21); // SkipWidth 10, SkipHeight 40: one square higher, 10 pixels left
    frame();
    EXPECT_TRUE(shows(71, 41, tileColor(21)));
    EXPECT_TRUE(shows(100, 90, kBackground)); // its own square is left empty

    viewx = 12.5;
    put(1, 2, 13);
    frame();
    EXPECT_TRUE(shows(26, 1, tileColor(16))); // column 1 at trunc(-12.5) = -12, up to 27
    EXPECT_TRUE(shows(27, 1, tileColor(13))); // column 2 at trunc(27.5) = 27 covers it
    EXPECT_TRUE(shows(27, 0, tileColor(16))); // but for its transparent corner
    EXPECT_TRUE(shows(66, 1, tileColor(13)));
    EXPECT_TRUE(shows(67, 1, tileColor(16)));
}

TEST_P(MapView, ASmallLevelSitsAgainstTheRightAndBottomEdges)
{
    levels[1].width = 10;
    levels[1].height = 8;
    put(1, 1, 13);
    frame();
    EXPECT_EQ(viewx, -240);
    EXPECT_EQ(viewy, -160);
    EXPECT_TRUE(shows(241, 161, tileColor(13)));
    EXPECT_TRUE(shows(239, 161, kBackground));
    EXPECT_TRUE(shows(639, 479, tileColor(16)));
}

TEST_P(MapView, ThePaletteShowsThreeTilesARowFromPalscroll)
{
    palscroll = 11;
    frame();
    EXPECT_TRUE(shows(642, 98, tileColor(45)));
    EXPECT_TRUE(shows(723 + 5, 384 + 5, tileColor(68)));
    palscroll = 0;
    frame();
    EXPECT_TRUE(shows(682 + 5, 138 + 5, tileColor(16)));
}

TEST_P(MapView, EachPointerZoneDrawsItsPicture)
{
    struct Case {
        int x, y;
        const char *picture;
        int dx;
    } cases[] = {{300, 200, "mousex", -1}, {300, 10, "mouseup", 0}, {300, 470, "mousedown", -27},
                 {10, 200, "mouseleft", 0}, {700, 200, "mouse", 0}, {770, 200, "mouseright", -27}};
    levels[1].width = levels[1].height = 100;
    for (const Case &c : cases) {
        viewx = viewy = 400;
        pointerx = c.x;
        pointery = c.y;
        frame();
        int dy = c.dx == -1 ? -1 : 0;
        EXPECT_TRUE(shows(c.x + c.dx + 2, c.y + dy + 2, kPointerColors.at(c.picture))) << c.picture;
    }
    palrow = 2;
    palcolumn = 1;
    pointerx = 300;
    pointery = 200;
    frame();
    EXPECT_TRUE(shows(300 + 20, 200 + 20, tileColor(19))); // the carried tile at the pointer
    pointerx = 640;
    pointery = 60;
    frame();
    EXPECT_TRUE(shows(640 + 2, 60 + 2, kPanel)); // x = 640 draws no pointer
}

TEST_P(MapView, NoLevelMeansNoCellsAndMissingPicturesAreSkipped)
{
    levelsinfo.count = 0; // a new file whose first level was cancelled
    frame();
    EXPECT_TRUE(shows(20, 20, kBackground));

    levelsinfo.count = 1;
    put(1, 1, 500);
    put(1, 2, -3);
    palrow = 40; // a tile beyond the theme
    frame();
    EXPECT_TRUE(shows(20, 20, kBackground));
    EXPECT_TRUE(shows(60, 20, kBackground));
}

// With the overlays off and nothing held the frame is drawframe's byte for byte; with them on the
// map shows the start marker and the panel is left as it was apart from the frame around the carried
// tile's slot; a carried stamp stays on the map area.
TEST_P(MapView, OverlaysDrawOnTheMapAreaOnly)
{
    TDirectDrawSurface &surface = pictures.target.Surface();
    const FramePictures both{pictures.editor.Items(), pictures.tiles.Items()};
    const auto snapshot = [&] {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x)
                pixels.push_back(surface.pixel(x, y));
        return pixels;
    };
    frame();
    const std::vector<uint32_t> plain = snapshot();
    const auto plainPixel = [&](int x, int y) { return plain[size_t(y * surface.Width() + x)]; };
    MapTools tools;
    tools.overlays = false;
    drawToolsFrame(1, surface, both, tools);
    EXPECT_TRUE(snapshot() == plain);

    tools.overlays = true;
    drawToolsFrame(1, surface, both, tools);
    const CellPosition start = startSquare(levels[1]);
    const int markerX = 40 * (start.column - 1) + 1, markerY = 40 * (start.row - 1) + 1;
    EXPECT_NE(pictures.pixel(markerX, markerY), plainPixel(markerX, markerY));
    int changedInPanel = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = kMapWidth; x < surface.Width(); ++x) {
            const bool slotFrame = x >= kSlotLeft - 2 && x < kSlotLeft + 42 && y >= kSlotTop - 2 && y < kSlotTop + 42;
            if (surface.pixel(x, y) != plainPixel(x, y)) {
                EXPECT_TRUE(slotFrame) << x << ", " << y;
                ++changedInPanel;
            }
        }
    EXPECT_GT(changedInPanel, 0) << "the carried tile's slot is framed";

    // A start square far off the level, as a damaged file may hold it, is simply not on the map.
    levels[1].startx = levels[1].starty = INT32_MAX;
    drawToolsFrame(1, surface, both, tools);
    EXPECT_TRUE(shows(markerX, markerY, tileColor(kTileBase)));

    // A stamp carried at the map's right edge is cut there.
    tools.carry(Stamp{2, 3, std::vector<cell>(6, cell{20, 0, kKindOrdinary, 0})});
    pointerx = 620;
    drawToolsFrame(1, surface, both, tools);
    EXPECT_TRUE(shows(635, 270, tileColor(20)));
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = kMapWidth; x < surface.Width(); ++x)
            ASSERT_EQ(surface.pixel(x, y), plainPixel(x, y)) << x << ", " << y;
}

namespace {

// Every cell of both passes handed to its picture's Draw, which clips: the walk that draws the
// pixels the frame must show. A position beyond 32 bits cannot reach the surface.
void uncutWalk(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level)
{
    for (bool onTop : {false, true})
        for (int r = 0; r < std::clamp(level.height, 0, kGridSize); ++r)
            for (int c = 0; c < std::clamp(level.width, 0, kGridSize); ++c) {
                const cell &square = level.cells[r][c];
                if ((square.kind == kKindOnTop) != onTop || square.tile < 0 || square.tile >= tiles.Count())
                    continue;
                const TPictureCollectionItem &picture = tiles.Items(square.tile);
                const int64_t x = int64_t(std::trunc(c * double(kSquare) - viewx)) - picture.SkipWidth();
                const int64_t y = int64_t(std::trunc(r * double(kSquare) - viewy)) - picture.SkipHeight();
                if (x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX)
                    picture.Draw(surface, int32_t(x), int32_t(y), square.pattern);
            }
}

// Pictures of random sizes, cut into random patterns or whole, with random skips (now and then
// extreme ones), keyed or not, each with a few key-coloured pixels.
std::vector<PictureEntry> randomTheme(std::mt19937 &random)
{
    auto between = [&](int low, int high) { return low + int(random() % uint32_t(high - low + 1)); };
    std::vector<PictureEntry> pictures;
    for (int k = between(1, 5); k > 0; --k) {
        const int w = between(1, 130), h = between(1, 130);
        std::vector<uint32_t> rgb(size_t(w * h), 0x100000u * uint32_t(between(1, 255)) | uint32_t(k));
        for (uint32_t &pixel : rgb)
            if (random() % 5 == 0)
                pixel = 0;
        PictureEntry entry = PictureEntry::fromImage(std::to_string(k), PixelImage::fromRgb(w, h, rgb), {.bitCount = 24});
        entry.transparent = random() % 4 != 0;
        const bool whole = random() % 2 == 0;
        if (!whole) {
            entry.patternWidth = between(1, w);
            entry.patternHeight = between(1, h);
        }
        const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1000000000, 1000000000, INT32_MAX};
        for (int32_t *skip : {&entry.skipWidth, &entry.skipHeight})
            *skip = whole && random() % 6 == 0 ? extremes[random() % 5] : between(-60, 90);
        pictures.push_back(entry);
    }
    return pictures;
}

// A slot "p" and a panel "fondtop" of random sizes, each with a few key-coloured rectangles (windows)
// and now and then scattered key pixels, keyed or not.
std::vector<PictureEntry> randomPanel(std::mt19937 &random)
{
    auto between = [&](int low, int high) { return low + int(random() % uint32_t(high - low + 1)); };
    std::vector<PictureEntry> pictures;
    for (const char *name : {"p", "fondtop"}) {
        const int w = between(1, name[0] == 'p' ? 60 : 160), h = between(1, name[0] == 'p' ? 60 : 520);
        std::vector<uint32_t> rgb(size_t(w * h), 0x304050);
        for (int k = between(0, 6); k > 0; --k) {
            const int left = between(0, w - 1), top = between(0, h - 1);
            for (int y = top; y < std::min(h, top + between(1, 50)); ++y)
                for (int x = left; x < std::min(w, left + between(1, 50)); ++x)
                    rgb[size_t(y * w + x)] = 0;
        }
        if (random() % 4 == 0)
            for (uint32_t &pixel : rgb)
                pixel = random() % 7 == 0 ? 0 : pixel;
        PictureEntry entry = PictureEntry::fromImage(name, PixelImage::fromRgb(w, h, rgb), {.bitCount = 24});
        entry.transparent = random() % 5 != 0;
        pictures.push_back(entry);
    }
    return pictures;
}

} // namespace

// The frame walks only the cells that can reach the surface and show past the panel; it must show
// what handing every cell to its picture shows, whatever the pictures, skips, panel, level and view.
TEST_P(MapView, TheCulledWalkDrawsWhatTheUncutWalkDraws)
{
    std::mt19937 random(19);
    auto level = std::make_unique<tlevel>();
    TDirectDrawSurface &surface = pictures.target.Surface();
    for (int trial = 0; trial < 400; ++trial) {
        TDXImageList tiles;
        tiles.SetDXDraw(&pictures.target);
        const Bytes theme = writeGraphicsFile(randomTheme(random));
        tiles.Items().LoadFromStream(theme.data(), theme.size());
        const int count = tiles.Items().Count();
        level->width = int(random() % 103) - 1;
        level->height = int(random() % 103) - 1;
        for (auto &row : level->cells)
            for (cell &square : row)
                square = cell{int(random() % uint32_t(count + 3)) - 1, 0, random() % 4 ? kKindOrdinary : kKindOnTop,
                              int(random() % 4) - 1};
        viewx = int(random() % 5000) - 1000 + (random() % 2 ? 0.5 : 0.0);
        viewy = int(random() % 5000) - 1000 + (random() % 2 ? 0.75 : 0.0);
        TDXImageList editor;
        editor.SetDXDraw(&pictures.target);
        const Bytes panel = writeGraphicsFile(randomPanel(random));
        editor.Items().LoadFromStream(panel.data(), panel.size());
        const FramePictures both{editor.Items(), tiles.Items()};

        const auto same = [&](const std::vector<uint8_t> &expected, const char *what) {
            return std::equal(expected.begin(), expected.end(), surface.bits())
                       ? ::testing::AssertionSuccess()
                       : ::testing::AssertionFailure() << "trial " << trial << ", " << what << ": view (" << viewx << ", "
                                                       << viewy << "), level " << level->width << " x " << level->height;
        };
        surface.Fill(0);
        uncutWalk(surface, tiles.Items(), *level);
        std::vector<uint8_t> expected(surface.bits(), surface.bits() + surface.pitch() * surface.Height());
        surface.Fill(0);
        drawLevel(surface, tiles.Items(), *level);
        ASSERT_TRUE(same(expected, "the level alone"));

        // The whole frame: the walk that skips what the panel hides, the fill that skips what the
        // background and the panel draw over.
        surface.Fill(0);
        tiles.Items().Items(0).Draw(surface, 0, 0, 0);
        uncutWalk(surface, tiles.Items(), *level);
        drawPanel(surface, both);
        drawPointer(surface, both, PointerZone::None);
        expected.assign(surface.bits(), surface.bits() + surface.pitch() * surface.Height());
        levels[1] = *level;
        surface.Fill(0x5555);
        drawMapView(surface, both, PointerZone::None);
        ASSERT_TRUE(same(expected, "the frame"));
    }
}

INSTANTIATE_TEST_SUITE_P(BothPixelFormats, MapView,
                         ::testing::Values(SurfacePixelFormat::Xrgb8888, SurfacePixelFormat::Rgb565),
                         [](const auto &entry) {
                             return entry.param == SurfacePixelFormat::Rgb565 ? std::string("Rgb565")
                                                                              : std::string("Xrgb8888");
                         });

// Zoomed out, each cell is drawn from its tile's pattern made smaller, at its smaller place, skips
// divided alike; the smaller copies follow the tiles when they change.
TEST_P(MapView, ZoomedOutCellsAreTheTilesMadeSmallerAtTheirPlaces)
{
    for (const int32_t square : {20, 10}) {
        maparea = MapArea{};
        maparea.square = square;
        const int32_t d = kSquare / square;
        levels[1].width = levels[1].height = 100;
        viewx = 80;
        viewy = 40;
        put(3, 4, 12);
        put(5, 5, 21);                         // skips 10 and 40
        put(7, 7, 20, 1, kKindOnTop);          // the picture's second pattern
        const auto at = [&](int r, int c) { return QPointLike{((c - 1) * 40 - 80) / d, ((r - 1) * 40 - 40) / d}; };
        frame();
        EXPECT_TRUE(shows(at(3, 4).x + 3, at(3, 4).y + 3, tileColor(12))) << square;
        EXPECT_TRUE(shows(at(3, 4).x + square - 1, at(3, 4).y + square - 1, tileColor(12))) << square;
        EXPECT_TRUE(shows(at(3, 4).x + square, at(3, 4).y + 2, tileColor(kDefaultCell.tile))) << square;
        EXPECT_TRUE(shows(at(5, 5).x - 10 / d + square - 1, at(5, 5).y - 40 / d + 2, tileColor(21))) << square;
        EXPECT_TRUE(shows(at(7, 7).x + 3, at(7, 7).y + 3, tileColor(20, 1))) << square;

        // Other tiles loaded (as another theme would be): the smaller copies are made again.
        std::vector<PictureEntry> other = syntheticThemePictures();
        other[12] = tilePicture(40);
        other[12].name = "12";
        const Bytes bytes = writeGraphicsFile(other);
        pictures.tiles.Items().LoadFromStream(bytes.data(), bytes.size());
        frame();
        EXPECT_TRUE(shows(at(3, 4).x + 3, at(3, 4).y + 3, tileColor(40))) << square;
        const Bytes back = syntheticTheme();
        pictures.tiles.Items().LoadFromStream(back.data(), back.size());
    }
    maparea = MapArea{};
}
