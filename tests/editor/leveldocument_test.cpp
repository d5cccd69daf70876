// The document of the open file: steps and their parts, steps that are not kept, a failure part-way,
// and `saved` following the history's clean point and the stroke going on.

#include "editor/leveldocument.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace qm;

namespace {

const TileWidth kNarrow = [](int32_t) { return 40; };

class LevelDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initStore();
        resetstore();
        curlevel = 1;
        addlevel();
        addlevel();
        curlevel = 1;
    }
    static int32_t tileAt(int32_t level, int32_t r, int32_t c) { return levels[level].cellAt(r, c)->tile; }
    QUndoStack &stack() { return document.history().stack(); }

    LevelDocument document;
};

TEST_F(LevelDocumentTest, AStepTakesTheStepsRunWithinIt)
{
    document.runStepWithParts([&](StoreStep &step) {
        step.paint(1, 2, 2, 20, PaintVariant::Press, kNarrow);
        document.runStep("inner", [](StoreStep &inner) { inner.paint(1, 3, 3, 20, PaintVariant::Press, kNarrow); });
        return "Outer";
    });
    ASSERT_EQ(stack().count(), 1);
    EXPECT_EQ(stack().undoText(), "Outer");
    stack().undo();
    EXPECT_NE(tileAt(1, 2, 2), 20);
    EXPECT_NE(tileAt(1, 3, 3), 20) << "the inner step is a part of the outer one";
    stack().redo();

    // After a run, steps are steps of their own again; a failure keeps what was done as the step.
    EXPECT_THROW(document.runStep("Fails",
                                  [](StoreStep &step) {
                                      step.paint(1, 5, 5, 20, PaintVariant::Press, kNarrow);
                                      throw std::runtime_error("stop");
                                  }),
                 std::runtime_error);
    ASSERT_EQ(stack().count(), 2);
    stack().undo();
    EXPECT_NE(tileAt(1, 5, 5), 20);
}

TEST_F(LevelDocumentTest, SavedFollowsTheCleanPointAndTheStrokeAndIsToldOnce)
{
    QSignalSpy told(&document, &LevelDocument::savedChanged);
    StoreStep &stroke = document.beginStroke("Paint");
    EXPECT_TRUE(saved) << "a stroke that changed nothing yet";
    stroke.paint(1, 2, 2, 20, PaintVariant::Press, kNarrow);
    document.strokeChanged();
    EXPECT_FALSE(saved);
    document.strokeChanged();
    ASSERT_EQ(told.count(), 1);
    document.endStroke();
    EXPECT_EQ(stack().count(), 1);
    EXPECT_FALSE(saved);
    document.undo();
    EXPECT_TRUE(saved);
    document.redo();
    document.markSaved();
    EXPECT_TRUE(saved);
    EXPECT_EQ(told.count(), 4);

    // A stroke that writes what the cells held already is no step, and leaves the file saved.
    document.beginStroke("Paint").paint(1, 2, 2, 20, PaintVariant::Press, kNarrow);
    document.endStroke();
    EXPECT_EQ(stack().count(), 1);
    EXPECT_TRUE(saved);

    // Recovered work is unsaved with nothing to undo: painting and undoing the paint keeps it so.
    document.markUnsaved();
    EXPECT_FALSE(saved);
    document.runStep("Paint", [](StoreStep &step) { step.paint(1, 6, 6, 20, PaintVariant::Press, kNarrow); });
    document.undo();
    EXPECT_FALSE(saved);
    document.clearHistory();
    EXPECT_TRUE(saved);
}

} // namespace
