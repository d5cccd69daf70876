#include "level.h"

#include <algorithm>

namespace qm::game {

Level levelFromRecord(const uint8_t *record)
{
    Level level;
    const size_t field = size_t(kRecordColumns) * kRecordRows;
    level.codes.assign(record, record + field);
    std::copy(record + field, record + kRecordSize, level.settings.begin());
    return level;
}

std::string levelProblem(const Level &level)
{
    if (level.width < 3 || level.width > kMaxSide || level.height < 3 || level.height > kMaxSide)
        return "A level of " + std::to_string(level.width) + " x " + std::to_string(level.height) +
               " squares cannot be played: each side must be 3 to 100 squares";
    if (level.codes.size() != size_t(level.squares()))
        return "The level's squares do not fill its field";
    return {};
}

} // namespace qm::game
