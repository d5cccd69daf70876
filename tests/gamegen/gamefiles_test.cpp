// The default game directory as the build made it: every file read back through the program's own
// readers, the pictures prepared and drawn on an off-screen target as the editor draws them.

#include "tempdir.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"
#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/palette.h"
#include "levels/tiles.h"
#include "platform/bytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace qm;

const std::string kGameDir = std::string(QM_TEST_GAME_DIR) + "/";
constexpr uint32_t kSentinel = 0x123456; // a colour no picture uses, to see what a draw left alone

std::string readText(const std::string &path)
{
    const auto bytes = qmtest::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// A graphics file loaded into an image list attached to an initialised off-screen target, so every
// picture is prepared exactly as in the editor.
class LoadedFile {
public:
    explicit LoadedFile(const std::string &name)
    {
        mTarget.Initialize();
        mList.SetDXDraw(&mTarget);
        mList.Items().LoadFromFile(kGameDir + name);
    }
    TPictureCollection &items() { return mList.Items(); }

    // Draws pattern 0 of an item at (0, 0) over a surface filled with the sentinel; the surface is the
    // picture's size.
    TDirectDrawSurface &drawAlone(const TPictureCollectionItem &item)
    {
        mCanvas.SetSize(item.Picture().Width(), item.Picture().Height());
        mCanvas.Fill(kSentinel);
        item.Draw(mCanvas, 0, 0, 0);
        return mCanvas;
    }

private:
    OffscreenDrawTarget mTarget;
    TDXImageList mList;
    TDirectDrawSurface mCanvas;
};

// The pixels a pattern puts down, for comparing pictures.
std::vector<uint32_t> patternPixels(LoadedFile &file, const TPictureCollectionItem &item, int pattern, int w, int h)
{
    TDirectDrawSurface s;
    s.SetSize(w, h);
    s.Fill(kSentinel);
    item.Draw(s, 0, 0, pattern);
    std::vector<uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(s.pixel(x, y));
    (void)file;
    return out;
}

// ---- themes ------------------------------------------------------------------------------------

struct Shape {
    int width, height, patterns;
};

// What the painting rules and the map need of each picture.
Shape expectedShape(int tile)
{
    switch (tile) {
    case 0: return {640, 480, 1};
    case 29: return {80, 40, 2};
    case 31: return {40, 80, 2};
    case 30:
    case 37: return {280, 80, 14};
    case 36: return {280, 40, 7};
    case 40: return {240, 120, 18};
    case 63:
    case 66:
    case 67: return {40, 120, 1};
    case 64: return {40, 80, 1};
    case 68: return {120, 120, 1};
    default: return {40, 40, 1};
    }
}

class ThemeFile : public testing::TestWithParam<std::string> {};

TEST_P(ThemeFile, HasEveryTileWithTheSizesAndPatternsThePaintingRulesUse)
{
    LoadedFile file(GetParam());
    ASSERT_EQ(file.items().Count(), 78);
    for (int tile = 0; tile <= 77; ++tile) {
        SCOPED_TRACE("tile " + std::to_string(tile));
        const TPictureCollectionItem &item = file.items().Items(tile);
        const Shape shape = expectedShape(tile);
        EXPECT_EQ(item.Picture().Width(), shape.width);
        EXPECT_EQ(item.Picture().Height(), shape.height);
        EXPECT_EQ(item.PatternCount(), shape.patterns);
        if (shape.patterns > 1) {
            EXPECT_EQ(item.PatternWidth(), 40);
            EXPECT_EQ(item.PatternHeight(), 40);
        }
        // Every picture is drawn from the square its tile is painted into.
        EXPECT_EQ(item.SkipWidth(), 0);
        EXPECT_EQ(item.SkipHeight(), 0);
        EXPECT_FALSE(item.Name().empty());
    }
}

TEST_P(ThemeFile, BackgroundIsOpaqueAndFillerFullyTransparent)
{
    LoadedFile file(GetParam());
    const TDirectDrawSurface &background = file.drawAlone(file.items().Items(0));
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 7)
            ASSERT_NE(background.pixel(x, y), kSentinel) << x << "," << y;

    const TDirectDrawSurface &filler = file.drawAlone(file.items().Items(11));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(filler.pixel(x, y), kSentinel) << x << "," << y;
}

TEST_P(ThemeFile, ObjectsShowThroughTheSquaresTheyCover)
{
    LoadedFile file(GetParam());
    // The empty square is painted below the exit's top square: its middle must let the exit show.
    const TDirectDrawSurface &empty = file.drawAlone(file.items().Items(15));
    int covered = 0;
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 36; ++x)
            covered += empty.pixel(x, y) != kSentinel;
    EXPECT_EQ(covered, 0);
    // Objects stand on the background: the infotron's corners are transparent, the base is opaque.
    EXPECT_EQ(file.drawAlone(file.items().Items(12)).pixel(0, 0), kSentinel);
    const TDirectDrawSurface &base = file.drawAlone(file.items().Items(16));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_NE(base.pixel(x, y), kSentinel);
}

TEST_P(ThemeFile, LowerHalfOfTheTallTileMatchesTile65)
{
    LoadedFile file(GetParam());
    const TPictureCollectionItem &tall = file.items().Items(64), &lower = file.items().Items(65);
    TDirectDrawSurface a, b;
    a.SetSize(40, 80);
    a.Fill(kSentinel);
    tall.Draw(a, 0, 0, 0);
    b.SetSize(40, 40);
    b.Fill(kSentinel);
    lower.Draw(b, 0, 0, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(a.pixel(x, 40 + y), b.pixel(x, y)) << x << "," << y;
}

TEST_P(ThemeFile, PaletteTilesAreDistinct)
{
    LoadedFile file(GetParam());
    // What a palette slot shows: pattern 0 of tiles 12..77, cut to the slot's 40 x 40.
    std::map<std::vector<uint32_t>, int> seen;
    for (int tile = 12; tile <= 77; ++tile) {
        const auto pixels = patternPixels(file, file.items().Items(tile), 0, 40, 40);
        const auto [it, fresh] = seen.emplace(pixels, tile);
        EXPECT_TRUE(fresh) << "tile " << tile << " looks like tile " << it->second;
        // Nothing in the palette is invisible.
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p != kSentinel; }))
            << "tile " << tile;
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemeFile,
                         testing::Values("computer.dxg", "forest.dxg", "kitchen.dxg", "underground.dxg"),
                         [](const testing::TestParamInfo<std::string> &entry) {
                             return entry.param.substr(0, entry.param.find('.'));
                         });

TEST(ThemeFiles, EachThemeHasItsOwnLook)
{
    std::set<std::vector<uint32_t>> backgrounds, bases;
    for (const char *name : {"computer.dxg", "forest.dxg", "kitchen.dxg", "underground.dxg"}) {
        LoadedFile file(name);
        backgrounds.insert(patternPixels(file, file.items().Items(0), 0, 640, 480));
        bases.insert(patternPixels(file, file.items().Items(16), 0, 40, 40));
    }
    EXPECT_EQ(backgrounds.size(), 4u);
    EXPECT_EQ(bases.size(), 4u);
}

// ---- the editor's pictures ---------------------------------------------------------------------

TEST(EditorFile, HasEveryPictureTheWindowLooksUpByName)
{
    LoadedFile file("Editor.dxg");
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"p", {40, 40}}, {"fondtop", {121, 483}}, {"mousex", {42, 42}},
    };
    for (const char *name : {"p", "fondtop", "mousex", "mouseup", "mousedown", "mouseleft", "mouseright", "mouse"}) {
        SCOPED_TRACE(name);
        const TPictureCollectionItem *item = file.items().findItem(name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->PatternCount(), 1);
        if (const auto it = sizes.find(name); it != sizes.end()) {
            EXPECT_EQ(item->Picture().Width(), it->second.first);
            EXPECT_EQ(item->Picture().Height(), it->second.second);
        }
    }
    // The slot is opaque, so a tall tile reaching into the next slot is covered there.
    const TDirectDrawSurface &slot = file.drawAlone(file.items().Find("p"));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_NE(slot.pixel(x, y), kSentinel);
}

TEST(EditorFile, PanelIsTransparentExactlyOverTheSlots)
{
    LoadedFile file("Editor.dxg");
    const TDirectDrawSurface &panel = file.drawAlone(file.items().Find("fondtop"));
    auto inSlot = [](int x, int y) {
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < 3; ++k)
                if (x >= 1 + 41 * k && x < 41 + 41 * k && y >= 97 + 41 * i && y < 137 + 41 * i)
                    return true;
        return false;
    };
    for (int y = 0; y < 483; ++y)
        for (int x = 0; x < 121; ++x)
            ASSERT_EQ(panel.pixel(x, y) == kSentinel, inSlot(x, y)) << x << "," << y;
}

TEST(EditorFile, PointersHaveTheirTipWherePlaced)
{
    LoadedFile file("Editor.dxg");
    // Drawn at the pointer: the tip is the top-left pixel.
    for (const char *name : {"mouse", "mouseup", "mouseleft"}) {
        EXPECT_NE(file.drawAlone(file.items().Find(name)).pixel(0, 0), kSentinel) << name;
    }
    // Drawn 27 pixels left of the pointer: the pointer's pixel is at x 27 of the top row.
    for (const char *name : {"mousedown", "mouseright"}) {
        EXPECT_NE(file.drawAlone(file.items().Find(name)).pixel(27, 0), kSentinel) << name;
    }
    // The carried tile's frame leaves the tile's middle visible.
    const TDirectDrawSurface &frame = file.drawAlone(file.items().Find("mousex"));
    EXPECT_NE(frame.pixel(0, 0), kSentinel);
    EXPECT_EQ(frame.pixel(21, 21), kSentinel);
}

// ---- levels, configuration, help ---------------------------------------------------------------

TEST(SampleLevels, ReadBackWithEveryThemeAndEveryTile)
{
    const LevelsFileContent content = loadLevelsFile(kGameDir + "Sample.lev");
    ASSERT_GE(content.levels.size(), 5u);
    EXPECT_EQ(content.header.count, int32_t(content.levels.size()));
    std::set<std::string> themes;
    std::set<int32_t> tiles;
    for (const auto &level : content.levels) {
        SCOPED_TRACE(level.name);
        themes.insert(level.dxg);
        EXPECT_TRUE(std::filesystem::exists(kGameDir + level.dxg));
        // Sizes the levels dialog accepts, the start square inside the level.
        EXPECT_TRUE(level.width >= 6 && level.width <= 70 && level.width % 2 == 0);
        EXPECT_TRUE(level.height >= 6 && level.height <= 70 && level.height % 2 == 0);
        const int column = (level.startx - 20) / 40, row = (level.starty - 20) / 40;
        EXPECT_TRUE(column >= 1 && column <= level.width && row >= 1 && row <= level.height);
        ByteReader cells(content.bytes.data() + level.cellsAt, size_t(level.width) * size_t(level.height) * 16,
                         throwReadBeyondEnd);
        for (int k = 0; k < level.width * level.height; ++k) {
            const int32_t tile = cells.i32();
            cells.i32();
            const int32_t kind = cells.i32();
            const int32_t pattern = cells.i32();
            tiles.insert(tile);
            EXPECT_TRUE(tile >= kTileFiller && tile <= kLastPaletteTile) << tile;
            EXPECT_TRUE(kind >= kKindOrdinary && kind <= kKindOnTop);
            EXPECT_TRUE(pattern >= 0 && pattern < expectedShape(tile).patterns) << tile << " " << pattern;
        }
    }
    EXPECT_EQ(themes, (std::set<std::string>{"computer.dxg", "forest.dxg", "kitchen.dxg", "underground.dxg"}));
    for (int32_t tile = 11; tile <= 77; ++tile)
        EXPECT_TRUE(tiles.count(tile)) << "no level shows tile " << tile;
}

TEST(SupaplexSample, Has111RecordsWithTitlesAHeroAndAnExit)
{
    const auto bytes = qmtest::readFile(kGameDir + "Levels.dat");
    ASSERT_EQ(bytes.size(), 170496u);
    std::set<std::string> titles;
    for (int n = 0; n < 111; ++n) {
        SCOPED_TRACE("level " + std::to_string(n + 1));
        const uint8_t *record = bytes.data() + n * 1536;
        const std::string title(record + 1446, record + 1469);
        EXPECT_TRUE(std::all_of(title.begin(), title.end(), [](char c) { return c >= 32 && c < 127; }));
        EXPECT_NE(title.find_first_not_of(' '), std::string::npos);
        titles.insert(title);
        int heroes = 0, exits = 0;
        for (int r = 0; r < 24; ++r)
            for (int c = 0; c < 60; ++c) {
                const uint8_t code = record[60 * r + c];
                heroes += code == 3;
                exits += code == 7;
                if (r == 0 || r == 23 || c == 0 || c == 59) {
                    ASSERT_EQ(code, 6) << r << "," << c;
                }
                ASSERT_LE(code, 40) << r << "," << c;
            }
        EXPECT_EQ(heroes, 1);
        EXPECT_EQ(exits, 1);
    }
    EXPECT_EQ(titles.size(), 111u);
}

TEST(GameConfig, NamesTheSampleLevelsAndReadsBackToTheSameBytes)
{
    const std::string path = kGameDir + "Quillmoss.Cfg";
    initGameConfig();
    readgameconfig(path);
    EXPECT_EQ(cfglevelsfile, "Sample.lev");
    EXPECT_TRUE(std::filesystem::exists(kGameDir + cfglevelsfile));
    EXPECT_GT(cfgsongcount, 0);
    EXPECT_EQ(gameConfigText(), readText(path));
}

TEST(HelpDocument, HasContentsGettingStartedAndNoBrokenLinks)
{
    const std::string text = readText(kGameDir + "Editor.hlp");
    ASSERT_EQ(text.rfind("QUILLMOSS-HELP 1\n", 0), 0u);
    std::map<int, std::string> titles;
    std::vector<int> order;
    const std::regex marker(R"(^@topic (\d+) (.+)$)", std::regex::multiline);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator(); ++it) {
        const int number = std::stoi((*it)[1]);
        EXPECT_TRUE(titles.emplace(number, (*it)[2]).second) << "topic " << number << " twice";
        order.push_back(number);
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    ASSERT_TRUE(titles.count(0));
    EXPECT_EQ(titles[1], "Getting Started");
    EXPECT_GE(titles.size(), 9u);
    const std::regex link(R"re(href="topic:(\d+)")re");
    std::set<int> linked;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
        const int target = std::stoi((*it)[1]);
        EXPECT_TRUE(titles.count(target)) << "link to missing topic " << target;
        linked.insert(target);
    }
    for (const auto &[number, title] : titles)
        EXPECT_TRUE(number == 0 || linked.count(number)) << "topic " << number << " is not reachable";
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c == '\n' || (c >= 32 && c < 127); }));
}

// ---- determinism ------------------------------------------------------------------------------

TEST(Generator, WritesTheSameBytesOnEveryRun)
{
    qmtest::TempDir first, second;
    ASSERT_EQ(std::system((std::string("\"") + QM_TEST_GAMEGEN + "\" \"" + first.path() + "\"").c_str()), 0);
    ASSERT_EQ(std::system((std::string("\"") + QM_TEST_GAMEGEN + "\" \"" + second.path() + "\"").c_str()), 0);
    const std::set<std::string> expected = {"Editor.dxg", "computer.dxg", "forest.dxg", "kitchen.dxg", "underground.dxg",
                                            "Quillmoss.Cfg", "Editor.hlp", "Sample.lev", "Levels.dat"};
    const auto names = first.entries();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    for (const std::string &name : expected) {
        SCOPED_TRACE(name);
        const auto bytes = qmtest::readFile(first.path(name));
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(bytes, qmtest::readFile(second.path(name)));
        EXPECT_EQ(bytes, qmtest::readFile(kGameDir + name)); // the build's copy too
    }
}

} // namespace
