#pragma once
// Level checks: what would make a level unplayable or look wrong, found before the game is played.
// The editor and qmtool check with this same code.

#include "levelstore.h"

#include <cstddef>
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

    // The width of tile's picture; 0 when the file did not load or has no such picture.
    int32_t widthOf(int32_t tile) const
    {
        const bool known = state == State::Loaded && tile >= 0 && size_t(tile) < pictures.size();
        return known ? pictures[size_t(tile)].width : 0;
    }
};

// Error: the level cannot be finished. Warning: probably a mistake. Note: cosmetic.
enum class Severity { Error, Warning, Note };

struct CellPlace {
    int32_t row;
    int32_t column;
    bool operator==(const CellPlace &) const = default;
};

struct Finding {
    Severity severity;
    std::string code;    // short and stable: "start-outside", "object-cut", ...
    std::string message; // one sentence for the designer; cells as "column C, row R"
    std::optional<CellPlace> cell;
};

// The notes of one level folded by kind: "24 lone lower halves of vertical chips (31), as imported"
// (a kind with one note is that note's message), in the order the kinds first appear.
struct NoteGroup {
    std::string code;
    int64_t count = 0;
    std::string text;
    std::optional<CellPlace> first; // the cell of the first note of the kind
};
std::vector<NoteGroup> foldNotes(const std::vector<Finding> &findings);

struct CheckOptions {
    // Cells outside the level's rectangle that differ from the default cell: the editor keeps them
    // while the file is open but never draws or saves them. A level read from a file has nothing
    // meaningful there, so this is off unless asked for.
    bool hiddenCells = false;
};

// The findings of one level, one per problem, in a fixed order: the start square (a level kept for the
// game without a hero), the hero standing still there for the first frames of play, the stored size,
// more special ports than the game allows, the infotrons asked for, the exit, what the hero can reach,
// the graphics file, the pictures, the objects larger than one square row by row, what is left of
// objects painted over, stray fillers. Without graphics (nullptr) the pictures are not checked, and the
// objects whose size depends on a picture's width (the strips, the blocks 36, 37, 40 and the 7 x 2 form
// of 30) are not either.
//
// Errors are certain under the rules of gamerules.h and the game's (game/objects.h): the exit or enough
// infotrons cannot be reached even with every movable and breakable object gone, every door open and,
// where something can explode, everything but hardware blown away; or the level asks for more infotrons
// than it can hold (its infotron tiles, nine for each spark and nine for each disk and spinner a spark's
// explosion can set off). Reaching the exit or the infotrons only past something is a note naming what
// stands on the way ("reach-obstructed"), with "asks for no infotrons" in the same line. Objects as the
// Supaplex import leaves them (single squares of the ordinary kind) are notes.
std::vector<Finding> checkLevel(const tlevel &level, const LevelGraphics *graphics, const CheckOptions &options = {});

// "error", "warning", "note".
const char *severityName(Severity severity);

} // namespace qm
