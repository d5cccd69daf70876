#include "levelcopy.h"

#include "platform/errors.h"

#include <algorithm>
#include <string>

namespace qm {

std::unique_ptr<tlevel> levelOfFile(const LevelsFileContent &file, int32_t k)
{
    if (k < 1 || size_t(k) > file.levels.size())
        throw Error("ELevelNotInFile", "The file has no level " + std::to_string(k) + ".");
    auto level = std::make_unique<tlevel>();
    initNewLevel(*level);
    storeFileLevel(file, size_t(k) - 1, *level);
    return level;
}

void requireRoomForCopies(size_t copies)
{
    const size_t count = size_t(std::max(levelsinfo.count, 0));
    if (count + copies > size_t(kMaxLevels))
        throw Error("ELevelStoreFull", "Copying " + std::to_string(copies) + (copies == 1 ? " level" : " levels")
                                           + " would make this levels file hold " + std::to_string(count + copies)
                                           + " levels; a levels file can hold at most "
                                           + std::to_string(kMaxLevels) + ". Nothing was copied.");
}

void appendLevelCopies(const LevelsFileContent &file, const std::vector<int32_t> &chosen, StoreStep *step)
{
    requireRoomForCopies(chosen.size());
    // Every copy is made before the store changes: a wrong number refuses the whole copy.
    std::vector<std::unique_ptr<tlevel>> copies;
    copies.reserve(chosen.size());
    for (int32_t k : chosen)
        copies.push_back(levelOfFile(file, k));
    if (copies.empty())
        return;
    const int32_t before = curlevel, first = levelsinfo.count + 1;
    for (const std::unique_ptr<tlevel> &copy : copies) {
        const int32_t at = levelsinfo.count + 1;
        insertLevel(at, *copy);
        if (step)
            step->levelInserted(at);
    }
    prevlevel = before;
    curlevel = first;
}

} // namespace qm
