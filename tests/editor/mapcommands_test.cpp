// The designer's tools through the real window: right button, Shift, the Edit menu's cell commands,
// the keys and the wheel, with the default game directory's theme (whose objects cover several squares).

#include "mainwindowfixture.h"

#include "commands/qmeditor3.h"
#include "editor/core/maptools.h"
#include "levels/gamerules.h"

#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QUndoStack>
#include <QWheelEvent>
#include <random>

using namespace qm;

namespace {

class MapCommands : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        useDefaultTheme();
        QGuiApplication::clipboard()->clear();
    }
    void show(int width = 40, int height = 40)
    {
        openLevel(width, height);
        move(320, 240); // away from the edges that scroll
        viewx = viewy = 0;
        clampView();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Surface positions of cell (r, c) with the view at (0, 0).
    static QPoint cellPoint(int r, int c) { return {40 * (c - 1) + 5, 40 * (r - 1) + 5}; }
    void paintTile(int tile, int r, int c)
    {
        pickTile(tile);
        click(cellPoint(r, c).x(), cellPoint(r, c).y());
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {})
    {
        move(from.x(), from.y());
        QTest::mousePress(surface(), button, modifiers, from);
        move(to.x(), to.y());
        QTest::mouseRelease(surface(), button, modifiers, to);
    }
    void key(int code, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(surface(), Qt::Key(code), modifiers);
    }
    void wheel(int notches, Qt::KeyboardModifiers modifiers = {})
    {
        QWheelEvent event(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, notches * 120), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface(), &event);
    }
    static std::vector<cell> cellsOf(int top, int left, int rows, int columns)
    {
        std::vector<cell> out;
        for (int r = top; r < top + rows; ++r)
            for (int c = left; c < left + columns; ++c)
                out.push_back(at(r, c));
        return out;
    }
    QString status()
    {
        form->updateStatus();
        return form->statusLine();
    }
};

} // namespace

// Right click picks (scrolling the palette, an object on any of its squares, or carrying a tile that
// has no slot); a right drag over
// a 6 x 3 object carries it whole and a left click writes it cell for cell as one step, clipped at the
// level's right and bottom edges; Escape drops the stamp before it closes the window.
TEST_F(MapCommands, PickAndStampsCopyObjectsWhole)
{
    show();
    paintTile(66, 2, 12); // a palette tile in the last row, with fillers below
    paintTile(20, 2, 2);
    pickTile(12);
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(2, 2));
    EXPECT_EQ(selectedtile(), 20);
    EXPECT_EQ(palscroll, 0);
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(2, 12));
    EXPECT_EQ(selectedtile(), 66);
    EXPECT_EQ(palscroll, 11) << "the palette scrolled to show the picked slot";
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(3, 12));
    EXPECT_EQ(selectedtile(), 66) << "a filler of the pillar picks the pillar";
    paintTile(20, 2, 12); // the pillar painted over: its fillers are single squares now
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(3, 12));
    EXPECT_EQ(selectedtile(), kTileFiller) << "no slot, still carried";
    click(cellPoint(9, 9).x(), cellPoint(9, 9).y());
    EXPECT_EQ(at(9, 9).tile, kTileFiller);
    EXPECT_TRUE(status().contains("Carrying 11 filler")) << status().toStdString();

    paintTile(kTileBlock6x3, 4, 2);
    drag(cellPoint(4, 2), cellPoint(6, 7), Qt::RightButton);
    const std::vector<cell> object = cellsOf(4, 2, 3, 6);
    ASSERT_EQ(object[17], (cell{kTileBlock6x3, 0, kKindMarked, 17}));
    const int steps = form->history().stack().count();
    drag(cellPoint(8, 3), cellPoint(10, 9), Qt::LeftButton);
    EXPECT_EQ(cellsOf(10, 9, 3, 6), object) << "the last cell of the stroke";
    EXPECT_EQ(cellsOf(8, 3, 3, 6), object);
    EXPECT_EQ(form->history().stack().count(), steps + 1);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Stamp");
    item("Undo1")->trigger();
    EXPECT_EQ(at(8, 3), kDefaultCell);

    key(Qt::Key_End); // the view at the level's bottom-right corner
    const cell outsideRight = at(39, 41), outsideBelow = at(41, 39);
    const QPoint corner(40 * 37 - int(viewx) + 5, 40 * 38 - int(viewy) + 5); // cell (39, 38)
    click(corner.x(), corner.y());
    EXPECT_EQ(cellsOf(39, 38, 2, 3),
              (std::vector<cell>{object[0], object[1], object[2], object[6], object[7], object[8]}));
    EXPECT_EQ(at(39, 41), outsideRight);
    EXPECT_EQ(at(41, 39), outsideBelow);
    EXPECT_TRUE(status().contains("Stamp 6 x 3")) << status().toStdString();

    key(Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible()) << "the first Escape drops the stamp";
    EXPECT_EQ(selectedtile(), kTileBlock6x3);
    answer = MessageButton::No; // the unsaved changes
    key(Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

// Cells move through the system clipboard between levels and files; Cut leaves default cells as one
// step; a clipboard with anything else, or damaged cells, pastes nothing and says so.
TEST_F(MapCommands, CellsMoveThroughTheClipboard)
{
    show();
    paintTile(kTileExit, 3, 3);
    paintTile(kTileInfotron, 3, 4);
    drag(cellPoint(3, 3), cellPoint(5, 4), Qt::RightButton);
    const std::vector<cell> marked = cellsOf(3, 3, 3, 2);
    key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(kCellsMimeType));
    EXPECT_EQ(data->text(), "63\t12\n15\t16\n11\t16\n");

    addlevel(); // level 2, shown
    form->startEditing();
    key(Qt::Key_V, Qt::ControlModifier);
    click(cellPoint(7, 7).x(), cellPoint(7, 7).y());
    EXPECT_EQ(cellsOf(7, 7, 3, 2), marked);

    show(); // a second levels file
    key(Qt::Key_V, Qt::ControlModifier);
    click(cellPoint(1, 1).x(), cellPoint(1, 1).y());
    EXPECT_EQ(cellsOf(1, 1, 3, 2), marked);

    key(Qt::Key_Escape);
    drag(cellPoint(1, 1), cellPoint(2, 2), Qt::RightButton);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(cellsOf(1, 1, 2, 2), std::vector<cell>(4, kDefaultCell));
    EXPECT_EQ(item("Undo1")->text(), "&Undo Cut");
    EXPECT_EQ(readStampBytes(QGuiApplication::clipboard()->mimeData()->data(kCellsMimeType).toStdString()).cells,
              (std::vector<cell>{marked[0], marked[1], marked[2], marked[3]}));

    key(Qt::Key_Escape);
    QGuiApplication::clipboard()->setText("63\t12");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(status(), "The clipboard holds no cells of a level: nothing was pasted.");
    auto *damaged = new QMimeData;
    damaged->setData(kCellsMimeType, QByteArray("QMCELLS1\x02\0\0\0\x02\0\0\0", 16));
    QGuiApplication::clipboard()->setMimeData(damaged);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(status().contains("damaged")) << status().toStdString();
    pickTile(20);
    click(cellPoint(9, 9).x(), cellPoint(9, 9).y());
    EXPECT_EQ(at(9, 9).tile, 20) << "nothing carried in place of the tile";
}

// Shift with a left drag fills the rectangle as one step: a plain tile in each of its 100 cells, an
// object as many whole times as it fits, side by side, nothing outside.
TEST_F(MapCommands, FillPaintsTheRectangleAsOneStep)
{
    show();
    pickTile(20);
    drag(cellPoint(2, 2), cellPoint(11, 11), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(cellsOf(2, 2, 10, 10), std::vector<cell>(100, (cell{20, 0, kKindOrdinary, 0})));
    EXPECT_EQ(at(1, 2), kDefaultCell);
    EXPECT_EQ(at(12, 11), kDefaultCell);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Fill");

    pickTile(kTileBlock6x3);
    drag(cellPoint(2, 2), cellPoint(11, 11), Qt::LeftButton, Qt::ShiftModifier);
    for (int band = 0; band < 3; ++band)
        for (int k = 0; k < 18; ++k)
            EXPECT_EQ(at(2 + 3 * band + k / 6, 2 + k % 6), (cell{kTileBlock6x3, 0, kKindMarked, k}));
    EXPECT_EQ(at(11, 2).tile, 20) << "a fourth block does not fit";
    EXPECT_EQ(at(2, 8).tile, 20);
    item("Undo1")->trigger();
    EXPECT_EQ(cellsOf(2, 2, 10, 10), std::vector<cell>(100, (cell{20, 0, kKindOrdinary, 0})));

    paintTile(kTileInfotron, 2, 2);
    drag(cellPoint(2, 2), cellPoint(3, 3), Qt::RightButton); // a 2 x 2 stamp
    const std::vector<cell> stamp = cellsOf(2, 2, 2, 2);
    drag(cellPoint(8, 12), cellPoint(12, 16), Qt::LeftButton, Qt::ShiftModifier);
    for (int r : {8, 10})
        for (int c : {12, 14})
            EXPECT_EQ(cellsOf(r, c, 2, 2), stamp) << "copies side by side, not the stamp's carried tile";
    EXPECT_EQ(at(12, 12), kDefaultCell);
    EXPECT_EQ(at(8, 16), kDefaultCell);
}

// S puts the start square under the pointer, within the level, as one step that Undo takes back; the
// marker is drawn only while the overlays are on.
TEST_F(MapCommands, StartSquareFollowsSAndUndo)
{
    show(10, 10); // a level smaller than the map sits against its right and bottom edges
    const int32_t startx = levels[1].startx, starty = levels[1].starty;
    move(-int(viewx) + 40 * 4 + 5, -int(viewy) + 40 * 6 + 5); // cell (7, 5)
    key(Qt::Key_S);
    EXPECT_EQ(startSquare(levels[1]).row, 7);
    EXPECT_EQ(startSquare(levels[1]).column, 5);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Set Start Square");
    move(20, 400); // left of the level
    key(Qt::Key_S);
    EXPECT_EQ(startSquare(levels[1]).column, 1);
    item("Undo1")->trigger();
    item("Undo1")->trigger();
    EXPECT_EQ(levels[1].startx, startx);
    EXPECT_EQ(levels[1].starty, starty);
}

// Keys and wheel change nothing while no level is shown; otherwise no sequence of them takes the view
// outside the bounds that edge scrolling keeps, for levels larger and smaller than the map.
TEST_F(MapCommands, KeysAndWheelKeepTheViewWithinItsBounds)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (int code : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_S})
        key(code);
    wheel(-3);
    EXPECT_EQ(viewx, 0);
    EXPECT_EQ(viewy, 0);
    EXPECT_TRUE(form->isVisible());

    std::mt19937 random(15);
    const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                        Qt::Key_Home, Qt::Key_End};
    for (const auto &[width, height] : {std::pair{40, 30}, std::pair{100, 100}, std::pair{8, 20}}) {
        show(width, height);
        const double maxX = width * 40.0 - kMapWidth, maxY = height * 40.0 - kMapHeight;
        for (int n = 0; n < 60; ++n) {
            if (random() % 3 == 0)
                wheel(int(random() % 5) - 2, random() % 2 ? Qt::ShiftModifier : Qt::NoModifier);
            else
                key(keys[random() % 8]);
            EXPECT_TRUE(maxX < 0 ? viewx == maxX : viewx >= 0 && viewx <= maxX) << viewx;
            EXPECT_TRUE(maxY < 0 ? viewy == maxY : viewy >= 0 && viewy <= maxY) << viewy;
        }
        key(Qt::Key_Home);
        wheel(-1);
        wheel(-1, Qt::ShiftModifier);
        if (maxX >= 40 && maxY >= 40) {
            EXPECT_EQ(viewy, 40) << "a notch toward the user shows the next row";
            EXPECT_EQ(viewx, 40);
        }
    }
}

// The status line sits under the surface, which keeps its size and place, and names the file, the
// level, the cell under the pointer with its picture's name and kind, what is carried and the
// infotrons; over the palette, the tile under the pointer.
TEST_F(MapCommands, StatusLineNamesWhatIsUnderThePointer)
{
    const QRect surfaceBefore = surface()->geometry();
    EXPECT_EQ(surface()->size(), QSize(784, 480));
    EXPECT_EQ(form->height(), surfaceBefore.bottom() + 1 + form->statusBar()->height());
    show();
    levelsfilepath = dir.path("status.lev");
    levels[1].infotrons = 3;
    paintTile(kTileInfotron, 4, 5);
    pickTile(kTileBoulder);
    move(cellPoint(4, 5).x(), cellPoint(4, 5).y());
    EXPECT_EQ(status(), "status.lev (changed) | Level 1 Untitled | Column 5, row 4: 12 infotron, ordinary | Carrying 20 "
                        "boulder | Infotrons 3 asked, 1 held");
    move(640 + 60, 100 + 20); // the second slot of the first row shown
    EXPECT_TRUE(status().contains("Palette: 13 gem")) << status().toStdString();
    EXPECT_EQ(surface()->geometry(), surfaceBefore);
    // Nothing polls the line: the next frame after the pointer moves brings it along.
    move(cellPoint(2, 3).x(), cellPoint(2, 3).y());
    form->DXTimerTimer(16);
    EXPECT_TRUE(form->statusLine().contains("Column 3, row 2: ")) << form->statusLine().toStdString();
    // Without the map there is no tick: the command brings the line along itself.
    item("Save1")->trigger();
    item("Close1")->trigger();
    EXPECT_EQ(form->statusLine(), "");
}

// The overlay switch is on at first and kept with the settings, as Ask Confirmations is.
TEST_F(MapCommands, OverlaySwitchIsKeptAcrossARestart)
{
    EXPECT_TRUE(item("ShowStartSquareAndGrid1")->isChecked());
    item("ShowStartSquareAndGrid1")->trigger();
    form->close();
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    EXPECT_FALSE(item("ShowStartSquareAndGrid1")->isChecked());
}

// Cells on the clipboard with values no level holds (a kind other than ordinary, marked or on top, a
// negative tile or pattern) are damaged: nothing is carried, and the status line says so as for any
// damaged cells.
TEST_F(MapCommands, PasteRefusesValuesTheEditorCannotMake)
{
    show();
    const cell good{kTileExit, 0, kKindMarked, 3};
    const std::vector<cell> bad{{-1, 0, 100, 0}, {-2147483647 - 1, 0, 100, 0}, {20, 0, -7, 0}, {20, 0, 99, 0},
                                {20, 0, 103, 0}, {20, 0, 100, -1},             {20, 0, 102, -2147483647 - 1}};
    std::mt19937 random(26);
    const auto putOnClipboard = [](const Stamp &stamp) {
        auto *data = new QMimeData;
        const std::string bytes = stampBytes(stamp);
        data->setData(kCellsMimeType, QByteArray(bytes.data(), qsizetype(bytes.size())));
        QGuiApplication::clipboard()->setMimeData(data);
    };
    for (const cell &value : bad) {
        SCOPED_TRACE(std::to_string(value.tile) + " " + std::to_string(value.reserved) + " "
                     + std::to_string(value.kind) + " " + std::to_string(value.pattern));
        // The bad cell somewhere among good ones.
        Stamp stamp{3, 4, std::vector<cell>(12, good)};
        stamp.cells[random() % 12] = value;
        putOnClipboard(stamp);
        pickTile(20); // drops what a paste before carried
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(status().startsWith("The cells on the clipboard are damaged")) << status().toStdString();
        click(cellPoint(9, 9).x(), cellPoint(9, 9).y());
        EXPECT_EQ(at(9, 9).tile, 20) << "nothing carried in place of the tile";
    }
    putOnClipboard(Stamp{3, 4, std::vector<cell>(12, good)});
    key(Qt::Key_V, Qt::ControlModifier);
    click(cellPoint(5, 5).x(), cellPoint(5, 5).y());
    EXPECT_EQ(at(7, 8), good);
    // Cells as another program's file may hold them (a theme with more pictures, a reserved value in
    // use) are copied as they stand, and paste back.
    const cell fromAFile{2147483647, 12345, kKindOrdinary, 999};
    putOnClipboard(Stamp{1, 1, {fromAFile}});
    key(Qt::Key_V, Qt::ControlModifier);
    click(cellPoint(3, 3).x(), cellPoint(3, 3).y());
    EXPECT_EQ(at(3, 3), fromAFile);
}

// After the pointer leaves the surface through its left, top or bottom edge, S sets no start square
// and the status line names no square (the last position stays, for edge scrolling); back over the
// map, S works again.
TEST_F(MapCommands, SAfterThePointerLeftTheSurfaceDoesNothing)
{
    show();
    const int32_t startx = levels[1].startx, starty = levels[1].starty;
    for (const QPoint edge : {QPoint(0, 240), QPoint(320, 0), QPoint(320, 479)}) {
        SCOPED_TRACE(std::to_string(edge.x()) + "," + std::to_string(edge.y()));
        move(edge.x(), edge.y());
        form->updateStatus();
        EXPECT_TRUE(form->statusLine().contains("Column")) << form->statusLine().toStdString();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(surface(), &leave);
        form->updateStatus();
        EXPECT_FALSE(form->statusLine().contains("Column")) << form->statusLine().toStdString();
        key(Qt::Key_S);
        EXPECT_EQ(levels[1].startx, startx);
        EXPECT_EQ(levels[1].starty, starty);
        EXPECT_FALSE(item("Undo1")->isEnabled());
    }
    move(320, 240);
    key(Qt::Key_S);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Set Start Square");
}

// S and a Shift fill act on the squares of the map area only: S with the pointer over the palette does
// nothing, and a fill released outside the map stops at the last square shown.
TEST_F(MapCommands, SAndFillKeepToTheMapArea)
{
    show();
    const int32_t startx = levels[1].startx, starty = levels[1].starty;
    move(700, 200); // over the palette
    key(Qt::Key_S);
    EXPECT_EQ(levels[1].startx, startx);
    EXPECT_EQ(levels[1].starty, starty);
    EXPECT_FALSE(item("Undo1")->isEnabled());
    move(635, 100); // the right edge of the map: the last column shown, not the one beyond it
    key(Qt::Key_S);
    EXPECT_EQ(startSquare(levels[1]).column, 16);

    pickTile(20);
    for (const QPoint end : {QPoint(700, 300), QPoint(300, 700), QPoint(-200, -100)}) {
        SCOPED_TRACE(std::to_string(end.x()) + "," + std::to_string(end.y()));
        drag(cellPoint(6, 6), end, Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_EQ(item("Undo1")->text(), "&Undo Fill");
        const int lastRow = end.y() > 480 ? 12 : end.y() < 0 ? 1 : (end.y() + 20) / 40 + 1;
        const int lastColumn = end.x() > 640 ? 16 : end.x() < 0 ? 1 : (end.x() + 20) / 40 + 1;
        for (int r = 1; r <= 20; ++r)
            for (int c = 1; c <= 20; ++c) {
                const bool inside = r >= std::min(6, lastRow) && r <= std::max(6, lastRow)
                                    && c >= std::min(6, lastColumn) && c <= std::max(6, lastColumn);
                ASSERT_EQ(at(r, c).tile == 20, inside) << r << "," << c;
            }
        item("Undo1")->trigger();
    }
}

// After Close every Edit item that needs a file is disabled with the file commands, and S records
// nothing.
TEST_F(MapCommands, AfterCloseTheCellCommandsAreDisabled)
{
    show();
    drag(cellPoint(2, 2), cellPoint(3, 3), Qt::RightButton);
    item("Close1")->trigger();
    ASSERT_FALSE(fileopen);
    for (const char *name : {"Cut1", "Copy1", "Paste1", "Delete1", "SetStartSquare1", "Save1", "Undo1", "Redo1"})
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    const int32_t startx = levels[1].startx;
    move(300, 300);
    key(Qt::Key_S);
    key(Qt::Key_Delete);
    EXPECT_EQ(form->history().stack().count(), 0);
    EXPECT_EQ(levels[1].startx, startx);
    show();
    for (const char *name : {"Cut1", "Copy1", "Paste1", "Delete1", "SetStartSquare1"})
        EXPECT_TRUE(item(name)->isEnabled()) << name;
}

// One rule for the start square: the map's marker, S and the levels dialog agree on every stored
// pixel, also on pixels that are not a square's centre (40 is column 0, outside every level).
TEST_F(MapCommands, TheMarkerSAndTheLevelsDialogAgreeOnTheStartSquare)
{
    show();
    std::mt19937 random(12);
    for (int n = 0; n < 200; ++n) {
        tlevel &level = levels[1];
        level.startx = n == 0 ? 40 : int32_t(random() % 4200) - 100;
        level.starty = n == 0 ? 40 : int32_t(random() % 4200) - 100;
        const LevelFieldTexts fields = levelFieldTexts(level);
        ASSERT_EQ(std::to_string(startSquare(level).column), fields.column) << level.startx;
        ASSERT_EQ(std::to_string(startSquare(level).row), fields.row) << level.starty;
    }
    move(40 * 4 + 5, 40 * 6 + 5); // cell (7, 5)
    key(Qt::Key_S);
    EXPECT_EQ(levelFieldTexts(levels[1]).column, "5");
    EXPECT_EQ(levelFieldTexts(levels[1]).row, "7");
    EXPECT_EQ(startSquare(levels[1]).column, 5);
}

// Options, Reach, clicked in the menu: the squares behind a wall are shaded, the reachable ones and the
// palette panel are not, and off the frame is as before. The shading follows a stroke and its undo,
// is worked out again only when the level changed, and is kept with the settings.
TEST_F(MapCommands, ReachShadingFollowsTheLevelAndIsKept)
{
    ASSERT_EQ(ruleOf(kTileWall), TileRule::Wall);
    show();
    pickTile(kTileBase); // carried through to the stroke below, so that the palette looks the same
    move(cellPoint(2, 2).x(), cellPoint(2, 2).y());
    key(Qt::Key_S);
    for (int r = 1; r <= 40; ++r)
        levels[1].cellAt(r, 6)->tile = kTileWall; // the right part walled off
    const TDirectDrawSurface &s = form->DXDraw->Surface();
    const auto frame = [&] {
        form->DXTimerTimer(16);
        return std::vector<uint8_t>(s.bits(), s.bits() + s.pitch() * s.Height());
    };
    const auto panel = [&](const std::vector<uint8_t> &bytes) {
        std::vector<uint8_t> out;
        for (int y = 0; y < s.Height(); ++y) {
            const uint8_t *row = bytes.data() + y * s.pitch();
            out.insert(out.end(), row + kMapWidth * bytesPerPixel(s.pixelFormat()), row + s.pitch());
        }
        return out;
    };
    const auto pixelAt = [&](const std::vector<uint8_t> &bytes, int r, int c) {
        const int x = 40 * (c - 1) + 20, y = 40 * (r - 1) + 30;
        return std::vector<uint8_t>(bytes.begin() + y * s.pitch() + x * bytesPerPixel(s.pixelFormat()),
                                    bytes.begin() + y * s.pitch() + (x + 1) * bytesPerPixel(s.pixelFormat()));
    };
    const auto clickReach = [&] {
        QMenu *options = form->findChild<QMenu *>("Options1");
        ASSERT_NE(options, nullptr);
        QTest::mouseClick(form->menuBar(), Qt::LeftButton, {},
                          form->menuBar()->actionGeometry(options->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return options->isVisible(); }));
        QTest::mouseClick(options, Qt::LeftButton, {}, options->actionGeometry(item("reachOverlay")).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !options->isVisible(); }));
        move(cellPoint(2, 2).x(), cellPoint(2, 2).y());
    };

    EXPECT_FALSE(item("reachOverlay")->isChecked());
    const std::vector<uint8_t> off = frame();
    clickReach();
    ASSERT_TRUE(item("reachOverlay")->isChecked());
    const std::vector<uint8_t> on = frame();
    EXPECT_NE(pixelAt(on, 3, 9), pixelAt(off, 3, 9)) << "behind the wall";
    EXPECT_EQ(pixelAt(on, 3, 3), pixelAt(off, 3, 3)) << "beside the start";
    EXPECT_EQ(pixelAt(on, 3, 6), pixelAt(off, 3, 6)) << "the wall itself";
    EXPECT_EQ(panel(on), panel(off));
    const int64_t fills = form->mapTools().reachShading.fills();
    frame();
    frame();
    EXPECT_EQ(form->mapTools().reachShading.fills(), fills) << "nothing changed, nothing worked out again";

    paintTile(kTileBase, 7, 6); // a way through the wall, one stroke
    move(cellPoint(2, 2).x(), cellPoint(2, 2).y());
    EXPECT_EQ(pixelAt(frame(), 3, 9), pixelAt(off, 3, 9));
    EXPECT_EQ(form->mapTools().reachShading.fills(), fills + 1);
    item("Undo1")->trigger();
    EXPECT_EQ(pixelAt(frame(), 3, 9), pixelAt(on, 3, 9));

    clickReach();
    EXPECT_EQ(frame(), off) << "off, the frame is as it was";
    clickReach();
    form->close();
    form = std::make_unique<TMainForm>(QString::fromStdString(dir.path("settings.ini")),
                                       QString::fromStdString(dir.path() + "/"));
    EXPECT_TRUE(item("reachOverlay")->isChecked());
}

// A right click on the filler or the empty square under an exit picks the exit; X and Y flip the
// carried stamp without a step, and the left button writes it with its ports turned.
TEST_F(MapCommands, ObjectsArePickedWholeAndStampsFlip)
{
    show();
    paintTile(kTileExit, 2, 2);
    pickTile(12);
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(4, 2));
    EXPECT_EQ(selectedtile(), kTileExit) << "the filler picks the exit";
    pickTile(12);
    QTest::mouseClick(surface(), Qt::RightButton, {}, cellPoint(3, 2));
    EXPECT_EQ(selectedtile(), kTileExit) << "the empty square under it too";

    paintTile(kTilePortRight, 6, 2);
    paintTile(kTilePortDown, 6, 3);
    paintTile(kTilePortLeft, 7, 2);
    paintTile(kTilePortUp, 7, 3);
    drag(cellPoint(6, 2), cellPoint(7, 3), Qt::RightButton);
    const int steps = form->history().stack().count();
    key(Qt::Key_X);
    EXPECT_EQ(form->history().stack().count(), steps) << "a flip changes no level";
    click(cellPoint(9, 2).x(), cellPoint(9, 2).y());
    EXPECT_EQ(std::vector<int>({at(9, 2).tile, at(9, 3).tile, at(10, 2).tile, at(10, 3).tile}),
              std::vector<int>({kTilePortDown, kTilePortLeft, kTilePortUp, kTilePortRight}));
    key(Qt::Key_Y);
    click(cellPoint(12, 2).x(), cellPoint(12, 2).y());
    EXPECT_EQ(std::vector<int>({at(12, 2).tile, at(12, 3).tile, at(13, 2).tile, at(13, 3).tile}),
              std::vector<int>({kTilePortDown, kTilePortRight, kTilePortUp, kTilePortLeft}));
    EXPECT_EQ(form->history().stack().count(), steps + 2) << "each write one step";
}

// Any sequence of picks, stamps marked through objects, flips and writes: undoing every step gives the
// saved file's bytes back, and redoing them the bytes before the undo.
TEST_F(MapCommands, UndoAfterPicksStampsAndFlipsGivesTheSavedFileBack)
{
    show(30, 30);
    levelsfilepath = dir.path("stamps.lev");
    std::mt19937 random(30);
    const auto randomCell = [&random] { return cellPoint(1 + int(random() % 12), 1 + int(random() % 15)); };
    const int objects[] = {kTileExit, kTileTall, 66, kTileMarked3x3, kTileBlock6x3, kTileBlock7x2, kTilePair,
                           kTileStripVertical, kTilePortRight, kTilePortDown};
    for (int k = 0; k < 14; ++k)
        paintTile(objects[random() % std::size(objects)], 1 + int(random() % 12), 1 + int(random() % 15));
    QUndoStack &stack = form->history().stack();
    item("Save1")->trigger();
    const std::vector<uint8_t> before = qmtest::readFile(levelsfilepath);
    const int start = stack.index();
    for (int k = 0; k < 80; ++k) {
        switch (random() % 5) {
        case 0:
            QTest::mouseClick(surface(), Qt::RightButton, {}, randomCell());
            break;
        case 1:
            drag(randomCell(), randomCell(), Qt::RightButton);
            break;
        case 2:
            key(random() % 2 ? Qt::Key_X : Qt::Key_Y);
            break;
        default:
            const QPoint at = randomCell();
            click(at.x(), at.y());
            break;
        }
    }
    ASSERT_GT(stack.index(), start);
    item("Save1")->trigger();
    const std::vector<uint8_t> after = qmtest::readFile(levelsfilepath);
    while (stack.index() > start)
        item("Undo1")->trigger();
    item("Save1")->trigger();
    EXPECT_EQ(qmtest::readFile(levelsfilepath), before);
    while (stack.canRedo())
        item("Redo1")->trigger();
    item("Save1")->trigger();
    EXPECT_EQ(qmtest::readFile(levelsfilepath), after);
}
