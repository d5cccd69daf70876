// Undo and redo: through the real window (painting, the levels dialog, Add and Delete Level, the clean
// point) and, for a long random session, through the history and the store's steps directly.

#include "mainwindowfixture.h"

#include "commands/qmeditor3.h"
#include "editor/core/maptools.h"
#include "levels/levelsfile.h"
#include "levels/supaplex.h"

#include "storebytes.h"

#include <QLineEdit>
#include <QUndoStack>
#include <cstring>
#include <filesystem>
#include <random>

using namespace qm;

namespace {

class UndoTest : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        useDefaultTheme();
        openLevel();
        levelsfilepath = dir.path("undo.lev");
        form->history().stack().clear();
        viewx = viewy = 0;
    }

    // Saves through the menu and returns the file written.
    std::vector<uint8_t> save()
    {
        item("Save1")->trigger();
        return qmtest::readFile(levelsfilepath);
    }
    // Runs the levels dialog (Edit Levels) with the user's steps, which must close it.
    void inLevelsDialog(const std::function<void(Tnewlevel &)> &steps)
    {
        Tnewlevel *levelsDialog = dialog<Tnewlevel>();
        qmtest::whenShown(*levelsDialog, [&] { steps(*levelsDialog); });
        item("Thislevel1")->trigger();
    }
    QString undoText() { return item("Undo1")->text(); }
};

} // namespace

// A stroke over several squares, a 6 x 3 block and a vertical strip: each one step that undo takes
// back to the same store and file, and redo brings back.
TEST_F(UndoTest, PaintingStepsRoundTripByteForByte)
{
    const auto stroke = [this] {
        pickTile(20);
        move(45, 45);
        press(45, 45);
        for (int x = 45; x < 400; x += 13)
            move(x, 45 + x / 4);
        release(400, 145);
    };
    const auto block = [this] {
        pickTile(kTileBlock6x3);
        click(165, 205);
    };
    const auto strip = [this] {
        pickTile(kTileStripVertical);
        click(445, 85);
    };
    for (const auto &paint : std::vector<std::function<void()>>{stroke, block, strip}) {
        const std::vector<uint8_t> before = save();
        const auto cellsBefore = std::make_unique<tlevel>(levels[1]);
        const int steps = form->history().stack().count();
        paint();
        EXPECT_FALSE(saved);
        EXPECT_EQ(form->history().stack().count(), steps + 1) << "one step for the whole paint";
        EXPECT_EQ(undoText(), "&Undo Paint");
        const std::vector<uint8_t> after = save();
        ASSERT_NE(after, before);
        const auto cellsAfter = std::make_unique<tlevel>(levels[1]);

        QTest::keyClick(surface(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(0, std::memcmp(levels[1].cells, cellsBefore->cells, sizeof cellsBefore->cells));
        EXPECT_EQ(save(), before);
        QTest::keyClick(surface(), Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(0, std::memcmp(levels[1].cells, cellsAfter->cells, sizeof cellsAfter->cells));
        EXPECT_EQ(save(), after);
    }

    // Undo while the button is still down ends the stroke: what follows is not painted behind the
    // history's back.
    const std::vector<uint8_t> before = save();
    move(85, 285);
    press(85, 285);
    QTest::keyClick(surface(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(save(), before) << "the stroke so far is undone";
    move(125, 285);
    release(125, 285);
    EXPECT_EQ(save(), before);
}

// Every operation of the levels dialog, Add Level and Delete curent Level: undone one by one, each
// file equals the one written before it; redone, the last one comes back.
TEST_F(UndoTest, LevelStepsRoundTripThroughTheWrittenFile)
{
    pickTile(20);
    click(45, 45); // a level with a cell of its own
    form->history().stack().clear();
    std::vector<std::vector<uint8_t>> files{save()};
    std::vector<QString> names;
    const auto step = [&](const std::function<void()> &operation, const char *text) {
        operation();
        names.push_back(QString("&Undo ") + text);
        EXPECT_EQ(undoText(), names.back());
        files.push_back(save());
    };
    Tnewlevel *levels3 = dialog<Tnewlevel>();
    const auto addLevel = [&](bool keep) {
        qmtest::whenShown(*levels3, [&] { qmtest::click(keep ? levels3->Button5 : levels3->Button6); });
        item("Newlevel1")->trigger();
    };
    step([&] { addLevel(true); }, "Add Level");
    step([&] { addLevel(true); }, "Add Level");
    const int steps = form->history().stack().count();
    addLevel(false);
    EXPECT_EQ(form->history().stack().count(), steps) << "a cancelled Add leaves no step";
    step([&] {
        inLevelsDialog([](Tnewlevel &d) {
            qmtest::clickRow(d.StringGrid1, 1);
            qmtest::typeInto(d.namel, "Renamed");
            qmtest::click(d.Button2);
            qmtest::click(d.Button6);
        });
    }, "Save Level");
    step([&] {
        inLevelsDialog([](Tnewlevel &d) {
            qmtest::clickRow(d.StringGrid1, 0);
            qmtest::typeInto(d.nrxl, "50");
            qmtest::typeInto(d.nryl, "46");
            qmtest::click(d.Button5);
        });
    }, "Edit Level");
    step([&] {
        inLevelsDialog([](Tnewlevel &d) {
            qmtest::clickRow(d.StringGrid1, 1);
            qmtest::click(d.Button1);
            qmtest::click(d.Button6);
        });
    }, "Move Level Up");
    step([&] {
        inLevelsDialog([](Tnewlevel &d) {
            qmtest::clickRow(d.StringGrid1, 0);
            qmtest::click(d.Button3);
            qmtest::click(d.Button6);
        });
    }, "Move Level Down");
    step([&] {
        inLevelsDialog([](Tnewlevel &d) {
            qmtest::clickRow(d.StringGrid1, 2);
            qmtest::click(d.Button4);
            qmtest::click(d.Button6);
        });
    }, "Delete Level");
    step([&] { item("Deletelevel1")->trigger(); }, "Delete Level");

    const int32_t lastCurrent = curlevel;
    for (size_t k = files.size() - 1; k >= 1; --k) {
        EXPECT_EQ(undoText(), names[k - 1]);
        item("Undo1")->trigger();
        EXPECT_EQ(save(), files[k - 1]) << "after undoing " << names[k - 1].toStdString();
    }
    EXPECT_FALSE(item("Undo1")->isEnabled());
    EXPECT_EQ(curlevel, 1);
    while (item("Redo1")->isEnabled())
        item("Redo1")->trigger();
    EXPECT_EQ(save(), files.back());
    EXPECT_EQ(curlevel, lastCurrent);
}

// The clean point: back at the saved state the file is unchanged; away from it, closing asks.
TEST_F(UndoTest, ClosingAsksExactlyAwayFromTheSavedState)
{
    pickTile(20);
    save();
    click(45, 45);
    EXPECT_FALSE(saved);
    item("Undo1")->trigger();
    EXPECT_TRUE(saved);
    messages.clear();
    item("Close1")->trigger();
    EXPECT_TRUE(messages.empty());

    openLevel();
    levelsfilepath = dir.path("undo.lev");
    EXPECT_FALSE(item("Undo1")->isEnabled()) << "Close emptied the history";
    pickTile(20);
    click(45, 45);
    save();
    item("Undo1")->trigger();
    EXPECT_FALSE(saved);
    answer = MessageButton::Cancel;
    messages.clear();
    item("Close1")->trigger();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(form->mapShown()) << "Cancel keeps the file open";
    EXPECT_EQ(item("Redo1")->text(), "&Redo Paint");
}

// 500 random operations on the store with random undo and redo between them, through the history's
// own commands: undoing everything gives back the first file, redoing everything the last one.
TEST(UndoHistoryTest, RandomSessionUndoesAndRedoesToTheSameBytes)
{
    std::mt19937 random(14);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    initStore();
    resetstore();
    fileopen = true;
    curlevel = 1;
    for (int k = 0; k < 3; ++k)
        addlevel();
    levels[1].width = levels[1].height = 8;
    SupaplexFile supaplex;
    supaplex.spbuffer.resize(kSupaplexFileSize);
    for (auto &byte : supaplex.spbuffer)
        byte = uint8_t(below(40));
    const TileWidth widthOf = [](int32_t tile) { return tile == kTileStripHorizontal ? 3 * kSquare : 0; };

    QObject owner;
    UndoHistory history(&owner);
    QUndoStack &stack = history.stack();
    const Bytes first = storeBytes();
    const auto record = [&](const char *text, const std::function<void(StoreStep &)> &work) {
        auto step = std::make_unique<StoreStep>();
        step->begin();
        work(*step);
        step->finish();
        history.push(text, std::move(step));
    };
    for (int n = 0; n < 500; ++n) {
        const int count = levelsinfo.count;
        const int k = 1 + below(count);
        const auto someCells = [&](int32_t level) {
            return cellsBetween(levels[level], {1 + below(12), 1 + below(12)}, {1 + below(12), 1 + below(12)});
        };
        switch (below(12)) {
        case 0:
            record("Paint", [&](StoreStep &step) {
                curlevel = k;
                for (int i = 0; i < 4; ++i)
                    step.paint(k, 1 + below(12), 1 + below(12), 12 + below(60),
                               i ? PaintVariant::Drag : PaintVariant::Press, widthOf);
            });
            break;
        case 1:
            record("Edit Level", [&](StoreStep &step) {
                step.levelChanging(k);
                LevelProperties properties{"L" + std::to_string(n), "computer.dxg", 6 + 2 * below(4),
                                           6 + 2 * below(4), below(9), 2, 2};
                below(2) ? storeEditedLevel(levels[k], properties) : storeLevelProperties(levels[k], properties);
            });
            break;
        case 2:
            if (count < 12)
                record("Add Level", [&](StoreStep &step) {
                    addlevel();
                    levels[curlevel].width = levels[curlevel].height = 6;
                    step.levelInserted(curlevel);
                });
            break;
        case 3:
            if (count > 1)
                record("Delete Level", [&](StoreStep &step) {
                    step.deleteLevel(k);
                    curlevel = std::min(curlevel, levelsinfo.count);
                });
            break;
        case 4:
            if (k < count)
                record("Move Level Down", [&](StoreStep &step) { step.swapLevels(k, k + 1); });
            break;
        case 5:
            if (count < 12)
                record("Import Level", [&](StoreStep &step) {
                    addlevel();
                    importSupaplexLevel(supaplex, 1 + below(kSupaplexLevels), levels[curlevel]);
                    step.levelInserted(curlevel);
                });
            break;
        case 6:
            record("Stamp", [&](StoreStep &step) {
                const int from = 1 + below(count);
                if (const std::optional<CellRect> rect = someCells(from))
                    writeStamp(step, k, {below(14) - 1, below(14) - 1}, captureStamp(levels[from], *rect));
            });
            break;
        case 7:
            record("Fill", [&](StoreStep &step) {
                const std::optional<CellRect> rect = someCells(k), piece = someCells(k);
                if (rect && piece && below(2))
                    fillWithStamp(step, k, *rect, captureStamp(levels[k], *piece));
                else if (rect)
                    fillCells(step, k, *rect, 12 + below(60), widthOf);
            });
            break;
        case 8:
            record(below(2) ? "Cut" : "Delete", [&](StoreStep &step) {
                if (const std::optional<CellRect> rect = someCells(k))
                    clearCells(step, k, *rect);
            });
            break;
        case 9:
            record("Set Start Square", [&](StoreStep &step) {
                moveStartSquare(step, k, {below(14) - 1, below(14) - 1});
            });
            break;
        case 10:
            for (int u = below(4); u > 0; --u)
                stack.undo();
            break;
        default:
            for (int r = below(3); r > 0; --r)
                stack.redo();
            break;
        }
        if (below(10) == 0) {
            // Written now and then: the offsets beyond the count stay as a save leaves them.
            std::array<int32_t, kOffsetCount> offsets{};
            levelsFileBytes(offsets);
            levelsinfo.offsets = offsets;
        }
    }
    while (stack.canRedo())
        stack.redo();
    const Bytes last = storeBytes();
    const int32_t lastCurrent = curlevel;
    ASSERT_GT(stack.count(), 100);
    while (stack.canUndo())
        stack.undo();
    EXPECT_TRUE(storeBytes() == first);
    while (stack.canRedo())
        stack.redo();
    EXPECT_TRUE(storeBytes() == last);
    EXPECT_EQ(curlevel, lastCurrent);
}

// Over its budget the history drops its oldest steps and frees them; what it keeps still undoes
// exactly, and the clean point survives when it is kept.
TEST(UndoHistoryTest, KeepsWithinItsBudgetDroppingTheOldest)
{
    initStore();
    resetstore();
    curlevel = 1;
    addlevel();
    levels[1].width = levels[1].height = kGridSize;
    const TileWidth none = [](int32_t) { return 0; };
    QObject owner;
    const size_t fullStroke = kGridSize * kGridSize * sizeof(CellChange);
    UndoHistory history(&owner, 5 * fullStroke);
    std::vector<Bytes> states{storeBytes()};
    for (int n = 0; n < 12; ++n) {
        auto step = std::make_unique<StoreStep>();
        step->begin();
        for (int r = 1; r <= kGridSize; ++r)
            for (int c = 1; c <= kGridSize; ++c)
                step->paint(1, r, c, 20 + n % 2, PaintVariant::Drag, none);
        step->finish();
        history.push("Paint", std::move(step));
        if (n == 10)
            history.stack().setClean();
        states.push_back(storeBytes());
        EXPECT_LE(history.bytes(), history.budget());
    }
    const int kept = history.stack().count();
    EXPECT_GE(kept, 3);
    EXPECT_LT(kept, 6);
    EXPECT_EQ(history.stack().cleanIndex(), kept - 1);
    for (int n = 0; n < kept; ++n) {
        history.stack().undo();
        EXPECT_TRUE(storeBytes() == states[states.size() - 2 - size_t(n)]);
    }
    EXPECT_FALSE(history.stack().canUndo());
}

// A step that says it left the levels as they were (and is then not kept in the history) never hides a
// change of the file: random runs of moves, additions, deletions and edits of levels, each checked
// against the bytes the file would hold. Runs that end where they began are among them.
TEST(UndoHistoryTest, AStepThatEndsWhereItBeganChangesNoByte)
{
    std::mt19937 random(26);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    initStore();
    resetstore();
    fileopen = true;
    curlevel = 1;
    for (int k = 1; k <= 3; ++k) {
        addlevel();
        levels[k].name = "Level " + std::to_string(k);
    }
    const TileWidth noWidth = [](int32_t) { return 0; };
    int unchanged = 0;
    for (int n = 0; n < 400; ++n) {
        const Bytes before = storeBytes();
        StoreStep step;
        step.begin();
        std::string done; // what the run did, for a failure's message
        for (int op = 1 + below(4); op > 0; --op) {
            const int count = levelsinfo.count;
            const int what = below(6);
            done += std::to_string(what) + " ";
            switch (what) {
            case 0:
            case 1:
                step.swapLevels(1 + below(count), 1 + below(count));
                break;
            case 2:
                // The caller inserts into the store itself; a painting still open would be closed on the
                // moved levels, so (as in the editor) an addition starts a step of its own.
                if (count < 6 && done.find('5') == std::string::npos) {
                    tlevel added;
                    initNewLevel(added);
                    added.name = "Added";
                    const int k = 1 + below(count + 1);
                    insertLevel(k, added);
                    step.levelInserted(k);
                }
                break;
            case 3:
                if (count > 1)
                    step.removeInserted(1 + below(count));
                break;
            case 4: {
                const int k = 1 + below(count);
                step.levelChanging(k);
                if (below(2))
                    levels[k].infotrons += 1;
                break;
            }
            default:
                step.paint(1 + below(count), 1 + below(5), 1 + below(5), below(2) ? 16 : 20, PaintVariant::Press,
                           noWidth);
            }
        }
        step.finish();
        if (step.leavesLevelsAsTheyWere()) {
            ++unchanged;
            ASSERT_EQ(storeBytes(), before) << "run " << n << ": " << done;
        }
        step.revert();
        ASSERT_EQ(storeBytes(), before) << "run " << n << " undone: " << done;
    }
    EXPECT_GT(unchanged, 20);
}
