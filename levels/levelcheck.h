#pragma once
// Level checks: what would make a level unplayable or look wrong, found before the game is played.
// The editor and qmtool check with this same code.

#include "levelstore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// What the checks need of the level's graphics file, filled by the caller from the loaded pictures.
struct TilePicture {
    int32_t width = 0;    // pixels; the strips and blocks of painting depend on it
    int64_t patterns = 0; // how many patterns a cell can show from it
};

struct LevelGraphics {
    enum class State { Loaded, Missing, Unreadable };
    State state = State::Loaded;
    std::string message;               // the loader's message when Unreadable
    std::vector<TilePicture> pictures; // picture k is the picture of tile value k
};

enum class Severity { Error, Warning, Information };

struct CellPlace {
    int32_t row;
    int32_t column;
    bool operator==(const CellPlace &) const = default;
};

struct Finding {
    Severity severity;
    std::string code;    // short and stable: "start-outside", "object-cut", ...
    std::string message; // one sentence for the designer
    std::optional<CellPlace> cell;
};

struct CheckOptions {
    // Cells outside the level's rectangle that differ from the default cell: the editor keeps them
    // while the file is open but never draws or saves them. A level read from a file has nothing
    // meaningful there, so this is off unless asked for.
    bool hiddenCells = false;
};

// The findings of one level, in a fixed order: start, infotrons, exit, graphics, the cells row by row,
// then the parts of objects that stand alone, row by row. Without graphics (nullptr) the pictures are not checked, and the objects whose size depends on
// a picture's width (the strips, the blocks 36, 37, 40 and the 7 x 2 form of 30) are not either.
std::vector<Finding> checkLevel(const tlevel &level, const LevelGraphics *graphics, const CheckOptions &options = {});

// "error", "warning", "information".
const char *severityName(Severity severity);

} // namespace qm
