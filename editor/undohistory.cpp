#include "undohistory.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <vector>

namespace qm {

namespace {

class StepCommand : public QUndoCommand {
public:
    StepCommand(const QString &text, std::shared_ptr<StoreStep> step, size_t &total)
        : QUndoCommand(text), mStep(std::move(step)), mBytes(mStep->bytes()), mTotal(total)
    {
        mTotal += mBytes;
    }
    ~StepCommand() override { mTotal -= mBytes; }

    void redo() override
    {
        if (mDone) {
            mDone = false; // pushed after its work
            return;
        }
        mStep->apply();
    }
    void undo() override { mStep->revert(); }

    const std::shared_ptr<StoreStep> &step() const { return mStep; }
    size_t bytes() const { return mBytes; }

private:
    std::shared_ptr<StoreStep> mStep;
    size_t mBytes;
    size_t &mTotal;
    bool mDone = true;
};

} // namespace

UndoHistory::UndoHistory(QObject *owner, size_t budget) : mStack(new QUndoStack(owner)), mBudget(budget)
{
    mStack->setObjectName("undoStack");
}

// The commands count into mBytes: they go first.
UndoHistory::~UndoHistory() { delete mStack; }

void UndoHistory::push(const QString &text, std::unique_ptr<StoreStep> step)
{
    if (!step || step->empty())
        return;
    mStack->push(new StepCommand(text, std::move(step), mBytes));
    if (mBytes > mBudget)
        dropOldest();
}

void UndoHistory::dropOldest()
{
    // Right after a push there is nothing to redo: every command's step is done on the store.
    const int count = mStack->count();
    struct Kept {
        QString text;
        std::shared_ptr<StoreStep> step;
    };
    std::vector<Kept> kept;
    size_t total = mBytes;
    int first = 0;
    for (; first < count - 1 && total > mBudget / 4 * 3; ++first)
        total -= static_cast<const StepCommand *>(mStack->command(first))->bytes();
    for (int i = first; i < count; ++i) {
        const auto *command = static_cast<const StepCommand *>(mStack->command(i));
        kept.push_back({command->text(), command->step()});
    }
    const int clean = mStack->cleanIndex();

    // The visible state (top text, undo and redo possible, clean) is the same afterwards: no signals.
    const bool blocked = mStack->blockSignals(true);
    mStack->clear();
    if (clean != first)
        mStack->resetClean();
    for (size_t i = 0; i < kept.size(); ++i) {
        auto *command = new StepCommand(kept[i].text, std::move(kept[i].step), mBytes);
        mStack->push(command);
        if (clean == first + int(i) + 1)
            mStack->setClean();
    }
    mStack->blockSignals(blocked);
}

} // namespace qm
