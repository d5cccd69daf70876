// The engine against the game itself: every recorded solution of the original levels must finish, and
// the field must match the game's own traces frame for frame.

#include "gamedata.h"

#include "game/engine.h"
#include "game/recording.h"
#include "game/trace.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace qm::game;

namespace {

std::string nameOf(const std::string &path) { return path.substr(path.rfind('/') + 1); }

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Empty when the two traces are the same; otherwise the first frame where they part and both lines.
std::string firstDifference(const std::string &ours, const std::string &game)
{
    const std::vector<std::string> a = linesOf(ours), b = linesOf(game);
    std::string frame = "before frame 0";
    for (size_t k = 0; k < std::max(a.size(), b.size()); ++k) {
        const std::string left = k < a.size() ? a[k] : "(nothing)", right = k < b.size() ? b[k] : "(nothing)";
        if (right.rfind("F ", 0) == 0)
            frame = "frame " + right.substr(2, right.find(' ', 2) - 2);
        if (left != right)
            return frame + ", line " + std::to_string(k + 1) + ":\n  engine: " + left.substr(0, 400) +
                   "\n  game:   " + right.substr(0, 400);
    }
    return {};
}

std::string traceOf(const Level &level, const std::vector<uint8_t> &input, const std::string &name,
                    ReplayResult &result)
{
    std::ostringstream text;
    TraceWriter writer(text, name);
    result = replay(level, input, &writer);
    return text.str();
}

// A recording the game does not finish, rebuilt from its trace: the level from the field after the
// start (the start's conversion undone) and the settings, the input from the frames.
struct Rebuilt {
    std::string name;
    Level level;
    std::vector<uint8_t> input;
};

Rebuilt rebuildFromTrace(const std::string &text)
{
    Rebuilt rebuilt;
    const std::vector<std::string> lines = linesOf(text);
    std::vector<uint16_t> field;
    size_t k = 0;
    for (; k < lines.size() && lines[k] != "FRAMES"; ++k) {
        std::istringstream words(lines[k]);
        std::string first;
        words >> first;
        if (first == "DEMO") {
            words >> rebuilt.name;
        } else if (first == "TAIL") {
            for (size_t n = 0; n < kSettingsSize; ++n) {
                std::string w;
                words >> w;
                rebuilt.level.settings[n] = uint8_t(std::stoul(w, nullptr, 16));
            }
        } else if (first.size() == 4 && lines[k].size() > 200) {
            field.push_back(uint16_t(std::stoul(first, nullptr, 16)));
            for (std::string w; words >> w;)
                field.push_back(uint16_t(std::stoul(w, nullptr, 16)));
        }
    }
    const int squares = kRecordColumns * kRecordRows;
    EXPECT_EQ(field.size(), size_t(squares));
    rebuilt.level.codes.assign(size_t(squares), 0);
    for (int cell = 0; cell < squares; ++cell) {
        const uint16_t w = field[size_t(cell)];
        const uint8_t c = uint8_t(w), s = uint8_t(w >> 8);
        uint8_t original = c;
        if (w == 0xFFFF) { // an enemy that moved up or right at the start
            const uint16_t up = cell >= kRecordColumns ? field[size_t(cell - kRecordColumns)] : 0;
            original = (up >> 8) == 0x10 ? uint8_t(up) : uint8_t(field[size_t(cell + 1)]);
        } else if ((c == 17 || c == 24) && (s == 0x10 || s == 0x28)) {
            original = 0; // where such an enemy moved: free at the start
        } else if (s == 1 && c >= 9 && c <= 12) {
            original = uint8_t(c + 4); // a special port
        }
        rebuilt.level.codes[size_t(cell)] = original;
    }
    // Each input byte lasts as many frames as share its offset.
    long offset = -1;
    int code = 0, count = 0;
    const auto flush = [&] {
        if (count > 0)
            rebuilt.input.push_back(uint8_t((count - 1) << 4 | code));
    };
    for (; k < lines.size(); ++k) {
        if (lines[k].rfind("F ", 0) != 0)
            continue;
        const size_t in = lines[k].find(" in="), b = lines[k].find(" b=");
        const int frameInput = std::stoi(lines[k].substr(in + 4));
        const long frameOffset = std::stol(lines[k].substr(b + 3));
        if (frameOffset != offset) {
            flush();
            offset = frameOffset;
            code = frameInput;
            count = 0;
        }
        ++count;
    }
    if (code != 15)
        flush();
    rebuilt.input.push_back(kEndMark);
    return rebuilt;
}

} // namespace

TEST(GameEngine, EverySolutionOfTheOriginalLevelsFinishes)
{
    const std::vector<std::string> files = gamedata::filesIn(gamedata::folder() + "/solutions/00", ".sp");
    ASSERT_EQ(files.size(), 334u) << "the recorded solutions are expected in " << gamedata::folder();
    int finished = 0;
    for (const std::string &path : files) {
        const std::vector<uint8_t> bytes = gamedata::readFile(path);
        const Recording recording = readRecording(bytes.data(), bytes.size());
        const ReplayResult result = replay(levelFromRecord(recording.record.data()), recording.input);
        EXPECT_TRUE(result.finished) << nameOf(path) << ": " << result.summary();
        finished += result.finished;
    }
    EXPECT_EQ(finished, 334);
}

TEST(GameEngine, TheFieldMatchesTheGamesTracesFrameForFrame)
{
    const std::string folder = gamedata::folder();
    const std::vector<std::string> traces = gamedata::filesIn(folder + "/traces", ".trace.gz");
    ASSERT_EQ(traces.size(), 33u);
    int solutions = 0, failures = 0;
    for (const std::string &path : traces) {
        const std::string game = gamedata::readGzip(path);
        const std::string name = nameOf(path).substr(0, nameOf(path).size() - std::string(".trace.gz").size());
        ReplayResult result;
        std::string ours;
        if (name.rfind("00s", 0) == 0) {
            const std::vector<uint8_t> bytes = gamedata::readFile(folder + "/solutions/00/" + name);
            const Recording recording = readRecording(bytes.data(), bytes.size());
            ours = traceOf(levelFromRecord(recording.record.data()), recording.input, name, result);
            EXPECT_TRUE(result.finished) << name;
            ++solutions;
        } else {
            // Recordings the game does not finish: they must not finish here either.
            const Rebuilt rebuilt = rebuildFromTrace(game);
            ours = traceOf(rebuilt.level, rebuilt.input, rebuilt.name, result);
            EXPECT_FALSE(result.finished) << name << ": " << result.summary();
            // What the game says of them: destroyed in frame 820; an explosion reaches him in frame 783;
            // the input ends with 5 infotrons missing.
            const std::string why = name == "04s105-5.sp"   ? " (frame 820)"
                                    : name == "92s052-1.sp" ? " (frame 783)"
                                                            : "the recording ended with 5 infotrons left";
            EXPECT_NE(result.summary().find(why), std::string::npos) << name << ": " << result.summary();
            ++failures;
        }
        EXPECT_EQ(firstDifference(ours, game), "") << name;
    }
    EXPECT_EQ(solutions, 30);
    EXPECT_EQ(failures, 3);
}

TEST(GameEngine, ALevelWithoutAHeroEndsAsAFailureAfterTheCountdown)
{
    Level level;
    level.codes.assign(size_t(kRecordColumns * kRecordRows), code::kHardware);
    level.codes[61] = code::kSpace;
    const std::vector<uint8_t> input{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, kEndMark};
    const ReplayResult result = replay(level, input);
    EXPECT_FALSE(result.finished);
    EXPECT_TRUE(result.noHero);
    EXPECT_EQ(result.frames, 64); // the death check of frame 0 starts the 64 frames' countdown
    EXPECT_EQ(result.summary(), "not finished: the level has no hero (frame 0)");
}

// Random keys on random levels of any size: the same result twice, and (under the sanitizers) no
// read or write outside the memory the engine holds, wherever the hero wanders.
TEST(GameEngine, RandomPlayOnRandomLevelsIsDeterministicAndStaysInBounds)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 60; ++round) {
        Level level;
        level.width = 3 + int(random() % 98);
        level.height = 3 + int(random() % 98);
        level.codes.resize(size_t(level.squares()));
        // Mostly space and base with every object of the game, and codes past them, sprinkled in.
        for (uint8_t &c : level.codes) {
            const unsigned pick = random() % 100;
            c = pick < 40 ? code::kSpace : pick < 60 ? code::kBase : pick < 97 ? uint8_t(random() % 41) : uint8_t(random());
        }
        for (uint8_t &b : level.settings)
            b = uint8_t(random());
        std::vector<uint8_t> input(size_t(random() % 300));
        for (uint8_t &b : input)
            b = uint8_t(random() % 0xFF);
        input.push_back(kEndMark);

        // Played twice, the second time after a restart, as the play-test's R key does.
        Engine engine(level);
        std::vector<uint16_t> firstRun;
        uint16_t firstRandom = 0;
        for (int run = 0; run < 2; ++run) {
            if (run == 1)
                engine.restart();
            InputStream stream(input);
            while (!engine.stopped()) {
                bool endMark = false;
                const uint8_t in = stream.next(endMark);
                engine.frame(in, endMark);
            }
            std::vector<uint16_t> words;
            for (int cell = -Engine::kCellsBefore; cell < level.squares() + Engine::kCellsAfter; ++cell)
                words.push_back(engine.word(cell));
            if (run == 0) {
                firstRun = words;
                firstRandom = engine.randomState();
            } else {
                ASSERT_EQ(words, firstRun) << "round " << round;
                EXPECT_EQ(engine.randomState(), firstRandom);
            }
        }
    }
}
