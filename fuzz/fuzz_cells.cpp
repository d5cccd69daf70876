// Cells from the clipboard, of any bytes: the reader never reads outside them nor sizes anything from
// an unchecked count; what it accepts writes back to the same bytes.

#include "editor/core/stamp.h"

#include "platform/errors.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    qm::Stamp stamp;
    try {
        stamp = qm::readStampBytes(bytes);
    } catch (const qm::Error &) {
        return 0;
    }
    if (qm::stampBytes(stamp) != bytes || stamp.cells.size() != size_t(stamp.rows) * size_t(stamp.columns))
        std::abort();
    return 0;
}
