#pragma once
// Recovery copies of unsaved work. While the open levels file has unsaved changes, the editor keeps a
// copy of the whole store in the user's data directory, so that a crash, a power cut or a killed
// program loses at most the last few seconds. The user's own file is never written behind their back.
//
// One copy is two files in the recovery directory:
//   <id>.json      the sidecar: which levels file it holds, the original path (none for a file never
//                  saved), the current level, the time, the size of the levels file and the levels'
//                  kept solutions (the solutions file's bytes in base 64);
//   <id>-<n>.lev   the store in the levels file format, exactly the bytes Save would write.
// A new copy writes a new levels file first and then replaces the sidecar, which is the one step that
// makes the copy current: whatever fails before it, the previous pair is still whole.
// Each running editor has its own id and holds <id>.lock (a QLockFile) while it runs, so that two
// editors never take each other's copies; a lock left by a killed program is stale and owns nothing.

#include "levels/levelsfile.h"
#include "levels/solutionsfile.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QThread;
class QTimer;

namespace qm {

// What the window hands over for one copy: the writer's bytes, taken on the GUI thread.
struct RecoverySnapshot {
    Bytes levels;             // levelsFileBytes() of the store
    std::string originalPath; // where Save goes; empty for a file never saved
    int level = 0;            // the current level
    QDateTime time;           // when the snapshot was taken
    Bytes solutions = {};     // solutionsBytes() of the store (empty: left out of the copy)
};

// A copy left by an editor that no longer runs, as offered at start-up.
struct RecoveryCopy {
    QString id;
    std::string originalPath; // empty for a file never saved
    int level = 0;
    QDateTime time;
};

// A recovered copy, read and checked, ready for storeLevelsFile().
struct RecoveredFile {
    LevelsFileContent content;
    std::string originalPath; // empty: open as a new file, whose Save asks for a name
    int level = 0;
    std::optional<Solutions> solutions = std::nullopt; // the kept solutions; none in copies made without them
};

// A copy that could not be read: its name and what was wrong. Its files are kept aside.
struct RecoveryProblem {
    QString name;
    QString message;
};

// When copies are written.
struct RecoveryDelays {
    std::chrono::milliseconds quiet{3000};     // after the last change
    std::chrono::milliseconds interval{30000}; // between two writes, and the longest a change waits
};

// The start-up question for one copy.
QString recoveryQuestion(const RecoveryCopy &copy);

class RecoveryStore : public QObject {
    Q_OBJECT
public:
    using Delays = RecoveryDelays;
    // Takes a snapshot of the unsaved work, or nothing when there is none.
    using SnapshotSource = std::function<std::optional<RecoverySnapshot>()>;

    // The directory of the copies: QStandardPaths::AppLocalDataLocation + "/recovery".
    static QString defaultDirectory();

    RecoveryStore(SnapshotSource source, const QString &directory = defaultDirectory(), Delays delays = {});
    // Waits for a write in progress. The copy stays: discardOwn() first on a normal exit.
    ~RecoveryStore() override;

    const QString &id() const { return mId; }
    const QString &directory() const { return mDirectory; }

    // The work changed and is unsaved: a copy is written a quiet delay after the last change, no
    // sooner than the interval after the previous copy, and no later than the interval after the
    // first change not yet copied (so that steady painting is copied too).
    void changed();
    // Writes this snapshot now, on the worker thread.
    void write(RecoverySnapshot snapshot);
    // Deletes this editor's copy and forgets any change not yet copied: after Save, Save as, Close
    // without saving and a normal exit. The files go on the worker thread, after a write in
    // progress (writes queued before are dropped), so the GUI thread never waits for the disk.
    void discardOwn();
    // Waits until no write or discard is queued or in progress (for tests and exit).
    void waitForWrites();
    // Whether a write or discard is queued or in progress.
    bool writing() const;

    // At start-up: the copies that no running editor owns, newest first. This editor holds each one
    // offered until it is recovered, discarded or left for later, so that another editor starting
    // now does not offer it too. Copies that cannot be read are moved aside and listed in problems.
    std::vector<RecoveryCopy> unownedCopies(std::vector<RecoveryProblem> &problems);
    // Reads an offered copy. It stays, held by this editor, until this editor's next copy is written
    // or discardOwn() is called; should this editor end first, it is offered again. A copy that
    // cannot be read any more is moved aside and its problem thrown as an Error.
    RecoveredFile recover(const RecoveryCopy &copy);
    // Deletes an offered copy.
    void discard(const RecoveryCopy &copy);
    // Keeps an offered copy for the next start.
    void later(const RecoveryCopy &copy);

signals:
    // A copy could not be written (shown once until a copy is written again); the editor goes on.
    void writeFailed(const QString &message);
    // A copy was written.
    void written();

private:
    void schedule();
    void due();
    void writeOnWorker(const RecoverySnapshot &snapshot, quint64 generation);
    void queueOnWorker(std::function<void()> work);
    void doneOnWorker();
    void reportResult(const QString &failure); // empty: written
    void ensureDirectoryAndLock();
    void removeRecoveredCopies();
    void removeStaleLocks();
    void removeCopyFiles(const QString &id);
    QString path(const QString &name) const;
    RecoveredFile readCopy(const QString &id, RecoveryCopy *copy) const;
    void moveAside(const QString &id);
    QString unreadable(const QString &id, const std::exception &e);
    void release(const QString &id);

    SnapshotSource mSource;
    QString mDirectory;
    Delays mDelays;
    QString mId;

    // GUI thread: the debounce.
    QTimer *mTimer;
    std::optional<std::chrono::steady_clock::time_point> mFirstPending, mLastChange, mLastWrite;
    bool mFailureShown = false;

    // The worker's, and the GUI thread's only at start-up (recover): the files of this editor's copy.
    // The GUI thread never waits for a write: it only counts the work it queues.
    std::mutex mFilesMutex;
    std::unique_ptr<QLockFile> mLock;
    QString mLevelsName; // the levels file of the current copy, empty when there is none
    QStringList mRecovered; // ids of the copies recovered
    int mSerial = 0;
    std::atomic<quint64> mGeneration = 0; // discardOwn() makes the writes queued before it obsolete

    mutable std::mutex mCountMutex;
    int mQueued = 0; // writes and discards queued or in progress
    std::condition_variable mIdle;

    std::map<QString, std::unique_ptr<QLockFile>> mClaimed; // copies offered, held by this editor
    QThread *mThread;
    QObject *mWorker;
};

// From now on, a save in place (a file in a directory the user cannot write) keeps the bytes it
// replaces as a recovery copy in directory until the new bytes are written and flushed: should the
// program be killed in the middle, the next editor to start offers them ("Unsaved work from ... was
// found for FILE") like any copy left by an editor that ended without saving.
void keepPreviousBytesIn(const QString &directory = RecoveryStore::defaultDirectory());

} // namespace qm
