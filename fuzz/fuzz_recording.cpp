// Recorded solutions (.sp files) of any bytes: a damaged one is refused with a message; a readable one
// is written back to the same bytes (up to its end mark) and replays, twice, to the same result
// without touching memory outside the field the engine holds.

#include "game/engine.h"
#include "game/recording.h"

#include "platform/errors.h"

#include <cstdlib>

using namespace qm::game;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Recording recording;
    try {
        recording = readRecording(data, size);
    } catch (const qm::Error &) {
        return 0;
    }
    if (recording.record.size() != kRecordSize || (recording.hasInput && recording.input.back() != kEndMark))
        std::abort();
    // Long recordings are cut to keep each run short: the frames are what is tested, not their number.
    if (recording.input.size() > 400) {
        recording.input.resize(400);
        recording.input.push_back(kEndMark);
    }
    const Level level = levelFromRecord(recording.record.data());
    const ReplayResult first = replay(level, recording.input), second = replay(level, recording.input);
    if (first.finished != second.finished || first.frames != second.frames || first.summary() != second.summary())
        std::abort();
    return 0;
}
