// Edit → Replace Tile… through the real window: the shortcut, the fields typed and clicked, the count
// shown before and after, one undo step.

#include "mainwindowfixture.h"

#include "editor/replacetiledialog.h"
#include "levels/levelsfile.h"

#include "storebytes.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QUndoStack>

using namespace qm;

namespace {

class ReplaceTileTest : public qmtest::MainWindowTest {
protected:
    // Ctrl+H on the map, steps run inside the dialog.
    void replaceWith(const std::function<void(ReplaceTileDialog &)> &steps)
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<ReplaceTileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            shown = true;
            steps(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        poll.start();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(surface(), Qt::Key_H, Qt::ControlModifier);
        EXPECT_TRUE(shown) << "Ctrl+H showed no dialog";
    }
    static void typeNumber(QSpinBox *box, int value)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::number(value));
    }
};

} // namespace

// Walls in two levels: the count follows the fields (the current level, then all), Replace does it as one
// step that Undo takes back to the same bytes, and the status line tells what was replaced.
TEST_F(ReplaceTileTest, CountsBeforeReplacesAsOneStepAndTellsAfter)
{
    openLevel();
    addlevel();
    curlevel = 1;
    for (const auto &[k, r, c] : {std::tuple{1, 2, 2}, {1, 5, 7}, {1, 9, 3}, {2, 1, 1}, {2, 40, 40}})
        levels[k].cellAt(r, c)->tile = kTileWall;
    form->history().stack().clear();
    pickTile(kTileRedDisk);
    const Bytes before = storeBytes();

    replaceWith([](ReplaceTileDialog &dialog) {
        EXPECT_EQ(dialog.toBox->value(), kTileRedDisk) << "the carried tile";
        EXPECT_TRUE(dialog.toName->text().endsWith("(19)")) << dialog.toName->text().toStdString();
        typeNumber(dialog.fromBox, kTileRedDisk);
        EXPECT_EQ(dialog.countLabel->text(), "nothing: the tiles are the same");
        EXPECT_FALSE(dialog.replaceButton->isEnabled());
        typeNumber(dialog.fromBox, kTileWall);
        EXPECT_TRUE(dialog.fromName->text().endsWith("(41)"));
        EXPECT_EQ(dialog.countLabel->text(), "3 squares in 1 level");
        QTest::mouseClick(dialog.patternCheck, Qt::LeftButton, {}, QPoint(5, dialog.patternCheck->height() / 2));
        typeNumber(dialog.patternBox, 1);
        EXPECT_EQ(dialog.countLabel->text(), "0 squares in 0 levels");
        EXPECT_FALSE(dialog.replaceButton->isEnabled());
        QTest::mouseClick(dialog.patternCheck, Qt::LeftButton, {}, QPoint(5, dialog.patternCheck->height() / 2));
        QTest::mouseClick(dialog.allLevels, Qt::LeftButton, {}, QPoint(5, dialog.allLevels->height() / 2));
        EXPECT_EQ(dialog.countLabel->text(), "5 squares in 2 levels");
        qmtest::click(dialog.replaceButton);
    });
    EXPECT_EQ(form->statusBar()->currentMessage(), "Replaced 5 squares in 2 levels");
    EXPECT_EQ(levels[2].cellAt(40, 40)->tile, kTileRedDisk);
    EXPECT_EQ(levels[1].cellAt(5, 7)->tile, kTileRedDisk);
    ASSERT_EQ(form->history().stack().count(), 1);
    EXPECT_EQ(form->history().stack().undoText(), "Replace Tile");
    EXPECT_FALSE(saved);

    // Cancelled, or nothing left to find: nothing changes and no step is added.
    const Bytes after = storeBytes();
    replaceWith([](ReplaceTileDialog &dialog) {
        typeNumber(dialog.fromBox, kTileWall);
        EXPECT_EQ(dialog.countLabel->text(), "0 squares in 0 levels");
        qmtest::click(dialog.cancelButton);
    });
    EXPECT_EQ(storeBytes(), after);
    EXPECT_EQ(form->history().stack().count(), 1);

    item("Undo1")->trigger();
    EXPECT_EQ(storeBytes(), before);
    EXPECT_TRUE(saved);
}
