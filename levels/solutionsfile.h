#pragma once
// Kept solutions beside the levels file: "NAME.lev" keeps them in "NAME.lev.solutions", a file of our
// own, so that the levels file stays exactly as the game reads it. Little-endian:
//   8 bytes   "QMSOLVE1"
//   4 bytes   how many levels have a solution
//   then for each: 4 bytes the level's number (1..200), 4 bytes the recording's length n (2..48,650),
//   n bytes the recording: the game's input bytes, closed by the end mark 0xFF.
// The levels of the store carry their solution (tlevel::solution); these functions move them between
// the store and the file.

#include "platform/fileio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm {

// The solutions file of a levels file.
std::string solutionsPathOf(const std::string &levelsPath);

// The solutions of levels 1..count of the store as the file's bytes.
Bytes solutionsBytes();

// Solutions by level number (index 0 unused; an empty one: none), as a solutions file's bytes hold
// them. Throws qm::Error naming what is wrong with damaged bytes.
using Solutions = std::vector<std::vector<uint8_t>>;
Solutions parseSolutions(const uint8_t *data, size_t size);
// Gives levels 1..count of the store these solutions; those of levels the store does not hold (the
// file was changed elsewhere) are left out.
void storeSolutions(Solutions solutions);

// Reads solutions into the store's levels. A missing file means no solutions; a damaged one throws
// qm::Error naming what is wrong, and leaves every level without a solution.
void readSolutionsFile(const std::string &levelsPath);
// The same from bytes held in memory.
void readSolutions(const uint8_t *data, size_t size);

// Writes the store's solutions beside the levels file with the safe save; when no level has one, an
// existing solutions file is emptied and none is made.
void writeSolutionsFile(const std::string &levelsPath);

} // namespace qm
