// "From Other .lev File" and the levels overview, through the real window.

#include "mainwindowfixture.h"

#include "editor/copylevelsdialog.h"
#include "editor/overviewwindow.h"
#include "editor/thumbnaillist.h"
#include "levels/levelsfile.h"

#include "messageof.h"

#include "storebytes.h"

#include <QProcess>
#include <QUndoStack>

using namespace qm;
using qmtest::waitUntil;

namespace {

// Writes a file of `count` levels, each with its own name, size and cells.
void writeSource(const std::string &path, int count)
{
    levelsinfo = Tlevels{};
    levelsinfo.author = "source";
    resetstore();
    for (int k = 1; k <= count; ++k) {
        addlevel();
        levels[k].name = "from " + std::to_string(k);
        levels[k].width = 20 + 10 * k;
        levels[k].height = 45 - 5 * k;
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 100; ++c)
                levels[k].cellAt(r, c)->tile = 12 + (r * 3 + c + k) % 40;
    }
    levelsfilepath = path;
    writelevelsfile();
}

class CopyLevelsTest : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeSource(dir.path("other.lev"), 5);
        openLevel();
        levels[1].name = "mine";
        levelsfilepath = dir.path("mine.lev");
        writelevelsfile();
        form->history().stack().clear();
        before = storeBytes();
    }

    // Runs From Other .lev File on file; steps act in its dialog (nothing: the dialog must not show).
    void copyFrom(const std::string &file, std::function<void(CopyLevelsDialog &)> steps = {})
    {
        fileAnswers.push_back(QString::fromStdString(file));
        bool shown = false;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<CopyLevelsDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            shown = true;
            if (steps)
                steps(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        poll.start();
        item("fromotherlevfile1")->trigger();
        EXPECT_EQ(shown, bool(steps)) << "the dialog";
    }
    static void choose(CopyLevelsDialog &dialog, std::initializer_list<int> numbers)
    {
        for (int k : numbers) {
            QListWidgetItem *at = dialog.list->item(k - 1);
            dialog.list->scrollToItem(at);
            QTest::mouseClick(dialog.list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              dialog.list->visualItemRect(at).center());
        }
    }
    void expectUnchanged(const char *what)
    {
        EXPECT_EQ(storeBytes(), before) << what;
        EXPECT_EQ(curlevel, 1) << what;
        EXPECT_EQ(form->history().stack().count(), 0) << what;
    }

    Bytes before;
};

// Three levels chosen out of order: appended in the file's order, the first current, the file
// written the same as qmtool writes it, and one undo step that removes exactly the copies.
TEST_F(CopyLevelsTest, CopiesAreAppendedInOrderAsOneUndoStepAndWrittenAsQmtoolWritesThem)
{
    copyFrom(dir.path("other.lev"), [](CopyLevelsDialog &dialog) {
        EXPECT_EQ(dialog.list->count(), 5);
        EXPECT_EQ(dialog.list->item(1)->text(), "2 from 2\n40 x 35");
        EXPECT_FALSE(dialog.copyButton->isEnabled()) << "nothing chosen yet";
        choose(dialog, {5, 2, 4});
        qmtest::click(dialog.copyButton);
    });
    ASSERT_EQ(levelsinfo.count, 4);
    EXPECT_EQ(curlevel, 2);
    for (int k : {2, 3, 4})
        EXPECT_EQ(levels[k].name, "from " + std::to_string(k == 2 ? 2 : k == 3 ? 4 : 5));
    EXPECT_EQ(levels[3].width, 60);
    EXPECT_EQ(*levels[3].cellAt(7, 9), (cell{12 + (7 * 3 + 9 + 4) % 40, 0, 100, 0}));
    EXPECT_EQ(loadeddxg, "computer.dxg");

    const std::string made = dir.path("made.lev");
    QProcess tool;
    tool.start(QMTOOL_PATH, {"lev", "append", QString::fromStdString(levelsfilepath),
                             QString::fromStdString(dir.path("other.lev")), "2,4,5", QString::fromStdString(made)});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    item("Save1")->trigger();
    EXPECT_EQ(qmtest::readFile(levelsfilepath), qmtest::readFile(made));

    EXPECT_EQ(form->history().stack().count(), 1);
    item("Undo1")->trigger();
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(curlevel, 1);
    item("Redo1")->trigger();
    EXPECT_EQ(levelsinfo.count, 4);
    EXPECT_EQ(curlevel, 2);
}

// Cancelling either dialog, a damaged file and a copy past 200 levels change nothing; the last two
// say why.
TEST_F(CopyLevelsTest, CancelADamagedFileAndACopyPast200LevelsChangeNothing)
{
    copyFrom("");
    expectUnchanged("file dialog cancelled");
    copyFrom(dir.path("other.lev"), [](CopyLevelsDialog &dialog) {
        choose(dialog, {1});
        qmtest::click(dialog.cancelButton);
    });
    expectUnchanged("dialog cancelled");
    EXPECT_TRUE(messages.empty());

    std::vector<uint8_t> damaged = qmtest::readFile(dir.path("other.lev"));
    damaged.resize(damaged.size() - 10);
    qmtest::writeFile(dir.path("damaged.lev"), damaged);
    copyFrom(dir.path("damaged.lev"));
    expectUnchanged("damaged file");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].toStdString(), qmtest::messageOf([this] { loadLevelsFile(dir.path("damaged.lev")); }));

    while (levelsinfo.count < kMaxLevels - 1)
        addlevel();
    curlevel = 1;
    before = storeBytes();
    copyFrom(dir.path("other.lev"), [](CopyLevelsDialog &dialog) {
        choose(dialog, {1, 3});
        qmtest::click(dialog.copyButton);
    });
    expectUnchanged("past 200 levels");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Copying 2 levels would make this levels file hold 201 levels; a levels file can "
                           "hold at most 200. Nothing was copied.");
}

// The overview draws every level once, then follows the map: a paint draws only the painted level
// again, an undo and a deleted level find their pictures kept, a double-click makes a level current.
TEST_F(CopyLevelsTest, TheOverviewRedrawsOnlyTheThumbnailsThatChanged)
{
    useDefaultTheme();
    for (int k = 2; k <= 6; ++k) {
        addlevel();
        levels[k].cellAt(k, k)->tile = 13;
    }
    curlevel = 1;
    viewx = viewy = 0;
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(surface(), Qt::Key_F8);
    auto *overview = form->findChild<OverviewWindow *>();
    ASSERT_NE(overview, nullptr);
    ASSERT_TRUE(overview->isVisible());
    ASSERT_TRUE(waitUntil([&] { return !overview->list()->drawing(); }));
    EXPECT_EQ(overview->thumbnailsDrawn(), 6);
    EXPECT_EQ(overview->list()->framed(), 0);
    EXPECT_EQ(overview->list()->item(2)->text(), "3 Untitled");

    const QImage unpainted = overview->list()->item(0)->icon().pixmap(80, 80).toImage();
    pickTile(20);
    click(60, 60);
    EXPECT_TRUE(waitUntil([&] { return overview->thumbnailsDrawn() == 7; }));
    QTest::qWait(2 * OverviewWindow::kRecheckMilliseconds);
    EXPECT_EQ(overview->thumbnailsDrawn(), 7) << "only the painted level";
    EXPECT_NE(overview->list()->item(0)->icon().pixmap(80, 80).toImage(), unpainted);

    item("Undo1")->trigger();
    QTest::qWait(2 * OverviewWindow::kRecheckMilliseconds);
    EXPECT_FALSE(overview->list()->drawing());
    EXPECT_EQ(overview->list()->item(0)->icon().pixmap(80, 80).toImage(), unpainted);

    // A double-click as the system delivers it: a click, then the second press as a double-click.
    const QPoint fourth = overview->list()->visualItemRect(overview->list()->item(3)).center();
    QTest::mouseClick(overview->list()->viewport(), Qt::LeftButton, {}, fourth);
    QTest::mouseDClick(overview->list()->viewport(), Qt::LeftButton, {}, fourth);
    EXPECT_EQ(curlevel, 4);
    EXPECT_EQ(overview->list()->framed(), 3);
    item("Deletelevel1")->trigger();
    EXPECT_TRUE(waitUntil([&] { return overview->list()->count() == 5; }));
    EXPECT_FALSE(overview->list()->drawing());
    EXPECT_EQ(overview->thumbnailsDrawn(), 7);
}

} // namespace
