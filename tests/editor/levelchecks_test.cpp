// The level checks in the main window: F7 and Check All Levels list the findings in their window,
// the list follows the level, a double-clicked finding is shown on the map, and a save with errors
// says how many in the caption.

#include "mainwindowfixture.h"

#include "levels/painting.h"
#include "levels/startsquare.h"

#include <QTableWidget>

using namespace qm;
using qmtest::MainWindowTest;
using qmtest::waitUntil;

namespace {

class LevelChecks : public MainWindowTest {
protected:
    // Level 1, 100 x 100 (a size the Levels dialog refuses: a warning): an exit, infotrons asked for
    // and not there (an error without a cell) and the start on a wall at column 70, row 60 (an error
    // with that cell). Level 2: no exit (an error), no infotrons asked for (a warning).
    void openTwoLevels()
    {
        openLevel(100, 100);
        paintLevel(levels[1], 10, 10, 63, PaintVariant::Press, [](int32_t) { return 40; });
        levels[1].infotrons = 3;
        levels[1].cellAt(60, 70)->tile = 32;
        levels[1].startx = startPixelOf(70);
        levels[1].starty = startPixelOf(60);
        addlevel();
        curlevel = 1;
        saved = true;
    }
    QTableWidget *list() const
    {
        auto *window = form->findChild<QWidget *>("levelCheckWindow");
        EXPECT_NE(window, nullptr);
        return window ? window->findChild<QTableWidget *>() : nullptr;
    }
    std::string text(int row, int column) const { return list()->item(row, column)->text().toStdString(); }
    void doubleClick(int row)
    {
        QTableWidget *grid = list();
        const QPoint at = grid->visualItemRect(grid->item(row, 0)).center();
        // A double-click as the system delivers it: a click, then the second press as a double-click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

TEST_F(LevelChecks, F7ListsTheLevelsFindingsWhichFollowItAndADoubleClickShowsOneOnTheMap)
{
    openTwoLevels();
    EXPECT_TRUE(item("checkLevel")->isEnabled());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(surface(), Qt::Key_F7);
    ASSERT_NE(list(), nullptr);
    EXPECT_TRUE(list()->window()->isVisible());
    ASSERT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(text(0, 0), "error");
    EXPECT_EQ(text(0, 1), "1 (Untitled)");
    EXPECT_EQ(text(0, 2), "column 70, row 60");
    EXPECT_EQ(text(1, 0), "error") << "errors come before warnings";
    EXPECT_EQ(text(1, 2), "");
    EXPECT_EQ(text(2, 0), "warning");

    // The list follows the level while it is shown: no infotrons asked for is a note.
    levels[1].infotrons = 0;
    EXPECT_TRUE(waitUntil([&] { return text(2, 0) == "note"; }));
    // A step (a stroke, an undo) brings the list along at once, before the next poll: the start
    // square's wall painted over is no longer an error.
    form->document().runStep("Paint", [](StoreStep &step) { step.setCell(1, 60, 70, cell{16, 0, 100, 0}); });
    EXPECT_NE(text(0, 2), "column 70, row 60");
    item("Undo1")->trigger();
    EXPECT_EQ(text(0, 2), "column 70, row 60");

    viewx = viewy = 0;
    doubleClick(0);
    EXPECT_EQ(viewx, 69 * 40 + 20 - 320);
    EXPECT_EQ(viewy, 59 * 40 + 20 - 240);
    EXPECT_EQ(pointercell().row, 60);
    EXPECT_EQ(pointercell().column, 70);

    // Every level: the second one's finding makes it current.
    item("checkAllLevels")->trigger();
    ASSERT_EQ(list()->rowCount(), 5);
    EXPECT_EQ(text(3, 1), "2 (Untitled)");
    doubleClick(3);
    EXPECT_EQ(curlevel, 2);
    EXPECT_TRUE(form->mapShown());
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();

    item("Close1")->trigger();
    EXPECT_FALSE(item("checkLevel")->isEnabled());
    EXPECT_FALSE(item("checkAllLevels")->isEnabled());
}

TEST_F(LevelChecks, ASaveWithErrorsSaysHowManyInTheCaptionUntilTheNextChange)
{
    const QString title = "Quillmoss the Virtual Reality Levels-Editor v1.2[*]";
    openTwoLevels();
    levels[2].infotrons = 1;
    fileAnswers.push_back(QString::fromStdString(dir.path("errors.lev")));
    item("Save1")->trigger();
    ASSERT_TRUE(std::filesystem::exists(dir.path("errors.lev")));
    EXPECT_EQ(form->windowTitle(), title + " - saved with 4 errors (Edit, Check All Levels)");
    form->DXTimer.applicationDeactivated();
    EXPECT_EQ(form->windowTitle(), title + " - saved with 4 errors (Edit, Check All Levels) [Pause]");
    form->DXTimer.applicationActivated();

    // The next change, painted on the map: the note goes with it.
    pickTile(16);
    click(5, 5);
    ASSERT_EQ(at(1, 1).tile, 16);
    EXPECT_EQ(form->windowTitle(), title);

    // A file without errors says nothing.
    levels[1].infotrons = levels[2].infotrons = 0;
    levels[1].cellAt(60, 70)->tile = 16;
    levels[2].cellAt(5, 5)->tile = 63;
    item("Save1")->trigger();
    EXPECT_EQ(form->windowTitle(), title);
}

// Notes fold by level and kind in the window as in lev check; a double-click shows the first.
TEST_F(LevelChecks, NotesFoldByKindAndShowTheFirst)
{
    openLevel(40, 40);
    paintLevel(levels[1], 10, 10, 63, PaintVariant::Press, [](int32_t) { return 40; });
    levels[1].infotrons = 1;
    levels[1].cellAt(3, 3)->tile = 12;
    for (int c = 20; c <= 24; ++c)
        *levels[1].cellAt(30, c) = cell{63, 0, kKindOrdinary, 0}; // exits of one square, as imported
    item("checkLevel")->trigger();
    ASSERT_EQ(list()->rowCount(), 1);
    EXPECT_EQ(text(0, 0), "note");
    EXPECT_EQ(text(0, 2), "column 20, row 30");
    EXPECT_EQ(text(0, 3), "5 exits (63) without the empty square and filler below them, as imported");
}

// A level without problems says so, instead of an empty table.
TEST_F(LevelChecks, ALevelWithoutProblemsSaysSo)
{
    openLevel(10, 10);
    paintLevel(levels[1], 3, 3, 63, PaintVariant::Press, [](int32_t) { return 40; });
    levels[1].cellAt(5, 5)->tile = 12;
    levels[1].infotrons = 1;
    item("checkLevel")->trigger();
    ASSERT_NE(list(), nullptr);
    ASSERT_EQ(list()->rowCount(), 1);
    EXPECT_EQ(text(0, 3), "No problems found in level 1");
    EXPECT_EQ(list()->item(0, 0), nullptr) << "no severity: nothing to show on the map";
}
