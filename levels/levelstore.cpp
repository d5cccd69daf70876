#include "levelstore.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <memory>
#include <new>
#include <utility>

namespace qm {

Tlevels levelsinfo;
LevelSlots levels;
int32_t curlevel = 0;
int32_t prevlevel = 0;
bool fileopen = false;
bool saved = true;
std::string levelsfilepath;
std::string newfilename;
std::string gamedir;
std::string loadeddxg;
bool askconfirmations = true;
bool dialogok = false;

int32_t pointerx = 0, pointery = 0;
double viewx = 0, viewy = 0;
int32_t palscroll = 0;
int32_t palcolumn = 0, palrow = 0;
bool painting = false;
int32_t carriedtile = kPaletteSlotCarried;

namespace {
[[noreturn]] void throwBadSlot(int k)
{
    throw Error("ERangeError", "Level " + std::to_string(k) + " is outside the levels 1 to "
                                   + std::to_string(kMaxLevels) + " that the editor holds");
}
} // namespace

LevelSlots::~LevelSlots()
{
    for (int i = 0; i < kMaxLevels; ++i)
        if (mConstructed[i])
            std::launder(reinterpret_cast<tlevel *>(mSlots[i].bytes))->~tlevel();
}

tlevel &LevelSlots::operator[](int k)
{
    if (k < 1 || k > kMaxLevels)
        throwBadSlot(k);
    unsigned char *bytes = mSlots[k - 1].bytes;
    if (!mConstructed[k - 1]) {
        // Default-initialised, not value-initialised: the cells keep the zeros of untouched memory
        // instead of being written.
        new (bytes) tlevel;
        mConstructed[k - 1] = true;
    }
    return *std::launder(reinterpret_cast<tlevel *>(bytes));
}

void resetstore()
{
    newfilename.clear();
    levelsfilepath.clear();
    palscroll = palcolumn = palrow = 0;
    carriedtile = kPaletteSlotCarried;
    painting = false;
    viewx = viewy = 0;
    prevlevel = 0;
    curlevel = 0;
    fileopen = true;
}

void requireRoomForLevel()
{
    if (levelsinfo.count >= kMaxLevels || levelsinfo.count < 0)
        throw Error("ELevelStoreFull", "This levels file already holds " + std::to_string(kMaxLevels)
                                           + " levels, the most a levels file can hold.");
}

void initNewLevel(tlevel &level)
{
    level.dxg = kNewLevelGraphics;
    level.width = kNewLevelSize;
    level.height = kNewLevelSize;
    level.name = kNewLevelName;
    level.startx = kNewLevelStart;
    level.starty = kNewLevelStart;
    level.reserved = 0;
    for (auto &row : level.cells)
        for (cell &c : row)
            c = kDefaultCell;
    level.infotrons = 0;
    level.solution.clear();
}

void addlevel()
{
    requireRoomForLevel();
    int n = ++levelsinfo.count;
    prevlevel = curlevel;
    curlevel = n;
    initNewLevel(levels[n]);
}

bool deleteLevel(int32_t k)
{
    if (k < 1 || k > levelsinfo.count)
        return false;
    for (int i = k; i < levelsinfo.count; ++i)
        levels[i] = levels[i + 1]; // a copy: the slot after the file keeps its content
    --levelsinfo.count;
    return true;
}

bool insertLevel(int32_t k, const tlevel &level)
{
    requireRoomForLevel();
    if (k < 1 || k > levelsinfo.count + 1)
        return false;
    // A slot of the store is copied aside first: moving the levels up may overwrite it.
    std::unique_ptr<tlevel> aside;
    const tlevel *source = &level;
    for (int i = 1; i <= kMaxLevels && !aside; ++i)
        if (&levels[i] == &level)
            source = (aside = std::make_unique<tlevel>(level)).get();
    ++levelsinfo.count;
    for (int i = levelsinfo.count; i > k; --i)
        levels[i] = levels[i - 1];
    levels[k] = *source;
    return true;
}

bool swapLevels(int32_t a, int32_t b)
{
    if (a < 1 || a > levelsinfo.count || b < 1 || b > levelsinfo.count)
        return false;
    std::swap(levels[a], levels[b]);
    return true;
}

void removecurrentlevel()
{
    // With no current level of the file (curlevel outside 1..count) there is nothing to remove:
    // dropping the last level instead would lose a level the user did not choose.
    deleteLevel(curlevel);
    curlevel = prevlevel;
}

void initStore()
{
    fileopen = false;
    saved = true;
    levelsinfo = Tlevels{};
    curlevel = prevlevel = 0;
    levelsfilepath.clear();
    newfilename.clear();
    loadeddxg.clear();
    gamedir = executableDirectory();
    dialogok = false;
    pointerx = pointery = 0;
    viewx = viewy = 0;
    palscroll = palcolumn = palrow = 0;
    carriedtile = kPaletteSlotCarried;
    painting = false;
}

} // namespace qm
