#include "recoverycontroller.h"

#include "leveldocument.h"
#include "recovery.h"

#include "commands/messagebox.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <QWidget>
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
                            QDateTime::currentDateTime(), solutionsBytes()};
}

} // namespace

RecoveryController::RecoveryController(QWidget *mainWindow, LevelDocument &document, const QString &directory,
                                       Host host)
    : QObject(mainWindow), mMainWindow(mainWindow), mDocument(document), mHost(std::move(host)),
      mStore(std::make_unique<RecoveryStore>(unsavedWork,
                                             directory.isEmpty() ? RecoveryStore::defaultDirectory() : directory))
{
    // A save in place keeps the bytes it replaces where the copies of unsaved work are.
    keepPreviousBytesIn(mStore->directory());
    connect(mStore.get(), &RecoveryStore::writeFailed, this, &RecoveryController::showNote);
    connect(mStore.get(), &RecoveryStore::written, this, [this] {
        if (!mNote.isEmpty())
            showNote(QString());
    });
}

RecoveryController::~RecoveryController() = default;

void RecoveryController::workChanged()
{
    // Cheap: the bytes are taken only when a copy is due.
    if (fileopen && !saved)
        mStore->changed();
}

void RecoveryController::dropCopy()
{
    mStore->discardOwn();
    // The work the note was about is saved or given up.
    if (!mNote.isEmpty())
        showNote(QString());
}

void RecoveryController::showNote(const QString &text)
{
    mNote = text;
    mHost.captionChanged();
}

void RecoveryController::offer()
{
    std::vector<RecoveryProblem> problems;
    const std::vector<RecoveryCopy> copies = mStore->unownedCopies(problems);
    for (const RecoveryProblem &problem : problems)
        showError(problem.message, mMainWindow);
    bool recovered = false;
    for (const RecoveryCopy &copy : copies) {
        if (recovered) {
            mStore->later(copy);
            continue;
        }
        switch (showMessage(MessageKind::Confirm, recoveryQuestion(copy), MessageButtons::RecoverDiscardLater,
                            mMainWindow)) {
        case MessageButton::Recover:
            mHost.guarded([&] {
                recoverCopy(copy);
                recovered = true;
            });
            break;
        case MessageButton::Discard:
            mStore->discard(copy);
            break;
        default:
            mStore->later(copy);
            break;
        }
    }
}

void RecoveryController::recoverCopy(const RecoveryCopy &copy)
{
    // Read and checked whole before the store is touched; a copy that cannot be read is kept aside.
    const RecoveredFile file = mStore->recover(copy);
    // Unsaved, under the name of the file it was (empty for a file never saved: Save asks for a name).
    mDocument.openRecovered(file.content, file.originalPath);
    if (file.solutions) // as they were kept when the copy was made, not as they were last saved
        storeSolutions(*file.solutions);
    curlevel = levelsinfo.count > 0 ? std::clamp(file.level, 1, int(levelsinfo.count)) : 0;
    prevlevel = 1;
    mHost.recovered();
}

} // namespace qm
