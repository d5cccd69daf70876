// Play Level through the real window: keys pressed as a player presses them, the run kept as the
// level's solution (one undo step, saved beside the levels file and read back at Open), a death told
// plainly, and editing back exactly where it was with nothing of the file changed.

#include "mainwindowfixture.h"

#include "editor/playcontroller.h"
#include "levels/gamelevel.h"
#include "levels/solutionsfile.h"
#include "levels/startsquare.h"
#include "levels/supaplexexport.h"

#include "game/recording.h"

#include <QStatusBar>
#include <QUndoStack>
#include <fstream>
#include <iterator>

using namespace qm;

namespace {

class PlayTest : public qmtest::MainWindowTest {
protected:
    // The level of a recorded solution of the game, imported whole; the recording's input.
    std::vector<uint8_t> openRecordedLevel(const char *name)
    {
        std::ifstream in(std::string(QM_SHARED_GAME_DIR) + "/solutions/00/" + name, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const game::Recording recording = game::readRecording(bytes.data(), bytes.size());
        openLevel(60, 24);
        importSupaplexRecordWhole(recording.record.data(), levels[1]);
        form->startEditing();
        return recording.input;
    }
    QWidget *keys() const { return surface(); }
    // Presses and releases the keys whose state differs from what input needs.
    void hold(uint8_t input)
    {
        const uint8_t direction = input >= 5 && input <= 8 ? uint8_t(input - 4) : input == 9 ? 0 : input;
        const bool want[5] = {direction == 1, direction == 2, direction == 3, direction == 4, input >= 5 && input <= 9};
        const Qt::Key key[5] = {Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_Space};
        for (int k = 0; k < 5; ++k) {
            if (want[k] == held[k])
                continue;
            if (want[k])
                QTest::keyPress(keys(), key[k]);
            else
                QTest::keyRelease(keys(), key[k]);
            held[k] = want[k];
        }
    }
    PlayController &play() { return form->play(); }
    bool held[5] = {};
};

} // namespace

TEST_F(PlayTest, ALevelPlayedThroughKeysIsKeptAsItsSolutionAndReplays)
{
    const std::vector<uint8_t> input = openRecordedLevel("00s018-e.sp");
    viewx = 40, viewy = 80;
    const int steps = form->history().stack().count();
    QTest::keyClick(keys(), Qt::Key_F9);
    ASSERT_TRUE(play().playing());
    EXPECT_FALSE(item("Save1")->isEnabled());
    EXPECT_FALSE(item("Openlevelsfile1")->isEnabled());
    EXPECT_TRUE(item("playLevel")->isEnabled());
    EXPECT_TRUE(form->statusBar()->currentMessage().startsWith("Infotrons needed: 1   Red disks: 0   Time: 0:00"));

    answers.push_back(MessageButton::Yes); // keep the run
    game::InputStream stream(input);
    bool endMark = false;
    while (!play().session()->stopped()) {
        const uint8_t code = endMark ? 0 : stream.next(endMark);
        hold(endMark ? 0 : code); // after the recording, nothing held until the run ends
        play().playFrames(1);
    }
    hold(0);
    ASSERT_TRUE(play().session()->finished());
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.back().startsWith("Level finished in ")) << messages.back().toStdString();
    EXPECT_TRUE(messages.back().endsWith("Keep this run as the level's solution?"));
    ASSERT_FALSE(levels[1].solution.empty());
    EXPECT_TRUE(game::replay(gameLevelOf(levels[1]), levels[1].solution).finished);

    QTest::keyClick(keys(), Qt::Key_Escape);
    EXPECT_FALSE(play().playing());
    EXPECT_TRUE(form->isVisible()) << "Escape while playing returns to editing, it does not close";
    EXPECT_EQ(viewx, 40);
    EXPECT_EQ(viewy, 80);
    EXPECT_TRUE(item("Save1")->isEnabled());
    // Keeping the run is one step of the history, which undo takes back.
    EXPECT_EQ(form->history().stack().count(), steps + 1);
    EXPECT_FALSE(saved);
    item("Undo1")->trigger();
    EXPECT_TRUE(levels[1].solution.empty());
    item("Redo1")->trigger();
    EXPECT_FALSE(levels[1].solution.empty());

    // Saved beside the levels file, and read back at Open.
    fileAnswers.push_back(QString::fromStdString(dir.path("kept.lev")));
    item("Saveas1")->trigger();
    EXPECT_TRUE(saved);
    const std::vector<uint8_t> kept = levels[1].solution;
    levels[1].solution.clear();
    form->document().open(dir.path("kept.lev"));
    EXPECT_EQ(levels[1].solution, kept);
}

TEST_F(PlayTest, ADeathIsToldAndEditingComesBackUntouched)
{
    openLevel(40, 40);
    viewx = 200, viewy = 200;
    for (int c = 1; c <= 5; ++c)
        levels[1].cellAt(2, c)->tile = c == 3 ? kTileBug : kTileEmpty;
    levels[1].startx = startPixelOf(2);
    levels[1].starty = startPixelOf(2);
    const std::vector<cell> before(&levels[1].cells[0][0], &levels[1].cells[0][0] + 5);
    const double viewX = viewx, viewY = viewy;
    item("playLevel")->trigger();
    ASSERT_TRUE(play().playing());
    // The pointer resting at an edge scrolls nothing while playing: editing comes back where it was.
    move(1, 240);
    QTest::qWait(60);
    QTest::keyPress(keys(), Qt::Key_Right);
    play().playFrames(1);
    QTest::keyRelease(keys(), Qt::Key_Right);
    play().playFrames(100);
    EXPECT_EQ(form->statusBar()->currentMessage(),
              "The hero touched a bug's sparks at column 2, row 2 — R to try again, Escape to edit");
    QTest::keyClick(keys(), Qt::Key_R);
    EXPECT_FALSE(play().session()->stopped());
    EXPECT_EQ(play().session()->frames(), 0);
    // Closing while playing asks nothing: the file is as saved.
    item("playLevel")->trigger();
    EXPECT_FALSE(play().playing());
    EXPECT_TRUE(saved);
    EXPECT_EQ(viewx, viewX);
    EXPECT_EQ(viewy, viewY);
    EXPECT_EQ(std::vector<cell>(&levels[1].cells[0][0], &levels[1].cells[0][0] + 5), before);
    EXPECT_TRUE(messages.empty());
}
