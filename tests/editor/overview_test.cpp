// Arranging levels in the overview, through real Qt events on the window: drag, select, delete, copy
// and paste levels, the thumbnails' size; and the dialog of From Other .lev File.

#include "mainwindowfixture.h"

#include "editor/copylevelsdialog.h"
#include "editor/core/levelclipboard.h"
#include "editor/editorsettings.h"
#include "editor/overviewwindow.h"
#include "editor/thumbnaillist.h"
#include "levels/levelsfile.h"

#include "storebytes.h"

#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include <QUndoStack>
#include <QWheelEvent>

using namespace qm;
using qmtest::waitUntil;

namespace {

std::vector<std::string> names()
{
    std::vector<std::string> all;
    for (int k = 1; k <= levelsinfo.count; ++k)
        all.push_back(levels[k].name);
    return all;
}

class OverviewTest : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        openLevel(30, 20);
        levels[1].name = "A";
        for (int k = 2; k <= 6; ++k) {
            addlevel();
            levels[k].name = std::string(1, char('A' + k - 1));
            levels[k].width = 20 + 2 * k;
            levels[k].height = 16;
            levels[k].cellAt(k, k)->tile = 13;
        }
        curlevel = 1;
        form->history().stack().clear();
        form->activateWindow();
        item("levelsOverview")->trigger();
        overview = form->findChild<OverviewWindow *>();
        ASSERT_NE(overview, nullptr);
        list = overview->list();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(overview));
        ASSERT_TRUE(waitUntil([&] { return !list->drawing(); }));
        before = storeBytes();
    }

    QPoint centre(int row) const { return list->visualItemRect(list->item(row)).center(); }
    void select(std::initializer_list<int> rows)
    {
        bool first = true;
        for (int row : rows) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                              centre(row));
            first = false;
        }
    }
    void key(const QKeySequence &sequence)
    {
        overview->activateWindow();
        list->setFocus();
        QTest::keySequence(list, sequence);
    }
    int steps() const { return form->history().stack().count(); }

    OverviewWindow *overview = nullptr;
    ThumbnailList *list = nullptr;
    Bytes before;
};

// Two levels dragged past a third with the mouse: they move together, as one undo step that keeps the
// current level, with no thumbnail drawn again; undo gives the order back.
TEST_F(OverviewTest, DraggedLevelsMoveAsOneStepWithoutDrawingAndUndoGivesTheOrderBack)
{
    const int drawn = overview->thumbnailsDrawn();
    select({0, 1});
    const QPoint to = centre(3) + QPoint(list->visualItemRect(list->item(3)).width() / 4, 0);
    // The drag as the list receives it: entering, moving over the fourth level's right half, dropped.
    std::unique_ptr<QMimeData> dragged(list->selectionDragData());
    QDragEnterEvent enter(to, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent over(to, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &over);
    QDropEvent drop(QPointF(to), Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    // A drag of rows from elsewhere (another editor's list) moves nothing.
    auto foreign = std::make_unique<QMimeData>();
    foreign->setData(ThumbnailList::kRowsMimeType, dragged->data(ThumbnailList::kRowsMimeType).replace(0, 1, "x"));
    QDropEvent stranger(QPointF(to), Qt::MoveAction, foreign.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &stranger);
    ASSERT_TRUE(waitUntil([&] { return steps() == 1; }));
    EXPECT_EQ(names(), (std::vector<std::string>{"C", "D", "A", "B", "E", "F"}));
    EXPECT_EQ(levels[curlevel].name, "A");
    QTest::qWait(2 * OverviewWindow::kRecheckMilliseconds);
    EXPECT_EQ(overview->thumbnailsDrawn(), drawn) << "moved levels keep their pictures";
    EXPECT_EQ(list->item(2)->text(), "3 A");
    EXPECT_EQ(overview->selectedLevels(), (std::vector<int32_t>{3, 4}));

    item("Undo1")->trigger();
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(curlevel, 1);
}

// The slider and Ctrl+wheel size the thumbnails 2..12 pixels a square; the grid fits the largest level
// with no room left over, and the size is kept for the next start.
TEST_F(OverviewTest, TheSliderAndCtrlWheelSizeTheThumbnailsAndTheSizeIsKept)
{
    QSlider *slider = overview->sizeSlider();
    const int start = overview->square();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(overview->square(), start + 1);
    const auto wheel = [&](int notches, Qt::KeyboardModifiers modifiers) {
        const QPoint at = centre(0);
        QWheelEvent event(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list->viewport(), &event);
    };
    wheel(2, Qt::ControlModifier);
    EXPECT_EQ(overview->square(), start + 3);
    wheel(1, Qt::NoModifier);
    EXPECT_EQ(overview->square(), start + 3) << "a wheel without Ctrl scrolls";
    wheel(40, Qt::ControlModifier);
    EXPECT_EQ(overview->square(), OverviewWindow::kLargestSquare);
    EXPECT_EQ(slider->value(), OverviewWindow::kLargestSquare);
    // The widest level is 32 squares, the tallest 20: the cells hold that and the label, no more.
    EXPECT_EQ(list->iconSize(), QSize(32 * 12, 20 * 12));
    EXPECT_LE(list->gridSize().width(), 32 * 12 + 16);
    EXPECT_LE(list->gridSize().height(), 20 * 12 + 60);
    ASSERT_TRUE(waitUntil([&] { return !list->drawing(); }));
    EXPECT_EQ(list->item(5)->icon().availableSizes().value(0), QSize(32 * 12, 16 * 12));
    EXPECT_EQ(EditorSettings(form->settingsFile()).overviewSquare(), OverviewWindow::kLargestSquare);
}

// Delete asks first; No keeps everything, Yes removes the selected levels as one step.
TEST_F(OverviewTest, DeleteOfSelectedLevelsAsksFirstAndIsOneStep)
{
    select({1, 3, 4});
    answers = {MessageButton::No, MessageButton::Yes};
    key(QKeySequence::Delete);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Delete the 3 selected levels?");
    EXPECT_EQ(storeBytes(), before);
    key(QKeySequence::Delete);
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "C", "F"}));
    EXPECT_EQ(steps(), 1);
    item("Undo1")->trigger();
    EXPECT_EQ(storeBytes(), before);
}

// Copied levels paste at the end as one step, here or in a file opened after; a full file and
// damaged or foreign bytes change nothing and say why.
TEST_F(OverviewTest, CopiedLevelsPasteAtTheEndAndRefusalsChangeNothing)
{
    select({4, 1});
    key(QKeySequence::Copy);
    EXPECT_EQ(overview->findChild<QLabel *>("overviewStatus")->text(), "Copied 2 levels.");
    key(QKeySequence::Paste);
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "B", "E"}));
    EXPECT_EQ(curlevel, 7);
    EXPECT_EQ(*levels[7].cellAt(2, 2), *levels[2].cellAt(2, 2));
    EXPECT_EQ(steps(), 1);
    item("Undo1")->trigger();
    EXPECT_EQ(storeBytes(), before);

    const auto refused = [&](const char *what) {
        EXPECT_EQ(storeBytes(), before) << what;
        EXPECT_EQ(steps(), 1) << what;
    };
    std::string damaged = QGuiApplication::clipboard()->mimeData()->data(kLevelsMimeType).toStdString();
    damaged[damaged.size() / 2] = char(0x80);
    damaged.pop_back();
    auto *data = new QMimeData;
    data->setData(kLevelsMimeType, QByteArray::fromStdString(damaged));
    QGuiApplication::clipboard()->setMimeData(data);
    key(QKeySequence::Paste);
    refused("damaged");
    EXPECT_TRUE(overview->findChild<QLabel *>("overviewStatus")->text().contains("damaged"));
    QGuiApplication::clipboard()->setText("A\nB\n");
    key(QKeySequence::Paste);
    refused("text");

    select({0, 2});
    key(QKeySequence::Copy);
    while (levelsinfo.count < kMaxLevels - 1)
        addlevel();
    curlevel = 1;
    before = storeBytes();
    key(QKeySequence::Paste);
    refused("past 200 levels");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Copying 2 levels would make this levels file hold 201 levels; a levels file can "
                               "hold at most 200. Nothing was copied.");
}

// From Other .lev File on a full file says why before any file dialog; in its dialog, the level the
// keyboard stands on looks like any other until one is chosen.
TEST_F(OverviewTest, CopyFromFileRefusesAFullFileFirstAndShowsNoLevelChosenBeforeOne)
{
    while (levelsinfo.count < kMaxLevels)
        addlevel();
    item("fromotherlevfile1")->trigger();
    EXPECT_TRUE(fileDialogs.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Copying 1 level would make this levels file hold 201 levels; a levels file can "
                           "hold at most 200. Nothing was copied.");

    levelsinfo.count = 6;
    const Bytes bytes = storeBytes();
    const LevelsFileContent file = parseLevelsFile(RawBytes(bytes.begin(), bytes.end()));
    CopyLevelsDialog dialog(file, "other.lev", form.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(waitUntil([&] { return !dialog.list->drawing(); }));
    dialog.list->clearFocus();
    const QRect first = dialog.list->visualItemRect(dialog.list->item(0));
    const QImage unfocused = dialog.list->viewport()->grab(first).toImage();
    dialog.activateWindow();
    dialog.list->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(dialog.list->selectedItems().isEmpty());
    ASSERT_EQ(dialog.list->currentRow(), 0);
    EXPECT_FALSE(dialog.copyButton->isEnabled());
    EXPECT_EQ(dialog.list->viewport()->grab(first).toImage(), unfocused);
}

} // namespace
