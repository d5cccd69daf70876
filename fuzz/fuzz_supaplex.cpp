// Supaplex levels files of any bytes: every level converts within its 58 x 22 squares, from cells of
// the conversion table only.

#include "levels/supaplex.h"

#include <cstdlib>
#include <cstring>

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    SupaplexFile file;
    file.spbuffer.assign(kSupaplexFileSize, 0);
    std::memcpy(file.spbuffer.data(), data + 1, std::min(size - 1, kSupaplexFileSize));
    const int number = data[0] % 113; // 0 and 112 lie outside the list
    if (supaplexList(file).size() != size_t(kSupaplexLevels))
        std::abort();
    static tlevel level;
    try {
        importSupaplexLevel(file, number, level);
    } catch (const std::exception &) {
        if (number >= 1 && number <= kSupaplexLevels)
            std::abort();
        return 0;
    }
    for (int r = 1; r <= 22; ++r)
        for (int c = 1; c <= 58; ++c) {
            const cell got = *level.cellAt(r, c);
            const uint8_t code = file.spbuffer[size_t(number - 1) * kSupaplexRecord + size_t(60 * r + c)];
            if (!(got == supaplexCell(code)))
                std::abort();
        }
    return 0;
}
