// The map in a window made larger, at each zoom, and lines and rectangles, through the real window.

#include "mainwindowfixture.h"

#include "editor/core/maptools.h"
#include "editor/core/mapview.h"
#include "levels/gamerules.h"
#include "levels/tiles.h"

#include <QWheelEvent>
#include <random>

using namespace qm;

namespace {

class LargeMap : public qmtest::MainWindowTest {
protected:
    void TearDown() override
    {
        MainWindowTest::TearDown();
        maparea = MapArea{};
    }
    void grow(int width = 1920, int height = 1080)
    {
        form->resize(width, height);
        QTRY_VERIFY(form->DXDraw->width() > 784 && form->DXDraw->height() > 480);
    }
    bool shows(int x, int y, uint32_t rgb) const
    {
        const TDirectDrawSurface &s = form->DXDraw->Surface();
        return s.pixel(x, y) == rgbToPixel(s.pixelFormat(), rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF);
    }
    // A frame drawn with the pointer resting over the panel, where it covers nothing of the map.
    void drawWithPointerAway()
    {
        move(maparea.width() + 60, 460);
        form->DXTimerTimer(1);
    }
    // Where the middle of cell (r, c) is on the map area at the present view and zoom.
    static QPoint middleOf(int r, int c)
    {
        const double scale = maparea.scale();
        return {int(std::floor(((c - 1) * 40 - viewx) / scale)) + maparea.square / 2,
                int(std::floor(((r - 1) * 40 - viewy) / scale)) + maparea.square / 2};
    }
    void wheelAt(QPoint at, int notches, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent event(at, form->DXDraw->mapToGlobal(at), QPoint(), QPoint(0, notches * 120), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface(), &event);
    }
};

} // namespace

// Larger, the window shows more whole squares: the surface follows the control (shown at the same
// offset), the panel stays at the right edge and its palette answers there, painting reaches the new
// squares, and edge scrolling works in the larger area up to the level's bounds; back at the first size
// everything is where it was.
TEST_F(LargeMap, ALargerWindowShowsMoreSquaresAndEveryToolFollows)
{
    openLevel(100, 100);
    viewx = viewy = 0;
    grow();
    const QSize control = form->DXDraw->size();
    EXPECT_EQ(maparea.controlWidth, control.width());
    EXPECT_EQ(maparea.controlHeight, control.height());
    EXPECT_EQ(form->DXDraw->Surface().Width(), control.width() - 23);
    EXPECT_EQ(form->DXDraw->Surface().Height(), control.height() + 3);
    EXPECT_EQ(form->DXDraw->bufferOrigin(), QPoint(11, -1));
    EXPECT_EQ(maparea.width(), control.width() - 23 - 121);

    const int panel = maparea.width();
    click(panel + 60, 120); // the palette's second slot
    EXPECT_EQ(selectedtile(), 13);
    const CellPosition painted{maparea.height() / 40, panel / 40}; // the last whole square of the map area
    // The pointer is the carried tile's top-left corner: a press just inside the square paints it.
    click(middleOf(painted.row, painted.column).x() - 15, middleOf(painted.row, painted.column).y() - 15);
    EXPECT_EQ(at(painted.row, painted.column).tile, 13);
    drawWithPointerAway();
    EXPECT_TRUE(shows(panel + 100, 10, qmtest::kPanel)) << "the panel at the right edge";
    EXPECT_TRUE(shows(middleOf(painted.row, painted.column).x(), middleOf(painted.row, painted.column).y(),
                      qmtest::tileColor(13)));
    EXPECT_TRUE(shows(panel - 100, 700, qmtest::tileColor(kDefaultCell.tile))) << "squares beyond the first size are drawn";

    move(maparea.controlWidth - 5, 300); // the right scrolling band
    form->DXTimerTimer(40);
    EXPECT_EQ(viewx, 20);
    form->DXTimerTimer(100000);
    EXPECT_EQ(viewx, 100 * 40 - panel);
    move(300, maparea.height() - 5);
    form->DXTimerTimer(100000);
    EXPECT_EQ(viewy, 100 * 40 - maparea.height());

    // A level smaller than the map sits against its right and bottom edges, at every size.
    levels[1].width = 10;
    levels[1].height = 8;
    clampView();
    EXPECT_EQ(viewx, 400 - panel);
    form->resize(form->minimumSize());
    QTRY_COMPARE(form->DXDraw->size(), QSize(784, 480));
    EXPECT_EQ(form->DXDraw->Surface().Width(), 761);
    EXPECT_EQ(form->DXDraw->Surface().Height(), 483);
    EXPECT_EQ(maparea.width(), 640);
    EXPECT_EQ(viewx, 400 - 640);
    EXPECT_EQ(viewy, 320 - 480);
}

// At squares of 40, 20 and 10 pixels a press paints the square under the pointer, the frame draws it
// there, a whole 60 x 24 level fits at 20, Ctrl+wheel zooms about the square under the pointer, and
// the zoom is kept for the next start.
TEST_F(LargeMap, EachZoomPaintsAndDrawsTheSquareUnderThePointer)
{
    openLevel(100, 100);
    grow();
    pickTile(12);
    std::mt19937 random(11);
    const std::pair<const char *, int> steps[] = {{"zoomOut", 20}, {"zoomOut", 10}, {"zoomOut", 10},
                                                  {"zoomIn", 20},  {"actualSize", 40}, {"zoomOut", 20}};
    for (const auto &[name, square] : steps) {
        item(name)->trigger();
        ASSERT_EQ(maparea.square, square) << name;
        for (int round = 0; round < 20; ++round) {
            const int x = int(random() % uint32_t(maparea.width())), y = int(random() % uint32_t(maparea.height()));
            move(x, y);
            const CellPosition under = pointercell();
            EXPECT_EQ(under.column, int(int64_t(std::trunc(viewx + x * maparea.scale() + 20)) / 40) + 1);
            EXPECT_EQ(under.row, int(int64_t(std::trunc(viewy + y * maparea.scale() + 20)) / 40) + 1);
            // At 10 the whole level fits, with room left of and above it.
            if (round % 3 != 0 || under.row < 1 || under.column < 1 || under.row > 100 || under.column > 100)
                continue;
            press(x, y);
            release(x, y);
            EXPECT_EQ(at(under.row, under.column).tile, 12);
            drawWithPointerAway();
            const QPoint middle = middleOf(under.row, under.column);
            if (middle.x() < maparea.width() && middle.y() < maparea.height()) {
                EXPECT_TRUE(shows(middle.x(), middle.y(), qmtest::tileColor(12))) << name << " " << square;
            }
            item("Undo1")->trigger();
            EXPECT_EQ(at(under.row, under.column), kDefaultCell);
        }
    }
    EXPECT_NE(form->statusLine().indexOf("Zoom 50%"), -1) << form->statusLine().toStdString();

    // The carried tile's frame and the start marker are made smaller with the squares.
    viewx = viewy = 0;
    move(300, 300);
    form->DXTimerTimer(1);
    EXPECT_TRUE(shows(302, 302, qmtest::kPointerColors.at("mousex")));
    EXPECT_TRUE(shows(308, 308, qmtest::tileColor(12))) << "the frame is half its size";
    const CellPosition start = startSquare(levels[1]);
    const QPoint marker((start.column - 1) * 20, (start.row - 1) * 20);
    const TDirectDrawSurface &s = form->DXDraw->Surface();
    EXPECT_EQ(s.pixel(marker.x() + 1, marker.y() + 10), s.ColorToPixel(0x0000FF40));
    EXPECT_NE(s.pixel(marker.x() + 3, marker.y() + 3), s.ColorToPixel(0x0000FF40)) << "a thinner frame";

    // The wheel with Ctrl keeps the square under the pointer.
    item("actualSize")->trigger();
    viewx = 300;
    viewy = 1000;
    move(105, 305);
    const CellPosition before = pointercell();
    wheelAt({105, 305}, -1, Qt::ControlModifier);
    EXPECT_EQ(maparea.square, 20);
    EXPECT_EQ(pointercell().row, before.row);
    EXPECT_EQ(pointercell().column, before.column);
    wheelAt({105, 305}, 1, Qt::ControlModifier);
    EXPECT_EQ(maparea.square, 40);
    EXPECT_EQ(viewx, 300);
    EXPECT_EQ(viewy, 1000);

    // A whole game level at 20.
    item("zoomOut")->trigger();
    openLevel(60, 24);
    clampView();
    EXPECT_LE(viewx, 0);
    EXPECT_LE(viewy, 0);
    EXPECT_TRUE(visibleCells() == (CellRect{1, 1, 24, 60}));

    answer = MessageButton::No; // not saved
    form->close();
    maparea = MapArea{};
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"), recoveryDirectory());
    EXPECT_EQ(maparea.square, 20) << "kept in the settings";
}

// L held draws a line, R a rectangle's outline, Shift+R a filled one: each one step of the history,
// previewed while dragging, with objects placed whole along it.
TEST_F(LargeMap, LinesAndRectanglesAreOneStepEachWithAPreview)
{
    useDefaultTheme();
    openLevel(40, 40);
    move(320, 240);
    viewx = viewy = 0;
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto cellPoint = [](int r, int c) { return QPoint(40 * (c - 1) + 5, 40 * (r - 1) + 5); };
    const auto drag = [&](QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
        move(from.x(), from.y());
        QTest::mousePress(surface(), Qt::LeftButton, modifiers, from);
        move(to.x(), to.y());
        QTest::mouseRelease(surface(), Qt::LeftButton, modifiers, to);
    };
    const cell wall{20, 0, kKindOrdinary, 0};
    pickTile(20);

    QTest::keyPress(surface(), Qt::Key_L);
    form->updateStatus();
    EXPECT_NE(form->statusLine().indexOf("L: a line"), -1);
    drag(cellPoint(2, 2), cellPoint(3, 9)); // nearer a row than a diagonal
    for (int c = 2; c <= 9; ++c)
        EXPECT_EQ(at(2, c), wall) << c;
    EXPECT_EQ(at(3, 9), kDefaultCell);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Line");
    drag(cellPoint(4, 2), cellPoint(8, 7)); // a diagonal, as long as the shorter side
    for (int k = 0; k <= 4; ++k)
        EXPECT_EQ(at(4 + k, 2 + k), wall) << k;
    EXPECT_EQ(at(8, 7), kDefaultCell);
    QTest::keyRelease(surface(), Qt::Key_L);

    QTest::keyPress(surface(), Qt::Key_R);
    move(cellPoint(4, 10).x(), cellPoint(4, 10).y());
    QTest::mousePress(surface(), Qt::LeftButton, {}, cellPoint(4, 10));
    move(cellPoint(8, 15).x(), cellPoint(8, 15).y());
    form->DXTimerTimer(1);
    EXPECT_TRUE(shows(40 * 9 - 1, 40 * 3 - 1, 0xFFFFFF)) << "the preview frames the squares";
    EXPECT_EQ(at(4, 10), kDefaultCell) << "nothing is painted before the release";
    QTest::mouseRelease(surface(), Qt::LeftButton, {}, cellPoint(8, 15));
    for (int c = 10; c <= 15; ++c) {
        EXPECT_EQ(at(4, c), wall);
        EXPECT_EQ(at(8, c), wall);
    }
    for (int r = 4; r <= 8; ++r) {
        EXPECT_EQ(at(r, 10), wall);
        EXPECT_EQ(at(r, 15), wall);
    }
    EXPECT_EQ(at(6, 12), kDefaultCell);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Rectangle");
    drag(cellPoint(10, 14), cellPoint(12, 16), Qt::ShiftModifier);
    EXPECT_EQ(at(11, 15), wall) << "Shift+R fills";
    QTest::keyRelease(surface(), Qt::Key_R);

    // Blocks of 6 x 3 squares side by side along the line, as many whole ones as it holds.
    pickTile(kTileBlock6x3);
    QTest::keyPress(surface(), Qt::Key_L);
    drag(cellPoint(9, 1), cellPoint(9, 16));
    QTest::keyRelease(surface(), Qt::Key_L);
    for (int c : {1, 7})
        EXPECT_EQ(at(9, c), (cell{kTileBlock6x3, 0, kKindMarked, 0})) << c;
    EXPECT_EQ(at(11, 12), (cell{kTileBlock6x3, 0, kKindMarked, 17}));
    EXPECT_EQ(at(9, 13), kDefaultCell);

    // Without L or R the left button paints as always; each of the five steps above undoes whole.
    pickTile(20);
    drag(cellPoint(12, 2), cellPoint(12, 2));
    EXPECT_EQ(item("Undo1")->text(), "&Undo Paint");
    for (int k = 0; k < 6; ++k)
        item("Undo1")->trigger();
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 40; ++c)
            ASSERT_EQ(at(r, c), kDefaultCell) << r << "," << c;
}
