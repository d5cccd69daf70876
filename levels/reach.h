#pragma once
// What the hero can reach from the start square, by the rules of gamerules.h: a flood fill over the
// level's squares, ports passed in their direction onto the square beyond, teleporters joined.
//
// Two fills answer two questions. The free fill walks only where nothing has to move, break or open
// first (a locked door opens once a key is reached). The wide fill lets every movable and breakable
// object vanish and every door open; only the walls that never move or break and the ports' directions
// stop it. In a level that holds something able to explode, an explosion clears every square but
// hardware (ports and the exit too), so there only hardware stops the wide fill. A square the wide
// fill does not reach cannot be reached, whatever the hero does.
//
// A level kept for the game is one run of squares, as the game's field is: right of the last column
// lies the first square of the next row, and above the top row a row of free memory the hero may walk
// along.

#include "levelstore.h"

#include <cstdint>
#include <vector>

namespace qm {

enum class Reached : uint8_t {
    Never = 0,     // not even with every boulder, chip and door out of the way
    Obstructed = 1, // only by moving, breaking or opening something
    Freely = 2,    // with nothing moved, broken or opened
};

struct ReachMap {
    int32_t rows = 0, columns = 0; // the level's rectangle within the grid
    bool startValid = false;       // the start square lies in the level and not on a wall
    int32_t startRow = 0, startColumn = 0;
    std::vector<Reached> squares;  // row by row, [(row - 1) * columns + column - 1]

    Reached at(int32_t row, int32_t column) const
    {
        if (row < 1 || row > rows || column < 1 || column > columns)
            return Reached::Never;
        return squares[size_t(row - 1) * size_t(columns) + size_t(column - 1)];
    }
};

// The squares of a level, numbered from 0 row by row, and how they join.
struct SquareRun {
    int32_t rows = 0, columns = 0;
    bool joined = false; // one run of squares, as the game's field

    explicit SquareRun(const tlevel &level);
    int32_t squares() const { return rows * columns; }
    // The square dr rows and dc columns from at, or -1 when there is none.
    int32_t step(int32_t at, int32_t dr, int32_t dc) const
    {
        if (joined) {
            const int32_t to = at + dr * columns + dc;
            return to >= 0 && to < squares() ? to : -1;
        }
        const int32_t r = at / columns + dr, c = at % columns + dc;
        return r >= 0 && r < rows && c >= 0 && c < columns ? r * columns + c : -1;
    }
};

// Whether an explosion leaves the square as it is: hardware, or a wall of the editor's own that the
// game plays as hardware.
bool survivesExplosions(const cell &square);

// Whether the level holds something that can set off an explosion the hero lives through.
bool canExplode(const tlevel &level);

// Fills map (its storage is reused from call to call). A start square outside the level or on a wall
// that never moves or breaks reaches nothing.
void findReach(const tlevel &level, ReachMap &map);
ReachMap findReach(const tlevel &level);

} // namespace qm
