// Supaplex levels files of any bytes and any length: the records read are the whole records the bytes
// hold (at most 111), and every level converts within its 58 x 22 squares, from cells of the
// conversion table only, with a start square inside the level and the record's own infotrons.

#include "levels/startsquare.h"
#include "levels/supaplex.h"

#include "platform/errors.h"

#include <cstdlib>
#include <cstring>

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    SupaplexFile file;
    try {
        file = supaplexFileOf(data + 1, size - 1);
    } catch (const Error &) {
        if (size - 1 >= kSupaplexRecord)
            std::abort();
        return 0;
    }
    const int records = file.records();
    if (records < 1 || records > kSupaplexLevels || file.spbuffer.size() != size_t(records) * kSupaplexRecord
        || file.ignored != size - 1 - file.spbuffer.size())
        std::abort();
    if (supaplexList(file).size() != size_t(records))
        std::abort();
    const int number = data[0] % (kSupaplexLevels + 2); // 0 and 112 lie outside every list
    static tlevel level;
    level.startx = level.starty = kNewLevelStart;
    try {
        importSupaplexLevel(file, number, level, {true, true});
    } catch (const Error &) {
        if (number >= 1 && number <= records)
            std::abort();
        return 0;
    }
    const uint8_t *record = file.spbuffer.data() + size_t(number - 1) * kSupaplexRecord;
    int32_t infotrons = 0;
    bool hero = false;
    for (int r = 1; r <= 22; ++r)
        for (int c = 1; c <= 58; ++c) {
            const uint8_t code = record[size_t(60 * r + c)];
            if (!(*level.cellAt(r, c) == supaplexCell(code)))
                std::abort();
            infotrons += code == kSupaplexInfotron;
            hero = hero || code == kSupaplexHero;
        }
    const int64_t column = startSquareOf(level.startx), row = startSquareOf(level.starty);
    if (hero && (column < 1 || column > 58 || row < 1 || row > 22 || record[size_t(60 * row + column)] != kSupaplexHero))
        std::abort();
    if (!hero && (level.startx != kNewLevelStart || level.starty != kNewLevelStart))
        std::abort();
    if (level.infotrons != (record[kSupaplexInfotronsAt] != 0 ? record[kSupaplexInfotronsAt] : infotrons))
        std::abort();
    return 0;
}
