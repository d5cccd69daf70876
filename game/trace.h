#pragma once
// The field frame by frame, as text: a header with the field after the level's start, then for every
// frame its input, the counters and the squares, timers and outside cells that changed. The same lines
// for the same recording, whoever plays it, so two players of the game can be compared line by line.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace qm::game {

class Engine;

class TraceWriter {
public:
    TraceWriter(std::ostream &out, std::string name) : mOut(out), mName(std::move(name)) {}
    void start(const Engine &engine);
    // After each frame: the input it played and the offset, in the recording, of the input byte in use.
    void frame(const Engine &engine, uint8_t input, size_t inputOffset);
    void end(const Engine &engine, int frames);

private:
    void counters(const Engine &engine);

    std::ostream &mOut;
    std::string mName;
    int mFrame = 0;
    std::vector<uint16_t> mWords;  // every cell's word as last written
    std::vector<int8_t> mTimers;
};

} // namespace qm::game
