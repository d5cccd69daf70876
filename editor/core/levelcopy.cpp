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

void appendCarriedLevels(const std::vector<CarriedLevel> &carried, StoreStep &step)
{
    requireRoomForCopies(carried.size());
    if (carried.empty())
        return;
    const int32_t before = curlevel, first = levelsinfo.count + 1;
    for (const CarriedLevel &one : carried) {
        const int32_t at = levelsinfo.count + 1;
        insertLevel(at, *levelOfCarried(one));
        step.levelInserted(at);
    }
    prevlevel = before;
    curlevel = first;
}

namespace {

// The numbers of levels of the file, once each, in order.
std::vector<int32_t> levelsOfFile(std::vector<int32_t> numbers)
{
    std::erase_if(numbers, [](int32_t k) { return k < 1 || k > levelsinfo.count; });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

} // namespace

bool moveLevels(StoreStep &step, std::vector<int32_t> numbers, int32_t before)
{
    numbers = levelsOfFile(std::move(numbers));
    const int32_t count = levelsinfo.count;
    if (numbers.empty() || count < 2)
        return false;
    before = std::clamp(before, 1, count + 1);
    // The order wanted, as the levels' numbers now.
    std::vector<char> moving(size_t(count) + 1, 0);
    for (int32_t k : numbers)
        moving[size_t(k)] = 1;
    std::vector<int32_t> wanted;
    wanted.reserve(size_t(count));
    for (int32_t k = 1; k <= count + 1; ++k) {
        if (k == before)
            wanted.insert(wanted.end(), numbers.begin(), numbers.end());
        if (k <= count && !moving[size_t(k)])
            wanted.push_back(k);
    }
    // Each place takes its level by one exchange: where[k] is where level k is now, at[p] what is at p.
    std::vector<int32_t> where(size_t(count) + 1), at(size_t(count) + 1);
    for (int32_t k = 1; k <= count; ++k)
        where[size_t(k)] = at[size_t(k)] = k;
    bool changed = false;
    for (int32_t p = 1; p <= count; ++p) {
        const int32_t level = wanted[size_t(p) - 1], from = where[size_t(level)];
        if (from == p)
            continue;
        step.swapLevels(p, from);
        const int32_t other = at[size_t(p)];
        at[size_t(from)] = other;
        where[size_t(other)] = from;
        at[size_t(p)] = level;
        where[size_t(level)] = p;
        changed = true;
    }
    for (int32_t *mark : {&curlevel, &prevlevel})
        if (*mark >= 1 && *mark <= count)
            *mark = where[size_t(*mark)];
    return changed;
}

void deleteLevels(StoreStep &step, std::vector<int32_t> numbers)
{
    numbers = levelsOfFile(std::move(numbers));
    if (numbers.empty())
        return;
    const auto removedBelow = [&](int32_t k) {
        return int32_t(std::lower_bound(numbers.begin(), numbers.end(), k) - numbers.begin());
    };
    const auto removed = [&](int32_t k) { return std::binary_search(numbers.begin(), numbers.end(), k); };
    // A removed current level: the first level after it that is kept takes its place.
    const int32_t current = curlevel - removedBelow(curlevel);
    const int32_t previous = removed(prevlevel) ? 0 : prevlevel - removedBelow(prevlevel);
    for (auto k = numbers.rbegin(); k != numbers.rend(); ++k)
        step.deleteLevel(*k);
    const int32_t count = levelsinfo.count;
    curlevel = count >= 1 ? std::clamp(current, 1, count) : 0;
    prevlevel = previous >= 1 && previous <= count ? previous : curlevel;
}

} // namespace qm
