// Reading the game's recordings (.sp files) as hostile bytes.

#include "game/engine.h"
#include "game/recording.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

using namespace qm::game;

namespace {

std::vector<uint8_t> levelBytes()
{
    std::vector<uint8_t> bytes(kRecordSize, 0);
    bytes[0] = code::kHero;
    return bytes;
}

std::string refusal(const std::vector<uint8_t> &bytes)
{
    try {
        readRecording(bytes.data(), bytes.size());
    } catch (const qm::Error &error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(Recording, PartsAreSplitAndWrittenBackUnchanged)
{
    std::vector<uint8_t> bytes = levelBytes();
    bytes.insert(bytes.end(), {0x91, 0x13, 0x04, kEndMark, 'b', 'y', ' ', 'm', 'e', kEndMark});
    const Recording recording = readRecording(bytes.data(), bytes.size());
    EXPECT_TRUE(recording.hasInput);
    EXPECT_EQ(recording.levelNumber, 0x91);
    EXPECT_EQ(recording.input, (std::vector<uint8_t>{0x13, 0x04, kEndMark}));
    EXPECT_EQ(recording.signature.size(), 6u);
    EXPECT_EQ(writeRecording(recording), bytes);

    const Recording levelOnly = readRecording(bytes.data(), kRecordSize);
    EXPECT_FALSE(levelOnly.hasInput);
    EXPECT_EQ(writeRecording(levelOnly).size(), kRecordSize);
}

TEST(Recording, DamagedFilesAreRefusedWithWhatIsWrong)
{
    std::vector<uint8_t> shortFile = levelBytes();
    shortFile.pop_back();
    EXPECT_EQ(refusal(shortFile), "The file is 1,535 bytes: a recorded solution starts with a level of 1,536 bytes");

    std::vector<uint8_t> longFile = levelBytes();
    longFile.resize(kMaxRecordingFile + 1, 0x11);
    EXPECT_EQ(refusal(longFile), "The file is 50,699 bytes: a recorded solution holds at most 50,698 bytes");

    // Input that runs past what the game reads without an end mark.
    std::vector<uint8_t> endless = levelBytes();
    endless.resize(kRecordSize + kMaxRecordedBytes + 10, 0x11);
    EXPECT_EQ(refusal(endless), "The recording has no end mark within the 48,649 bytes the game reads");
}

TEST(Recording, AMissingEndMarkIsAddedAsTheGameDoes)
{
    std::vector<uint8_t> bytes = levelBytes();
    bytes.insert(bytes.end(), {0x81, 0x34, 0x01});
    const Recording recording = readRecording(bytes.data(), bytes.size());
    EXPECT_EQ(recording.input, (std::vector<uint8_t>{0x34, 0x01, kEndMark}));
}

TEST(Recording, TheInputIsReadFrameByFrameAsTheGameReadsIt)
{
    // 0x31: up for 4 frames, 0x02: left once, then the end mark, read in the frame after.
    const std::vector<uint8_t> input{0x31, 0x02, kEndMark};
    InputStream stream(input);
    std::vector<int> codes;
    bool endMark = false;
    while (!endMark)
        codes.push_back(stream.next(endMark));
    EXPECT_EQ(codes, (std::vector<int>{1, 1, 1, 1, 2, 15}));
    EXPECT_EQ(stream.position(), 2u);
}
