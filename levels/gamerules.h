#pragma once
// The game's rules in one table: for every palette tile, how the hero and the game treat it. The level
// checks, the reach overlay and any later play-testing read the rules from here and nowhere else.
//
// A rule that is not known is read as the one that lets the hero through: a tile outside the table
// (the filler, the spare pictures, values past the palette) is `Unknown`, which the hero passes.

#include <cstdint>
#include <string>

namespace qm {

enum class TileRule : uint8_t {
    Passable,  // the hero walks or digs into it
    Unknown,   // no rule is known: treated as passable
    Wall,      // a wall that never moves or breaks
    Breakable, // the hero cannot enter it, an explosion clears it
    Movable,   // the hero pushes it (or the game moves it)
    Door,      // passable once the hero holds its key
    Port,      // passable in its direction(s) only, onto the square beyond
    Enemy,     // moves by itself; destroyed, it may leave something
    Exit,      // where the level ends
};

// Directions, as bits: a port's directions are those the hero may pass it in.
enum Direction : uint8_t { kRight = 1, kDown = 2, kLeft = 4, kUp = 8 };

// A flip that a tile cannot take (an object of several squares whose parts would change places).
inline constexpr int32_t kCannotFlip = -1;

struct TileRules {
    int32_t tile;
    const char *name; // in words, as the checks name it: "exit"
    TileRule rule;
    uint8_t directions = 0;  // Port: the directions the hero may pass it in
    int32_t key = 0;         // Door: the tile that opens it
    int32_t leaves = 0;      // destroyed, it leaves this tile (0: nothing)...
    int32_t leavesSide = 0;  // ... in a square of this many squares a side around its own
    bool teleports = false;  // entering one takes the hero to any other of the same tile
    int32_t flippedLeftRight = kCannotFlip; // what it becomes mirrored left to right
    int32_t flippedTopBottom = kCannotFlip; // what it becomes mirrored top to bottom
    const char *how = "";    // the help's words: how the game treats it
    // The game's object code (0..40, as in a Supaplex level record) that the tile is, or -1 when the
    // tile has no counterpart in the game. The import and the export map tiles and codes through it.
    int32_t gameCode = -1;
    // Further codes (bit k: code k) that the same tile stands for, such as the hardware variants; a
    // square's kept code chooses among them (supaplexexport.h).
    uint64_t gameVariants = 0;
};

// The rules of tile 12..77, nullptr for any other value.
const TileRules *tileRules(int32_t tile);

// The rule of any tile value: Unknown outside the table.
TileRule ruleOf(int32_t tile);

// Whether the hero can stand on a tile when nothing has to move, break or open first.
inline constexpr bool freelyPassable(TileRule rule)
{
    return rule == TileRule::Passable || rule == TileRule::Unknown || rule == TileRule::Exit || rule == TileRule::Enemy;
}

// A tile in words, with its value: "exit (63)", "filler (11)", "tile 70".
std::string tileWords(int32_t tile);

// The tile an object code becomes: the tile whose gameCode it is, or among whose variants it is;
// codes from 41 up, which the game treats as code 40, become the invisible wall.
int32_t tileOfGameCode(uint8_t code);

// Whether code is one of the codes a tile stands for (its gameCode or a variant; the invisible wall
// stands for 40 and every code above it).
bool tileStandsFor(const TileRules &rules, uint8_t code);

// How many infotrons a level can hold at most: its infotron tiles and what its enemies leave when
// destroyed, added up over the cells.
int64_t infotronsLeftBy(int32_t tile);

} // namespace qm
