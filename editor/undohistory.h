#pragma once
// The undo history of the open levels file: a QUndoStack of steps of the level store (StoreStep),
// kept within a memory budget.
//
// Every command is pushed after its work was done on the store, so its first redo() does nothing;
// undo() and later redo() revert and apply the step. QUndoStack can only limit the number of
// commands, and only while empty, so the budget is kept here: each command counts the bytes of its
// step; when a push takes the total over the budget, the oldest steps are dropped until the history
// holds three quarters of it (so that a run of small steps does not rebuild the stack each time),
// always keeping the newest. Dropping rebuilds the stack from the kept steps, with the same clean
// point when it is kept; their memory is freed.

#include "levels/storestep.h"

#include <QString>
#include <cstddef>
#include <memory>

class QObject;
class QUndoStack;

namespace qm {

class UndoHistory {
public:
    static constexpr size_t kDefaultBudget = size_t(64) << 20;

    explicit UndoHistory(QObject *owner, size_t budget = kDefaultBudget);
    ~UndoHistory();
    UndoHistory(const UndoHistory &) = delete;
    UndoHistory &operator=(const UndoHistory &) = delete;

    QUndoStack &stack() { return *mStack; }
    // Pushes a finished step that is already done, named text ("Paint", "Delete Level", ...). A step
    // without edits is dropped.
    void push(const QString &text, std::unique_ptr<StoreStep> step);
    // The bytes held by the steps of the history.
    size_t bytes() const { return mBytes; }
    size_t budget() const { return mBudget; }

private:
    void dropOldest();

    QUndoStack *mStack;
    size_t mBudget;
    size_t mBytes = 0;
};

} // namespace qm
