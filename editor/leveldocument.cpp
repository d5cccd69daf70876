#include "leveldocument.h"

#include "levels/solutionsfile.h"
#include "platform/errors.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <QUndoStack>
#include <utility>

namespace qm {

namespace {

// Makes step the one that takes the steps run while this lives; the one before comes back after.
class OpenStepScope {
public:
    OpenStepScope(StoreStep *&open, StoreStep *step) : mOpen(open), mBefore(std::exchange(open, step)) {}
    ~OpenStepScope() { mOpen = mBefore; }
    OpenStepScope(const OpenStepScope &) = delete;
    OpenStepScope &operator=(const OpenStepScope &) = delete;

private:
    StoreStep *&mOpen;
    StoreStep *mBefore;
};

} // namespace

LevelDocument::LevelDocument(QObject *parent) : QObject(parent), mHistory(this)
{
    QUndoStack &stack = mHistory.stack();
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(&stack, signal, this, &LevelDocument::undoStateChanged);
    for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(&stack, signal, this, &LevelDocument::undoStateChanged);
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { updateSaved(); });
    connect(&stack, &QUndoStack::indexChanged, this, [this] {
        updateSaved();
        emit historyMoved();
    });
}

// The history goes with its commands, and its stack tells of that: no one listens by then.
LevelDocument::~LevelDocument() { mHistory.stack().disconnect(this); }

void LevelDocument::updateSaved()
{
    // The one place of the editor that sets it: the rest reads it.
    saved = mHistory.stack().isClean() && !(mStroke && !mStroke->empty());
    if (saved != mSaved) {
        mSaved = saved;
        emit savedChanged(saved);
    }
}

void LevelDocument::open(const std::string &path)
{
    endStroke();
    openlevelsfile(path);
    // The kept solutions come from their own file: one that cannot be read leaves the levels open
    // without solutions, and says why.
    QString solutionsProblem;
    try {
        readSolutionsFile(path);
    } catch (const Error &e) {
        solutionsProblem = QString::fromStdString(e.what());
    }
    clearHistory();
    emit fileReplaced();
    if (!solutionsProblem.isEmpty())
        emit solutionsUnreadable(solutionsProblem);
}

void LevelDocument::openRecovered(const LevelsFileContent &content, const std::string &storedPath)
{
    endStroke();
    openlevelsfile(content, storedPath);
    clearHistory();
    markUnsaved();
    emit fileReplaced();
}

void LevelDocument::startNew(const std::string &name)
{
    endStroke();
    resetstore();
    newfilename = name;
    clearHistory();
    emit fileReplaced();
}

void LevelDocument::close()
{
    fileopen = false;
    clearHistory();
    emit fileReplaced();
}

void LevelDocument::runStep(const char *text, const Work &work)
{
    if (mOpenStep) {
        work(*mOpenStep);
        return;
    }
    runStepWithParts([&](StoreStep &step) {
        work(step);
        return text;
    });
}

void LevelDocument::runStepWithParts(const NamingWork &work)
{
    endStroke();
    auto step = std::make_unique<StoreStep>();
    step->begin();
    std::string text = "Edit Levels";
    // What was done before a failure is pushed too.
    const auto push = [&] {
        step->finish();
        // Work that ends where it began (a level added, moved and cancelled) is no step.
        if (!step->leavesLevelsAsTheyWere())
            mHistory.push(QString::fromStdString(text), std::move(step));
    };
    try {
        const OpenStepScope parts(mOpenStep, step.get());
        text = work(*step);
    } catch (...) {
        push();
        throw;
    }
    push();
}

StoreStep &LevelDocument::beginStroke(const char *text)
{
    endStroke();
    mStroke = std::make_unique<StoreStep>();
    mStroke->begin();
    mStrokeText = text;
    return *mStroke;
}

void LevelDocument::strokeChanged() { updateSaved(); }

void LevelDocument::endStroke()
{
    if (!mStroke)
        return;
    std::unique_ptr<StoreStep> stroke = std::move(mStroke);
    stroke->finish();
    mHistory.push(mStrokeText, std::move(stroke));
    mStrokeText = "Paint";
    // A command in the middle of a stroke ends it: the moves after it paint only after a new press.
    painting = false;
    // A stroke that changed no cell leaves the file as it was.
    updateSaved();
}

void LevelDocument::undo()
{
    endStroke();
    mHistory.stack().undo();
}

void LevelDocument::redo()
{
    endStroke();
    mHistory.stack().redo();
}

void LevelDocument::markSaved()
{
    mHistory.stack().setClean();
    updateSaved();
}

void LevelDocument::markUnsaved()
{
    mHistory.stack().resetClean();
    updateSaved();
}

void LevelDocument::clearHistory()
{
    mStroke.reset();
    mHistory.stack().clear();
    updateSaved();
}

} // namespace qm
