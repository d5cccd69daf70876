#pragma once
// A level of the levels file as the game engine plays it. Every square becomes the game's object code
// of its tile (the code it keeps from an import while the tile still stands for it); a tile without a
// counterpart in the game plays as its rule says: a wall as hardware, a breakable square as
// a RAM chip, a movable one as a zonk, an enemy as a snik snak (an electron when it leaves infotrons),
// a port by its directions, anything the hero may enter as base. The hero starts on the start square;
// the game's settings (gravity, frozen zonks, special ports, the random seed) are those the level keeps,
// and the infotrons needed its own count (0: every infotron, as the game counts).

#include "levelstore.h"

#include "game/level.h"

#include <cstdint>
#include <optional>

namespace qm {

// The object code a square plays as.
uint8_t gameCodeOfSquare(const cell &square);

struct Square {
    int32_t column; // counted from 1
    int32_t row;
};

// The level as the engine plays it, the hero on heroAt when given (every other hero square then
// plays as base) and on the start square otherwise. A level of fewer than 3 squares a side, or with
// its start square outside, throws qm::Error saying so.
game::Level gameLevelOf(const tlevel &level, std::optional<Square> heroAt = {});

} // namespace qm
