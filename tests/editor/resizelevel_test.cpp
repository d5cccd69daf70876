// Edit → Resize Level… through the real window: the shortcut, typing sizes, the anchor buttons, the
// question before a shrink that cuts, and undo giving every cell back.

#include "mainwindowfixture.h"

#include "editor/resizeleveldialog.h"
#include "levels/painting.h"
#include "levels/startsquare.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <memory>

using namespace qm;

namespace {

class ResizeLevel : public qmtest::MainWindowTest {
protected:
    // Runs steps inside the resize dialog once the command shows it; steps must close it.
    void whenDialogShown(std::function<void(ResizeLevelDialog &)> steps)
    {
        auto *poll = new QTimer(form.get());
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, [poll, steps] {
            auto *dialog = qobject_cast<ResizeLevelDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll->stop();
            poll->deleteLater();
            steps(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the resize dialog is still open after the user's steps";
                dialog->reject();
            }
        });
        poll->start();
    }
    static QLineEdit *field(ResizeLevelDialog &dialog, const char *name)
    {
        return dialog.findChild<QLineEdit *>(name);
    }
    static void clickOk(ResizeLevelDialog &dialog)
    {
        qmtest::click(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok));
    }
    void pressCtrlR()
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(surface(), Qt::Key_R, Qt::ControlModifier);
    }
    static bool sameLevel(const tlevel &a, const tlevel &b)
    {
        return a.width == b.width && a.height == b.height && a.startx == b.startx && a.starty == b.starty
               && std::memcmp(&a.cells, &b.cells, sizeof a.cells) == 0;
    }
};

} // namespace

// A 40 x 40 level becomes 50 x 36 anchored at the bottom right: the odd width is corrected with the
// levels dialog's message, the shrink that cuts the tall object at the top asks first (No keeps the
// dialog open), and Yes resizes it as one step that undo takes back to the last cell.
TEST_F(ResizeLevel, AnchoredResizeAsksBeforeCuttingAndUndoes)
{
    openLevel(40, 40);
    tlevel &level = levels[1];
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 40; ++c)
            *level.cellAt(r, c) = cell{16 + (r * 7 + c) % 10, r * 100 + c, kKindOrdinary, 0};
    paintLevel(level, 4, 20, kTileTall, PaintVariant::Press, [](int32_t) { return 0; }); // rows 4 and 5
    level.startx = startPixelOf(8);
    level.starty = startPixelOf(30);
    const auto before = std::make_unique<tlevel>(level);
    const QString undoBefore = item("Undo1")->text();

    messages.clear();
    answers = {MessageButton::Ok, MessageButton::No};
    whenDialogShown([&](ResizeLevelDialog &dialog) {
        EXPECT_EQ(field(dialog, "width")->text(), "40");
        qmtest::typeInto(field(dialog, "width"), "51");
        qmtest::typeInto(field(dialog, "height"), "36");
        QTest::mouseClick(dialog.anchorButton(2, 2), Qt::LeftButton);
        clickOk(dialog);
        EXPECT_EQ(field(dialog, "width")->text(), "50") << "corrected as the levels dialog does";
        EXPECT_TRUE(dialog.isVisible());
        clickOk(dialog); // the cut is refused
        EXPECT_TRUE(dialog.isVisible());
        answers = {MessageButton::Yes};
        clickOk(dialog);
    });
    pressCtrlR();
    ASSERT_TRUE(qmtest::waitUntil([&] { return level.width == 50; }));
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0], "The width cannot have an impair value!");
    EXPECT_TRUE(messages[1].startsWith("Resizing cuts the ")) << messages[1].toStdString();
    EXPECT_TRUE(messages[1].contains("at column 20, row 4")) << messages[1].toStdString();
    EXPECT_EQ(messages[1], messages[2]);

    // Four rows off the top, ten new columns on the left.
    EXPECT_EQ(level.height, 36);
    EXPECT_EQ(at(1, 15), before->cells[4][4]);
    EXPECT_EQ(at(36, 50), before->cells[39][39]);
    EXPECT_EQ(at(10, 10), kDefaultCell);
    EXPECT_EQ(startSquareOf(level.startx), 18);
    EXPECT_EQ(startSquareOf(level.starty), 26);
    EXPECT_EQ(item("Undo1")->text(), "&Undo Resize Level");
    EXPECT_FALSE(saved);

    item("Undo1")->trigger();
    EXPECT_TRUE(sameLevel(level, *before)) << "the cut rows and the grid beyond come back";
    EXPECT_TRUE(saved);
    item("Redo1")->trigger();
    EXPECT_EQ(level.width, 50);
    EXPECT_EQ(at(1, 15), before->cells[4][4]);
    item("Undo1")->trigger();

    // The same size again, or Cancel, records nothing.
    whenDialogShown([&](ResizeLevelDialog &dialog) {
        QTest::mouseClick(dialog.anchorButton(1, 1), Qt::LeftButton);
        clickOk(dialog);
    });
    item("resizeLevel")->trigger();
    whenDialogShown([&](ResizeLevelDialog &dialog) {
        qmtest::typeInto(field(dialog, "width"), "20");
        qmtest::click(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel));
    });
    item("resizeLevel")->trigger();
    EXPECT_TRUE(sameLevel(level, *before));
    EXPECT_EQ(item("Undo1")->text(), undoBefore);
    EXPECT_TRUE(saved);
}
