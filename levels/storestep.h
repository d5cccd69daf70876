#pragma once
// One undoable step of editing the level store, as plain data: what the step changed and what was
// there before, so that it can be taken back and done again exactly. The editor's undo history wraps
// these in its commands; nothing here knows about the history.
//
// A step is recorded while it is done: its operations (delete, insert, swap, change a level, paint
// cells) go through the step, which does them on the store and keeps what undoing needs. begin()
// and finish() bracket the work and keep the current and previous level numbers and the offsets
// table on both sides (the writer keeps the offsets of levels beyond the count as the store holds
// them, so they are part of what a level step restores).
//
// Memory: a painted cell costs one CellChange, a deleted, inserted or changed level one level slot.

#include "levelstore.h"
#include "painting.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace qm {

// One cell of a level, before and after the step.
struct CellChange {
    int16_t row;
    int16_t column;
    cell before;
    cell after;
};

// The cells of one level that a step changed.
struct CellPatch {
    int32_t level = 0;
    std::vector<CellChange> changes;
};

// Level k was removed (level holds it) or inserted (level holds what was inserted).
struct LevelRemoved {
    int32_t k;
    std::unique_ptr<tlevel> level;
};
struct LevelInserted {
    int32_t k;
    std::unique_ptr<tlevel> level;
};
// Levels a and b exchanged places.
struct LevelsSwapped {
    int32_t a, b;
};
// Level k was changed as a whole (properties, cells); other holds the level on the other side of the
// step: before it while the step is done, after it while the step is undone.
struct LevelChanged {
    int32_t k;
    std::unique_ptr<tlevel> other;
};

using StoreEdit = std::variant<CellPatch, LevelRemoved, LevelInserted, LevelsSwapped, LevelChanged>;

class StoreStep {
public:
    // Keeps the current and previous level (and, for level steps, the offsets) before the work.
    void begin();
    // Keeps them after the work; a painting being recorded is closed (unchanged cells dropped).
    void finish();

    // The operations, done on the store and recorded. They answer as the store's own do.
    bool deleteLevel(int32_t k);
    // Records the level that the caller has just appended or inserted at k.
    void levelInserted(int32_t k);
    // Removes level k that levelInserted recorded last: the two leave no edit. Any other level k is
    // removed and recorded as deleteLevel does.
    bool removeInserted(int32_t k);
    bool swapLevels(int32_t a, int32_t b);
    // Call before changing level k in place: keeps a copy of it as it is.
    void levelChanging(int32_t k);
    // Paints tile t at (r, c) of level k as paintLevel does, keeping the cells it touches.
    void paint(int32_t k, int32_t r, int32_t c, int32_t t, PaintVariant variant, const TileWidth &widthOf);
    // Sets cell (r, c) of level k to value, keeping it as paint() does; outside 1..100 nothing.
    void setCell(int32_t k, int32_t r, int32_t c, const cell &value);

    // Takes the step back / does it again on the store. Only in turn, starting with revert() after
    // finish(): each assumes the store as the other left it.
    void revert();
    void apply();

    // Whether the step changed nothing of the file (level numbers alone do not count).
    bool empty() const { return mEdits.empty(); }
    // Whether the file is as it was before the step: the same levels in the same places, none of them
    // changed (a level added and removed again, two swaps that undo each other). A level changed in
    // place counts as changed, whatever it holds now.
    bool leavesLevelsAsTheyWere() const;
    // Whether the step changed levels, not only cells.
    bool changesLevels() const { return mLevelStep; }
    // What the step holds in memory, in bytes (approximate, for the history's budget).
    size_t bytes() const;

private:
    struct Position {
        int32_t curlevel = 0, prevlevel = 0;
        std::unique_ptr<std::array<int32_t, kOffsetCount>> offsets; // kept by level steps only
    };
    static void keep(Position &position, bool offsets);
    static void restore(const Position &position);
    CellPatch &patchFor(int32_t k);
    // Keeps cell (r, c) of level k as it is before the step's first write to it (inside the grid).
    void keepCell(CellPatch &patch, const tlevel &level, int32_t r, int32_t c);
    void closePatch();

    std::vector<StoreEdit> mEdits;
    Position mBefore, mAfter;
    bool mLevelStep = false;
    // While painting: the index into the open patch's changes of each cell of the grid, -1 if untouched.
    std::vector<int32_t> mTouched;
};

} // namespace qm
