#include "samplelevels.h"

#include "art.h"
#include "themeart.h"

#include "editor/core/mapediting.h"
#include "levels/levelsfile.h"
#include "levels/palette.h"
#include "levels/levelstore.h"
#include "levels/startsquare.h"
#include "levels/tiles.h"
#include "platform/errors.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace qm::gamegen {

namespace {

// ---- the sample levels file --------------------------------------------------------------------

// Map legend: one character a square. Objects larger than one square are written at their top-left
// square; the squares they cover are marked '~' and left to the painting.
int32_t tileOfChar(char c)
{
    static const std::map<char, int32_t> legend = {
        {' ', 15}, {'.', 16}, {'@', 15}, {'i', 12}, {'*', 13}, {'k', 14}, {'D', 17}, {'L', 18}, {'r', 19},
        {'o', 20}, {'O', 21}, {'y', 22}, {'c', 23}, {'T', 24}, {'p', 25}, {'I', 26}, {'W', 27}, {'h', 28},
        {'H', 29}, {'B', 30}, {'V', 31}, {'w', 32}, {'g', 33}, {'l', 34}, {'z', 35}, {'-', 36}, {'A', 37},
        {'S', 38}, {'E', 39}, {'M', 40}, {'#', 41}, {'n', 42}, {'q', 43}, {'=', 44}, {'|', 45}, {'+', 46},
        {'u', 47}, {'f', 48}, {'>', 49}, {'v', 50}, {'<', 51}, {'^', 52}, {'t', 53}, {'x', 54}, {'e', 55},
        {'b', 56}, {'s', 57}, {'$', 58}, {'m', 59}, {'!', 60}, {'F', 61}, {'Z', 62}, {'X', 63}, {'P', 64},
        {'Q', 66}, {'R', 67}, {'G', 68},
    };
    const auto it = legend.find(c);
    if (it == legend.end())
        throw Error("Error", std::string("unknown map character '") + c + "'");
    return it->second;
}

// Squares (columns, rows) that painting a tile fills, its own square included.
std::pair<int, int> footprint(int32_t tile)
{
    switch (tile) {
    case kTileStripHorizontal: return {2, 1};
    case kTileStripVertical:
    case kTileTall: return {1, 2};
    case kTilePair:
    case kTileBlock7x2: return {7, 2};
    case kTileBlock7x1: return {7, 1};
    case kTileBlock6x3: return {6, 3};
    case kTileExit:
    case kTileMarkedTallA:
    case kTileMarkedTallB: return {1, 3};
    case kTileMarked3x3: return {3, 3};
    default: return {1, 1};
    }
}

int32_t pictureWidth(int32_t tile) { return tileGeometry(tile).width; }

struct SampleLevel {
    const char *name;
    const char *dxg;
    std::vector<std::string> rows;
};

// Checks that every object's covered squares are marked '~' and that no '~' is left unclaimed, so a
// typing slip in a map cannot go unnoticed.
void checkMap(const SampleLevel &level)
{
    const int h = int(level.rows.size()), w = int(level.rows[0].size());
    std::vector<std::vector<bool>> claimed(size_t(h), std::vector<bool>(size_t(w), false));
    for (int r = 0; r < h; ++r) {
        if (int(level.rows[size_t(r)].size()) != w)
            throw Error("Error", std::string(level.name) + ": row " + std::to_string(r + 1) + " has another width");
        for (int c = 0; c < w; ++c) {
            const char ch = level.rows[size_t(r)][size_t(c)];
            if (ch == '~')
                continue;
            const auto [fw, fh] = footprint(tileOfChar(ch));
            for (int i = 0; i < fh; ++i)
                for (int j = 0; j < fw; ++j) {
                    if (i == 0 && j == 0)
                        continue;
                    if (r + i >= h || c + j >= w || level.rows[size_t(r + i)][size_t(c + j)] != '~')
                        throw Error("Error", std::string(level.name) + ": the object at row " + std::to_string(r + 1) +
                                                 ", column " + std::to_string(c + 1) + " needs '~' where it reaches");
                    claimed[size_t(r + i)][size_t(c + j)] = true;
                }
        }
    }
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if (level.rows[size_t(r)][size_t(c)] == '~' && !claimed[size_t(r)][size_t(c)])
                throw Error("Error", std::string(level.name) + ": stray '~' at row " + std::to_string(r + 1) +
                                         ", column " + std::to_string(c + 1));
}

const std::vector<SampleLevel> &handMadeLevels()
{
    static const std::vector<SampleLevel> list = {
        {"Boot Sequence", "computer.dxg",
         {
             "########################",
             "#@...i....#.....i...i..#",
             "#.###.o...#..o.....###.#",
             "#.#i#.....>....S...#X#.#",
             "#.#.#..i..#........#~#.#",
             "#.H~#.....#..i..E..#~#.#",
             "#......####^####.......#",
             "#..t...#i.....i#..V....#",
             "#......#..G~~..#..~.hh.#",
             "#.=+=..#..~~~..#..w.z..#",
             "#..|...#..~~~.i#...O...#",
             "#..q...#B~~~~~~#.i...r.#",
             "#..l.g.#~~~~~~~#..b....#",
             "########################",
         }},
        {"Woodland Walk", "forest.dxg",
         {
             "########################",
             "#@....m.....R.......f..#",
             "#..i.....o..~...i......#",
             "#.-~~~~~~...~.....P....#",
             "#.....i.....i.....~..i.#",
             "#.WWWW...S.....o.......#",
             "#.WWWW....A~~~~~~......#",
             "#..i......~~~~~~~..k...#",
             "#.o...E.......i......D.#",
             "#..M~~~~~....s.....X...#",
             "#..~~~~~~..i.......~.i.#",
             "#..~~~~~~....$.....~...#",
             "#i.......F.....c.......#",
             "########################",
         }},
        {"Midnight Snack", "kitchen.dxg",
         {
             "########################",
             "#@..n....n....n....n...#",
             "#......................#",
             "#.A~~~~~~..i..R..i..G~~#",
             "#.~~~~~~~.....~.....~~~#",
             "#..i...o..S...~..i..~~~#",
             "#.-~~~~~~....ooo.......#",
             "#......i....i....E..P..#",
             "#.uu..M~~~~~...i....~i.#",
             "#.....~~~~~~.........X.#",
             "#.e...~~~~~~..H~..x..~.#",
             "#..yy.....c..........~.#",
             "#......W.....i.....k.D.#",
             "########################",
         }},
        {"Crystal Mines", "underground.dxg",
         {
             "########################",
             "#@.....Q.........i...bb#",
             "#..o...~..i..o....o....#",
             "#......~....-~~~~~~....#",
             "#.i..p........E....T...#",
             "#..B~~~~~~.........i...#",
             "#..~~~~~~~..R...G~~....#",
             "#.i.........~...~~~..i.#",
             "#...S..o....~...~~~....#",
             "#.....IIII....i.....X..#",
             "#.i...IIII..oo......~..#",
             "#..=+=...x.........i~..#",
             "#...|..i...$..!..m.....#",
             "########################",
         }},
    };
    return list;
}

// Every palette tile once, packed left to right with a free square between objects, inside a wall.
void paintGallery(tlevel &level, const TileWidth &widthOf)
{
    const int width = 30;
    int row = 2, col = 2, shelf = 1;
    std::vector<std::tuple<int, int, int32_t>> places;
    for (int32_t tile = kFirstPaletteTile; tile <= kLastPaletteTile; ++tile) {
        const auto [fw, fh] = footprint(tile);
        if (col + fw > width - 1) {
            col = 2;
            row += shelf + 1;
            shelf = 1;
        }
        places.emplace_back(row, col, tile);
        col += fw + 1;
        shelf = std::max(shelf, fh);
    }
    int height = row + shelf + 1;
    height += height % 2;
    level.width = width;
    level.height = height;
    for (int r = 1; r <= height; ++r)
        for (int c = 1; c <= width; ++c) {
            const bool edge = r == 1 || c == 1 || r == height || c == width;
            *level.cellAt(r, c) = cell{edge ? kTileWall : kTileEmpty, 0, kKindOrdinary, 0};
        }
    for (const auto &[r, c, tile] : places)
        paintcell(r, c, tile, PaintVariant::Press, widthOf);
    // The hero starts on the free square right of the first tile, not on it.
    level.startx = startPixelOf(3);
    level.starty = startPixelOf(2);
}

void storeLevel(const SampleLevel &sample, const TileWidth &widthOf)
{
    checkMap(sample);
    addlevel();
    tlevel &level = levels[curlevel];
    level.name = sample.name;
    level.dxg = sample.dxg;
    level.height = int32_t(sample.rows.size());
    level.width = int32_t(sample.rows[0].size());
    int infotrons = 0;
    for (int r = 0; r < level.height; ++r)
        for (int c = 0; c < level.width; ++c) {
            const char ch = sample.rows[size_t(r)][size_t(c)];
            if (ch == '~')
                continue;
            const int32_t tile = tileOfChar(ch);
            if (ch == '@') {
                level.startx = startPixelOf(c + 1);
                level.starty = startPixelOf(r + 1);
            }
            if (tile == kTileInfotron)
                ++infotrons;
            paintcell(r + 1, c + 1, tile, PaintVariant::Press, widthOf);
        }
    level.infotrons = infotrons;
}

} // namespace

void writeSampleLevels(const std::string &path)
{
    const TileWidth widthOf = pictureWidth;
    levelsinfo = Tlevels{};
    levelsinfo.author = "The Quillmoss team";
    resetstore();
    fileopen = true;
    for (const SampleLevel &sample : handMadeLevels())
        storeLevel(sample, widthOf);
    for (const ThemeInfo &theme : themes()) {
        addlevel();
        tlevel &level = levels[curlevel];
        level.name = std::string("Tile Gallery: ") + theme.title;
        level.dxg = theme.fileName;
        level.infotrons = 1;
        paintGallery(level, widthOf);
    }
    levelsfilepath = path;
    writelevelsfile();
}

// ---- the Supaplex-format sample ------------------------------------------------------------------

namespace {

constexpr int kColumns = 60, kRows = 24, kTitleAt = 1446, kTitleLength = 23;

// Object codes of the format that the generator uses.
enum Code : uint8_t {
    Space = 0, Rock = 1, Base = 2, Hero = 3, Infotron = 4, Chip = 5, Hard = 6, Exit = 7, OrangeDisk = 8,
    PortRight = 9, PortDown = 10, PortLeft = 11, PortUp = 12, Spinner = 17, YellowDisk = 18, Terminal = 19,
    RedDisk = 20, Spark = 24, ChipLeft = 26, ChipRight = 27, HardFirst = 28, HardLast = 37, ChipTop = 38,
    ChipBottom = 39,
};

const char *const kAdjectives[] = {
    "QUIET", "MOSSY", "HOLLOW", "BRIGHT", "TANGLED", "SLEEPY", "ROLLING", "HIDDEN", "COPPER", "VELVET", "BROKEN",
    "SILENT", "WINDING", "GOLDEN", "FROZEN", "RUSTY", "LITTLE", "TWISTED", "DOUBLE", "NARROW", "CRIMSON", "LAZY",
    "STORMY", "PAPER", "CLOCKWORK", "DUSTY", "LUCKY", "SECRET", "HUMMING", "FOGGY",
};
const char *const kNouns[] = {
    "CIRCUIT", "GARDEN", "TUNNEL", "LADDER", "PUZZLE", "HARBOUR", "ORCHARD", "MAZE", "CELLAR", "VALLEY", "SPIRAL",
    "CORRIDOR", "ENGINE", "LANTERN", "CANYON", "BRIDGE", "ARCHIVE", "BURROW", "MARKET", "SWITCH", "THICKET",
    "POCKET", "WORKSHOP", "DEPOT", "COURTYARD", "BASIN", "RIDGE",
};

std::string titleOf(int n, std::set<std::string> &used)
{
    constexpr int a = int(std::size(kAdjectives)), b = int(std::size(kNouns));
    for (int k = 0;; ++k) {
        const int i = (n * 7 + k * 3) % a, j = (n * 11 + k) % b;
        std::string title = std::string(kAdjectives[i]) + " " + kNouns[j];
        if (title.size() <= size_t(kTitleLength) && used.insert(title).second)
            return title;
    }
}

class Grid {
public:
    Grid() : mCells(size_t(kColumns * kRows), Base) {}
    uint8_t &at(int r, int c) { return mCells[size_t(r * kColumns + c)]; }
    bool inside(int r, int c) const { return r >= 1 && r < kRows - 1 && c >= 1 && c < kColumns - 1; }
    const std::vector<uint8_t> &cells() const { return mCells; }

private:
    std::vector<uint8_t> mCells;
};

// One level: tunnels dug through base, walls of hardware, chips, rocks, infotrons, ports, enemies,
// the hero at the top left and the exit at the bottom right. Later levels are fuller.
void generateLevel(Grid &g, int n)
{
    Noise rng(uint32_t(n) * 977u + 13u);
    const int difficulty = std::min(10, 1 + n / 11);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            g.at(r, c) = (r == 0 || c == 0 || r == kRows - 1 || c == kColumns - 1) ? Hard : Base;

    // Walls: horizontal and vertical runs of hardware with a gap or a port in each.
    const int walls = 3 + difficulty;
    for (int k = 0; k < walls; ++k) {
        const bool horizontal = rng.below(2) == 0;
        const int len = 6 + rng.below(14);
        const int r0 = 2 + rng.below(kRows - 4), c0 = 2 + rng.below(kColumns - 4);
        const uint8_t code = uint8_t(rng.below(3) == 0 ? HardFirst + rng.below(HardLast - HardFirst + 1) : Hard);
        const int gap = 1 + rng.below(std::max(1, len - 2));
        for (int t = 0; t < len; ++t) {
            const int r = horizontal ? r0 : r0 + t, c = horizontal ? c0 + t : c0;
            if (!g.inside(r, c))
                break;
            if (t == gap)
                g.at(r, c) = uint8_t(rng.below(2) ? Space
                                                   : horizontal ? (rng.below(2) ? PortDown : PortUp)
                                                                : (rng.below(2) ? PortRight : PortLeft));
            else
                g.at(r, c) = code;
        }
    }
    // Tunnels: random walks of empty squares.
    for (int k = 0; k < 4 + difficulty; ++k) {
        int r = 1 + rng.below(kRows - 2), c = 1 + rng.below(kColumns - 2);
        for (int step = 0; step < 30 + rng.below(40); ++step) {
            if (g.at(r, c) == Base)
                g.at(r, c) = Space;
            const int dir = rng.below(4);
            const int nr = r + (dir == 0 ? 1 : dir == 1 ? -1 : 0), nc = c + (dir == 2 ? 1 : dir == 3 ? -1 : 0);
            if (g.inside(nr, nc)) {
                r = nr;
                c = nc;
            }
        }
    }
    auto scatter = [&](uint8_t code, int count, bool onSpace) {
        for (int k = 0; k < count; ++k) {
            const int r = 1 + rng.below(kRows - 2), c = 1 + rng.below(kColumns - 2);
            const uint8_t here = g.at(r, c);
            if (here == Base || (onSpace && here == Space))
                g.at(r, c) = code;
        }
    };
    scatter(Infotron, 20 + difficulty * 4, true);
    scatter(Rock, 30 + difficulty * 6, false);
    scatter(Chip, 4 + difficulty, false);
    scatter(OrangeDisk, difficulty / 2, false);
    scatter(YellowDisk, difficulty / 3, false);
    scatter(RedDisk, 1 + difficulty / 2, false);
    scatter(Terminal, 1, false);
    // Chip pairs, side by side and one above the other.
    for (int k = 0; k < 2 + difficulty / 2; ++k) {
        const int r = 1 + rng.below(kRows - 3), c = 1 + rng.below(kColumns - 3);
        if (k % 2) {
            g.at(r, c) = ChipLeft;
            g.at(r, c + 1) = ChipRight;
        } else {
            g.at(r, c) = ChipTop;
            g.at(r + 1, c) = ChipBottom;
        }
    }
    // Enemies wait in the tunnels.
    int enemies = difficulty;
    for (int tries = 0; tries < 400 && enemies > 0; ++tries) {
        const int r = 1 + rng.below(kRows - 2), c = 1 + rng.below(kColumns - 2);
        if (g.at(r, c) == Space) {
            g.at(r, c) = (enemies % 2) ? Spinner : Spark;
            --enemies;
        }
    }
    // The hero at the top left, the exit at the bottom right, each with room around.
    const int hr = 1 + rng.below(3), hc = 1 + rng.below(6);
    const int er = kRows - 2 - rng.below(3), ec = kColumns - 2 - rng.below(6);
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            if (g.inside(hr + dr, hc + dc))
                g.at(hr + dr, hc + dc) = Space;
            if (g.inside(er + dr, ec + dc))
                g.at(er + dr, ec + dc) = Base;
        }
    g.at(hr, hc) = Hero;
    g.at(er, ec) = Exit;
}

} // namespace

Bytes supaplexSample()
{
    Bytes out(size_t(kSupaplexLevels) * kSupaplexRecordSize, 0);
    std::set<std::string> used;
    for (int n = 1; n <= kSupaplexLevels; ++n) {
        uint8_t *record = out.data() + size_t(n - 1) * kSupaplexRecordSize;
        Grid g;
        generateLevel(g, n);
        std::copy(g.cells().begin(), g.cells().end(), record);
        std::string title = titleOf(n, used);
        title.resize(kTitleLength, ' ');
        std::copy(title.begin(), title.end(), record + kTitleAt);
    }
    return out;
}

} // namespace qm::gamegen
