#include "checkscontroller.h"

#include "levelcheckwindow.h"
#include "leveldocument.h"

#include "levels/levelstore.h"

namespace qm {

ChecksController::ChecksController(QWidget *mainWindow, LevelDocument &document, ShowFinding showFinding,
                                   std::function<void()> captionChanged)
    : QObject(mainWindow), mMainWindow(mainWindow), mShowFinding(std::move(showFinding)),
      mCaptionChanged(std::move(captionChanged))
{
    // The window follows a stroke, an undo or a dialog at once, not at its next poll.
    connect(&document, &LevelDocument::historyMoved, this, [this] {
        if (mWindow && mWindow->isVisible())
            mWindow->refresh();
    });
    // The saved file's note holds until the next change, or until another file (or none) is open.
    const auto follow = [this] {
        if (mSavedErrorsNote.isEmpty() || (saved && fileopen && levelsfilepath == mSavedErrorsPath))
            return;
        mSavedErrorsNote.clear();
        mCaptionChanged();
    };
    connect(&document, &LevelDocument::savedChanged, this, follow);
    connect(&document, &LevelDocument::fileReplaced, this, follow);
}

void ChecksController::showChecks(bool allLevels)
{
    if (!mWindow) {
        mWindow = new LevelCheckWindow(mMainWindow);
        mWindow->findingChosen = [this](int32_t level, std::optional<CellPlace> cell) { mShowFinding(level, cell); };
    }
    mWindow->showChecks(allLevels ? LevelCheckWindow::Scope::AllLevels : LevelCheckWindow::Scope::CurrentLevel);
}

void ChecksController::checkSavedFile() { showSavedErrors(StoreChecks().errorCount()); }

void ChecksController::showSavedErrors(int32_t errors)
{
    mSavedErrorsNote = errors == 0 ? QString()
                       : errors == 1 ? QString(" - saved with 1 error (Edit, Check All Levels)")
                                     : QString(" - saved with %1 errors (Edit, Check All Levels)").arg(errors);
    mSavedErrorsPath = levelsfilepath;
    mCaptionChanged();
}

} // namespace qm
