#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/startsquare.h"
#include "levels/supaplex.h"

#include "platform/errors.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <random>

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
    for (uint8_t code : {21, 22, 23, 25, 40, 200, 255})
        EXPECT_EQ(supaplexCell(code), kDefaultCell) << int(code);
    EXPECT_EQ(supaplexCell(0), (cell{15, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(26), (cell{29, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(27), (cell{29, 0, 100, 1}));
    // The vertical chip is 38 over 39, as real files hold it; 37 is the last hardware wall.
    EXPECT_EQ(supaplexCell(37), (cell{35, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(38), (cell{31, 0, 100, 0}));
    EXPECT_EQ(supaplexCell(39), (cell{31, 0, 100, 1}));
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
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + dir.path("Levels.dat")
                                             + " is 1,535 bytes: a Supaplex levels file holds records of 1,536 bytes");
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

namespace {

// One record: base everywhere inside, hardware on the frame, the given title and infotrons byte.
Bytes plainRecord(const std::string &title, uint8_t infotrons)
{
    Bytes record(kSupaplexRecord, 0);
    for (int r = 0; r < kSupaplexRows; ++r)
        for (int c = 0; c < kSupaplexColumns; ++c) {
            const bool frame = r == 0 || c == 0 || r == kSupaplexRows - 1 || c == kSupaplexColumns - 1;
            record[size_t(kSupaplexColumns * r + c)] = frame ? 6 : 2;
        }
    std::string padded = title;
    padded.resize(kSupaplexTitleLength, ' ');
    std::copy(padded.begin(), padded.end(), record.begin() + kSupaplexTitleAt);
    record[kSupaplexInfotronsAt] = infotrons;
    return record;
}

uint8_t &square(Bytes &record, int r, int c) { return record[size_t(kSupaplexColumns * r + c)]; }

} // namespace

// The hero at Supaplex row r, column c (from 0) becomes the start square (c, r): the square that its
// byte was converted into. Random squares over the whole imported grid, corners included.
TEST(SupaplexHero, TheHerosSquareIsTheSquareItWasConvertedTo)
{
    std::mt19937 random(29);
    std::vector<std::pair<int, int>> places{{1, 1}, {22, 58}, {1, 58}, {22, 1}};
    for (int k = 0; k < 40; ++k)
        places.emplace_back(1 + int(random() % 22), 1 + int(random() % 58));
    for (auto [r, c] : places) {
        Bytes record = plainRecord("HERO", 5);
        square(record, r, c) = kSupaplexHero;
        square(record, r, c == 1 ? 2 : c - 1) = 4; // an infotron beside it, to find the square again
        tlevel level;
        importSupaplexLevel(fileOf(record), 1, level, {true, false});
        ASSERT_EQ(level.startx, 40 * c + 20) << r << "," << c;
        ASSERT_EQ(level.starty, 40 * r + 20) << r << "," << c;
        const cell *start = level.cellAt(int(startSquareOf(level.starty)), int(startSquareOf(level.startx)));
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(*start, supaplexCell(kSupaplexHero)); // the hero's own square, not its neighbour
        EXPECT_EQ(level.name, "Untitled");             // the title only when asked for
    }
}

// Several heroes: the first in reading order; none, or only on the outer ring: the start stays; and
// the notes say so.
TEST(SupaplexHero, FirstHeroInReadingOrderCountsAndTheOthersAreNoted)
{
    Bytes record = plainRecord("TWO HEROES", 1);
    square(record, 9, 3) = kSupaplexHero;
    square(record, 4, 50) = kSupaplexHero; // earlier row: first in reading order
    square(record, 0, 7) = kSupaplexHero;  // on the frame, which has no square
    tlevel level;
    importSupaplexLevel(fileOf(record), 1, level, {true, true});
    EXPECT_EQ(level.startx, 40 * 50 + 20);
    EXPECT_EQ(level.starty, 40 * 4 + 20);
    const SupaplexRecord known = supaplexRecord(fileOf(record), 1);
    EXPECT_EQ(known.heroes, 2);
    EXPECT_EQ(known.heroesOnFrame, 1);
    EXPECT_EQ(supaplexHeroNotes(known),
              (std::vector<std::string>{"2 heroes; the first, at column 50, row 4, is the start square",
                                        "a hero on the outer ring, which is not imported, was left out"}));

    for (int frameColumn : {-1, 0, 59}) {
        Bytes none = plainRecord("NO HERO", 1);
        if (frameColumn >= 0)
            square(none, 5, frameColumn) = kSupaplexHero; // column 0 and 59 are not imported
        tlevel other;
        other.startx = 60;
        other.starty = 140;
        importSupaplexLevel(fileOf(none), 1, other, {true, true});
        EXPECT_EQ(other.startx, 60) << frameColumn;
        EXPECT_EQ(other.starty, 140) << frameColumn;
        const std::vector<std::string> notes = supaplexHeroNotes(supaplexRecord(fileOf(none), 1));
        EXPECT_EQ(notes.back(), "no hero; the start square is left as it is");
        EXPECT_EQ(notes.size(), frameColumn >= 0 ? 2u : 1u);
    }
}

// Infotrons needed: byte 1,470, and 0 there means every infotron of the imported squares (those on the
// frame do not count). Without the hero taken, the level keeps its 0.
TEST(SupaplexHero, InfotronsNeededComeFromTheRecordAndZeroMeansAllInfotrons)
{
    std::mt19937 random(1470);
    for (int k = 0; k < 20; ++k) {
        Bytes record = plainRecord("INFOTRONS", k % 2 ? uint8_t(1 + random() % 255) : 0);
        int held = 0;
        for (int i = 0; i < 60; ++i) {
            const int r = 1 + int(random() % 22), c = 1 + int(random() % 58);
            held += square(record, r, c) != 4;
            square(record, r, c) = 4;
        }
        square(record, 0, 3) = square(record, 23, 3) = square(record, 7, 0) = 4; // the frame
        tlevel level;
        importSupaplexLevel(fileOf(record), 1, level, {true, false});
        const int expected = record[kSupaplexInfotronsAt] ? record[kSupaplexInfotronsAt] : held;
        EXPECT_EQ(level.infotrons, expected);
        tlevel plain;
        importSupaplexLevel(fileOf(record), 1, plain);
        EXPECT_EQ(plain.infotrons, 0);
        EXPECT_EQ(plain.startx, kNewLevelStart);
    }
}

TEST(SupaplexTitle, OuterSpacesAndDashesAreCut)
{
    EXPECT_EQ(supaplexTitle("------- WARM UP -------"), "WARM UP");
    EXPECT_EQ(supaplexTitle("  A-B - C  "), "A-B - C");
    EXPECT_EQ(supaplexTitle("-----------------------"), "");
    EXPECT_EQ(supaplexTitle(std::string("\0NUL--", 6)), std::string("\0NUL", 4));

    tlevel level;
    importSupaplexLevel(fileOf(plainRecord("------- WARM UP -------", 0)), 1, level, {false, true});
    EXPECT_EQ(level.name, "WARM UP");
    EXPECT_EQ(level.startx, kNewLevelStart); // the title alone takes nothing else
    importSupaplexLevel(fileOf(plainRecord("- - -", 0)), 1, level, {false, true});
    EXPECT_EQ(level.name, "Untitled"); // nothing left of the title
}

// Files of one record, of a few records with a partial one after them, of more than 111 records and of
// less than one record.
TEST(SupaplexFiles, SingleRecordFilesAndOtherRecordCountsAreRead)
{
    TempDir dir;
    struct Case {
        size_t bytes;
        int records;
        uint64_t ignored;
        bool note;
    };
    for (const Case &c : {Case{kSupaplexRecord, 1, 0, false}, Case{3 * kSupaplexRecord + 100, 3, 100, true},
                          Case{kSupaplexFileSize, 111, 0, false},
                          Case{kSupaplexFileSize + 2 * kSupaplexRecord, 111, 3072, true},
                          Case{kSupaplexFileSize - 1, 110, kSupaplexRecord - 1, true}}) {
        Bytes bytes = makeSupaplexFile();
        bytes.resize(c.bytes, 7);
        qmtest::writeFile(dir.path("Levels.dat"), bytes);
        const SupaplexFile file = readSupaplexFile(dir.path("Levels.dat"));
        EXPECT_EQ(file.records(), c.records) << c.bytes;
        EXPECT_EQ(file.ignored, c.ignored) << c.bytes;
        EXPECT_EQ(supaplexIgnoredNote(file).empty(), !c.note) << c.bytes;
        const std::vector<std::string> lines = supaplexList(file);
        ASSERT_EQ(lines.size(), size_t(c.records));
        std::string title = "Level " + std::to_string(c.records);
        title.resize(kSupaplexTitleLength, ' ');
        EXPECT_EQ(lines.back(), std::to_string(c.records) + " " + title);
        tlevel level;
        importSupaplexLevel(file, c.records, level);
        EXPECT_EQ(*level.cellAt(5, 5), supaplexCell(uint8_t(c.records % 40)));
        EXPECT_THROW(importSupaplexLevel(file, c.records + 1, level), Error);
        // The same rule over bytes in memory.
        const SupaplexFile held = supaplexFileOf(bytes.data(), bytes.size());
        EXPECT_EQ(held.spbuffer, file.spbuffer);
        EXPECT_EQ(held.ignored, file.ignored);
    }
    EXPECT_EQ(supaplexIgnoredNote(SupaplexFile{Bytes(2 * kSupaplexRecord), 10}),
              "The last 10 bytes of the file are not a whole level of 1536 bytes and were ignored.");
    Bytes tooShort(kSupaplexRecord - 1, 0);
    EXPECT_THROW(supaplexFileOf(tooShort.data(), tooShort.size()), Error);
}

TEST(SupaplexFiles, SeveralLevelsPassingTwoHundredAreRefused)
{
    EXPECT_NO_THROW(requireRoomForImport(89, 111));
    EXPECT_NO_THROW(requireRoomForImport(0, 200));
    try {
        requireRoomForImport(90, 111);
        FAIL() << "201 levels";
    } catch (const Error &e) {
        EXPECT_EQ(e.className(), "ELevelStoreFull");
        EXPECT_STREQ(e.what(), "Importing 111 levels would make this levels file hold 201 levels; a levels file can "
                               "hold at most 200. Nothing was imported.");
    }
}
