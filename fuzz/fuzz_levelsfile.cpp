// Levels files of any bytes: the reader never reads outside the data and refuses what the store
// cannot hold; a file it accepts writes back and reads again to the same levels.

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "platform/errors.h"

#include <cstdlib>
#include <cstring>

using namespace qm;

namespace {

bool sameLevel(const tlevel &a, const tlevel &b)
{
    if (a.dxg.substr(0, 255) != b.dxg || a.name.substr(0, 255) != b.name || a.startx != b.startx
        || a.starty != b.starty || a.reserved != b.reserved || a.width != b.width || a.height != b.height
        || a.infotrons != b.infotrons)
        return false;
    for (int r = 0; r < a.height; ++r)
        if (std::memcmp(a.cells[r], b.cells[r], sizeof(cell) * size_t(a.width)) != 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static tlevel first[kMaxLevels];
    LevelsFileContent content;
    try {
        content = parseLevelsFile(RawBytes(data, data + size));
    } catch (const Error &) {
        return 0; // refused with a message: fine
    }
    storeLevelsFile(content);
    const int count = levelsinfo.count;
    if (count < 0 || count > kMaxLevels)
        std::abort();
    for (int k = 1; k <= count; ++k)
        first[k - 1] = levels[k];

    std::array<int32_t, kOffsetCount> offsets{};
    Bytes written = levelsFileBytes(offsets);
    LevelsFileContent again = parseLevelsFile(RawBytes(written.begin(), written.end()));
    storeLevelsFile(again);
    if (levelsinfo.count != count)
        std::abort();
    for (int k = 1; k <= count; ++k)
        if (!sameLevel(first[k - 1], levels[k]))
            std::abort();
    return 0;
}
