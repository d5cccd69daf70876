#pragma once
// Recovery copies of unsaved work for the main window: the store that writes them (a snapshot taken
// when a copy is due), dropping this editor's copy when the work is saved or given up, the note of a
// copy that could not be written, and the start-up question about copies left by an editor that
// ended without saving.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace qm {

class LevelDocument;
class RecoveryStore;
struct RecoveryCopy;

class RecoveryController : public QObject {
    Q_OBJECT

public:
    struct Host {
        // Runs a handler; a failure is shown in an error box, as a failed command's is.
        std::function<void(const std::function<void()> &)> guarded;
        // A copy was recovered into the store (its level current, when it has levels).
        std::function<void()> recovered;
        // The note changed.
        std::function<void()> captionChanged;
    };

    // directory: where the copies go (empty: the user's data directory).
    RecoveryController(QWidget *mainWindow, LevelDocument &document, const QString &directory, Host host);
    ~RecoveryController() override;

    // After every change of the work: a copy is taken when one is due and the work is unsaved.
    void workChanged();
    // The work is saved or given up: this editor's copy goes, and the note with it.
    void dropCopy();
    // At start-up, before a file named on the command line: asks about each copy that no running
    // editor owns (Recover, Discard, Later) and reports the copies that cannot be read. After one
    // Recover the remaining copies are kept for later.
    void offer();
    // A short note for the caption (a copy that could not be written); empty: none.
    const QString &note() const { return mNote; }

private:
    void recoverCopy(const RecoveryCopy &copy);
    void showNote(const QString &text);

    QWidget *mMainWindow;
    LevelDocument &mDocument;
    Host mHost;
    std::unique_ptr<RecoveryStore> mStore;
    QString mNote;
};

} // namespace qm
