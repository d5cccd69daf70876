// The level checks on the generated files: the sample levels are clean, a level imported from the
// generated Supaplex file gets exactly the notes its object codes call for, solvable levels made as
// designers make theirs and imported give no error and few lines, and the help's tile list agrees with
// the rules table.

#include "editor/core/levelgraphics.h"
#include "levels/gamerules.h"
#include "levels/levelcheck.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/palette.h"
#include "levels/supaplex.h"
#include "levels/tiles.h"

#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace qm;

const std::string kGameDir = std::string(QM_TEST_GAME_DIR) + "/";

using Found = std::vector<std::pair<std::string, CellPlace>>; // code and cell (0, 0 for none)

} // namespace

TEST(SampleLevelChecks, EveryLevelIsFreeOfFindings)
{
    initStore();
    resetstore();
    levelsfilepath = kGameDir + "Sample.lev";
    readlevelsfile();
    ASSERT_GE(levelsinfo.count, 5);
    for (int k = 1; k <= levelsinfo.count; ++k) {
        const LevelGraphics graphics = readLevelGraphics(kGameDir, levels[k].dxg);
        for (const Finding &f : checkLevel(levels[k], &graphics))
            ADD_FAILURE() << levels[k].name << ": " << f.code << ": " << f.message;
    }
}

// The import of the generated Supaplex file: exits, single long blocks and halves of chips standing
// alone are notes, never warnings, and every object code that can stand alone gives exactly one note.
TEST(SupaplexImportChecks, ObjectsAsImportedAreNotes)
{
    const SupaplexFile file = readSupaplexFile(kGameDir + "Levels.dat");
    const LevelGraphics graphics = readLevelGraphics(kGameDir, "computer.dxg");
    ASSERT_EQ(graphics.pictures.at(29).width, 80);
    auto level = std::make_unique<tlevel>();
    for (int n = 1; n <= kSupaplexLevels; ++n) {
        SCOPED_TRACE("Supaplex level " + std::to_string(n));
        importSupaplexLevel(file, n, *level);
        const uint8_t *record = file.spbuffer.data() + size_t(n - 1) * kSupaplexRecord;
        auto code = [&](int r, int c) { return record[kSupaplexColumns * r + c]; };
        Found expected;
        for (int r = 1; r <= 22; ++r)
            for (int c = 1; c <= 58; ++c) {
                if (code(r, c) == 7) // never with its filler: no code converts to tile 11
                    expected.push_back({"imported-exit", {r, c}});
                if (code(r, c) == 26 && (c == 58 || code(r, c + 1) != 27))
                    expected.push_back({"imported-chip-left", {r, c}});
                if (code(r, c) == 36)
                    expected.push_back({"imported-block", {r, c}});
                if (code(r, c) == 38 && (r == 22 || code(r + 1, c) != 39))
                    expected.push_back({"imported-chip-upper", {r, c}});
            }
        for (int r = 1; r <= 22; ++r)
            for (int c = 1; c <= 58; ++c) {
                if (code(r, c) == 27 && (c == 1 || code(r, c - 1) != 26))
                    expected.push_back({"imported-chip-right", {r, c}});
                if (code(r, c) == 39 && (r == 1 || code(r - 1, c) != 38))
                    expected.push_back({"imported-chip-lower", {r, c}});
            }
        Found notes;
        for (const Finding &f : checkLevel(*level, &graphics))
            if (f.severity == Severity::Note && f.code.rfind("imported-", 0) == 0)
                notes.emplace_back(f.code, f.cell.value_or(CellPlace{0, 0}));
        std::sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) {
            return std::tie(a.first, a.second.row, a.second.column) < std::tie(b.first, b.second.row, b.second.column);
        });
        std::sort(notes.begin(), notes.end(), [](const auto &a, const auto &b) {
            return std::tie(a.first, a.second.row, a.second.column) < std::tie(b.first, b.second.row, b.second.column);
        });
        EXPECT_EQ(notes, expected);
    }
}

namespace {

// A Supaplex record made as designers make theirs: rooms between walls of hardware (every hardware
// code), joined by gaps and by ports both ways (sometimes two in a row), the exit in a box of
// hardware entered through a port, sealed pockets of hardware with infotrons and boulders in them,
// sparks and spinners, chips of every kind (pairs, and halves alone as real files hold them),
// boulders, disks, terminals, the codes that become base. Needed: the infotrons outside the pockets
// and nine for each spark outside them, or fewer. Returns the hero's square and the count.
struct MadeLevel {
    std::vector<uint8_t> record = std::vector<uint8_t>(kSupaplexRecord, 0);
    int heroRow = 0, heroColumn = 0;
    int32_t needed = 0;
};

MadeLevel makeSupaplexLevel(std::mt19937 &random)
{
    MadeLevel made;
    auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    auto set = [&](int r, int c, uint8_t code) { made.record[size_t(kSupaplexColumns * r + c)] = code; };
    auto get = [&](int r, int c) { return made.record[size_t(kSupaplexColumns * r + c)]; };
    const uint8_t hardware[] = {6, 6, 6, 28, 29, 30, 31, 32, 33, 34, 35, 36};
    const uint8_t filling[] = {2, 2, 2, 2, 2, 2, 0, 0, 0, 1, 1, 4, 4, 5, 8, 18, 19, 20, 21, 22, 23, 25, 39, 40, 17, 24};
    for (int r = 0; r < kSupaplexRows; ++r)
        for (int c = 0; c < kSupaplexColumns; ++c) {
            const bool frame = r == 0 || r == kSupaplexRows - 1 || c == 0 || c == kSupaplexColumns - 1;
            set(r, c, frame ? 6 : filling[size_t(pick(0, std::size(filling) - 1))]);
        }
    // Chips: pairs side by side and one above the other, and halves alone.
    for (int k = pick(0, 12); k > 0; --k) {
        const int r = pick(2, 20), c = pick(2, 50);
        switch (pick(0, 3)) {
        case 0: set(r, c, 26), set(r, c + 1, 27); break;
        case 1: set(r, c, 37), set(r + 1, c, 38); break;
        case 2: set(r, c, 38); break;
        default: set(r, c, pick(0, 1) ? 37 : 27); break;
        }
    }
    // Walls of hardware down the level, each with a gap or a pair of ports (right and left).
    for (int wall = pick(8, 16); wall < 52; wall += pick(8, 16)) {
        for (int r = 1; r <= 22; ++r)
            set(r, wall, hardware[size_t(pick(0, std::size(hardware) - 1))]);
        if (pick(0, 2) == 0) {
            const int gap = pick(2, 21);
            for (int c = wall - 1; c <= wall + 1; ++c)
                set(gap, c, 2);
            continue;
        }
        const int there = pick(2, 10), back = pick(12, 21);
        const bool chain = pick(0, 3) == 0;
        set(there, wall, pick(0, 1) ? 9 : 13);
        set(back, wall, pick(0, 1) ? 11 : 15);
        if (chain) // two ports in a row, through a wall two squares thick
            for (int r : {there, back}) {
                for (int rr = 1; rr <= 22; ++rr)
                    if (rr != there && rr != back)
                        set(rr, wall + 1, 6);
                set(r, wall + 1, get(r, wall));
            }
        const int thick = chain ? 2 : 1;
        for (int r : {there, back}) {
            set(r, wall - 1, 0);
            set(r, wall + thick, 0);
        }
        wall += thick - 1;
    }
    // The exit in a box of hardware, entered from the left through a port.
    const int er = pick(3, 20), ec = pick(54, 57);
    for (int r = er - 1; r <= er + 1; ++r)
        for (int c = ec - 2; c <= std::min(ec + 1, 58); ++c)
            set(r, c, 6);
    set(er, ec, 7);
    set(er, ec - 1, 0);
    set(er, ec - 2, pick(0, 1) ? 9 : 13);
    for (int c = ec - 5; c <= ec - 3; ++c) // the way to the port, through a wall that stands there
        set(er, c, 0);
    // Sealed pockets, away from the walls and their ports and from the hero's columns.
    for (int k = pick(0, 3); k > 0; --k) {
        const int r = pick(2, 19), c = pick(5, 50);
        bool clear = true;
        for (int i = -1; i <= 4; ++i)
            for (int j = -1; j <= 4; ++j) {
                const uint8_t code = get(r + i, c + j);
                clear = clear && !(code == 3 || code == 6 || code == 7 || (code >= 9 && code <= 16) || (code >= 28 && code <= 36));
            }
        if (!clear)
            continue;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                set(r + i, c + j, (i == 0 || i == 3 || j == 0 || j == 3) ? 6 : (pick(0, 1) ? 4 : 24));
    }
    made.heroRow = pick(2, 21);
    made.heroColumn = 2;
    set(made.heroRow, made.heroColumn, 3);
    set(made.heroRow, made.heroColumn + 1, 0);
    return made;
}

} // namespace

// Levels made as designers make them, converted by the import, given their hero's square and their
// count: no error, no warning but a hero killed where he starts, and at most two lines each in lev
// check's folded output.
TEST(SupaplexImportChecks, SolvableImportedLevelsHaveNoErrorAndFewLines)
{
    const LevelGraphics graphics = readLevelGraphics(kGameDir, "computer.dxg");
    std::mt19937 random(20240611);
    auto level = std::make_unique<tlevel>();
    int64_t obstructed = 0;
    for (int n = 1; n <= 300; ++n) {
        SCOPED_TRACE("made level " + std::to_string(n));
        MadeLevel made = makeSupaplexLevel(random);
        SupaplexFile file{Bytes(kSupaplexFileSize, 0)};
        std::copy(made.record.begin(), made.record.end(), file.spbuffer.begin());
        initNewLevel(*level);
        importSupaplexLevel(file, 1, *level);
        level->startx = made.heroColumn * kSquare + 20;
        level->starty = made.heroRow * kSquare + 20;
        // Needed: what the hero's open space holds, found by the import's own cells: the squares that
        // are not hardware joined side by side, ports passed both ways (every wall has both).
        std::vector<bool> seen(size_t(kGridSize) * kGridSize);
        std::vector<std::pair<int, int>> queue{{made.heroRow, made.heroColumn}};
        seen[size_t(made.heroRow) * kGridSize + size_t(made.heroColumn)] = true;
        int64_t available = 0;
        auto hard = [&](int r, int c) {
            const uint8_t code = made.record[size_t(kSupaplexColumns * r + c)];
            return code == 6 || (code >= 28 && code <= 36);
        };
        for (size_t head = 0; head < queue.size(); ++head) {
            const auto [r, c] = queue[head];
            const uint8_t code = made.record[size_t(kSupaplexColumns * r + c)];
            available += code == 4 ? 1 : code == 24 ? 9 : 0;
            for (auto [dr, dc] : {std::pair{0, 1}, {1, 0}, {0, -1}, {-1, 0}}) {
                const int nr = r + dr, nc = c + dc;
                if (nr < 1 || nr > 22 || nc < 1 || nc > 58 || hard(nr, nc) || seen[size_t(nr) * kGridSize + size_t(nc)])
                    continue;
                seen[size_t(nr) * kGridSize + size_t(nc)] = true;
                queue.push_back({nr, nc});
            }
        }
        level->infotrons = int32_t(std::max<int64_t>(1, available - std::uniform_int_distribution<int64_t>(0, available / 4)(random)));
        const std::vector<Finding> findings = checkLevel(*level, &graphics);
        int64_t lines = foldNotes(findings).empty() ? 0 : 1;
        for (const Finding &f : findings) {
            EXPECT_NE(f.severity, Severity::Error) << f.code << ": " << f.message;
            // Objects placed at random may fall on the hero or come at him before he moves.
            if (f.severity == Severity::Warning) {
                EXPECT_EQ(f.code, "hero-killed") << f.message;
            }
            lines += f.severity != Severity::Note;
            obstructed += f.code == "reach-obstructed";
        }
        EXPECT_LE(lines, 2);
    }
    EXPECT_GT(obstructed, 0); // the boulders and chips in the way are seen, as a note
}

// The help's tile list says for every palette tile how the game treats it, in the rules table's own
// words: the checks and the help cannot drift apart.
TEST(HelpTileList, AgreesWithTheRulesTable)
{
    const Bytes help = readWholeFile(kGameDir + "Editor.hlp", 1 << 24);
    const std::string text(help.begin(), help.end());
    const size_t list = text.find("<th>How the game treats it</th>");
    ASSERT_NE(list, std::string::npos);
    size_t at = list;
    for (int32_t tile = kFirstPaletteTile; tile <= kLastPaletteTile; ++tile) {
        const std::string row = "<tr><td>" + std::to_string(tile) + "</td>";
        at = text.find(row, at);
        ASSERT_NE(at, std::string::npos) << tile;
        const size_t end = text.find("</tr>", at);
        const size_t last = text.rfind("<td>", end) + 4;
        EXPECT_EQ(text.substr(last, text.rfind("</td>", end) - last), tileRules(tile)->how) << tile;
    }
}
