#include "undohistory.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <vector>

namespace qm {

namespace {

class StepCommand : public QUndoCommand {
public:
    StepCommand(const QString &text, std::shared_ptr<StoreStep> step, size_t &total)
        : QUndoCommand(text), m_step(std::move(step)), m_bytes(m_step->bytes()), m_total(total)
    {
        m_total += m_bytes;
    }
    ~StepCommand() override { m_total -= m_bytes; }

    void redo() override
    {
        if (m_done) {
            m_done = false; // pushed after its work
            return;
        }
        m_step->apply();
    }
    void undo() override { m_step->revert(); }

    const std::shared_ptr<StoreStep> &step() const { return m_step; }
    size_t bytes() const { return m_bytes; }

private:
    std::shared_ptr<StoreStep> m_step;
    size_t m_bytes;
    size_t &m_total;
    bool m_done = true;
};

} // namespace

UndoHistory::UndoHistory(QObject *owner, size_t budget) : m_stack(new QUndoStack(owner)), m_budget(budget)
{
    m_stack->setObjectName("undoStack");
}

// The commands count into m_bytes: they go first.
UndoHistory::~UndoHistory() { delete m_stack; }

void UndoHistory::push(const QString &text, std::unique_ptr<StoreStep> step)
{
    if (!step || step->empty())
        return;
    m_stack->push(new StepCommand(text, std::move(step), m_bytes));
    if (m_bytes > m_budget)
        dropOldest();
}

void UndoHistory::dropOldest()
{
    // Right after a push there is nothing to redo: every command's step is done on the store.
    const int count = m_stack->count();
    struct Kept {
        QString text;
        std::shared_ptr<StoreStep> step;
    };
    std::vector<Kept> kept;
    size_t total = m_bytes;
    int first = 0;
    for (; first < count - 1 && total > m_budget / 4 * 3; ++first)
        total -= static_cast<const StepCommand *>(m_stack->command(first))->bytes();
    for (int i = first; i < count; ++i) {
        const auto *command = static_cast<const StepCommand *>(m_stack->command(i));
        kept.push_back({command->text(), command->step()});
    }
    const int clean = m_stack->cleanIndex();

    // The visible state (top text, undo and redo possible, clean) is the same afterwards: no signals.
    const bool blocked = m_stack->blockSignals(true);
    m_stack->clear();
    if (clean != first)
        m_stack->resetClean();
    for (size_t i = 0; i < kept.size(); ++i) {
        auto *command = new StepCommand(kept[i].text, std::move(kept[i].step), m_bytes);
        m_stack->push(command);
        if (clean == first + int(i) + 1)
            m_stack->setClean();
    }
    m_stack->blockSignals(blocked);
}

} // namespace qm
