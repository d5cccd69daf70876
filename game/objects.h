#pragma once
// What each object of the game does, in the few words the rest of the program asks about: the code a
// square holds once the level has started, what an explosion does to it, and whether it can set an
// explosion off. The engine plays by these; the level checks read them through each tile's game code.

#include <array>
#include <cstdint>

namespace qm::game {

// The code a square holds once the level has started: the halves of chips become a chip, the
// decorated walls hardware, the special ports their plain port (marked special by their state), 0xF1
// an explosion. Every other code stays as it is.
constexpr uint8_t codeAtStart(uint8_t code)
{
    if (code == 0xF1)
        return 31;
    if (code == 26 || code == 27 || code == 38 || code == 39)
        return 5;
    if (code >= 28 && code <= 37)
        return 6;
    if (code >= 13 && code <= 16)
        return uint8_t(code - 4);
    return code;
}

constexpr bool isSpecialPortCode(uint8_t code) { return code >= 13 && code <= 16; }

// What an explosion does to a square it reaches, by the code the square holds in play.
enum class Blast : uint8_t {
    Survives,         // hardware: nothing at all
    Destroyed,        // becomes part of the explosion, then space (or an infotron)
    GoesOff,          // becomes part of it and explodes in turn a few frames later
    GoesOffInfotrons, // an electron: explodes in turn, and its explosion leaves infotrons
};

namespace detail {
constexpr std::array<Blast, 256> makeBlasts()
{
    std::array<Blast, 256> blasts{};
    blasts.fill(Blast::Destroyed);
    blasts[6] = Blast::Survives;                 // hardware
    blasts[3] = Blast::GoesOff;                  // the hero
    blasts[8] = Blast::GoesOff;                  // orange disk
    blasts[17] = Blast::GoesOff;                 // snik snak
    blasts[18] = Blast::GoesOff;                 // yellow disk
    blasts[24] = Blast::GoesOffInfotrons;        // electron
    return blasts;
}
inline constexpr std::array<Blast, 256> kBlasts = makeBlasts();
} // namespace detail

constexpr Blast blastOn(uint8_t code) { return detail::kBlasts[code]; }

// Whether a level holding this object (at its start) can have an explosion that the hero lives
// through: disks that go off when they land, are dropped on or planted, and enemies that go off when
// something lands on them. A zonk or an infotron only sets one off by landing on one of these.
constexpr bool setsOffExplosions(uint8_t code)
{
    return code == 8 || code == 17 || code == 18 || code == 20 || code == 24;
}

// An explosion covers the squares around its centre, this many a side; centred on an electron, each
// of them that is not hardware ends as an infotron.
inline constexpr int kBlastSide = 3;

} // namespace qm::game
