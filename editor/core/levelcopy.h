#pragma once
// Copying levels of another levels file into the open one: the levels of a file read (and checked) by
// the same reader as Open, as levels of the store, and the append that "From Other .lev File" and
// `qmtool lev append` share.

#include "levelclipboard.h"

#include "levels/levelsfile.h"
#include "levels/storestep.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qm {

// Level k (1..count) of a file read, as a level of the store: the cells outside its width x height
// are kDefaultCell. Throws qm::Error for a number outside the file.
std::unique_ptr<tlevel> levelOfFile(const LevelsFileContent &file, int32_t k);

// Refuses, with a clear message and before anything changes, a copy of `copies` levels that would
// take the open file past kMaxLevels levels.
void requireRoomForCopies(size_t copies);

// Appends copies of the chosen levels of file (numbers 1..count, in the order given) after the last
// level of the store; the first copy becomes current and the level current before becomes the
// previous one, as Add Level does. Each insertion is recorded in step when there is one. The whole
// copy is refused, changing nothing, past kMaxLevels levels or for a number outside the file.
void appendLevelCopies(const LevelsFileContent &file, const std::vector<int32_t> &chosen, StoreStep *step);

// The overview's Paste: appends the carried levels as appendLevelCopies appends a file's, refused whole
// past kMaxLevels levels.
void appendCarriedLevels(const std::vector<CarriedLevel> &carried, StoreStep &step);

// The overview's drag: the levels numbered (1..count; others are left out) move together, in their
// order, to stand before the level numbered `before` (count + 1: after the last). The other levels
// keep their order. The store ends as Move Up and Move Down repeated would leave it, in at most
// count - 1 exchanges; the current and previous level stay the same levels. Answers whether the
// order changed.
bool moveLevels(StoreStep &step, std::vector<int32_t> numbers, int32_t before);

// The overview's Delete: removes the levels numbered (others are left out). The current level stays
// when it is kept; when it is removed, the level after it (or the last) becomes current.
void deleteLevels(StoreStep &step, std::vector<int32_t> numbers);

} // namespace qm
