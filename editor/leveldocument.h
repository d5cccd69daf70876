#pragma once
// The open levels file's editing state: the undo history, the painting stroke going on, the step a
// command is recording, and whether the file is saved. The window asks it and follows its signals;
// nothing else writes `saved` (the store's reset and writer aside, and painting without a step).
//
// A change of the file is run as one undo step: runStep("Delete Level", work) does work through a
// StoreStep and pushes it once done. A command whose dialog runs steps of its own meanwhile (Add
// Level and its levels dialog) runs runStepWithParts: the dialog's steps become parts of it. Painting
// with the mouse is a stroke: one step from the press to the release.
//
// `saved` follows the history's clean state: it holds while the history is at its clean point and no
// stroke going on has changed a cell. A save marks the clean point (markSaved); recovered work is
// unsaved with an empty history (markUnsaved).

#include "undohistory.h"

#include "levels/storestep.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace qm {

struct LevelsFileContent;

class LevelDocument : public QObject {
    Q_OBJECT

public:
    using Work = std::function<void(StoreStep &)>;
    // A work that names its step when done ("Add Level", or "Edit Levels" when the level was cancelled).
    using NamingWork = std::function<std::string(StoreStep &)>;

    explicit LevelDocument(QObject *parent = nullptr);
    ~LevelDocument() override;

    UndoHistory &history() { return mHistory; }

    // The file into the store. open reads path (a failure part-way leaves no file: the caller closes);
    // openRecovered takes a recovery copy read already, as work never saved to storedPath; startNew
    // makes an empty file named name; close leaves no file open. Each ends with an empty history.
    void open(const std::string &path);
    void openRecovered(const LevelsFileContent &content, const std::string &storedPath);
    void startNew(const std::string &name);
    void close();

    // Runs work as one step of the history named text; within another step's work, as part of it.
    // What the work did before a failure is kept as the step too: the history always matches the store.
    void runStep(const char *text, const Work &work);
    // Runs work as a new step whose parts are the steps run meanwhile, named as the work answers.
    void runStepWithParts(const NamingWork &work);

    // The painting stroke: begun at a press (ending one going on), the cells written through stroke(),
    // strokeChanged() after each write, ended at the release or by any command as one step named text.
    StoreStep &beginStroke(const char *text);
    StoreStep *stroke() const { return mStroke.get(); }
    void strokeChanged();
    void endStroke();

    // Undo and Redo: a stroke going on is ended first.
    void undo();
    void redo();

    // The file written: the history's present state is the saved one.
    void markSaved();
    // Work that is on no disk (recovered), with nothing to undo.
    void markUnsaved();
    // An empty history and the file unchanged (New, Open, Close, reading the file again).
    void clearHistory();

signals:
    // `saved` became saved.
    void savedChanged(bool saved);
    // A step pushed, undone or redone: the store changed.
    void historyMoved();
    // What Undo and Redo may do, and their names, changed.
    void undoStateChanged();
    // Another file, or none, is in the store.
    void fileReplaced();
    // The file's kept solutions could not be read (the levels were opened without them).
    void solutionsUnreadable(const QString &why);

private:
    void updateSaved();

    UndoHistory mHistory;
    std::unique_ptr<StoreStep> mStroke; // the painting stroke going on
    const char *mStrokeText = "Paint";  // its name in the history
    StoreStep *mOpenStep = nullptr;     // the step whose work is going on, that takes the steps run meanwhile
    bool mSaved = true;                 // `saved` as last told
};

} // namespace qm
