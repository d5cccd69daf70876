#include "levels/gamerules.h"
#include "levels/levelcheck.h"
#include "levels/levelstore.h"
#include "levels/painting.h"
#include "levels/startsquare.h"
#include "levels/supaplex.h"
#include "levels/supaplexexport.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>

using namespace qm;

namespace {

using Record = SupaplexRecordBytes;

Record recordAt(const Bytes &bytes, size_t at)
{
    Record record{};
    std::copy(bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + kSupaplexRecordBytes), record.begin());
    return record;
}

std::unique_ptr<tlevel> wholeLevelOf(const Record &record)
{
    auto level = std::make_unique<tlevel>();
    importSupaplexRecordWhole(record.data(), *level);
    return level;
}

// Where the first byte differs, for a readable failure.
std::string firstDifference(const Record &a, const Record &b)
{
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k] != b[k])
            return "byte " + std::to_string(k) + ": " + std::to_string(a[k]) + " became " + std::to_string(b[k]);
    return "";
}

// A record of base inside a hardware ring, the hero at (row 1, column 1).
Record plainRecord()
{
    Record record = emptySupaplexRecord();
    for (size_t k = 0; k < 1440; ++k)
        if (record[k] == 0)
            record[k] = 2;
    record[61] = kSupaplexHero;
    return record;
}

std::string errorOf(const tlevel &level)
{
    try {
        supaplexRecordOf(level, 7);
    } catch (const Error &e) {
        return e.what();
    }
    return "";
}

} // namespace

// Real levels (the recorded solutions' records) and every record of our generated levels file come back
// byte for byte after a whole import.
TEST(SupaplexWhole, RealAndGeneratedRecordsComeBackByteForByte)
{
    const std::filesystem::path solutions = std::filesystem::path(QM_SHARED_GAME_DIR) / "solutions" / "00";
    ASSERT_TRUE(std::filesystem::is_directory(solutions)) << solutions;
    int checked = 0;
    for (const auto &entry : std::filesystem::directory_iterator(solutions)) {
        if (entry.path().extension() != ".sp")
            continue;
        const Bytes bytes = readWholeFile(entry.path().string(), 1 << 20);
        ASSERT_GE(bytes.size(), kSupaplexRecordBytes) << entry.path();
        const Record record = recordAt(bytes, 0);
        EXPECT_EQ(firstDifference(record, supaplexRecordOf(*wholeLevelOf(record), 1)), "") << entry.path();
        ++checked;
    }
    EXPECT_GT(checked, 300);
    const Bytes generated = readWholeFile(QM_GAME_DIR "/Levels.dat", 1 << 20);
    ASSERT_EQ(generated.size(), kSupaplexFileSize);
    for (int n = 0; n < kSupaplexLevels; ++n) {
        const Record record = recordAt(generated, size_t(n) * kSupaplexRecordBytes);
        EXPECT_EQ(firstDifference(record, supaplexRecordOf(*wholeLevelOf(record), n + 1)), "") << "level " << n + 1;
    }
}

// Any record with at most 10 special ports: whatever its codes, header and title bytes hold.
TEST(SupaplexWhole, RandomRecordsComeBackByteForByte)
{
    std::mt19937 random(35);
    for (int round = 0; round < 300; ++round) {
        Record record{};
        for (uint8_t &byte : record)
            byte = uint8_t(random() % (round % 3 == 0 ? 42 : 256));
        int special = 0;
        for (size_t k = 0; k < 1440; ++k)
            if (record[k] >= 13 && record[k] <= 16 && ++special > 10)
                record[k] = 0;
        EXPECT_EQ(firstDifference(record, supaplexRecordOf(*wholeLevelOf(record), 1)), "") << "round " << round;
    }
}

TEST(SupaplexWhole, EveryCodeBecomesItsOwnTileAndTheRecordsFieldsTheLevels)
{
    for (int code = 0; code < 256; ++code) {
        const TileRules *rules = tileRules(tileOfGameCode(uint8_t(code)));
        ASSERT_NE(rules, nullptr) << code;
        EXPECT_TRUE(tileStandsFor(*rules, uint8_t(code))) << code;
    }
    EXPECT_EQ(tileOfGameCode(18), kTileYellowDisk);
    EXPECT_EQ(tileOfGameCode(25), kTileBug);
    EXPECT_EQ(tileOfGameCode(21), kTilePortUpDown);
    EXPECT_EQ(tileOfGameCode(22), kTilePortLeftRight);
    EXPECT_EQ(tileOfGameCode(23), kTilePortFourWay);
    EXPECT_EQ(tileOfGameCode(13), kTileSpecialPortRight);
    EXPECT_EQ(tileOfGameCode(16), kTileSpecialPortUp);
    EXPECT_EQ(tileOfGameCode(40), kTileInvisibleWall);
    EXPECT_EQ(tileOfGameCode(241), kTileInvisibleWall);

    Record record = plainRecord();
    record[0] = 37;                // hardware on the ring is kept
    record[60 * 5 + 7] = 3;        // a second hero
    record[60 * 10 + 4] = 38;      // the vertical chip, 38 over 39
    record[60 * 11 + 4] = 39;
    record[kSupaplexInfotronsAt] = 0;
    const std::string title = "  -- A TITLE, AS IS --  ";
    std::copy(title.begin(), title.begin() + 23, record.begin() + kSupaplexTitleAt);
    const auto level = wholeLevelOf(record);
    EXPECT_EQ(level->width, 60);
    EXPECT_EQ(level->height, 24);
    EXPECT_EQ(level->cellAt(1, 1)->tile, kTileWallStriped);
    EXPECT_EQ(level->cellAt(11, 5)->tile, kTileStripVertical);
    EXPECT_EQ(level->cellAt(11, 5)->pattern, 0);
    EXPECT_EQ(level->cellAt(12, 5)->pattern, 1);
    EXPECT_EQ(startSquareOf(level->startx), 2); // the first hero, record column 1, row 1
    EXPECT_EQ(startSquareOf(level->starty), 2);
    EXPECT_EQ(keptCodeOf(*level->cellAt(6, 8)), 3);
    EXPECT_EQ(level->infotrons, 0);
    EXPECT_EQ(level->name, title.substr(0, 23));

    record[61] = 2; // no hero at all
    record[60 * 5 + 7] = 2;
    const auto heroless = wholeLevelOf(record);
    EXPECT_EQ(startSquareOf(heroless->startx), 0); // outside the level, as the game has it
    EXPECT_EQ(supaplexRecordOf(*heroless, 1), record);
}

// What the designer changes exports as the game would read it.
TEST(SupaplexWhole, EditsExportAsTheTilesCodes)
{
    Record record = plainRecord();
    record[60 * 3 + 3] = 37; // a hardware variant
    record[60 * 3 + 4] = 37;
    record[60 * 3 + 5] = 3;  // a second hero
    auto level = wholeLevelOf(record);
    const TileWidth square = [](int32_t) { return kSquare; };
    paintLevel(*level, 4, 4, kTileChip, PaintVariant::Press, square);       // no longer a wall
    paintLevel(*level, 4, 5, kTileWallPlain, PaintVariant::Press, square);  // another wall: its own code
    level->startx = startPixelOf(10);                                         // the start moves
    const Record out = supaplexRecordOf(*level, 1);
    EXPECT_EQ(out[60 * 3 + 3], 5);
    EXPECT_EQ(out[60 * 3 + 4], 28);
    EXPECT_EQ(out[60 * 3 + 5], 3);  // the second hero stays
    EXPECT_EQ(out[61], 2);          // the old start is base
    EXPECT_EQ(out[60 + 9], 3);      // the new start holds the hero

    // A level of our own, smaller than the record, sits in a hardware ring from column 1, row 1.
    auto small = std::make_unique<tlevel>();
    initNewLevel(*small);
    small->width = 4;
    small->height = 2;
    small->startx = startPixelOf(2);
    small->starty = startPixelOf(1);
    small->name = "A NAME LONGER THAN TWENTY-THREE BYTES";
    small->infotrons = 300;
    const Record placed = supaplexRecordOf(*small, 1);
    EXPECT_EQ(placed[0], 6);
    EXPECT_EQ(placed[61], 2);
    EXPECT_EQ(placed[62], 3);
    EXPECT_EQ(placed[65], 0); // space beyond the level
    EXPECT_EQ(placed[60 * 2 + 1], 2);
    EXPECT_EQ(placed[60 * 3 + 1], 0);
    EXPECT_EQ(std::string(placed.begin() + kSupaplexTitleAt, placed.begin() + kSupaplexTitleAt + 23),
              "A NAME LONGER THAN TWEN");
    EXPECT_EQ(placed[kSupaplexInfotronsAt], 255);
}

TEST(SupaplexWhole, ALevelTheGameCannotHoldIsRefusedNamingTheSquare)
{
    auto level = wholeLevelOf(plainRecord());
    level->width = 61;
    EXPECT_EQ(errorOf(*level), "Level 7 cannot be exported to Supaplex: it is 61 x 24 squares and a Supaplex level "
                               "holds at most 60 x 24; its square at column 61, row 1 lies outside.");
    level->width = 60;
    level->cellAt(3, 9)->tile = 14; // the key
    level->cellAt(4, 1)->tile = kTileFiller;
    EXPECT_EQ(errorOf(*level), "Level 7 cannot be exported to Supaplex: the square at column 9, row 3 holds key (14), "
                               "which has no counterpart in the game.");
    level->cellAt(3, 9)->tile = kTileBase;
    level->cellAt(4, 1)->tile = kTileBase;
    for (int k = 1; k <= 11; ++k)
        level->cellAt(5, 2 * k)->tile = kTileSpecialPortDown;
    EXPECT_EQ(errorOf(*level), "Level 7 cannot be exported to Supaplex: it holds more than 10 special ports, the most "
                               "the game allows; the 11th is at column 22, row 5.");
}

TEST(SupaplexWhole, GameSettingsChangeOnlyWhatTheDesignerChanged)
{
    Record record = plainRecord();
    record[kSupaplexGravityAt] = 7;       // on, in a value of its own
    record[kSupaplexFreezeZonksAt] = 4;   // not 2: off
    record[60 * 2 + 2] = 14;              // special ports at record (2, 2) and (2, 4)
    record[60 * 2 + 4] = 16;
    record[kSupaplexPortCountAt] = 1;
    const int32_t position = 2 * (60 * 2 + 4);
    record[kSupaplexPortTableAt] = uint8_t(position >> 8);
    record[kSupaplexPortTableAt + 1] = uint8_t(position);
    record[kSupaplexPortTableAt + 2] = 0;
    record[kSupaplexPortTableAt + 3] = 2;
    record[kSupaplexPortTableAt + 4] = 1;
    record[kSupaplexPortTableAt + 5] = 99; // unused, kept
    record[1534] = 0x34;                   // the seed
    auto level = wholeLevelOf(record);

    GameSettings settings = gameSettingsOf(*level);
    EXPECT_TRUE(settings.gravity);
    EXPECT_FALSE(settings.freezeZonks);
    ASSERT_EQ(settings.ports.size(), 2u);
    EXPECT_EQ(settings.ports[0], (SpecialPortSettings{3, 3, false, false, false, false}));
    EXPECT_EQ(settings.ports[1], (SpecialPortSettings{5, 3, true, false, true, true}));

    applyGameSettings(*level, settings); // nothing changed: every byte stays
    EXPECT_EQ(supaplexRecordOf(*level, 1), record);

    settings.freezeZonks = true;
    settings.ports[0].changes = true;
    settings.ports[0].gravity = true;
    settings.ports[1].freezeEnemies = false;
    applyGameSettings(*level, settings);
    EXPECT_EQ(gameSettingsOf(*level), settings);
    Record out = supaplexRecordOf(*level, 1);
    EXPECT_EQ(out[kSupaplexGravityAt], 7);
    EXPECT_EQ(out[kSupaplexFreezeZonksAt], 2);
    EXPECT_EQ(out[kSupaplexPortCountAt], 2);
    EXPECT_EQ(out[kSupaplexPortTableAt + 4], 0);
    EXPECT_EQ(out[kSupaplexPortTableAt + 5], 99);
    EXPECT_EQ(out[kSupaplexPortTableAt + 6], 0);         // the new entry: position 2 x (60 x 2 + 2)
    EXPECT_EQ(out[kSupaplexPortTableAt + 7], 2 * 122);
    EXPECT_EQ(out[kSupaplexPortTableAt + 8], 1);
    EXPECT_EQ(out[1534], 0x34);

    settings.ports[1].changes = false; // the first entry goes, the second moves up
    applyGameSettings(*level, settings);
    out = supaplexRecordOf(*level, 1);
    EXPECT_EQ(out[kSupaplexPortCountAt], 1);
    EXPECT_EQ(out[kSupaplexPortTableAt + 1], 2 * 122);
    EXPECT_EQ(out[kSupaplexPortTableAt + 7], 0);
    settings.ports[1] = SpecialPortSettings{5, 3}; // without an entry its switches read off
    EXPECT_EQ(gameSettingsOf(*level), settings);

    // A level of our own takes settings too, when it has room for them.
    auto own = std::make_unique<tlevel>();
    initNewLevel(*own);
    own->width = own->height = 10;
    applyGameSettings(*own, GameSettings{true, false, {}});
    EXPECT_TRUE(gameSettingsOf(*own).gravity);
    EXPECT_EQ(supaplexRecordOf(*own, 1)[kSupaplexGravityAt], 1);
    own->width = 9;
    EXPECT_THROW(applyGameSettings(*own, GameSettings{false, false, {}}), Error);
}

// A whole level that asks for 0 infotrons needs every infotron, as in the game: the checks do not call
// its exit open from the start.
TEST(SupaplexWhole, ZeroInfotronsCountAsTheGameCounts)
{
    Record record = plainRecord();
    record[kSupaplexInfotronsAt] = 0;
    record[60 * 4 + 4] = record[60 * 4 + 5] = 4;
    record[60 * 6 + 6] = 7;
    auto level = wholeLevelOf(record);
    auto codes = [&] {
        std::vector<std::string> found;
        for (const Finding &f : checkLevel(*level, nullptr))
            found.push_back(f.code);
        return found;
    };
    EXPECT_TRUE(keepsSupaplexRecord(*level));
    const std::vector<std::string> whole = codes();
    EXPECT_EQ(std::count(whole.begin(), whole.end(), "no-infotrons"), 0);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), "infotrons"), 0);
    // A level of our own keeps the meaning it always had.
    for (int c = 1; c <= 60; ++c)
        level->cellAt(1, c)->reserved = level->cellAt(2, c)->reserved = 0;
    EXPECT_FALSE(keepsSupaplexRecord(*level));
    const std::vector<std::string> own = codes();
    EXPECT_EQ(std::count(own.begin(), own.end(), "no-infotrons"), 1);
}

// A levels file export holds 111 records: more levels are refused before anything is made.
TEST(SupaplexWhole, ALevelsFileExportHoldsAtMost111Levels)
{
    initStore();
    resetstore();
    levelsinfo = Tlevels{};
    for (int k = 1; k <= 112; ++k) {
        addlevel();
        levels[k].width = 58;
        levels[k].height = 22;
    }
    try {
        supaplexExportOf(1, 112, false);
        ADD_FAILURE() << "112 levels were exported";
    } catch (const Error &e) {
        EXPECT_STREQ(e.what(), "A Supaplex levels file holds at most 111 levels; 112 were chosen. Nothing was exported.");
    }
    const Bytes out = supaplexExportOf(2, 112, false);
    EXPECT_EQ(out.size(), kSupaplexFileSize);
    EXPECT_EQ(supaplexExportOf(5, 5, true).size(), kSupaplexRecordBytes);
    levelsinfo = Tlevels{};
}
