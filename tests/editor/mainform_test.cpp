#include "mainwindowfixture.h"

#include <QKeyEvent>
#include <QScreen>
#include <QMenu>

using namespace qm;
using qmtest::MainWindowTest;


TEST_F(MainWindowTest, StartsWithItsCaptionMenuAndAFixedClientArea)
{
    EXPECT_EQ(form->windowTitle(), "Quillmoss the Virtual Reality Levels-Editor v1.2[*]");
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_EQ(form->DXDraw->size(), QSize(784, 480));
    EXPECT_TRUE(form->DXDraw->Initialized());
    EXPECT_EQ(form->DXDraw->bufferOrigin(), QPoint(11, -1));
    EXPECT_FALSE(form->DXTimer.Enabled());
    EXPECT_EQ(form->meniulist.Items().Count(), 8);
    EXPECT_EQ(gamedir, dir.path() + "/");

    struct Item {
        QAction *action;
        const char *caption;
        const char *shortcut;
        bool enabled;
    } items[] = {{item("Newlevelsfile1"), "&New Levels File", "", true},
                 {item("Openlevelsfile1"), "&Open Levels File", "", true},
                 {item("Save1"), "&Save", "Ctrl+S", false},
                 {item("Saveas1"), "Save &as...", "", false},
                 {item("Close1"), "&Close Levels File", "", false},
                 {item("Newlevel1"), "Add &Level", "Ctrl+L", false},
                 {item("Deletelevel1"), "&Delete curent Level", "", false},
                 {form->findChild<QMenu *>("Inportlevel1")->menuAction(), "&Import Level", "", false},
                 {item("fromSupaPlexlevelsfile1"), "From SupaPlex Levels File", "", true},
                 {item("fromotherlevfile1"), "From Other .lev File", "", true},
                 {item("Exit1"), "E&xit", "", true},
                 {item("Thislevel1"), "&Edit Levels", "Ctrl+E", false},
                 {item("levelsOverview"), "Levels &Overview", "F8", true},
                 {item("CurentLevesFile1"), "&Curent Leves-File", "", true},
                 {item("AskConfirmations1"), "Ask Confirmations", "", true},
                 {item("Contents1"), "&Contents", "", true},
                 {item("GettingStarted1"), "&Getting Started", "", true},
                 {item("About1"), "&About...", "", true}};
    for (const Item &item : items) {
        EXPECT_EQ(item.action->text(), item.caption);
        EXPECT_EQ(item.action->shortcut(), QKeySequence(item.shortcut)) << item.caption;
        EXPECT_EQ(item.action->isEnabled(), item.enabled) << item.caption;
    }
    EXPECT_TRUE(item("AskConfirmations1")->isChecked());
}

TEST_F(MainWindowTest, AMissingEditorPictureFileIsReportedOnceAndTheWindowStillOpens)
{
    form.reset();
    messages.clear();
    std::filesystem::remove(dir.path("Editor.dxg"));
    cfgspeed = 0;
    writegameconfig(dir.path("Quillmoss.Cfg"));
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    form->show();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("Cannot open file")) << messages[0].toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(cfglevelsfile, ""); // the configuration was not read
}

// Exit writes the configuration only when start-up read it or found none: values not read are blanks.
TEST_F(MainWindowTest, AConfigurationThatWasNotReadIsLeftAsItIsAtExit)
{
    auto restart = [&] {
        form.reset();
        messages.clear();
        initGameConfig();
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                           QString::fromStdString(dir.path() + "/"));
        form->show();
    };
    cfglevelsfile = "Game.lev";
    cfgsongcount = 1;
    cfgsongs[1] = "Theme.mid";
    std::string text = gameConfigText();
    text.replace(text.find("Speed = 0;"), 10, "Speed = fast;");
    qmtest::writeFile(dir.path("Quillmoss.Cfg"), text);
    const std::vector<uint8_t> damaged = qmtest::readFile(dir.path("Quillmoss.Cfg"));

    restart();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString("'fast' is not a valid integer value\n\n") + kGameConfigKept);
    form->close();
    EXPECT_EQ(qmtest::readFile(dir.path("Quillmoss.Cfg")), damaged);

    // Start-up that stops before the configuration is read leaves a sound file alone too.
    text.replace(text.find("fast"), 4, "3");
    qmtest::writeFile(dir.path("Quillmoss.Cfg"), text);
    std::filesystem::rename(dir.path("Editor.dxg"), dir.path("Editor.old"));
    restart();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].endsWith(kGameConfigKept));
    form->close();
    EXPECT_EQ(qmtest::readFile(dir.path("Quillmoss.Cfg")), std::vector<uint8_t>(text.begin(), text.end()));

    // A missing configuration is made at exit, as before.
    std::filesystem::rename(dir.path("Editor.old"), dir.path("Editor.dxg"));
    std::filesystem::remove(dir.path("Quillmoss.Cfg"));
    restart();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "File not found");
    form->close();
    EXPECT_TRUE(std::filesystem::exists(dir.path("Quillmoss.Cfg")));
}

// A picture of "Editor.dxg" that no surface can hold (its rows left out, so the file is tiny): the
// failure when the surface is shown is reported, and the editor goes on.
TEST_F(MainWindowTest, APictureThatCannotBeGivenASurfaceIsReportedAtStart)
{
    form.reset();
    messages.clear();
    qmtest::writeFile(dir.path("Editor.dxg"), writeGraphicsFile({qmtest::pictureOfSide(4097)}));
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    form->show();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Surface cannot be made");
    EXPECT_TRUE(form->isVisible());
    form->DXTimerTimer(1);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(MainWindowTest, NothingReactsBeforeAFileIsOpen)
{
    move(300, 200);
    press(300, 200);
    press(700, 200);
    release(700, 200);
    EXPECT_EQ(pointerx, 0);
    EXPECT_EQ(palrow, 0);
    EXPECT_FALSE(painting);
    form->DXTimerTimer(16);
    EXPECT_EQ(form->DXDraw->Surface().pixel(100, 100), 0u);
}

TEST_F(MainWindowTest, PressAndDragPaintTheCellsUnderThePointer)
{
    openLevel();
    EXPECT_TRUE(form->DXTimer.Enabled());
    EXPECT_EQ(form->DXDraw->cursor().shape(), Qt::BlankCursor);

    press(700, 150); // palette: row 1, column 1 → tile 16
    release(700, 150);
    EXPECT_EQ(selectedtile(), 16);
    EXPECT_TRUE(saved);
    press(700, 110); // row 0, column 1 → tile 13
    release(700, 110);
    press(650, 110); // column 0 → tile 12
    release(700, 110);
    EXPECT_EQ(selectedtile(), 12);
    EXPECT_TRUE(saved) << "a palette press never makes the file unsaved";

    move(100, 60);
    press(100, 60);
    EXPECT_EQ(at(3, 4).tile, 12);
    EXPECT_FALSE(saved);
    move(140, 60);
    move(180, 60);
    release(180, 60);
    EXPECT_EQ(at(3, 5).tile, 12);
    EXPECT_EQ(at(3, 6).tile, 12);
    move(220, 60); // released: no more painting
    EXPECT_EQ(at(3, 7).tile, 16);
}

TEST_F(MainWindowTest, ObjectsPaintedThroughTheWindowUseTheThemesPictureWidths)
{
    openLevel();
    palscroll = 0;
    palrow = (20 - 12) / 3; // tile 20 is 80 wide in the synthetic theme: no rule, one square
    palcolumn = (20 - 12) % 3;
    move(20, 20);
    press(20, 20);
    release(20, 20);
    EXPECT_EQ(at(2, 2).tile, 20);
    EXPECT_EQ(at(2, 3).tile, 16);
    EXPECT_EQ(form->tileWidth(20), 80);
    EXPECT_EQ(form->tileWidth(29), 40);
    EXPECT_EQ(form->tileWidth(500), 0);
}

TEST_F(MainWindowTest, PalettePressesScrollWithinTheRows)
{
    openLevel();
    press(700, 430);
    release(700, 430);
    EXPECT_EQ(palscroll, 1);
    press(700, 90, Qt::RightButton);
    press(700, 90, Qt::RightButton);
    EXPECT_EQ(palscroll, 0);
    EXPECT_TRUE(saved);
}

TEST_F(MainWindowTest, EdgeZonesScrollByTheLagAndStopAtTheBounds)
{
    openLevel(100, 100);
    move(300, 470);
    form->DXTimerTimer(40);
    EXPECT_EQ(viewy, 20);
    form->DXTimerTimer(100000);
    EXPECT_EQ(viewy, 100 * 40 - 480);
    move(5, 200);
    form->DXTimerTimer(10);
    EXPECT_EQ(viewx, 0);
    EXPECT_GT(form->DXDraw->presentCount(), 0);
}

// Frames repaint only what changed in the window, and the window still shows the back buffer exactly:
// after pointer moves, a stroke, undo, the palette and edge scrolling.
TEST_F(MainWindowTest, TheWindowShowsTheBackBufferWhileFramesRepaintOnlyWhatChanged)
{
    openLevel(100, 100);
    const TDirectDrawSurface &s = form->DXDraw->Surface();
    if (s.pixelFormat() != SurfacePixelFormat::Xrgb8888)
        GTEST_SKIP() << "compared on a 32-bit display";
    const auto showsBackBuffer = [&](const char *after) {
        QCoreApplication::processEvents();
        const QImage shown = form->screen()->grabWindow(form->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint origin = form->DXDraw->mapTo(form.get(), form->DXDraw->bufferOrigin());
        const QRect control(form->DXDraw->mapTo(form.get(), QPoint(0, 0)), form->DXDraw->size());
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const QPoint at = origin + QPoint(x, y);
                if (!control.contains(at))
                    continue;
                if ((shown.pixel(at) & 0xFFFFFF) != (s.pixel(x, y) & 0xFFFFFF))
                    return ::testing::AssertionFailure() << "after " << after << ": (" << x << ", " << y << ")";
            }
        return ::testing::AssertionSuccess();
    };
    move(100, 60);
    form->DXTimerTimer(16);
    EXPECT_TRUE(showsBackBuffer("the first frame"));

    const int64_t painted = form->DXDraw->paintedPixels();
    for (int k = 1; k <= 5; ++k) {
        move(100 + 7 * k, 60 + 3 * k);
        form->DXTimerTimer(16);
        EXPECT_TRUE(showsBackBuffer("a pointer move"));
    }
    QCoreApplication::processEvents();
    EXPECT_LT(form->DXDraw->paintedPixels() - painted, int64_t(s.Width()) * s.Height() / 4)
        << "five pointer moves repaint around the pointer, not the window";

    pickTile(13);
    form->DXTimerTimer(16);
    EXPECT_TRUE(showsBackBuffer("a pick from the palette"));
    click(140, 100);
    form->DXTimerTimer(16);
    EXPECT_TRUE(showsBackBuffer("a stroke"));
    item("Undo1")->trigger();
    form->DXTimerTimer(16);
    EXPECT_TRUE(showsBackBuffer("undo"));
    move(300, 470);
    form->DXTimerTimer(40);
    // Away from the edge again, so that the frame timer's own ticks stop scrolling before the look.
    move(300, 200);
    form->DXTimerTimer(16);
    EXPECT_TRUE(showsBackBuffer("edge scrolling"));
}

// A tick draws only when what the frame shows may have changed: a still pointer costs no frames.
TEST_F(MainWindowTest, AStillPointerSkipsFramesAndMovesEditsUndoAndScrollingDrawAgain)
{
    openLevel(100, 100);
    const TDirectDrawSurface &s = form->DXDraw->Surface();
    auto shows = [&](int x, int y, uint32_t rgb) {
        return s.pixel(x, y) == rgbToPixel(s.pixelFormat(), rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF);
    };
    auto presents = [&] { return form->DXDraw->presentCount(); };
    click(650, 110); // tile 12 from the palette
    move(100, 60);
    form->DXTimerTimer(16);
    int drawn = presents();
    QTest::qWait(100); // the frame timer's own ticks
    form->DXTimerTimer(16);
    EXPECT_EQ(presents(), drawn) << "the pointer rests";

    move(200, 60);
    form->DXTimerTimer(16);
    EXPECT_GT(presents(), drawn);
    EXPECT_TRUE(shows(202, 62, qmtest::kPointerColors.at("mousex")));

    click(140, 100); // paints cell (4, 5), at (160, 120)
    form->DXTimerTimer(16);
    EXPECT_TRUE(shows(190, 150, qmtest::tileColor(12)));
    drawn = presents();
    item("Undo1")->trigger();
    form->DXTimerTimer(16);
    EXPECT_GT(presents(), drawn);
    EXPECT_TRUE(shows(190, 150, qmtest::tileColor(16)));

    // Edge scrolling moves the view on each tick without any event, until the view's bound.
    move(300, 470);
    form->DXTimerTimer(16);
    drawn = presents();
    form->DXTimerTimer(100000);
    EXPECT_EQ(viewy, 100 * 40 - 480);
    EXPECT_EQ(presents(), drawn + 1);
    form->DXTimerTimer(16);
    EXPECT_EQ(presents(), drawn + 1);
}

TEST_F(MainWindowTest, ASmallLevelIsDrawnAgainstTheRightAndBottomEdges)
{
    openLevel(10, 8);
    move(300, 300);
    form->DXTimerTimer(1);
    EXPECT_EQ(viewx, -240);
    EXPECT_EQ(viewy, -160);
    const uint32_t base = qmtest::tileColor(16);
    const TDirectDrawSurface &s = form->DXDraw->Surface();
    auto expected = [&](uint32_t rgb) { return rgbToPixel(s.pixelFormat(), rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF); };
    EXPECT_EQ(s.pixel(241, 161), expected(base));
    EXPECT_EQ(s.pixel(200, 161), expected(qmtest::kBackground));
}

TEST_F(MainWindowTest, EscapeClosesThroughTheCloseQueryAndAltEnterOnlyInforms)
{
    openLevel();
    saved = false;
    answer = MessageButton::Cancel;
    QTest::keyClick(surface(), Qt::Key_Return, Qt::AltModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Quill Moss Editor cannot run in full screen mode.");
    EXPECT_TRUE(form->isVisible());

    QTest::keyClick(surface(), Qt::Key_Escape);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "This levels file is unsaved.Would you like to save it?");
    EXPECT_TRUE(form->isVisible()) << "Cancel keeps the window open";

    answer = MessageButton::No;
    QTest::keyClick(surface(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(std::filesystem::exists(dir.path("Quillmoss.Cfg")));
}

TEST_F(MainWindowTest, TheCaptionShowsPauseWhileTheApplicationIsInactive)
{
    openLevel(100, 100);
    form->DXTimer.applicationDeactivated();
    EXPECT_EQ(form->windowTitle(), "Quillmoss the Virtual Reality Levels-Editor v1.2[*] [Pause]");
    EXPECT_TRUE(form->DXTimer.Enabled()); // the map goes on scrolling
    form->DXTimer.applicationActivated();
    EXPECT_EQ(form->windowTitle(), "Quillmoss the Virtual Reality Levels-Editor v1.2[*]");
}

TEST_F(MainWindowTest, AskConfirmationsIsKeptAcrossARestart)
{
    item("AskConfirmations1")->trigger();
    EXPECT_FALSE(askconfirmations);
    form->close();
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    EXPECT_FALSE(askconfirmations);
    EXPECT_FALSE(item("AskConfirmations1")->isChecked());
}

// The dialogs are made once the window is exposed, the rarely used ones when first shown; a command
// that comes sooner makes its dialog itself, and a dialog shown again is the same one.
TEST_F(MainWindowTest, ACommandBeforeTheWindowIsExposedStillHasItsDialog)
{
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    EXPECT_EQ(form->findChild<QDialog *>(), nullptr);
    int shown = 0;
    qsizetype dialogs = 0;
    for (int time = 0; time < 2; ++time) {
        QTimer::singleShot(0, [&] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                ++shown;
                box->close();
            }
        });
        item("About1")->trigger();
        if (time == 0)
            dialogs = form->findChildren<QDialog *>().size();
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(form->findChildren<QDialog *>().size(), dialogs);
}

// A start that fails before its last step (no Editor.dxg) still reads the preferences first, so that
// closing writes back the user's own: "Ask Confirmations" and the overlay switch both unchecked.
TEST_F(MainWindowTest, PreferencesSurviveAStartThatFailed)
{
    item("AskConfirmations1")->trigger();
    item("ShowStartSquareAndGrid1")->trigger();
    form->close();
    std::filesystem::rename(dir.path("Editor.dxg"), dir.path("Editor.old"));
    for (int run = 0; run < 2; ++run) {
        if (run == 1)
            std::filesystem::rename(dir.path("Editor.old"), dir.path("Editor.dxg"));
        messages.clear();
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                           QString::fromStdString(dir.path() + "/"));
        EXPECT_EQ(messages.size(), run == 0 ? 1u : 0u);
        EXPECT_FALSE(askconfirmations) << run;
        EXPECT_FALSE(item("AskConfirmations1")->isChecked()) << run;
        EXPECT_FALSE(item("ShowStartSquareAndGrid1")->isChecked()) << run;
        form->close();
    }
}
