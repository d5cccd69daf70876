#pragma once
// A level as the game starts it: a field of object codes and the record's 96 bytes after the field
// (the game's settings: gravity, freeze zonks, infotrons needed, the special-port table, the random
// seed). A level of the game itself is one 1,536-byte record, 60 x 24 squares; a level made in the
// editor may be any size up to 100 x 100 and is played with the same settings bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qm::game {

inline constexpr size_t kRecordSize = 1536;
inline constexpr int kRecordColumns = 60;
inline constexpr int kRecordRows = 24;
inline constexpr size_t kSettingsSize = 96; // record bytes 1,440..1,535
inline constexpr int kMaxSide = 100;
inline constexpr int kSpecialPortEntries = 10;

// Offsets of the settings inside the 96 bytes after the field (record byte 1,440 + offset).
namespace settings {
inline constexpr size_t kGravity = 4;         // 1,444: non-zero, gravity is on
inline constexpr size_t kVersion = 5;         // 1,445: ignored by play
inline constexpr size_t kTitle = 6;           // 1,446..1,468
inline constexpr size_t kTitleLength = 23;
inline constexpr size_t kFreezeZonks = 29;    // 1,469: zonks are frozen when it is exactly 2
inline constexpr size_t kInfotrons = 30;      // 1,470: infotrons needed, 0 counts them
inline constexpr size_t kPortCount = 31;      // 1,471: entries of the special-port table in use
inline constexpr size_t kPortTable = 32;      // 1,472..1,531: 10 entries of 6 bytes
inline constexpr size_t kPortEntry = 6;
inline constexpr size_t kSeedLow = 94;        // 1,534..1,535: random seed, little-endian
} // namespace settings

struct Level {
    int width = kRecordColumns;
    int height = kRecordRows;
    std::vector<uint8_t> codes;                   // width x height object codes, row by row
    std::array<uint8_t, kSettingsSize> settings{}; // what follows the field in a record

    int squares() const { return width * height; }
    uint16_t seed() const { return uint16_t(settings[settings::kSeedLow] | settings[settings::kSeedLow + 1] << 8); }
};

// The level of a 1,536-byte record.
Level levelFromRecord(const uint8_t *record);

// Why a level cannot be played, or empty: a size outside 3..100 on either side, or codes that do not
// fill the field.
std::string levelProblem(const Level &level);

} // namespace qm::game
