// Supaplex levels kept whole, and the export: a record of any bytes kept whole comes back byte for byte
// (or is refused for more than 10 special ports); a level of hostile sizes, start, infotrons and cells
// (tiles, kinds, patterns and reserved values of any value) exports or is refused with qm::Error, and
// its game settings read and change within its squares.

#include "levels/supaplexexport.h"

#include "platform/errors.h"

#include <cstdlib>
#include <cstring>

using namespace qm;

namespace {

// The input read as numbers, from the start again when it ends.
class Numbers {
public:
    Numbers(const uint8_t *data, size_t size) : mData(data), mSize(size) {}
    int32_t next()
    {
        uint8_t bytes[4];
        for (uint8_t &b : bytes)
            b = mData[mAt++ % mSize];
        int32_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    const uint8_t *mData;
    size_t mSize;
    size_t mAt = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    static tlevel level;
    if ((data[0] & 1) && size > kSupaplexRecordBytes) {
        const uint8_t *record = data + 1;
        importSupaplexRecordWhole(record, level);
        int special = 0;
        for (size_t k = 0; k < kSupaplexHeaderAt; ++k)
            special += record[k] >= 13 && record[k] <= 16;
        try {
            const SupaplexRecordBytes back = supaplexRecordOf(level, 1);
            if (special > 10 || std::memcmp(back.data(), record, kSupaplexRecordBytes) != 0)
                std::abort();
        } catch (const Error &) {
            if (special <= 10)
                std::abort();
        }
        return 0;
    }

    Numbers in(data + 1, size - 1);
    // Small sizes are likelier than any int32, so that the exportable shapes are reached too.
    const bool small = data[0] & 2;
    level.width = small ? in.next() % 70 : in.next();
    level.height = small ? in.next() % 30 : in.next();
    level.startx = in.next();
    level.starty = in.next();
    level.infotrons = in.next();
    for (auto &row : level.cells)
        for (cell &square : row) {
            const bool plain = data[0] & 4;
            square.tile = plain ? int32_t(uint32_t(in.next()) % 80) : in.next();
            square.reserved = in.next();
            square.kind = in.next();
            square.pattern = plain ? int32_t(uint32_t(in.next()) % 3) : in.next();
        }
    try {
        const SupaplexRecordBytes record = supaplexRecordOf(level, 1);
        if (level.width < 1 || level.width > 60 || level.height < 1 || level.height > 24)
            std::abort();
        (void)record;
    } catch (const Error &) {
    }
    GameSettings settings = gameSettingsOf(level);
    settings.gravity = !settings.gravity;
    for (SpecialPortSettings &port : settings.ports)
        port.changes = !port.changes;
    try {
        applyGameSettings(level, settings);
    } catch (const Error &) {
    }
    return 0;
}
