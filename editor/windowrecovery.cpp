// The main window's recovery copies of unsaved work: when they are written and dropped, the note of a
// copy that could not be written, and the start-up question about copies left by an editor that ended
// without saving.

#include "qmeditorunit1.h"

#include "maptoolscontroller.h"
#include "overviewcontroller.h"
#include "recovery.h"

#include "commands/messagebox.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <algorithm>
#include <filesystem>

namespace qm {

namespace {

// What a copy holds: the work while it is unsaved, nothing otherwise.
std::optional<RecoverySnapshot> unsavedWork()
{
    if (!fileopen || saved)
        return std::nullopt;
    std::array<int32_t, kOffsetCount> offsets{};
    // A file named relative to this editor's folder (on the command line) is found from any folder.
    std::error_code ignored;
    const std::string original = levelsfilepath.empty() ? std::string()
                                                        : std::filesystem::absolute(levelsfilepath, ignored).string();
    return RecoverySnapshot{levelsFileBytes(offsets), original.empty() ? levelsfilepath : original, curlevel,
                            QDateTime::currentDateTime()};
}

} // namespace

void TMainForm::createRecovery(const QString &directory)
{
    mRecovery = std::make_unique<RecoveryStore>(unsavedWork,
                                                directory.isEmpty() ? RecoveryStore::defaultDirectory() : directory);
    // A save in place keeps the bytes it replaces where the copies of unsaved work are.
    keepPreviousBytesIn(mRecovery->directory());
    connect(mRecovery.get(), &RecoveryStore::writeFailed, this, &TMainForm::showNote);
    connect(mRecovery.get(), &RecoveryStore::written, this, [this] {
        if (!mNote.isEmpty())
            showNote(QString());
    });
}

void TMainForm::workChanged()
{
    frameChanged();
    // While the map is shown its tick brings the status line along; without it, nothing else would.
    if (!mapShown())
        mMapTools->updateStatus();
    mOverview->storeChanged();
    // Cheap: the bytes are taken only when a copy is due.
    if (fileopen && !saved)
        mRecovery->changed();
}

void TMainForm::dropRecoveryCopy()
{
    mRecovery->discardOwn();
    // The work the note was about is saved or given up.
    if (!mNote.isEmpty())
        showNote(QString());
}

void TMainForm::showNote(const QString &text)
{
    mNote = text;
    updateCaption();
}

void TMainForm::offerRecovery()
{
    std::vector<RecoveryProblem> problems;
    const std::vector<RecoveryCopy> copies = mRecovery->unownedCopies(problems);
    for (const RecoveryProblem &problem : problems)
        showError(problem.message, this);
    bool recovered = false;
    for (const RecoveryCopy &copy : copies) {
        if (recovered) {
            mRecovery->later(copy);
            continue;
        }
        switch (showMessage(MessageKind::Confirm, recoveryQuestion(copy), MessageButtons::RecoverDiscardLater, this)) {
        case MessageButton::Recover:
            guarded([&] {
                recoverCopy(copy);
                recovered = true;
            });
            break;
        case MessageButton::Discard:
            mRecovery->discard(copy);
            break;
        default:
            mRecovery->later(copy);
            break;
        }
    }
}

void TMainForm::recoverCopy(const RecoveryCopy &copy)
{
    // Read and checked whole before the store is touched; a copy that cannot be read is kept aside.
    const RecoveredFile file = mRecovery->recover(copy);
    // Unsaved, under the name of the file it was (empty for a file never saved: Save asks for a name).
    mDocument->openRecovered(file.content, file.originalPath);
    curlevel = levelsinfo.count > 0 ? std::clamp(file.level, 1, int(levelsinfo.count)) : 0;
    prevlevel = 1;
    if (curlevel >= 1)
        startEditing();
    followFileOpened();
    enablefilemenus();
    // This editor's own copy replaces the recovered one.
    workChanged();
}

} // namespace qm
