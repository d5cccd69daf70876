#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "platform/bytes.h"
#include "platform/errors.h"

#include "messageof.h"
#include "plainuser.h"
#include "tempdir.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace qm;
using qmtest::messageOf;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

namespace {

int32_t intAt(const std::vector<uint8_t> &bytes, size_t pos) { return int32_t(loadLe32(bytes.data() + pos)); }

// Builds levels files by hand, to make files the editor itself would never write.
struct FileBuilder {
    std::vector<uint8_t> bytes;
    void putInt(int32_t v) { appendLe32(bytes, uint32_t(v)); }
    void putText(const std::string &s)
    {
        bytes.push_back(static_cast<uint8_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void setInt(size_t pos, int32_t v) { std::memcpy(bytes.data() + pos, &v, 4); }
    // A header with all offsets 0; returns the position of the offsets table.
    size_t header(const std::string &author, int32_t count)
    {
        putInt(0);
        putText(author);
        putInt(count);
        size_t table = bytes.size();
        for (int i = 0; i < kOffsetCount; ++i)
            putInt(0);
        return table;
    }
    // A level whose cell (r, c) has tile r * 1000 + c + seed.
    void level(const std::string &name, int32_t w, int32_t h, int32_t seed)
    {
        putText("forest.dxg");
        putText(name);
        for (int32_t v : {60, 100, 7, w, h})
            putInt(v);
        for (int r = 1; r <= h; ++r)
            for (int c = 1; c <= w; ++c)
                for (int32_t v : {r * 1000 + c + seed, 0, 100, 0})
                    putInt(v);
        putInt(seed);
    }
};

class LevelsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        initStore();
        resetstore();
    }
    void TearDown() override { iofault::reset(); }

    // n default levels under the given author, as the new-file command makes them.
    static void newStore(const std::string &author, int n)
    {
        levelsinfo = Tlevels{};
        levelsinfo.author = author;
        resetstore();
        curlevel = 1;
        for (int i = 0; i < n; ++i)
            addlevel();
    }

    // A store with levels of different sizes, texts and cell values.
    static void variedStore()
    {
        newStore("An author", 4);
        std::mt19937 random(7);
        int sizes[4][2] = {{40, 40}, {6, 70}, {100, 100}, {0, 0}};
        for (int k = 1; k <= 4; ++k) {
            tlevel &level = levels[k];
            level.name = "Level " + std::string(static_cast<size_t>(k), '*');
            level.dxg = k % 2 ? "kitchen.dxg" : "underground.dxg";
            level.width = sizes[k - 1][0];
            level.height = sizes[k - 1][1];
            level.startx = 20 + 40 * k;
            level.reserved = -k;
            level.infotrons = 10 * k;
            for (int r = 1; r <= kGridSize; ++r)
                for (int c = 1; c <= kGridSize; ++c)
                    *level.cellAt(r, c) = cell{static_cast<int32_t>(random() % 69),
                                               static_cast<int32_t>(random() % 3),
                                               100 + static_cast<int32_t>(random() % 3),
                                               static_cast<int32_t>(random() % 9)};
        }
        levelsinfo.reserved = 12345;
    }

    TempDir dir;
};

} // namespace

TEST_F(LevelsFile, WorkedSizesHold)
{
    newStore("abc", 2);
    levelsfilepath = dir.path("two.lev");
    saved = false;
    writelevelsfile();
    std::vector<uint8_t> bytes = readFile(levelsfilepath);
    EXPECT_EQ(bytes.size(), 4012u + 2 * 25646u);
    EXPECT_EQ(intAt(bytes, 8), 2);        // count after "abc"
    EXPECT_EQ(intAt(bytes, 12), 4012);    // offset of level 1
    EXPECT_EQ(intAt(bytes, 16), 29658);   // offset of level 2
    EXPECT_EQ(intAt(bytes, 20), 0);       // unused entries stay 0
    EXPECT_EQ(levelsinfo.offsets[1], 29658);
    EXPECT_TRUE(saved);
}

TEST_F(LevelsFile, AStoreWithoutLevelsWritesTheHeaderOnly)
{
    for (const std::string &author : {std::string(), std::string("abc"), std::string(255, 'a')}) {
        newStore(author, 0);
        levelsfilepath = dir.path("empty.lev");
        writelevelsfile();
        std::vector<uint8_t> bytes = readFile(levelsfilepath);
        ASSERT_EQ(bytes.size(), 4009 + author.size());
        EXPECT_EQ(intAt(bytes, 5 + author.size()), 0);
        EXPECT_EQ(intAt(bytes, 9 + author.size()), static_cast<int32_t>(4009 + author.size()));

        levels[1].name = "untouched";
        readlevelsfile();
        EXPECT_EQ(levelsinfo.count, 0);
        EXPECT_EQ(levels[1].name, "untouched");
    }
}

TEST_F(LevelsFile, WriteReadWriteIsByteIdentical)
{
    variedStore();
    levelsfilepath = dir.path("a.lev");
    writelevelsfile();
    std::vector<uint8_t> first = readFile(levelsfilepath);
    std::array<int32_t, kOffsetCount> offsets{};
    EXPECT_EQ(levelsFileBytes(offsets), first) << "the bytes in memory (recovery copies) are the file's";
    writelevelsfile();
    EXPECT_EQ(readFile(levelsfilepath), first) << "writing the same store twice";

    for (int k = 1; k <= 4; ++k) // what lies outside each level must not matter
        for (auto &row : levels[k].cells)
            for (cell &c : row)
                c = cell{-1, -1, -1, -1};
    readlevelsfile();
    EXPECT_EQ(levelsinfo.count, 4);
    EXPECT_EQ(levelsinfo.reserved, 12345);
    EXPECT_EQ(levels[2].width, 6);
    EXPECT_EQ(levels[2].height, 70);
    EXPECT_EQ(levels[3].reserved, -3);
    EXPECT_EQ(levels[4].infotrons, 40);
    EXPECT_EQ(levels[1].cellAt(41, 1)->tile, -1); // outside the 40 x 40 level: left as it was
    levelsfilepath = dir.path("b.lev");
    writelevelsfile();
    EXPECT_EQ(readFile(levelsfilepath), first);
}

TEST_F(LevelsFile, CellsAreWrittenRowByRow)
{
    newStore("", 1);
    levels[1].width = 70;
    levels[1].height = 70;
    levels[1].cellAt(1, 2)->tile = 12;
    levels[1].cellAt(2, 1)->tile = 20;
    levels[1].cellAt(70, 70)->pattern = 3;
    levelsfilepath = dir.path("big.lev");
    writelevelsfile();
    std::vector<uint8_t> bytes = readFile(levelsfilepath);
    const size_t cells = 4009 + 1 + 12 + 1 + 8 + 20;
    EXPECT_EQ(bytes.size(), cells + 78400 + 4);
    EXPECT_EQ(intAt(bytes, cells + 16), 12);          // row 1, column 2
    EXPECT_EQ(intAt(bytes, cells + 70 * 16), 20);     // row 2, column 1
    EXPECT_EQ(intAt(bytes, cells + 78400 - 4), 3);    // row 70, column 70, its pattern
}

TEST_F(LevelsFile, LongTextsAreCutTo255AndTheOffsetsStayRight)
{
    newStore(std::string(300, 'a'), 3);
    levels[1].name = std::string(300, 'n');
    levels[2].dxg = std::string(300, 'd');
    levels[3].name = "third";
    levelsfilepath = dir.path("long.lev");
    writelevelsfile();
    std::vector<uint8_t> bytes = readFile(levelsfilepath);
    EXPECT_EQ(bytes[4], 255);
    EXPECT_EQ(intAt(bytes, 9 + 255), 4009 + 255);
    EXPECT_EQ(intAt(bytes, 9 + 255 + 4), 4009 + 255 + 25646 - 8 + 255);
    EXPECT_EQ(bytes.size(), 4009 + 255 + 3 * 25646 + (255 - 8) + (255 - 12) - 3);

    readlevelsfile();
    EXPECT_EQ(levelsinfo.author, std::string(255, 'a'));
    EXPECT_EQ(levels[1].name, std::string(255, 'n'));
    EXPECT_EQ(levels[2].dxg, std::string(255, 'd'));
    EXPECT_EQ(levels[3].name, "third");
    EXPECT_EQ(levels[3].width, 40);
}

TEST_F(LevelsFile, LevelsAreFoundThroughTheirOffsetsWhereverTheyLie)
{
    FileBuilder file;
    size_t table = file.header("me", 3);
    file.bytes.resize(file.bytes.size() + 17, 0xEE); // a gap
    size_t third = file.bytes.size();
    file.level("third", 8, 6, 3);
    size_t first = file.bytes.size();
    file.level("first", 10, 4, 1);
    file.bytes.resize(file.bytes.size() + 5, 0xEE);
    size_t second = file.bytes.size();
    file.level("second", 6, 6, 2);
    file.setInt(table, static_cast<int32_t>(first));
    file.setInt(table + 4, static_cast<int32_t>(second));
    file.setInt(table + 8, static_cast<int32_t>(third));
    file.setInt(table + 12, 999999); // entries above the count are not used
    levelsfilepath = dir.path("scattered.lev");
    writeFile(levelsfilepath, file.bytes);

    readlevelsfile();
    ASSERT_EQ(levelsinfo.count, 3);
    EXPECT_EQ(levels[1].name, "first");
    EXPECT_EQ(levels[2].name, "second");
    EXPECT_EQ(levels[3].name, "third");
    EXPECT_EQ(levels[3].cellAt(6, 8)->tile, 6 * 1000 + 8 + 3);
    EXPECT_EQ(levels[1].infotrons, 1);

    // One normalising write; from then on the file stays the same through read and write.
    levelsfilepath = dir.path("normal.lev");
    writelevelsfile();
    std::vector<uint8_t> normal = readFile(levelsfilepath);
    EXPECT_EQ(intAt(normal, 4 + 1 + 2 + 4), 4011);
    EXPECT_EQ(intAt(normal, 4 + 1 + 2 + 4 + 12), 999999);
    readlevelsfile();
    writelevelsfile();
    EXPECT_EQ(readFile(levelsfilepath), normal);
}

// Every cut of a valid file is refused, with the store left exactly as it was.
TEST_F(LevelsFile, TruncatedFilesAreRefusedAndChangeNothing)
{
    FileBuilder file;
    size_t table = file.header("ab", 2);
    file.setInt(table, static_cast<int32_t>(file.bytes.size()));
    file.level("one", 3, 2, 1);
    file.setInt(table + 4, static_cast<int32_t>(file.bytes.size()));
    file.level("two", 2, 2, 2);
    levelsfilepath = dir.path("cut.lev");

    newStore("before", 1);
    levels[1].name = "kept";
    resetstore();
    levelsfilepath = dir.path("cut.lev");
    for (size_t size = 0; size < file.bytes.size(); ++size) {
        writeFile(levelsfilepath, std::vector<uint8_t>(file.bytes.begin(), file.bytes.begin() + size));
        ASSERT_EQ(messageOf(readlevelsfile), "Read beyond end of file") << "cut at " << size;
        ASSERT_EQ(levelsinfo.author, "before");
        ASSERT_EQ(levelsinfo.count, 1);
        ASSERT_EQ(levels[1].name, "kept");
    }
    writeFile(levelsfilepath, file.bytes);
    EXPECT_EQ(messageOf(readlevelsfile), "(no error)");
    EXPECT_EQ(levels[2].name, "two");
}

struct BadField {
    const char *name;
    std::function<void(FileBuilder &, size_t table, size_t level)> damage;
    const char *message;
};

void PrintTo(const BadField &field, std::ostream *out) { *out << field.name; }

class LevelsFileRefusal : public ::testing::TestWithParam<BadField> {};

TEST_P(LevelsFileRefusal, NamesWhatIsWrongAndChangesNothing)
{
    TempDir dir;
    FileBuilder file;
    size_t table = file.header("x", 1);
    size_t level = file.bytes.size();
    file.setInt(table, static_cast<int32_t>(level));
    file.level("one", 4, 4, 1);
    GetParam().damage(file, table, level);
    writeFile(dir.path("bad.lev"), file.bytes);

    initStore();
    levelsinfo.author = "before";
    resetstore();
    levelsfilepath = dir.path("bad.lev");
    EXPECT_EQ(messageOf(readlevelsfile), GetParam().message);
    EXPECT_EQ(levelsinfo.author, "before");
    EXPECT_EQ(levelsinfo.count, 0);
}

// Positions inside a level record: dxg "forest.dxg" (11 bytes), name "one" (4), then the numbers.
constexpr size_t kWidthAt = 11 + 4 + 12;
constexpr size_t kHeightAt = kWidthAt + 4;

INSTANTIATE_TEST_SUITE_P(
    AbsurdFields, LevelsFileRefusal,
    ::testing::Values(
        BadField{"CountAbove200", [](FileBuilder &f, size_t table, size_t) { f.setInt(table - 4, 201); },
                 "The file declares 201 levels; a levels file holds 0 to 200 levels."},
        BadField{"HugeCount", [](FileBuilder &f, size_t table, size_t) { f.setInt(table - 4, 0x7fffffff); },
                 "The file declares 2147483647 levels; a levels file holds 0 to 200 levels."},
        BadField{"NegativeCount", [](FileBuilder &f, size_t table, size_t) { f.setInt(table - 4, -1); },
                 "The file declares -1 levels; a levels file holds 0 to 200 levels."},
        BadField{"WidthAbove100", [](FileBuilder &f, size_t, size_t l) { f.setInt(l + kWidthAt, 101); },
                 "Level 1 is 101 x 4 squares; a level can be at most 100 x 100."},
        BadField{"NegativeHeight", [](FileBuilder &f, size_t, size_t l) { f.setInt(l + kHeightAt, -2); },
                 "Level 1 is 4 x -2 squares; a level can be at most 100 x 100."},
        BadField{"HugeSize",
                 [](FileBuilder &f, size_t, size_t l) {
                     f.setInt(l + kWidthAt, 0x40000000);
                     f.setInt(l + kHeightAt, 0x40000000);
                 },
                 "Level 1 is 1073741824 x 1073741824 squares; a level can be at most 100 x 100."},
        BadField{"NegativeOffset", [](FileBuilder &f, size_t table, size_t) { f.setInt(table, -20); },
                 "Level 1 has an invalid position in the file (-20)."},
        BadField{"OffsetPastTheEnd", [](FileBuilder &f, size_t table, size_t) { f.setInt(table, 1 << 30); },
                 "Read beyond end of file"},
        BadField{"SizeLargerThanTheData", [](FileBuilder &f, size_t, size_t l) { f.setInt(l + kWidthAt, 5); },
                 "Read beyond end of file"}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST_F(LevelsFile, AMissingFileIsFileNotFoundAndChangesNothing)
{
    newStore("kept", 2);
    levelsfilepath = dir.path("missing.lev");
    EXPECT_EQ(messageOf(readlevelsfile), "File not found");
    EXPECT_EQ(levelsinfo.count, 2);
    EXPECT_EQ(levelsinfo.author, "kept");
}

TEST_F(LevelsFile, AFailedSaveKeepsThePreviousFileAndTheUnsavedState)
{
    newStore("first", 1);
    levelsfilepath = dir.path("work.lev");
    writelevelsfile();
    std::vector<uint8_t> before = readFile(levelsfilepath);
    auto offsetsBefore = levelsinfo.offsets;

    addlevel();
    levels[2].name = "new work";
    for (iofault::Op op : {iofault::Op::Open, iofault::Op::Write, iofault::Op::Sync, iofault::Op::Close,
                           iofault::Op::Rename}) {
        saved = false;
        iofault::inject(op, 1, op == iofault::Op::Write ? ENOSPC : EIO);
        std::string message = messageOf(writelevelsfile);
        EXPECT_EQ(message, op == iofault::Op::Write ? "Disk full" : "I/O error 5");
        EXPECT_FALSE(saved);
        EXPECT_EQ(readFile(levelsfilepath), before);
        EXPECT_EQ(levelsinfo.offsets, offsetsBefore);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"work.lev"});
        iofault::reset();
    }
    writelevelsfile();
    EXPECT_TRUE(saved);
    EXPECT_EQ(readFile(levelsfilepath).size(), before.size() + 25646);
}

// Full-size levels enough for a file that is read in windows, not whole.
constexpr int kWindowedLevels = int(kLevelsFileWindowBytes / (sizeof(cell) * kGridSize * kGridSize)) + 1;

// The store is only begun once the whole file is checked. A file replaced after the check is refused
// before the store is touched; a read that fails after the store was begun leaves no level of the
// file in it, only its header.
TEST_F(LevelsFile, AReadThatFailsAfterTheCheckLeavesNoHalfReadLevels)
{
    newStore("on disk", kWindowedLevels);
    for (int k = 1; k <= kWindowedLevels; ++k)
        levels[k].width = levels[k].height = kGridSize;
    levelsfilepath = dir.path("disk.lev");
    writelevelsfile();
    const std::vector<uint8_t> disk = readFile(levelsfilepath);
    ASSERT_GT(disk.size(), kLevelsFileWindowBytes) << "a file read in windows, not whole";

    const std::string path = levelsfilepath;
    newStore("held", 3);
    levels[1].name = "held level";
    levelsfilepath = path;
    CheckedLevelsFile replaced(levelsfilepath);
    writeFile(levelsfilepath, std::vector<uint8_t>(disk.begin(), disk.end() - 1000));
    EXPECT_EQ(messageOf([&] { replaced.store(); }), "The file changed while it was read; open it again.");
    EXPECT_EQ(levelsinfo.author, "held");
    EXPECT_EQ(levels[1].name, "held level");
    writeFile(levelsfilepath, disk);

    // The check opens, reads the header and each level's first bytes, and closes; the cells are read
    // after the file is opened again, window by window.
    using iofault::Op;
    const int firstWindow = kWindowedLevels + 2;
    for (auto [op, nth, begun] : {std::tuple{Op::Read, 3, false}, std::tuple{Op::Close, 1, false},
                                  std::tuple{Op::Open, 2, false}, std::tuple{Op::Read, firstWindow, true},
                                  std::tuple{Op::Read, firstWindow + 1, true}, std::tuple{Op::Close, 2, true}}) {
        newStore("held", 3);
        levelsfilepath = path;
        iofault::inject(op, nth, EIO);
        EXPECT_EQ(messageOf(readlevelsfile), "I/O error 5");
        iofault::reset();
        EXPECT_EQ(levelsinfo.author, begun ? "on disk" : "held");
        EXPECT_EQ(levelsinfo.count, begun ? 0 : 3);
    }
    readlevelsfile();
    EXPECT_EQ(levelsinfo.count, kWindowedLevels);
}

// A file read in windows is opened again for its cells: one the user may no longer read by then is
// refused before the store is touched.
TEST_F(LevelsFile, AFileThatCannotBeOpenedAgainForItsCellsChangesNothing)
{
    if (!qmtest::runsAsPlainUser())
        return;
    newStore("on disk", kWindowedLevels);
    for (int k = 1; k <= kWindowedLevels; ++k)
        levels[k].width = levels[k].height = kGridSize;
    levelsfilepath = dir.path("disk.lev");
    writelevelsfile();
    ASSERT_GT(readFile(levelsfilepath).size(), kLevelsFileWindowBytes);

    const std::string path = levelsfilepath;
    newStore("held", 3);
    CheckedLevelsFile checked(path);
    ::chmod(path.c_str(), 0);
    EXPECT_EQ(messageOf([&] { checked.store(); }), "File access denied");
    EXPECT_EQ(levelsinfo.author, "held");
    EXPECT_EQ(levelsinfo.count, 3);
}

// A file read in windows finds each level where its offset says, as the same bytes read whole do:
// records out of order, one record named by several levels, records that cross a window's end (level
// 2 ends right at, or a few bytes past, the end of the window that begins with level 1's cells).
TEST_F(LevelsFile, AFileReadInWindowsFindsScatteredLevelsAsTheSameBytesReadWhole)
{
    std::mt19937 random(41);
    // Records of "forest.dxg" and "record N": 26 + 10 + 8 bytes and the cells.
    auto recordBytes = [](int32_t width, int32_t height) { return 44 + sizeof(cell) * size_t(width * height); };
    for (size_t beyond : {size_t(0), size_t(1), size_t(2 + random() % 15)}) {
        FileBuilder file;
        const int count = 20 + int(random() % 40);
        const size_t table = file.header("scattered", count);
        std::vector<size_t> records;
        auto addRecord = [&](size_t gap, int32_t width, int32_t height) {
            file.bytes.resize(file.bytes.size() + gap, 0xEE);
            records.push_back(file.bytes.size());
            // No byte of the infotrons is 0, so that every byte of a level's end is checked.
            file.level("record " + std::to_string(records.size() % 10), width, height,
                       0x11110100 + int32_t(records.size()));
        };
        auto addRandomRecord = [&] {
            addRecord(random() % 2000, 1 + int32_t(random() % kGridSize), 1 + int32_t(random() % kGridSize));
        };
        addRandomRecord();
        const size_t windowEnd = records[0] + 40 + kLevelsFileWindowBytes;
        while (file.bytes.size() + 2000 + 2 * recordBytes(kGridSize, kGridSize) < windowEnd)
            addRandomRecord();
        const int32_t side = 1 + int32_t(random() % kGridSize);
        addRecord(windowEnd + beyond - recordBytes(side, side) - file.bytes.size(), side, side);
        const size_t crossing = records.back();
        while (file.bytes.size() <= 2 * kLevelsFileWindowBytes)
            addRandomRecord();
        for (size_t k = 0; k < size_t(count); ++k)
            file.setInt(table + 4 * k,
                        int32_t(k == 0 ? records[0] : k == 1 ? crossing : records[random() % records.size()]));
        const std::string path = dir.path("scattered.lev");
        writeFile(path, file.bytes);

        storeLevelsFile(loadLevelsFile(path));
        std::vector<tlevel> whole;
        for (int k = 1; k <= count; ++k)
            whole.push_back(levels[k]);
        newStore("held", 0);
        levelsfilepath = path;
        readlevelsfile();
        ASSERT_EQ(levelsinfo.count, count);
        for (int k = 1; k <= count; ++k) {
            const tlevel &expected = whole[size_t(k - 1)];
            const tlevel &level = levels[k];
            ASSERT_EQ(level.name, expected.name) << "level " << k;
            ASSERT_EQ(level.width, expected.width);
            ASSERT_EQ(level.height, expected.height);
            EXPECT_EQ(level.infotrons, expected.infotrons);
            for (int row = 0; row < level.height; ++row)
                ASSERT_TRUE(std::equal(level.cells[row], level.cells[row] + level.width, expected.cells[row]))
                    << "level " << k << " row " << row + 1;
        }
    }
}
