#pragma once
// What the values of a cell mean: the tile values the program gives a meaning to, and the kinds.
//
// A tile value is the index of a picture in the level's graphics file; most values mean nothing to the
// editor beyond that. The values below are the ones the Supaplex conversion produces (each comment names
// the object codes it comes from) and the ones painting treats specially. Painting itself (what an
// object writes into its companion squares) is in painting.h.

#include <cstdint>

namespace qm {

// Picture 0 is the background of the map area, drawn behind the cells; it is not a cell's tile.
inline constexpr int32_t kTileBackground = 0;

// Filler written by painting into squares that an object covers: under an exit, the tall marked
// objects and the marked 3 x 3 object. No object code converts to it.
inline constexpr int32_t kTileFiller = 11;
// The infotron (code 4); the level's `infotrons` asks for at most as many as it holds.
inline constexpr int32_t kTileInfotron = 12;
// The empty square (code 0); also what painting puts right under an exit and in the upper row of the
// 7 x 2 block 37.
inline constexpr int32_t kTileEmpty = 15;
// The base (codes 2 and 3, 21..23, 25 and every code from 40 up); the filling of a new level.
inline constexpr int32_t kTileBase = 16;
// The red disk (code 20).
inline constexpr int32_t kTileRedDisk = 19;
// The boulder (code 1).
inline constexpr int32_t kTileBoulder = 20;
// The orange disk (codes 8 and 18).
inline constexpr int32_t kTileOrangeDisk = 21;
// The yellow disk (code 18; the classic import makes it an orange disk).
inline constexpr int32_t kTileYellowDisk = 22;
// The chip (code 5).
inline constexpr int32_t kTileChip = 28;
// The horizontal strip (codes 26 and 27, the chip's left and right halves as patterns 0 and 1); painting
// writes it as long as its picture is wide.
inline constexpr int32_t kTileStripHorizontal = 29;
// The pair (painting writes pattern 1 to its right), or the 7 x 2 block when its picture is 280 wide.
inline constexpr int32_t kTilePair = 30;
// The vertical strip (codes 38 and 39, upper and lower halves); as long as the horizontal strip's
// picture is wide.
inline constexpr int32_t kTileStripVertical = 31;
// Walls the hardware codes 28..37 become: plain (code 28), light (code 33), striped (codes 29, 31, 34,
// 35 and 37), braced (codes 30 and 32); code 36 becomes kTileBlock7x1.
inline constexpr int32_t kTileWallPlain = 32;
inline constexpr int32_t kTileWallLight = 34;
inline constexpr int32_t kTileWallStriped = 35;
inline constexpr int32_t kTileWallBraced = 56;
// Drawn in the second pass above its neighbours: painting sets its kind to kKindOnTop.
inline constexpr int32_t kTileOnTop = 33;
// A wall (code 36), and the 7 x 1 block when its picture is 280 wide.
inline constexpr int32_t kTileBlock7x1 = 36;
// The 7 x 2 block when its picture is 280 wide: its upper row is empty squares except patterns 1 and 2.
inline constexpr int32_t kTileBlock7x2 = 37;
// The spinner enemy (code 17).
inline constexpr int32_t kTileSpinner = 38;
// The spark enemy (code 24).
inline constexpr int32_t kTileSpark = 39;
// The 6 x 3 block when its picture is 240 wide.
inline constexpr int32_t kTileBlock6x3 = 40;
// The hardware wall (code 6), the frame of every imported level.
inline constexpr int32_t kTileWall = 41;
// Ports (codes 9..16: right, down, left, up, twice), drawn in the second pass.
inline constexpr int32_t kTilePortRight = 49;
inline constexpr int32_t kTilePortDown = 50;
inline constexpr int32_t kTilePortLeft = 51;
inline constexpr int32_t kTilePortUp = 52;
// The terminal (code 19).
inline constexpr int32_t kTileTerminal = 53;
// The exit (code 7): one square wide and three high; painting puts an empty square and a filler below.
inline constexpr int32_t kTileExit = 63;
// Two high: painting puts its lower half, kTileTallLower, below it.
inline constexpr int32_t kTileTall = 64;
inline constexpr int32_t kTileTallLower = 65;
// Marked objects one square wide and three high (fillers below), and the marked 3 x 3 object
// (fillers around).
inline constexpr int32_t kTileMarkedTallA = 66;
inline constexpr int32_t kTileMarkedTallB = 67;
inline constexpr int32_t kTileMarked3x3 = 68;
// The game's objects that have no tile of their own in the classic import: the bug (code 25), the
// two-way ports up-down (21) and left-right (22), the four-way port (23), the special ports that can
// change the game's settings (13..16: right, down, left, up) and the invisible wall (40, and every code
// from 41 up, which the game treats alike).
inline constexpr int32_t kTileBug = 69;
inline constexpr int32_t kTilePortUpDown = 70;
inline constexpr int32_t kTilePortLeftRight = 71;
inline constexpr int32_t kTilePortFourWay = 72;
inline constexpr int32_t kTileSpecialPortRight = 73;
inline constexpr int32_t kTileSpecialPortDown = 74;
inline constexpr int32_t kTileSpecialPortLeft = 75;
inline constexpr int32_t kTileSpecialPortUp = 76;
inline constexpr int32_t kTileInvisibleWall = 77;

inline constexpr bool isSpecialPort(int32_t tile) { return tile >= kTileSpecialPortRight && tile <= kTileSpecialPortUp; }

// Kinds of a cell: ordinary; marked (painting sets it on some objects and their squares; drawn like an
// ordinary cell); drawn in the second pass, above every other cell.
inline constexpr int32_t kKindOrdinary = 100;
inline constexpr int32_t kKindMarked = 101;
inline constexpr int32_t kKindOnTop = 102;

// Objects larger than one square: painting one of these tiles also writes companion squares to its
// right or below (how far can depend on the width of a picture, see painting.h).
inline constexpr bool coversSeveralSquares(int32_t tile)
{
    switch (tile) {
    case kTileStripHorizontal:
    case kTilePair:
    case kTileStripVertical:
    case kTileBlock7x1:
    case kTileBlock7x2:
    case kTileBlock6x3:
    case kTileExit:
    case kTileTall:
    case kTileMarkedTallA:
    case kTileMarkedTallB:
    case kTileMarked3x3:
        return true;
    default:
        return false;
    }
}

} // namespace qm
