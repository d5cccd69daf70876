// Playing in the editor without a window: keys to the game's input, the game's way of recording, a
// level finished through held keys whose recording the engine replays to the same end, and the words
// for a death.

#include "editor/core/playsession.h"

#include "levels/startsquare.h"
#include "levels/supaplexexport.h"
#include "levels/tiles.h"

#include "game/recording.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

using namespace qm;

namespace {

HeldKeys keysFor(uint8_t input)
{
    HeldKeys keys;
    const uint8_t direction = input >= 5 && input <= 8 ? uint8_t(input - 4) : input;
    keys.space = input >= 5;
    keys.up = direction == 1, keys.left = direction == 2, keys.down = direction == 3, keys.right = direction == 4;
    return keys;
}

} // namespace

TEST(PlaySession, HeldKeysBecomeTheGamesInput)
{
    EXPECT_EQ(gameInputOf({}), 0);
    EXPECT_EQ(gameInputOf({.up = true, .left = true}), 2);                  // left beats up
    EXPECT_EQ(gameInputOf({.up = true, .down = true, .right = true}), 4);   // right beats everything
    EXPECT_EQ(gameInputOf({.left = true, .down = true}), 3);
    EXPECT_EQ(gameInputOf({.down = true, .space = true}), 7);               // snap down
    EXPECT_EQ(gameInputOf({.space = true}), 9);                             // plant a red disk
    for (uint8_t input = 0; input <= 9; ++input)
        EXPECT_EQ(gameInputOf(keysFor(input)), input);
}

TEST(PlaySession, TheRecordingReadsBackFrameForFrame)
{
    std::mt19937 random(37);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint8_t> inputs(random() % 400);
        for (uint8_t &input : inputs)
            input = random() % 3 == 0 ? uint8_t(random() % 10) : inputs.empty() ? 0 : inputs[0];
        InputRecorder recorder;
        for (uint8_t input : inputs)
            recorder.add(input);
        const std::vector<uint8_t> bytes = recorder.bytes();
        game::InputStream stream(bytes);
        for (size_t frame = 0; frame < inputs.size(); ++frame) {
            bool endMark = false;
            ASSERT_EQ(stream.next(endMark), inputs[frame]) << "round " << round << ", frame " << frame;
            ASSERT_FALSE(endMark);
        }
        bool endMark = false;
        stream.next(endMark);
        EXPECT_TRUE(endMark);
    }
}

TEST(PlaySession, ALevelPlayedByHeldKeysIsRecordedAsTheGameReplaysIt)
{
    std::ifstream in(std::string(QM_SHARED_GAME_DIR) + "/solutions/00/00s018-e.sp", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const game::Recording recorded = game::readRecording(bytes.data(), bytes.size());
    static tlevel level;
    initNewLevel(level);
    importSupaplexRecordWhole(recorded.record.data(), level);

    PlaySession session(level);
    game::InputStream stream(recorded.input);
    bool endMark = false;
    // After the recording, nothing is held until the game ends the run (here the countdown: an orange
    // disk's explosion reaches the hero inside the exit, which does not undo the finish).
    while (!session.stopped()) {
        const uint8_t input = endMark ? 0 : stream.next(endMark);
        session.frame(keysFor(endMark ? 0 : input));
    }
    ASSERT_TRUE(session.finished());
    EXPECT_EQ(session.frames(), 16 + 64);
    EXPECT_EQ(session.endText(), "Level finished in 80 frames (0:02).");
    const game::ReplayResult replayed = game::replay(gameLevelOf(level), session.recording());
    EXPECT_TRUE(replayed.finished);
    EXPECT_EQ(replayed.frames, session.frames());

    // R plays the level again from its start, with a new recording.
    session.restart();
    EXPECT_FALSE(session.stopped());
    EXPECT_EQ(session.frames(), 0);
    EXPECT_EQ(session.recording(), std::vector<uint8_t>{game::kEndMark});
}

TEST(PlaySession, ADeathSaysWhatKilledTheHeroAndWhere)
{
    static tlevel level;
    initNewLevel(level);
    level.width = 5;
    level.height = 3;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 5; ++c)
            *level.cellAt(r, c) = cell{kTileWall, 0, kKindOrdinary, 0};
    level.cellAt(2, 2)->tile = kTileEmpty;
    level.cellAt(2, 3)->tile = kTileBug;
    level.startx = startPixelOf(2);
    level.starty = startPixelOf(2);
    PlaySession session(level);
    session.frame({.right = true}); // a bug starts with its sparks on
    while (!session.stopped())
        session.frame({});
    EXPECT_TRUE(session.heroDied());
    EXPECT_EQ(session.endText(), "The hero touched a bug's sparks at column 2, row 2 — R to try again, Escape to edit");
}
