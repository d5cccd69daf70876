#pragma once
// Levels on the clipboard: the overview's Copy puts whole levels there, its Paste appends them to the
// same or another editor's file. The bytes come from anywhere (any program may put any bytes under
// our type), so the reader checks every field before it uses it and holds nothing it has not bounded.
//
// The form, every number 32-bit little-endian:
//     "QMLEVS02", count (1..200),
//     then per level: the name's length (0..255) and its bytes, the graphics file's length (0..255)
//     and its bytes, startx, starty, reserved, width (0..100), height (0..100), infotrons,
//     then width x height cells of four numbers each (tile, reserved, kind, pattern), row by row,
//     then the kept solution's length (0, or 2..48,650) and its bytes, the last one the end mark 0xFF.
// Nothing may follow the last level. "QMLEVS01", written before levels kept solutions, is the same
// without them and is read too. Cells follow the rules of the cells payload (stamp.h): kinds
// 100..102, no negative tile or pattern.

#include "levels/levelstore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Not the levels file's own type (application/x-quillmoss-levels): these bytes are not a levels file,
// and a program offering a file's contents under that type must not reach this reader.
inline constexpr const char *kLevelsMimeType = "application/x-quillmoss-level-copies";

// A level as the clipboard carries it: its cells inside width x height only.
struct CarriedLevel {
    std::string dxg, name;
    int32_t startx = 0, starty = 0, reserved = 0, width = 0, height = 0, infotrons = 0;
    std::vector<cell> cells; // width x height, row by row
    std::vector<uint8_t> solution{};
    bool operator==(const CarriedLevel &) const = default;
};

// Levels k of the store, in the order given (numbers outside 1..count are left out).
std::vector<CarriedLevel> carryLevels(const std::vector<int32_t> &numbers);
std::string levelsBytes(const std::vector<CarriedLevel> &carried);
// Reads levelsBytes; anything else throws qm::Error saying what is wrong.
std::vector<CarriedLevel> readLevelsBytes(std::string_view bytes);
// The carried level as a level of the store: the cells outside width x height are kDefaultCell.
std::unique_ptr<tlevel> levelOfCarried(const CarriedLevel &carried);

} // namespace qm
