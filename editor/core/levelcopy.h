#pragma once
// Copying levels of another levels file into the open one: the levels of a file read (and checked) by
// the same reader as Open, as levels of the store, and the append that "From Other .lev File" and
// `qmtool lev append` share.

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

} // namespace qm
