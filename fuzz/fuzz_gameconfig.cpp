// Game configuration files of any bytes: reading never hangs or writes past the 100 songs and levels;
// once read, the text the editor writes reads back to the same text.

#include "levels/gameconfig.h"

#include "platform/errors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qm::initGameConfig();
    try {
        qm::readGameConfigText(std::string(reinterpret_cast<const char *>(data), size));
    } catch (const qm::Error &) {
        // What was read stays, and is written all the same at exit.
    }
    const std::string written = qm::gameConfigText();
    qm::initGameConfig();
    try {
        qm::readGameConfigText(written);
    } catch (const qm::Error &) {
        // A value that holds a ";" cannot be read back whole; that is the file format.
        return 0;
    }
    if (qm::gameConfigText() != written)
        std::abort();
    return 0;
}
