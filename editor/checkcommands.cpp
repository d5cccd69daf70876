// The level checks of the main window: Check Level and Check All Levels in the Edit menu, the
// findings window they open, showing a double-clicked finding on the map, and the errors of a saved
// file in the caption.

#include "qmeditorunit1.h"

#include "levelcheckwindow.h"
#include "editor/core/mapediting.h"
#include "editor/core/storechecks.h"

#include "levels/levelstore.h"

#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace qm {

void TMainForm::showLevelChecks(bool allLevels)
{
    if (!mLevelCheckWindow) {
        mLevelCheckWindow = new LevelCheckWindow(this);
        mLevelCheckWindow->findingChosen = [this](int32_t level, std::optional<CellPlace> cell) {
            guarded([&] { showFinding(level, cell); });
        };
    }
    mLevelCheckWindow->showChecks(allLevels ? LevelCheckWindow::Scope::AllLevels
                                            : LevelCheckWindow::Scope::CurrentLevel);
}

void TMainForm::checkLevelClick() { showLevelChecks(false); }

void TMainForm::checkAllLevelsClick() { showLevelChecks(true); }

void TMainForm::showFinding(int32_t level, std::optional<CellPlace> cell)
{
    // A double-click while Close waits for the surface would change the level inside Close.
    if (mWaitingForSurface || !fileopen || level < 1 || level > levelsinfo.count)
        return;
    curlevel = level;
    if (!mapShown())
        showMap();
    followCurrentLevel();
    if (cell)
        centreViewOn(cell->row, cell->column);
}

void TMainForm::checkSavedFile() { showSavedErrors(StoreChecks().errorCount()); }

void TMainForm::showSavedErrors(int32_t errors)
{
    mSavedErrorsNote = errors == 0 ? QString()
                       : errors == 1 ? QString(" - saved with 1 error (Edit, Check All Levels)")
                                     : QString(" - saved with %1 errors (Edit, Check All Levels)").arg(errors);
    mSavedErrorsPath = levelsfilepath;
    updateCaption();
    // The note holds until the next change, or until another file (or none) is open.
    if (!mSavedErrorsWatched) {
        mSavedErrorsWatched = true;
        const auto follow = [this] {
            if (mSavedErrorsNote.isEmpty() || (saved && fileopen && levelsfilepath == mSavedErrorsPath))
                return;
            mSavedErrorsNote.clear();
            updateCaption();
        };
        connect(mDocument, &LevelDocument::savedChanged, this, follow);
        connect(mDocument, &LevelDocument::fileReplaced, this, follow);
    }
}

void TMainForm::updateCaption()
{
    setWindowTitle(QString(kApplicationTitle) + mSavedErrorsNote + (mPaused ? " [Pause]" : "")
                   + (mNote.isEmpty() ? QString() : " - " + mNote));
}

} // namespace qm
