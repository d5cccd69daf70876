// Random keys on random levels of any size: the first two bytes give the width and height (3..100),
// then come the settings, the squares and the keys. The engine must neither crash nor reach outside
// the memory it holds, and a restart plays the same again.

#include "game/engine.h"
#include "game/recording.h"

#include <cstdlib>
#include <vector>

using namespace qm::game;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 + kSettingsSize)
        return 0;
    Level level;
    level.width = 3 + data[0] % 98;
    level.height = 3 + data[1] % 98;
    size_t at = 2;
    for (uint8_t &b : level.settings)
        b = data[at++];
    level.codes.assign(size_t(level.squares()), 0);
    for (uint8_t &c : level.codes)
        c = at < size ? data[at++] : 0;
    std::vector<uint8_t> keys(data + at, data + size);
    if (keys.size() > 300)
        keys.resize(300);
    keys.push_back(kEndMark);

    Engine engine(level);
    uint16_t finalRandom = 0;
    int finalHero = 0;
    for (int run = 0; run < 2; ++run) {
        if (run == 1)
            engine.restart();
        InputStream stream(keys);
        while (!engine.stopped()) {
            bool endMark = false;
            const uint8_t input = stream.next(endMark);
            engine.frame(input, endMark);
        }
        if (run == 1 && (engine.randomState() != finalRandom || engine.heroCell() != finalHero))
            std::abort();
        finalRandom = engine.randomState();
        finalHero = engine.heroCell();
    }
    return 0;
}
