#include "editor/core/maptools.h"

#include "levels/levelstore.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

Stamp sampleStamp()
{
    Stamp stamp{2, 3, {}};
    for (int k = 0; k < 6; ++k)
        stamp.cells.push_back(cell{20 + k, 0, 100 + k % 3, k});
    return stamp;
}

std::string withNumberAt(std::string bytes, size_t at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + size_t(k)] = char(value >> (8 * k) & 0xFF);
    return bytes;
}

} // namespace

// The clipboard's bytes come from anywhere: what the editor writes reads back whole, and every damaged
// form is refused with a message instead of read past its end or sized from a hostile count.
TEST(MapTools, ClipboardCellsReadBackAndDamagedOnesAreRefused)
{
    const Stamp stamp = sampleStamp();
    const std::string bytes = stampBytes(stamp);
    EXPECT_EQ(readStampBytes(bytes), stamp);
    EXPECT_EQ(stampText(stamp), "20\t21\t22\n23\t24\t25\n");

    const std::vector<std::pair<const char *, std::string>> damaged{
        {"empty", ""},
        {"another format", "hello, world, this is text"},
        {"header cut short", bytes.substr(0, 12)},
        {"last cell cut short", bytes.substr(0, bytes.size() - 1)},
        {"bytes after the cells", bytes + "x"},
        {"no rows", withNumberAt(bytes, 8, 0)},
        {"negative columns", withNumberAt(bytes, 12, 0xFFFFFFFF)},
        {"more rows than a level", withNumberAt(bytes, 8, 101)},
        {"a size whose cells overflow", withNumberAt(withNumberAt(bytes, 8, 0x40000000), 12, 0x40000000)},
    };
    for (const auto &[what, input] : damaged) {
        try {
            readStampBytes(input);
            ADD_FAILURE() << what << " was read";
        } catch (const Error &e) {
            EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << what << ": " << e.what();
        }
    }
}
