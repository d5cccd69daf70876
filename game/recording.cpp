#include "recording.h"

#include "engine.h"
#include "trace.h"

#include "platform/errors.h"

#include <algorithm>

namespace qm::game {

namespace {

std::string withThousands(size_t n)
{
    std::string digits = std::to_string(n), out;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k != 0 && (digits.size() - k) % 3 == 0)
            out += ',';
        out += digits[k];
    }
    return out;
}

[[noreturn]] void refuse(const std::string &message) { throw Error("ERecording", message); }

} // namespace

Recording readRecording(const uint8_t *data, size_t size)
{
    if (size < kRecordSize)
        refuse("The file is " + withThousands(size) +
               " bytes: a recorded solution starts with a level of 1,536 bytes");
    if (size > kMaxRecordingFile)
        refuse("The file is " + withThousands(size) + " bytes: a recorded solution holds at most " +
               withThousands(kMaxRecordingFile) + " bytes");
    Recording recording;
    recording.record.assign(data, data + kRecordSize);
    if (size == kRecordSize)
        return recording;
    recording.hasInput = true;
    recording.levelNumber = data[kRecordSize];
    const uint8_t *input = data + kRecordSize + 1;
    const size_t available = size - kRecordSize - 1;
    const size_t readable = std::min(available, kMaxRecordedBytes - 1);
    const uint8_t *mark = std::find(input, input + readable, kEndMark);
    if (mark == input + readable) {
        // The game closes what it read with an end mark of its own.
        if (readable < available)
            refuse("The recording has no end mark within the " + withThousands(kMaxRecordedBytes) +
                   " bytes the game reads");
        recording.input.assign(input, input + readable);
        recording.input.push_back(kEndMark);
        return recording;
    }
    recording.input.assign(input, mark + 1);
    recording.signature.assign(mark + 1, data + size);
    return recording;
}

std::vector<uint8_t> writeRecording(const Recording &recording)
{
    std::vector<uint8_t> bytes(recording.record.begin(), recording.record.end());
    bytes.resize(kRecordSize, 0);
    if (!recording.hasInput)
        return bytes;
    bytes.push_back(recording.levelNumber);
    bytes.insert(bytes.end(), recording.input.begin(), recording.input.end());
    if (recording.input.empty() || recording.input.back() != kEndMark)
        bytes.push_back(kEndMark);
    bytes.insert(bytes.end(), recording.signature.begin(), recording.signature.end());
    return bytes;
}

uint8_t InputStream::next(bool &endMark)
{
    endMark = false;
    if (mRepeat > 1) {
        --mRepeat;
        return mCode;
    }
    const uint8_t byte = mNext < mInput->size() ? (*mInput)[mNext] : kEndMark;
    mInUse = mNext;
    if (byte == kEndMark)
        endMark = true;
    else
        ++mNext;
    mCode = byte & 0x0F;
    mRepeat = (byte >> 4) + 1;
    return mCode;
}

ReplayResult resultOf(const Engine &engine)
{
    ReplayResult result;
    result.finished = engine.finished();
    result.frames = engine.frameCounter();
    result.infotronsLeft = engine.infotronsLeft();
    result.died = engine.heroDied();
    result.noHero = !engine.levelHasHero();
    if (result.died) {
        result.diedAtFrame = engine.diedAtFrame();
        result.diedAtColumn = engine.diedAtCell() % engine.width() + 1;
        result.diedAtRow = engine.diedAtCell() / engine.width() + 1;
        result.killer = engine.killer();
    }
    return result;
}

ReplayResult replay(const Level &level, const std::vector<uint8_t> &input, TraceWriter *trace)
{
    Engine engine(level);
    InputStream stream(input);
    if (trace)
        trace->start(engine);
    int frames = 0;
    while (!engine.stopped()) {
        bool endMark = false;
        const uint8_t code = stream.next(endMark);
        engine.frame(code, endMark);
        if (trace)
            trace->frame(engine, code, stream.position());
        ++frames;
    }
    ReplayResult result = resultOf(engine);
    result.frames = frames;
    if (trace)
        trace->end(engine, frames);
    return result;
}

const char *killerWords(Killer killer)
{
    switch (killer) {
    case Killer::SnikSnak: return "was caught by a snik snak";
    case Killer::Electron: return "was caught by an electron";
    case Killer::Zonk: return "was crushed by a falling zonk";
    case Killer::Infotron: return "was crushed by a falling infotron";
    case Killer::OrangeDisk: return "was caught in an orange disk's explosion";
    case Killer::Bug: return "touched a bug's sparks";
    case Killer::RedDisk: return "was caught in a red disk's explosion";
    default: return "was caught in an explosion";
    }
}

std::string ReplayResult::reason() const
{
    if (noHero)
        return "the level has no hero";
    if (died)
        return std::string("the hero ") + killerWords(killer) + " at column " + std::to_string(diedAtColumn) +
               ", row " + std::to_string(diedAtRow);
    if (infotronsLeft > 0)
        return "the recording ended with " + std::to_string(infotronsLeft) + " infotron" +
               (infotronsLeft == 1 ? "" : "s") + " left";
    return "the recording ended before the hero reached the exit";
}

int ReplayResult::reasonFrame() const { return died || noHero ? diedAtFrame : frames - 1; }

std::string ReplayResult::summary() const
{
    if (finished)
        return "finished in " + withThousands(size_t(frames)) + " frames";
    return "not finished: " + reason() + " (frame " + std::to_string(reasonFrame()) + ")";
}

} // namespace qm::game
