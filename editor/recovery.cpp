#include "recovery.h"

#include "commands/filenames.h"
#include "platform/errors.h"
#include "platform/limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace qm {

namespace {

constexpr int kWorkerNice = 10;
const QString kAside = QStringLiteral("unreadable");

[[noreturn]] void refuse(const QString &message) { throw Error("EInvalidRecoveryCopy", message.toStdString()); }

std::string local(const QString &path) { return toPath(path); }

// File names are bytes; Latin-1 keeps every byte of them through the JSON text.
QString pathText(const std::string &path) { return QString::fromLatin1(path.data(), qsizetype(path.size())); }

struct Sidecar {
    QString levelsName;
    std::string originalPath;
    int level = 0;
    QDateTime time;
    qint64 size = 0;
    std::optional<QByteArray> solutions; // a solutions file's bytes; copies made without them have none
};

QByteArray sidecarBytes(const Sidecar &s)
{
    QJsonObject o;
    o["levels"] = s.levelsName;
    o["original"] = s.originalPath.empty() ? QJsonValue() : QJsonValue(pathText(s.originalPath));
    o["level"] = s.level;
    o["time"] = s.time.toUTC().toString(Qt::ISODateWithMs);
    o["size"] = s.size;
    if (s.solutions)
        o["solutions"] = QString::fromLatin1(s.solutions->toBase64());
    return QJsonDocument(o).toJson();
}

// The files of directory whose names start with prefix and end with suffix, by name. Matched here
// rather than with the toolkit's wildcard filters, which bring in a regular expression engine (half
// a megabyte of memory) for the scan at every start.
QStringList filesNamed(const QString &directory, const QString &prefix, const QString &suffix)
{
    QStringList names;
    // Every kind of entry: a name of ours that is a link to a device or a named pipe is a copy that
    // cannot be read, reported and moved aside like any other.
    for (const QString &name : QDir(directory).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name))
        if (name.size() >= prefix.size() + suffix.size() && name.startsWith(prefix) && name.endsWith(suffix))
            names << name;
    return names;
}

// "<id>-<1 to 9 digits>.lev", the name of one of copy id's levels files.
bool isLevelsNameOf(const QString &id, const QString &name)
{
    const QString prefix = id + '-', suffix = QStringLiteral(".lev");
    if (!name.startsWith(prefix) || !name.endsWith(suffix))
        return false;
    const QStringView digits = QStringView(name).mid(prefix.size(), name.size() - prefix.size() - suffix.size());
    return digits.size() >= 1 && digits.size() <= 9
           && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

// Copies are named by the id of the editor that wrote them; other files are not ours to touch.
bool isCopyId(const QString &id) { return !QUuid::fromString(id).isNull() && !id.startsWith('{'); }

// The sidecar of copy `id`, every field checked: it names that copy's levels file, <id>-<n>.lev.
Sidecar parseSidecar(const QString &id, const Bytes &bytes)
{
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())), &error);
    if (!doc.isObject())
        refuse(QStringLiteral("its description is not valid (%1)").arg(error.errorString()));
    QJsonObject o = doc.object();
    Sidecar s;
    s.levelsName = o["levels"].toString();
    if (!isLevelsNameOf(id, s.levelsName))
        refuse(QStringLiteral("its description names no levels file of its own"));
    if (o["original"].isString())
        s.originalPath = o["original"].toString().toLatin1().toStdString();
    else if (!o["original"].isNull())
        refuse(QStringLiteral("its description has no original file"));
    if (!o["level"].isDouble() || !o["size"].isDouble())
        refuse(QStringLiteral("its description has no level or size"));
    s.level = o["level"].toInt();
    s.size = o["size"].toInteger();
    s.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
    if (!s.time.isValid())
        refuse(QStringLiteral("its description has no valid time"));
    if (o.contains("solutions")) {
        const auto decoded = QByteArray::fromBase64Encoding(o["solutions"].toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!o["solutions"].isString() || !decoded)
            refuse(QStringLiteral("its description has damaged solutions"));
        s.solutions = *decoded;
    }
    return s;
}

void removeFile(const QString &path) { QFile::remove(path); }

} // namespace

QString recoveryQuestion(const RecoveryCopy &copy)
{
    const QString file = copy.originalPath.empty()
                             ? QStringLiteral("a new levels file")
                             : fromPath(copy.originalPath);
    return QStringLiteral("Unsaved work from %1 was found for %2. Recover it?")
        .arg(copy.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")), file);
}

QString RecoveryStore::defaultDirectory()
{
    // The editor's own data directory whichever program asks (the command-line tool keeps the
    // previous bytes of its saves in place here too, for the editor to offer).
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Quillmoss/qmeditor/recovery");
}

RecoveryStore::RecoveryStore(SnapshotSource source, const QString &directory, Delays delays)
    : mSource(std::move(source)), mDirectory(directory), mDelays(delays),
      mId(QUuid::createUuid().toString(QUuid::WithoutBraces)), mTimer(new QTimer(this)),
      mThread(new QThread(this)), mWorker(new QObject)
{
    mTimer->setSingleShot(true);
    connect(mTimer, &QTimer::timeout, this, &RecoveryStore::due);
    mWorker->moveToThread(mThread);
    mThread->start();
    // Writes yield to the frame when they share a core, but are not starved on a busy machine (as
    // they would be at idle priority): the worker thread alone runs at a lower nice value.
    QMetaObject::invokeMethod(mWorker, [] { ::setpriority(PRIO_PROCESS, ::gettid(), kWorkerNice); },
                              Qt::QueuedConnection);
    // Taking the lock now keeps an editor starting at the same time from offering this one's copy;
    // when the directory cannot be made yet, the first write tries again and reports the failure.
    std::lock_guard lock(mFilesMutex);
    try {
        ensureDirectoryAndLock();
    } catch (const Error &) {
    }
}

RecoveryStore::~RecoveryStore()
{
    waitForWrites();
    mThread->quit();
    mThread->wait();
    delete mWorker;
}

QString RecoveryStore::path(const QString &name) const { return mDirectory + '/' + name; }

void RecoveryStore::changed()
{
    const auto now = std::chrono::steady_clock::now();
    mLastChange = now;
    if (!mFirstPending)
        mFirstPending = now;
    schedule();
}

void RecoveryStore::schedule()
{
    const auto now = std::chrono::steady_clock::now();
    auto due = std::min(*mLastChange + mDelays.quiet, *mFirstPending + mDelays.interval);
    if (mLastWrite)
        due = std::max(due, *mLastWrite + mDelays.interval);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - now);
    mTimer->start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
}

void RecoveryStore::due()
{
    mFirstPending.reset();
    mLastChange.reset();
    std::optional<RecoverySnapshot> snapshot;
    try {
        snapshot = mSource();
    } catch (const std::exception &e) { // a store the writer refuses: nothing to copy, the editor goes on
        reportResult(QString::fromLocal8Bit(e.what()));
        return;
    }
    if (snapshot)
        write(std::move(*snapshot));
}

void RecoveryStore::write(RecoverySnapshot snapshot)
{
    mLastWrite = std::chrono::steady_clock::now();
    if (!snapshot.time.isValid())
        snapshot.time = QDateTime::currentDateTime();
    const quint64 generation = mGeneration;
    queueOnWorker([this, snapshot = std::move(snapshot), generation] { writeOnWorker(snapshot, generation); });
}

void RecoveryStore::queueOnWorker(std::function<void()> work)
{
    {
        std::lock_guard count(mCountMutex);
        ++mQueued;
    }
    QMetaObject::invokeMethod(mWorker, std::move(work), Qt::QueuedConnection);
}

void RecoveryStore::doneOnWorker()
{
    {
        std::lock_guard count(mCountMutex);
        --mQueued;
    }
    mIdle.notify_all();
}

namespace {

// Makes directory and the directories above it. A file (or anything but a directory) in the way is
// named, rather than reported as a file that is not found.
void makeDirectory(const QString &directory)
{
    std::error_code ec;
    std::filesystem::create_directories(local(directory), ec);
    if (!ec)
        return;
    for (std::filesystem::path part = local(directory); !part.empty() && part != part.parent_path();
         part = part.parent_path()) {
        std::error_code ignored;
        const auto status = std::filesystem::status(part, ignored);
        if (std::filesystem::exists(status)) {
            if (!std::filesystem::is_directory(status))
                throw EInOutError(part.string() + " is in the way: it is not a folder", ENOTDIR);
            break;
        }
    }
    throwIoError(ec.value());
}

} // namespace

void RecoveryStore::ensureDirectoryAndLock()
{
    makeDirectory(mDirectory);
    if (mLock && mLock->isLocked())
        return;
    mLock = std::make_unique<QLockFile>(path(mId + ".lock"));
    mLock->setStaleLockTime(0);
    if (!mLock->tryLock(0))
        throwIoError(mLock->error() == QLockFile::PermissionError ? EACCES : EIO);
}

// The worker's part: a new levels file, then the sidecar that makes it current, then the previous
// levels file goes. A failure at any step leaves the previous copy as it was.
void RecoveryStore::writeOnWorker(const RecoverySnapshot &snapshot, quint64 generation)
{
    QString failure;
    {
        std::lock_guard lock(mFilesMutex);
        const bool current = generation == mGeneration; // not discarded since it was queued
        if (current) {
            QString levelsName;
            try {
                ensureDirectoryAndLock();
                levelsName = QStringLiteral("%1-%2.lev").arg(mId).arg(++mSerial);
                writeFileSafely(local(path(levelsName)), snapshot.levels);
                Sidecar sidecar{levelsName, snapshot.originalPath, snapshot.level, snapshot.time,
                                qint64(snapshot.levels.size()), std::nullopt};
                if (!snapshot.solutions.empty())
                    sidecar.solutions = QByteArray(reinterpret_cast<const char *>(snapshot.solutions.data()),
                                                   qsizetype(snapshot.solutions.size()));
                const QByteArray side = sidecarBytes(sidecar);
                writeFileSafely(local(path(mId + ".json")), side.data(), size_t(side.size()));
                if (!mLevelsName.isEmpty())
                    removeFile(path(mLevelsName));
                mLevelsName = levelsName;
                removeRecoveredCopies();
            } catch (const std::exception &e) {
                if (!levelsName.isEmpty() && levelsName != mLevelsName)
                    removeFile(path(levelsName));
                failure = QString::fromLocal8Bit(e.what());
                if (failure.isEmpty())
                    failure = QStringLiteral("I/O error");
            }
        }
        // Posted before the count goes down, so that after waitForWrites() the result is on its way.
        if (current)
            QMetaObject::invokeMethod(this, [this, failure] { reportResult(failure); }, Qt::QueuedConnection);
    }
    doneOnWorker();
}

void RecoveryStore::reportResult(const QString &failure)
{
    if (failure.isEmpty()) {
        mFailureShown = false;
        emit written();
    } else if (!mFailureShown) {
        mFailureShown = true;
        emit writeFailed(
            QStringLiteral("The recovery copy could not be written in %1: %2").arg(QDir::cleanPath(mDirectory), failure));
    }
}

void RecoveryStore::waitForWrites()
{
    std::unique_lock count(mCountMutex);
    mIdle.wait(count, [this] { return mQueued == 0; });
}

bool RecoveryStore::writing() const
{
    std::lock_guard count(mCountMutex);
    return mQueued > 0;
}

// A copy's sidecar goes first: without it, its levels files are no copy any more.
void RecoveryStore::removeCopyFiles(const QString &id)
{
    removeFile(path(id + ".json"));
    const QStringList leftovers = filesNamed(mDirectory, id + '-', QStringLiteral(".lev"));
    for (const QString &name : leftovers)
        removeFile(path(name));
}

void RecoveryStore::discardOwn()
{
    mFailureShown = false; // the next failure is news again
    mTimer->stop();
    mFirstPending.reset();
    mLastChange.reset();
    mLastWrite.reset();
    ++mGeneration;
    queueOnWorker([this] {
        {
            std::lock_guard lock(mFilesMutex);
            removeCopyFiles(mId);
            mLevelsName.clear();
            removeRecoveredCopies();
            removeStaleLocks();
        }
        doneOnWorker();
    });
}

void RecoveryStore::removeRecoveredCopies()
{
    for (const QString &id : mRecovered)
        removeCopyFiles(id);
    mRecovered.clear();
}

RecoveredFile RecoveryStore::readCopy(const QString &id, RecoveryCopy *copy) const
{
    const Sidecar side = parseSidecar(id, readWholeFile(local(path(id + ".json")), kMaxRecoverySidecarBytes));
    RecoveredFile file{loadLevelsFile(local(path(side.levelsName))), side.originalPath, side.level};
    if (qint64(file.content.bytes.size()) != side.size)
        refuse(QStringLiteral("its levels file is %1 bytes long instead of %2").arg(file.content.bytes.size()).arg(side.size));
    if (side.level < 0 || size_t(side.level) > file.content.levels.size())
        refuse(QStringLiteral("its current level %1 is not one of its levels").arg(side.level));
    if (side.solutions)
        file.solutions = parseSolutions(reinterpret_cast<const uint8_t *>(side.solutions->constData()),
                                        size_t(side.solutions->size()));
    if (copy)
        *copy = {id, side.originalPath, side.level, side.time};
    return file;
}

// Keeps the files of a copy that cannot be read in the folder "unreadable", for the user to look at.
void RecoveryStore::moveAside(const QString &id)
{
    QDir dir(mDirectory);
    dir.mkdir(kAside);
    QStringList names = filesNamed(mDirectory, id + '-', QStringLiteral(".lev"));
    // The sidecar is moved whatever it is (a link is moved as the link, not what it points to).
    const QFileInfo sidecar(dir.filePath(id + ".json"));
    if (sidecar.exists() || sidecar.isSymLink())
        names << id + ".json";
    for (const QString &name : names)
        dir.rename(name, kAside + '/' + name);
}

void RecoveryStore::release(const QString &id) { mClaimed.erase(id); }

QString RecoveryStore::unreadable(const QString &id, const std::exception &e)
{
    moveAside(id);
    release(id);
    return QStringLiteral("The recovery copy %1.json cannot be read: %2. It was kept in %3.")
        .arg(id, QString::fromLocal8Bit(e.what()), path(kAside));
}

// Removes the locks of editors that ended without leaving a copy: a lock whose program is gone and
// that no sidecar belongs to. A copy's own lock is taken over when the copy is offered.
void RecoveryStore::removeStaleLocks()
{
    const QStringList locks = filesNamed(mDirectory, QString(), QStringLiteral(".lock"));
    for (const QString &name : locks) {
        const QString id = name.chopped(5);
        // A lock this editor holds is not stale: its program runs.
        if (!isCopyId(id) || id == mId || QFileInfo::exists(path(id + ".json")))
            continue;
        QLockFile stale(path(name));
        stale.setStaleLockTime(0);
        if (stale.tryLock(0))
            stale.unlock(); // removes the file
    }
}

std::vector<RecoveryCopy> RecoveryStore::unownedCopies(std::vector<RecoveryProblem> &problems)
{
    removeStaleLocks();
    std::vector<RecoveryCopy> copies;
    const QStringList sidecars = filesNamed(mDirectory, QString(), QStringLiteral(".json"));
    for (const QString &name : sidecars) {
        const QString id = name.chopped(5);
        if (!isCopyId(id) || id == mId || mClaimed.count(id))
            continue;
        // A lock held by a running editor means the copy is its own; one left by a killed editor is
        // stale and taken over here.
        auto claim = std::make_unique<QLockFile>(path(id + ".lock"));
        claim->setStaleLockTime(0);
        if (!claim->tryLock(0))
            continue;
        mClaimed[id] = std::move(claim);
        RecoveryCopy copy;
        try {
            readCopy(id, &copy);
        } catch (const std::exception &e) {
            problems.push_back({name, unreadable(id, e)});
            continue;
        }
        copies.push_back(std::move(copy));
    }
    std::sort(copies.begin(), copies.end(), [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.time > b.time; });
    return copies;
}

RecoveredFile RecoveryStore::recover(const RecoveryCopy &copy)
{
    if (!mClaimed.count(copy.id))
        refuse(QStringLiteral("The recovery copy %1 is not held by this editor.").arg(copy.id));
    RecoveredFile file;
    try {
        file = readCopy(copy.id, nullptr);
    } catch (const std::exception &e) {
        refuse(unreadable(copy.id, e));
    }
    // The copy stays until this editor's own copy replaces it, or its work is saved or discarded; if
    // the editor ends before either, the copy is offered again.
    std::lock_guard lock(mFilesMutex);
    mRecovered.push_back(copy.id);
    return file;
}

void RecoveryStore::discard(const RecoveryCopy &copy)
{
    if (!mClaimed.count(copy.id))
        return;
    removeCopyFiles(copy.id);
    release(copy.id);
}

void RecoveryStore::later(const RecoveryCopy &copy) { release(copy.id); }

namespace {

// One recovery copy per save in place, held by a lock of its own while the save runs (a lock whose
// program is gone is stale, so a copy left by a killed save is offered).
class PreviousBytesRecovery : public PreviousBytesKeeper {
public:
    explicit PreviousBytesRecovery(const QString &directory) : mDirectory(directory) {}

    std::string keep(const std::string &target, const uint8_t *data, size_t size) override
    {
        try {
            return keepIn(target, data, size);
        } catch (const EInOutError &e) {
            throw EInOutError("The file is written in place, and the bytes it replaces could not be kept in "
                                  + local(mDirectory) + ": " + e.what(),
                              e.errorCode());
        }
    }

    std::string keepIn(const std::string &target, const uint8_t *data, size_t size)
    {
        makeDirectory(mDirectory);
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        auto lock = std::make_unique<QLockFile>(mDirectory + '/' + id + ".lock");
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            throwIoError(lock->error() == QLockFile::PermissionError ? EACCES : EIO);
        const QString levelsName = id + QStringLiteral("-1.lev");
        std::error_code ignored;
        const std::string original = std::filesystem::absolute(target, ignored).string();
        try {
            writeFileSafely(local(mDirectory + '/' + levelsName), data, size);
            const QByteArray side = sidecarBytes({levelsName, original.empty() ? target : original, 0,
                                                  QDateTime::currentDateTime(), qint64(size), std::nullopt});
            writeFileSafely(local(mDirectory + '/' + id + ".json"), side.data(), size_t(side.size()));
        } catch (...) {
            removeFile(mDirectory + '/' + levelsName);
            throw;
        }
        std::lock_guard guard(mMutex);
        mLocks[id.toStdString()] = std::move(lock);
        return id.toStdString();
    }

    void drop(const std::string &kept) noexcept override
    {
        const QString id = QString::fromStdString(kept);
        removeFile(mDirectory + '/' + id + ".json");
        removeFile(mDirectory + '/' + id + "-1.lev");
        std::lock_guard guard(mMutex);
        mLocks.erase(kept); // unlocks and removes the lock file
    }

private:
    QString mDirectory;
    std::mutex mMutex;
    std::map<std::string, std::unique_ptr<QLockFile>> mLocks;
};

std::unique_ptr<PreviousBytesRecovery> previousBytesRecovery;

} // namespace

void keepPreviousBytesIn(const QString &directory)
{
    auto keeper = std::make_unique<PreviousBytesRecovery>(directory);
    setPreviousBytesKeeper(keeper.get());
    previousBytesRecovery = std::move(keeper);
}

} // namespace qm
