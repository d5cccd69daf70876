#include "supaplex.h"

#include "platform/errors.h"

#include <array>

namespace qm {

namespace {

// The conversion of object codes; every code not listed becomes the default cell.
std::array<cell, 256> conversionTable()
{
    std::array<cell, 256> table;
    table.fill(kDefaultCell);
    auto set = [&](uint8_t code, int32_t tile, int32_t kind, int32_t pattern) {
        table[code] = cell{tile, 0, kind, pattern};
    };
    set(0, 15, 100, 0);  // empty
    set(1, 20, 100, 0);  // boulder
    set(2, 16, 100, 0);  // base
    set(3, 16, 100, 0);  // the hero's start becomes an ordinary base
    set(4, 12, 100, 0);  // infotron
    set(5, 28, 100, 0);  // chip
    set(6, 41, 100, 0);  // hardware wall
    set(7, 63, 100, 0);  // exit
    set(8, 21, 100, 0);  // disk
    for (uint8_t code = 9; code <= 16; ++code) // ports, drawn above their neighbours
        set(code, 49 + (code - 9) % 4, 102, 0);
    set(17, 38, 100, 0);
    set(18, 21, 100, 0);
    set(19, 53, 100, 0); // terminal
    set(20, 19, 100, 0);
    set(24, 39, 100, 0);
    set(26, 29, 100, 0); // horizontal chip, left and right halves
    set(27, 29, 100, 1);
    set(28, 32, 100, 0);
    set(29, 35, 100, 0);
    set(30, 56, 100, 0);
    set(31, 35, 100, 0);
    set(32, 56, 100, 0);
    set(33, 34, 100, 0);
    set(34, 35, 100, 0);
    set(35, 35, 100, 0);
    set(36, 36, 100, 0);
    set(37, 31, 100, 0); // vertical chip, upper and lower halves
    set(38, 31, 100, 1);
    return table;
}

const std::array<cell, 256> &table()
{
    static const std::array<cell, 256> instance = conversionTable();
    return instance;
}

} // namespace

SupaplexFile readsupaplexfile(const std::string &path) { return SupaplexFile{readFileStart(path, kSupaplexFileSize)}; }

std::vector<std::string> supaplexlist(const SupaplexFile &file)
{
    std::vector<std::string> lines;
    if (file.spbuffer.size() < kSupaplexFileSize)
        return lines;
    for (int n = 1; n <= kSupaplexLevels; ++n) {
        const uint8_t *title = file.spbuffer.data() + size_t(n - 1) * kSupaplexRecord + kSupaplexTitleAt;
        lines.push_back(std::to_string(n) + " " + std::string(reinterpret_cast<const char *>(title), kSupaplexTitleLength));
    }
    return lines;
}

cell supaplexcell(uint8_t code) { return table()[code]; }

void importsupaplexlevel(const SupaplexFile &file, int splevel, tlevel &level)
{
    if (splevel < 1 || splevel > kSupaplexLevels || file.spbuffer.size() < kSupaplexFileSize)
        throw Error("ERangeError", "There is no Supaplex level " + std::to_string(splevel) + ": choose one of the "
                                       + std::to_string(kSupaplexLevels) + " levels of the list.");
    const uint8_t *record = file.spbuffer.data() + size_t(splevel - 1) * kSupaplexRecord;
    level.width = kSupaplexColumns - 2;
    level.height = kSupaplexRows - 2;
    for (int r = 1; r <= level.height; ++r)
        for (int c = 1; c <= level.width; ++c)
            *level.cellAt(r, c) = supaplexcell(record[kSupaplexColumns * r + c]);
}

} // namespace qm
