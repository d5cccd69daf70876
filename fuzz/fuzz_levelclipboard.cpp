// Levels from the clipboard, of any bytes: the reader never reads outside them nor sizes anything from
// an unchecked count; what it accepts writes back to the same bytes (the older form: to the same levels)
// and becomes levels of the store.

#include "editor/core/levelclipboard.h"

#include "platform/errors.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    std::vector<qm::CarriedLevel> carried;
    try {
        carried = qm::readLevelsBytes(bytes);
    } catch (const qm::Error &) {
        return 0;
    }
    // The current form writes back to the same bytes; the older form without solutions reads back the
    // same levels once written in the current one.
    const std::string written = qm::levelsBytes(carried);
    if (bytes.substr(0, 8) == "QMLEVS02" ? written != bytes : qm::readLevelsBytes(written) != carried)
        std::abort();
    for (const qm::CarriedLevel &level : carried)
        if (level.cells.size() != size_t(level.width) * size_t(level.height) || !qm::levelOfCarried(level))
            std::abort();
    return 0;
}
