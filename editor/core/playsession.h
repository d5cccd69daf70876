#pragma once
// Playing the level being made, by the game's own rules: the keys held each frame become the game's
// input, every frame is recorded as the game records it, and the field is drawn with the level's
// tiles, objects moving between squares as the game's steps place them. Plain functions and one class
// without Qt: the window only routes its keys and its 35 frames a second here.

#include "mapview.h"

#include "game/engine.h"
#include "levels/gamelevel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm {

inline constexpr int kGameFramesPerSecond = 35;

// The keys of the game held down in a frame.
struct HeldKeys {
    bool up = false, left = false, down = false, right = false, space = false;
};

// The game's input for held keys: of the arrows, right wins over down over left over up; with space,
// the arrow's snap, or 9 (plant a red disk) without an arrow.
uint8_t gameInputOf(const HeldKeys &keys);

// The game's recording of inputs frame by frame: one byte each time the input changes or after 16
// frames of the same input, closed by the end mark.
class InputRecorder {
public:
    void add(uint8_t input);
    void clear();
    // The bytes with their end mark.
    std::vector<uint8_t> bytes() const;

private:
    std::vector<uint8_t> mBytes;
    uint8_t mInput = 0;
    int mRun = 0; // frames of mInput not yet in mBytes
};

// Minutes and seconds of game frames: "1:05".
std::string gameTime(int frames);

class PlaySession {
public:
    // Plays the level from its start square, recording, or from heroAt without recording. Throws
    // qm::Error when the level cannot be played (too small, the start square outside).
    PlaySession(const tlevel &level, std::optional<Square> heroAt = {});

    // One frame with the keys held now; nothing once the run has stopped or while paused.
    void frame(const HeldKeys &keys);
    void restart();
    void setPaused(bool paused) { mPaused = paused; }
    bool paused() const { return mPaused; }

    const game::Engine &engine() const { return *mEngine; }
    const tlevel &level() const { return mLevel; }
    bool records() const { return !mFromHere; }
    int frames() const { return mFrames; }
    bool stopped() const { return mEngine->stopped(); }
    bool finished() const { return mEngine->finished(); }
    // The hero died (the run goes on until the game's countdown ends it).
    bool heroDied() const { return mEngine->heroDied() && !mEngine->finished(); }
    // The recorded input so far, with its end mark.
    std::vector<uint8_t> recording() const { return mRecorder.bytes(); }

    // The status line while playing: "Infotrons needed: 12   Red disks: 0   Time: 0:42".
    std::string statusText() const;
    // What ended the run, once there is something to say: the hero's death with what to do next, or
    // the finish; empty while the run goes on.
    std::string endText() const;

    // The word each square of the field held when the level started (squares still holding it are
    // drawn as the level's own cells).
    uint16_t startWord(int cell) const { return mStartWords[size_t(cell)]; }

private:
    tlevel mLevel;
    bool mFromHere = false;
    std::unique_ptr<game::Engine> mEngine;
    std::vector<uint16_t> mStartWords;
    InputRecorder mRecorder;
    int mFrames = 0;
    bool mPaused = false;
};

// Where the map's top-left corner lies, in level pixels, to follow the hero: his square in the middle
// of a map of mapWidth x mapHeight pixels, kept within the level as edge scrolling keeps it.
std::pair<double, double> playView(const PlaySession &session, int mapWidth, int mapHeight);

// One frame of play: the level's cells where nothing has changed since the start, the game's objects
// where something has (moving between squares by their steps), then the palette panel.
void drawPlayFrame(TDirectDrawSurface &surface, const FramePictures &pictures, const PlaySession &session);

} // namespace qm
