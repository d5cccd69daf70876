#pragma once
// The game's recordings: a `.sp` file is a level record (1,536 bytes), one byte for the level number,
// the recorded input (one byte per run of frames: the low 4 bits the input, the high 4 bits the run's
// length - 1) up to the end mark 0xFF, and perhaps a signature the game never plays. A file of exactly
// 1,536 bytes is a level without a recording.

#include "engine.h"
#include "level.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm::game {

inline constexpr uint8_t kEndMark = 0xFF;
inline constexpr size_t kMaxRecordingFile = 1536 + 48650 + 512; // what players' tools accept
inline constexpr size_t kMaxRecordedBytes = 48649;              // the game reads no more after the level

struct Recording {
    std::vector<uint8_t> record;    // the 1,536 bytes of the level
    bool hasInput = false;          // false: the file holds the level alone
    uint8_t levelNumber = 0;        // byte 1,536 as stored (the game ignores it)
    std::vector<uint8_t> input;     // the recorded input, up to and including the end mark
    std::vector<uint8_t> signature; // what follows the end mark in the file
};

// Reads a `.sp` file held in memory. A damaged one throws qm::Error with a message that names what is
// wrong: shorter than a level, longer than any recording, or a recording without its end mark.
Recording readRecording(const uint8_t *data, size_t size);

// The bytes of a `.sp` file: the record, the level number byte, the input with its end mark, the
// signature.
std::vector<uint8_t> writeRecording(const Recording &recording);

// The input of a recording frame by frame, as the game reads it.
class InputStream {
public:
    explicit InputStream(const std::vector<uint8_t> &input) : mInput(&input) {}
    // The next frame's input; endMark: this frame reads the end mark (or runs past the input).
    uint8_t next(bool &endMark);
    // Offset in the input of the byte in effect (the end mark's once it is read).
    size_t position() const { return mInUse; }

private:
    const std::vector<uint8_t> *mInput;
    size_t mNext = 0;
    size_t mInUse = 0;
    int mRepeat = 1;
    uint8_t mCode = 0;
};

// What killed the hero, in words that follow "The hero ": "was caught by a snik snak".
const char *killerWords(Killer killer);

// How a replay ended.
struct ReplayResult {
    bool finished = false;  // the hero reached the exit with every infotron needed
    int frames = 0;         // frames played
    int infotronsLeft = 0;  // still needed when the run stopped
    bool died = false;      // the hero was killed (at diedAtFrame, on diedAtCell)
    int diedAtFrame = 0;
    int diedAtColumn = 0;   // the square, counted from 1 as the editor counts a level's columns and rows
    int diedAtRow = 0;
    Killer killer = Killer::None;
    bool noHero = false;    // the level holds no hero
    // One line for people: "finished in 1,234 frames" or "not finished: why (frame N)".
    std::string summary() const;
    // Why the run did not finish, without the frame ("the hero was caught by a snik snak at column 3,
    // row 4"), and the frame it happened in (the death, or the last frame of the recording).
    std::string reason() const;
    int reasonFrame() const;
};

class TraceWriter;

// Plays a level with a recorded input until the run stops. The trace, when given, receives every frame.
ReplayResult replay(const Level &level, const std::vector<uint8_t> &input, TraceWriter *trace = nullptr);

// How the run of an engine ended, after it stopped (or when the caller stops watching).
ReplayResult resultOf(const Engine &engine);

} // namespace qm::game
