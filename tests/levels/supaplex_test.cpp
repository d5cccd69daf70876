#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "platform/errors.h"

#include "tempdir.h"

#include <gtest/gtest.h>

using namespace qm;
using qmtest::TempDir;

namespace {

// A Supaplex file whose record n is filled with code (n % 40) and titled "Level n" padded to 23.
Bytes makeSupaplexFile()
{
    Bytes bytes(kSupaplexFileSize, 0);
    for (int n = 1; n <= kSupaplexLevels; ++n) {
        uint8_t *record = bytes.data() + size_t(n - 1) * kSupaplexRecord;
        std::fill(record, record + 1440, uint8_t(n % 40));
        std::string title = "Level " + std::to_string(n);
        title.resize(kSupaplexTitleLength, ' ');
        std::copy(title.begin(), title.end(), record + kSupaplexTitleAt);
    }
    return bytes;
}

SupaplexFile fileOf(Bytes bytes) { return SupaplexFile{std::move(bytes)}; }

} // namespace

TEST(SupaplexImport, TheListHasALineForEachOfThe111Levels)
{
    std::vector<std::string> lines = supaplexList(fileOf(makeSupaplexFile()));
    ASSERT_EQ(lines.size(), 111u);
    EXPECT_EQ(lines[0], "1 Level 1                ");
    EXPECT_EQ(lines[110], "111 Level 111              ");
}

TEST(SupaplexImport, TheGridIsTakenWithoutItsFrame)
{
    Bytes bytes = makeSupaplexFile();
    uint8_t *record = bytes.data(); // level 1
    std::fill(record, record + 1440, uint8_t(2)); // bases everywhere
    record[61] = 4;                               // row 1, column 1: an infotron
    record[60 * 22 + 58] = 7;                     // row 22, column 58: the exit
    record[0] = record[59] = record[60 * 23] = 1; // the frame is not imported
    tlevel level;
    level.cellAt(23, 1)->tile = 99;
    importSupaplexLevel(fileOf(bytes), 1, level);
    EXPECT_EQ(level.width, 58);
    EXPECT_EQ(level.height, 22);
    EXPECT_EQ(*level.cellAt(1, 1), (cell{12, 0, 100, 0}));
    EXPECT_EQ(*level.cellAt(22, 58), (cell{63, 0, 100, 0}));
    int bases = 0;
    for (int r = 1; r <= 22; ++r)
        for (int c = 1; c <= 58; ++c)
            bases += *level.cellAt(r, c) == kDefaultCell;
    EXPECT_EQ(bases, 1276 - 2);
    EXPECT_EQ(level.cellAt(23, 1)->tile, 99); // outside 58 x 22 nothing changes
}

TEST(SupaplexImport, CodesConvertThroughTheTable)
{
    for (uint8_t code = 9; code <= 16; ++code)
        EXPECT_EQ(supaplexCell(code), (cell{49 + (code - 9) % 4, 0, 102, 0})) << int(code);
    for (uint8_t code : {21, 22, 23, 39, 40, 200, 255})
        EXPECT_EQ(supaplexCell(code), kDefaultCell) << int(code);
    EXPECT_EQ(supaplexCell(0), (cell{15, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(26), (cell{29, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(27), (cell{29, 0, 100, 1}));
    EXPECT_EQ(supaplexCell(37), (cell{31, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(38), (cell{31, 0, 100, 1}));
    EXPECT_EQ(supaplexCell(36), (cell{36, 0, 100, 0}));
}

TEST(SupaplexImport, ShortFilesAndLevelsOutsideTheListAreRefused)
{
    TempDir dir;
    Bytes bytes = makeSupaplexFile();
    bytes.resize(kSupaplexRecord - 1); // not even one level
    qmtest::writeFile(dir.path("Levels.dat"), bytes);
    try {
        readSupaplexFile(dir.path("Levels.dat"));
        FAIL() << "a short file was read";
    } catch (const Error &e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
    tlevel level;
    for (int number : {0, 112, -1})
        EXPECT_THROW(importSupaplexLevel(fileOf(makeSupaplexFile()), number, level), Error);
    EXPECT_EQ(level.width, 40);
}

TEST(SupaplexImport, AnImportedLevelIsWrittenAs20462Bytes)
{
    TempDir dir;
    qmtest::writeFile(dir.path("Levels.dat"), makeSupaplexFile());
    SupaplexFile supaplex = readSupaplexFile(dir.path("Levels.dat"));
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    importSupaplexLevel(supaplex, 5, levels[1]);
    levelsfilepath = dir.path("one.lev");
    writelevelsfile();
    EXPECT_EQ(qmtest::readFile(levelsfilepath).size(), 4009u + 20462u);
}
