#pragma once
// Supaplex levels kept whole, and given back to the game.
//
// The whole import turns a record of 1,536 bytes into a level of 60 x 24 squares, the outer ring
// included: the byte of record row r, column c (from 0) becomes cell (r + 1, c + 1), each code the
// tile of the rules table (gamerules.h) that stands for it. The first hero in reading order is the
// start square (with no hero the start is column 0, row 0, outside the level); the name is the 23
// title bytes as they stand; `infotrons` is byte 1,470 as stored.
//
// What no field of a level holds rides in the `reserved` values of its cells, which the levels file
// carries unchanged. A cell's reserved value, as an unsigned 32-bit number, is kept data when its top
// byte is kKeptTag:
//   bit 17      the cell keeps the object code it came from, in bits 0..7 (which hardware variant,
//               which hero: a tile that stands for several codes exports the kept one while it still
//               stands for it, and its own code otherwise);
//   bit 16      the cell keeps a record byte of the header, in bits 8..15: the level's j-th cell in
//               reading order (row 1 columns 1..W, then row 2, ...) keeps byte 1,440 + j, j < 96.
// The export takes the header from there (zero where nothing is kept), the title from the name and
// byte 1,470 from `infotrons`.
//
// The export writes one level as a record: a level of 60 x 24 squares fills the record; a smaller one
// is placed from column 1, row 1 (in each direction it is smaller) inside a hardware ring with space
// around it. The start square inside the level holds the hero.

#include "levelstore.h"

#include "platform/fileio.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

inline constexpr size_t kSupaplexRecordBytes = 1536;
inline constexpr size_t kSupaplexHeaderAt = 1440;
inline constexpr size_t kSupaplexHeaderBytes = kSupaplexRecordBytes - kSupaplexHeaderAt; // 96
inline constexpr size_t kSupaplexGravityAt = 1444;
inline constexpr size_t kSupaplexFreezeZonksAt = 1469;
inline constexpr size_t kSupaplexPortCountAt = 1471;
inline constexpr size_t kSupaplexPortTableAt = 1472;
inline constexpr int kSupaplexPortEntries = 10;
inline constexpr size_t kSupaplexPortEntryBytes = 6;

inline constexpr uint32_t kKeptTag = 0x51u << 24;
inline constexpr uint32_t kKeptHeaderByte = 1u << 16;
inline constexpr uint32_t kKeptCode = 1u << 17;

using SupaplexRecordBytes = std::array<uint8_t, kSupaplexRecordBytes>;
using SupaplexHeader = std::array<uint8_t, kSupaplexHeaderBytes>;

// The object code a cell keeps, or -1.
int32_t keptCodeOf(const cell &square);

struct TileRules;
// The object code the export writes for a square whose tile has a counterpart in the game: the
// chip's half by its pattern, the kept code while the tile still stands for it, the tile's own
// otherwise.
uint8_t supaplexCodeOf(const cell &square, const TileRules &rules);

// The object code the export writes for a square (its kept code while its tile still stands for it,
// the tile's own code otherwise), or -1 when the tile has no counterpart in the game.
int32_t gameCodeOf(const cell &square);

// The code the game plays a square as (gamelevel.h, gameCodeOfSquare, is its one home).
uint8_t playedCodeOf(const cell &square);

// Turns one record into level, whole (60 x 24). Only the size, the cells of the 60 x 24 rectangle, the
// start square, `infotrons` and the name change.
void importSupaplexRecordWhole(const uint8_t *record, tlevel &level);

// The level as a record of 1,536 bytes, exactly as the export writes it. Throws qm::Error naming level
// levelNumber and the first square at fault when it cannot be exported: larger than 60 x 24, a tile
// with no counterpart in the game, more than 10 special ports.
SupaplexRecordBytes supaplexRecordOf(const tlevel &level, int32_t levelNumber);

// An empty level for the rest of a levels file: a hardware ring, space inside, a title saying so.
SupaplexRecordBytes emptySupaplexRecord();

// The bytes an export of levels first..last of the store writes: with recording (a ".sp" file) the one
// level's record, followed by its kept solution when it has one; otherwise a levels file of 111 records, the chosen levels in order and empty levels
// after them. Every refusal (more than 111 levels, several for a ".sp", a level that cannot be
// exported) comes before anything is made.
Bytes supaplexExportOf(int32_t first, int32_t last, bool recording);
// Writes that export to path with the safe save; a name ending in ".sp" (any case) is a recording.
void exportSupaplex(const std::string &path, int32_t first, int32_t last);

// Whether the level keeps a record's header (a whole import, or Game Settings given): its `infotrons`
// then means what byte 1,470 means to the game, 0 standing for every infotron of the level (mod 256).
bool keepsSupaplexRecord(const tlevel &level);

// Bytes 1,440..1,535 as the level keeps them, zero where it keeps nothing.
SupaplexHeader keptHeaderOf(const tlevel &level);
// Keeps header in the level's first 96 cells; throws qm::Error when the level has fewer squares.
void keepHeader(tlevel &level, const SupaplexHeader &header);

// The game's settings of a level, as the Game Settings dialog shows them.
struct SpecialPortSettings {
    int32_t column = 0, row = 0;  // the port's square in the level
    bool changes = false;         // the level's table has an entry for it; without one nothing changes
    bool gravity = false;
    bool freezeZonks = false;
    bool freezeEnemies = false;
    bool operator==(const SpecialPortSettings &) const = default;
};
struct GameSettings {
    bool gravity = false;
    bool freezeZonks = false;
    std::vector<SpecialPortSettings> ports; // the level's special ports in reading order
    bool operator==(const GameSettings &) const = default;
};

GameSettings gameSettingsOf(const tlevel &level);
// Writes settings into the kept header. A setting that did not change keeps its stored byte; a port
// that stops changing anything loses its table entry, one that starts gets one (at most 10). Throws
// qm::Error when the level has fewer than 96 squares or the table would pass 10 entries.
void applyGameSettings(tlevel &level, const GameSettings &settings);

// The special ports of a level, in reading order, as (column, row).
std::vector<std::pair<int32_t, int32_t>> specialPortsOf(const tlevel &level);

} // namespace qm
