#include "supaplex.h"

#include "tiles.h"

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
    set(0, kTileEmpty, kKindOrdinary, 0);
    set(1, kTileBoulder, kKindOrdinary, 0);
    set(2, kTileBase, kKindOrdinary, 0);
    set(3, kTileBase, kKindOrdinary, 0); // the hero's start becomes an ordinary base
    set(4, kTileInfotron, kKindOrdinary, 0);
    set(5, kTileChip, kKindOrdinary, 0);
    set(6, kTileWall, kKindOrdinary, 0);
    set(7, kTileExit, kKindOrdinary, 0);
    set(8, kTileOrangeDisk, kKindOrdinary, 0);
    for (uint8_t code = 9; code <= 16; ++code) // ports, drawn above their neighbours
        set(code, kTilePortRight + (code - 9) % 4, kKindOnTop, 0);
    set(17, kTileSpinner, kKindOrdinary, 0);
    set(18, kTileOrangeDisk, kKindOrdinary, 0);
    set(19, kTileTerminal, kKindOrdinary, 0);
    set(20, kTileRedDisk, kKindOrdinary, 0);
    set(24, kTileSpark, kKindOrdinary, 0);
    set(26, kTileStripHorizontal, kKindOrdinary, 0); // horizontal chip, left and right halves
    set(27, kTileStripHorizontal, kKindOrdinary, 1);
    set(28, kTileWallPlain, kKindOrdinary, 0);
    set(29, kTileWallStriped, kKindOrdinary, 0);
    set(30, kTileWallBraced, kKindOrdinary, 0);
    set(31, kTileWallStriped, kKindOrdinary, 0);
    set(32, kTileWallBraced, kKindOrdinary, 0);
    set(33, kTileWallLight, kKindOrdinary, 0);
    set(34, kTileWallStriped, kKindOrdinary, 0);
    set(35, kTileWallStriped, kKindOrdinary, 0);
    set(36, kTileBlock7x1, kKindOrdinary, 0);
    set(37, kTileStripVertical, kKindOrdinary, 0); // vertical chip, upper and lower halves
    set(38, kTileStripVertical, kKindOrdinary, 1);
    return table;
}

const std::array<cell, 256> &table()
{
    static const std::array<cell, 256> instance = conversionTable();
    return instance;
}

} // namespace

SupaplexFile readSupaplexFile(const std::string &path) { return SupaplexFile{readFileStart(path, kSupaplexFileSize)}; }

std::vector<std::string> supaplexList(const SupaplexFile &file)
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

cell supaplexCell(uint8_t code) { return table()[code]; }

void importSupaplexLevel(const SupaplexFile &file, int splevel, tlevel &level)
{
    if (splevel < 1 || splevel > kSupaplexLevels || file.spbuffer.size() < kSupaplexFileSize)
        throw Error("ERangeError", "There is no Supaplex level " + std::to_string(splevel) + ": choose one of the "
                                       + std::to_string(kSupaplexLevels) + " levels of the list.");
    const uint8_t *record = file.spbuffer.data() + size_t(splevel - 1) * kSupaplexRecord;
    level.width = kSupaplexColumns - 2;
    level.height = kSupaplexRows - 2;
    for (int r = 1; r <= level.height; ++r)
        for (int c = 1; c <= level.width; ++c)
            *level.cellAt(r, c) = supaplexCell(record[kSupaplexColumns * r + c]);
}

} // namespace qm
