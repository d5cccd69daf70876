// The level checks on the generated files: the sample levels are clean, and a level imported from the
// generated Supaplex file gets exactly the findings its object codes call for.

#include "editor/levelgraphics.h"
#include "levels/levelcheck.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace qm;

const std::string kGameDir = std::string(QM_TEST_GAME_DIR) + "/";

using Found = std::vector<std::pair<std::string, CellPlace>>; // code and cell (0, 0 for none)

Found found(const std::vector<Finding> &findings)
{
    Found out;
    for (const Finding &f : findings)
        out.emplace_back(f.code, f.cell.value_or(CellPlace{0, 0}));
    return out;
}

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

// The import keeps the start at column 2, row 2 whatever lies there; exits never get their filler
// (no code converts to tile 11); strips are whole when both halves lie side by side (the computer
// theme's strips are two squares), and a second half alone is a part without its object; code 36
// becomes the first square of the 7 x 1 block, alone. Infotrons: the import asks for none.
TEST(SupaplexImportChecks, FindingsFollowTheObjectCodes)
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
        const int32_t start = supaplexCell(code(2, 2)).tile;
        if (start != 15 && start != 16)
            expected.push_back({"start-tile", {2, 2}});
        bool exit = false;
        Found cells;
        for (int r = 1; r <= 22; ++r)
            for (int c = 1; c <= 58; ++c) {
                if (code(r, c) == 7) {
                    exit = true;
                    if (r >= 21)
                        cells.push_back({"object-cut", {r, c}});
                    if (r <= 20 || (r == 21 && code(22, c) != 0))
                        cells.push_back({"object-broken", {r, c}});
                }
                if (code(r, c) == 26) {
                    if (c == 58)
                        cells.push_back({"object-cut", {r, c}});
                    else if (code(r, c + 1) != 27)
                        cells.push_back({"object-broken", {r, c}});
                }
                if (code(r, c) == 36) { // the 7 x 1 block's first square, alone
                    if (c + 6 > 58)
                        cells.push_back({"object-cut", {r, c}});
                    if (c < 58)
                        cells.push_back({"object-broken", {r, c}});
                }
                if (code(r, c) == 37) {
                    if (r == 22)
                        cells.push_back({"object-cut", {r, c}});
                    else if (code(r + 1, c) != 38)
                        cells.push_back({"object-broken", {r, c}});
                }
            }
        // Halves of strips without the first half.
        for (int r = 1; r <= 22; ++r)
            for (int c = 1; c <= 58; ++c)
                if ((code(r, c) == 27 && code(r, c - 1) != 26) || (code(r, c) == 38 && code(r - 1, c) != 37))
                    cells.push_back({"object-part", {r, c}});
        if (!exit)
            expected.push_back({"no-exit", {0, 0}});
        expected.insert(expected.end(), cells.begin(), cells.end());
        EXPECT_EQ(found(checkLevel(*level, &graphics)), expected);
    }
}
