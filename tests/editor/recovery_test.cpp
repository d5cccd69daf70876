// Recovery copies: what is offered at start-up, to whom, and that no failure loses the last good copy.

#include "editor/recovery.h"

#include "levels/levelstore.h"
#include "platform/errors.h"
#include "platform/fileio.h"

#include "tempdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <unistd.h>

using namespace qm;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

namespace {

// A directory as messages name it, without a separator at the end.
std::string cleanPath(const std::string &path) { return QDir::cleanPath(QString::fromStdString(path)).toStdString(); }

// A levels file of two levels whose cells carry `tile`.
Bytes sampleLevels(int32_t tile)
{
    initStore();
    levelsinfo = Tlevels{};
    levelsinfo.author = "recovery";
    resetstore();
    for (int k = 1; k <= 2; ++k) {
        addlevel();
        levels[k].width = 30;
        levels[k].height = 20;
        levels[k].cellAt(5, k)->tile = tile;
    }
    std::array<int32_t, kOffsetCount> offsets{};
    return levelsFileBytes(offsets);
}

RecoverySnapshot snapshotOf(int32_t tile, const std::string &original = "/home/me/work.lev", int level = 2)
{
    return {sampleLevels(tile), original, level, QDateTime(QDate(2026, 12, 7), QTime(11, 42), Qt::LocalTime)};
}

const RecoveryStore::Delays kFast{std::chrono::milliseconds(20), std::chrono::milliseconds(2000)};

std::unique_ptr<RecoveryStore> storeIn(const std::string &dir, RecoveryStore::SnapshotSource source = {})
{
    if (!source)
        source = [] { return std::optional<RecoverySnapshot>(); };
    return std::make_unique<RecoveryStore>(source, QString::fromStdString(dir), kFast);
}

void writeAndWait(RecoveryStore &store, RecoverySnapshot snapshot)
{
    store.write(std::move(snapshot));
    store.waitForWrites();
    QCoreApplication::processEvents(); // delivers written / writeFailed
}

std::vector<RecoveryCopy> offered(RecoveryStore &store)
{
    std::vector<RecoveryProblem> problems;
    std::vector<RecoveryCopy> copies = store.unownedCopies(problems);
    EXPECT_TRUE(problems.empty()) << problems.front().message.toStdString();
    return copies;
}

// Every file of the directory and its bytes, without the locks (which only say who runs).
std::map<std::string, std::vector<uint8_t>> files(const std::string &dir)
{
    std::map<std::string, std::vector<uint8_t>> result;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().extension() != ".lock")
            result[entry.path().lexically_relative(dir).string()] = readFile(entry.path().string());
    return result;
}

TEST(Recovery, TheQuestionNamesTheTimeAndTheFile)
{
    RecoveryCopy copy{"x", "/home/me/work.lev", 1, QDateTime(QDate(2026, 12, 7), QTime(11, 42), Qt::LocalTime)};
    EXPECT_EQ(recoveryQuestion(copy).toStdString(),
              "Unsaved work from 2026-12-07 11:42 was found for /home/me/work.lev. Recover it?");
    copy.originalPath.clear();
    EXPECT_EQ(recoveryQuestion(copy).toStdString(),
              "Unsaved work from 2026-12-07 11:42 was found for a new levels file. Recover it?");
}

TEST(Recovery, ACopyFollowsTheLastChangeNoSoonerThanTheIntervalAndSaveDiscardsIt)
{
    TempDir dir;
    int taken = 0;
    auto store = storeIn(dir.path(), [&] {
        ++taken;
        return std::optional<RecoverySnapshot>(snapshotOf(7));
    });
    QSignalSpy written(store.get(), &RecoveryStore::written);
    store->changed();
    store->changed();
    ASSERT_TRUE(written.wait(5000));
    EXPECT_EQ(taken, 1) << "two quick changes make one copy";

    store->changed(); // within the interval of the copy just written
    QTest::qWait(300);
    EXPECT_EQ(taken, 1) << "copies are at least the interval apart";
    ASSERT_TRUE(written.wait(5000));
    EXPECT_EQ(taken, 2);

    store->discardOwn(); // Save: the copy goes, and a change not yet copied is forgotten
    store->waitForWrites();
    EXPECT_EQ(files(dir.path()).size(), 0u);
}

TEST(Recovery, LaterKeepsACopyDiscardDeletesItAndRecoverGivesTheSnapshotsBytes)
{
    TempDir dir;
    const RecoverySnapshot saved = snapshotOf(11), unsaved = snapshotOf(12, "");
    {
        auto crashed = storeIn(dir.path());
        writeAndWait(*crashed, saved);
    }
    {
        auto crashed = storeIn(dir.path());
        writeAndWait(*crashed, snapshotOf(99, ""));
        writeAndWait(*crashed, unsaved); // replaces the copy before
    }
    {
        auto next = storeIn(dir.path());
        std::vector<RecoveryCopy> copies = offered(*next);
        ASSERT_EQ(copies.size(), 2u);
        for (const RecoveryCopy &copy : copies)
            next->later(copy);
    }
    auto last = storeIn(dir.path());
    std::vector<RecoveryCopy> copies = offered(*last);
    ASSERT_EQ(copies.size(), 2u) << "Later keeps both";
    const RecoveryCopy &ofNew = copies[0].originalPath.empty() ? copies[0] : copies[1];
    const RecoveryCopy &ofSaved = copies[0].originalPath.empty() ? copies[1] : copies[0];
    EXPECT_EQ(ofSaved.originalPath, saved.originalPath);
    EXPECT_EQ(ofSaved.level, 2);
    EXPECT_EQ(ofSaved.time, saved.time);

    last->discard(ofSaved);
    RecoveredFile file = last->recover(ofNew);
    EXPECT_EQ(Bytes(file.content.bytes.begin(), file.content.bytes.end()), unsaved.levels);
    EXPECT_EQ(file.originalPath, "");
    sampleLevels(0); // another store, then the recovered one in its place: Save writes the snapshot's bytes
    storeLevelsFile(file.content);
    std::array<int32_t, kOffsetCount> offsets{};
    EXPECT_EQ(levelsFileBytes(offsets), unsaved.levels);

    // The recovered copy stays until this editor's own copy replaces it.
    EXPECT_TRUE(offered(*storeIn(dir.path())).empty()) << "held by the editor that recovered it";
    writeAndWait(*last, snapshotOf(13, ""));
    EXPECT_EQ(files(dir.path()).size(), 2u) << "only this editor's sidecar and levels file are left";
    last->discardOwn();
    last->waitForWrites();
    EXPECT_EQ(files(dir.path()).size(), 0u);
}

// Solutions kept since the last save are part of the unsaved work: a copy carries them and gives them
// back as they were; a copy made without them (an older editor's, or a save in place's) gives none, so
// that the solutions file of the original stays what the levels have; damaged ones refuse the copy.
TEST(Recovery, ACopyCarriesTheKeptSolutionsAndRefusesDamagedOnes)
{
    TempDir dir;
    RecoverySnapshot withSolutions = snapshotOf(11);
    sampleLevels(11);
    levels[2].solution = {0x01, 0x02, 0x03, 0xFF};
    withSolutions.solutions = solutionsBytes();
    {
        auto crashed = storeIn(dir.path());
        writeAndWait(*crashed, withSolutions);
    }
    {
        auto crashed = storeIn(dir.path());
        writeAndWait(*crashed, snapshotOf(12, "/home/me/other.lev"));
    }
    auto next = storeIn(dir.path());
    std::vector<RecoveryCopy> copies = offered(*next);
    ASSERT_EQ(copies.size(), 2u);
    for (const RecoveryCopy &copy : copies) {
        const RecoveredFile file = next->recover(copy);
        if (copy.originalPath == "/home/me/other.lev") {
            EXPECT_FALSE(file.solutions.has_value());
            continue;
        }
        ASSERT_TRUE(file.solutions.has_value());
        sampleLevels(0);
        storeLevelsFile(file.content);
        storeSolutions(*file.solutions);
        EXPECT_EQ(levels[2].solution, (std::vector<uint8_t>{0x01, 0x02, 0x03, 0xFF}));
        EXPECT_TRUE(levels[1].solution.empty());
    }
    next.reset();

    // The solutions' bytes damaged in the sidecar: the copy is kept aside, and says why.
    TempDir other;
    {
        auto crashed = storeIn(other.path());
        writeAndWait(*crashed, withSolutions);
    }
    for (const auto &[name, bytes] : files(other.path()))
        if (name.ends_with(".json")) {
            std::string text(bytes.begin(), bytes.end());
            const size_t at = text.find("\"solutions\": \"");
            ASSERT_NE(at, std::string::npos);
            text.replace(at + 14, 4, "QUFB"); // "AAA": no solutions file starts so
            writeFile(other.path(name), text);
        }
    auto last = storeIn(other.path());
    std::vector<RecoveryProblem> problems;
    EXPECT_TRUE(last->unownedCopies(problems).empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].message.contains("solutions")) << problems[0].message.toStdString();
}

TEST(Recovery, TwoEditorsKeepTheirOwnCopiesAndAKilledEditorsCopyIsOffered)
{
    TempDir home;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.path()));
    const QString directory = RecoveryStore::defaultDirectory();
    ASSERT_TRUE(directory.startsWith(QString::fromStdString(home.path())) && directory.endsWith("/recovery"));

    RecoveryStore a([] { return std::optional<RecoverySnapshot>(); }, directory, kFast);
    RecoveryStore b([] { return std::optional<RecoverySnapshot>(); }, directory, kFast);
    writeAndWait(a, snapshotOf(1));
    writeAndWait(b, snapshotOf(2));
    EXPECT_TRUE(offered(a).empty());
    EXPECT_TRUE(offered(b).empty());

    // Another editor, in its own process, writes a copy and is killed.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {"--hold-a-copy"});
    ASSERT_TRUE(other.waitForReadyRead(20000)) << "the other editor did not write its copy";
    EXPECT_TRUE(offered(a).empty()) << "its copy is its own while it runs";
    other.kill(); // SIGKILL: its lock file stays behind
    other.waitForFinished();
    EXPECT_EQ(QDir(directory).entryList({"*.lock"}).size(), 3);

    std::vector<RecoveryCopy> copies = offered(a);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(offered(b).empty()) << "a copy offered by one editor is not offered by another";
    RecoveredFile file = a.recover(copies[0]);
    EXPECT_EQ(Bytes(file.content.bytes.begin(), file.content.bytes.end()), snapshotOf(3).levels);
    EXPECT_EQ(file.originalPath, "/home/me/work.lev");
    qunsetenv("XDG_DATA_HOME");
}

TEST(Recovery, ACopyThatCannotBeReadIsReportedByNameAndKeptAside)
{
    TempDir dir;
    for (int32_t tile : {1, 2, 3, 4, 5}) {
        auto crashed = storeIn(dir.path());
        writeAndWait(*crashed, snapshotOf(tile));
    }
    std::vector<std::string> sidecars, levelsFiles;
    for (const auto &[name, bytes] : files(dir.path()))
        (name.ends_with(".json") ? sidecars : levelsFiles).push_back(name);
    ASSERT_EQ(sidecars.size(), 5u);
    auto idOf = [](const std::string &name) { return name.substr(0, 36); };
    writeFile(dir.path(sidecars[0]), std::string("{ not json"));
    auto editSidecar = [&](const std::string &name, const std::string &from, const std::string &to) {
        const std::vector<uint8_t> bytes = readFile(dir.path(name));
        std::string text(bytes.begin(), bytes.end());
        text.replace(text.find(from), from.size(), to);
        writeFile(dir.path(name), text);
    };
    editSidecar(sidecars[1], "-1.lev", "-9.lev");                        // a levels file that is not there
    std::filesystem::resize_file(dir.path(idOf(sidecars[2]) + "-1.lev"), 4100); // cut short
    editSidecar(sidecars[3], idOf(sidecars[3]), idOf(sidecars[4]));        // another copy's levels file
    const auto before = files(dir.path());

    auto next = storeIn(dir.path());
    std::vector<RecoveryProblem> problems;
    std::vector<RecoveryCopy> copies = next->unownedCopies(problems);
    EXPECT_EQ(copies.size(), 1u) << "the good copy is still offered";
    ASSERT_EQ(problems.size(), 4u);
    for (const RecoveryProblem &problem : problems) {
        EXPECT_TRUE(problem.message.startsWith("The recovery copy " + problem.name + " cannot be read: "))
            << problem.message.toStdString();
        EXPECT_TRUE(problem.message.contains("unreadable")) << problem.message.toStdString();
    }
    // Nothing is lost: every file is still there, the unreadable ones moved aside.
    const auto after = files(dir.path());
    ASSERT_EQ(after.size(), before.size());
    for (const auto &[name, bytes] : before) {
        const bool aside = idOf(name) != idOf(sidecars[4]);
        auto found = after.find(aside ? "unreadable/" + name : name);
        ASSERT_NE(found, after.end()) << name;
        EXPECT_EQ(found->second, bytes) << name;
    }
    EXPECT_TRUE(offered(*storeIn(dir.path())).empty()) << "copies kept aside are not offered again";
}

struct WriteFault {
    iofault::Op op;
    int nth; // 1: while writing the levels file, 2: the sidecar
};

std::string faultName(const ::testing::TestParamInfo<WriteFault> &info);
void PrintTo(const WriteFault &fault, std::ostream *os) { *os << faultName({fault, 0}); }

class RecoveryWriteFault : public ::testing::TestWithParam<WriteFault> {};

TEST_P(RecoveryWriteFault, KeepsThePreviousCopyAndTheStoreGoesOn)
{
    TempDir dir;
    auto store = storeIn(dir.path());
    QSignalSpy failed(store.get(), &RecoveryStore::writeFailed);
    writeAndWait(*store, snapshotOf(1));
    const auto before = files(dir.path());

    iofault::inject(GetParam().op, GetParam().nth, ENOSPC);
    writeAndWait(*store, snapshotOf(2));
    iofault::reset();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString().toStdString(), "The recovery copy could not be written in " + cleanPath(dir.path()) + ": Disk full");
    EXPECT_EQ(files(dir.path()), before) << "the previous copy, whole, and nothing else";

    writeAndWait(*store, snapshotOf(3));
    store.reset(); // ends as a crash would, keeping its copy
    auto next = storeIn(dir.path());
    std::vector<RecoveryCopy> copies = offered(*next);
    ASSERT_EQ(copies.size(), 1u);
    RecoveredFile file = next->recover(copies[0]);
    EXPECT_EQ(Bytes(file.content.bytes.begin(), file.content.bytes.end()), snapshotOf(3).levels);
}

std::string faultName(const ::testing::TestParamInfo<WriteFault> &info)
{
    static const char *const ops[] = {"Open", "Read", "Write", "Sync", "Rename", "Close"};
    return std::string(ops[int(info.param.op)]) + (info.param.nth == 1 ? "OfTheLevelsFile" : "OfTheSidecar");
}

using iofault::Op;
INSTANTIATE_TEST_SUITE_P(EveryStep, RecoveryWriteFault,
                         ::testing::Values(WriteFault{Op::Open, 1}, WriteFault{Op::Write, 1}, WriteFault{Op::Sync, 1},
                                           WriteFault{Op::Close, 1}, WriteFault{Op::Rename, 1},
                                           WriteFault{Op::Open, 2}, WriteFault{Op::Write, 2}, WriteFault{Op::Sync, 2},
                                           WriteFault{Op::Close, 2}, WriteFault{Op::Rename, 2}),
                         faultName);

// The message names the directory, and a file where a folder should be is named as what is in the way.
TEST(Recovery, AMissingDirectoryIsReportedOnceAndTheStoreGoesOn)
{
    TempDir dir;
    writeFile(dir.path("file"), std::string("not a directory"));
    RecoveryStore store([] { return std::optional<RecoverySnapshot>(); }, QString::fromStdString(dir.path("file/recovery")),
                        kFast);
    QSignalSpy failed(&store, &RecoveryStore::writeFailed);
    writeAndWait(store, snapshotOf(1));
    writeAndWait(store, snapshotOf(2));
    ASSERT_EQ(failed.size(), 1) << "shown once";
    EXPECT_EQ(failed[0][0].toString().toStdString(), "The recovery copy could not be written in " + dir.path("file/recovery")
                                                         + ": " + dir.path("file") + " is in the way: it is not a folder");
}

TEST(Recovery, AStoreTheWriterRefusesIsReportedAndTheEditorGoesOn)
{
    TempDir dir;
    auto store = storeIn(dir.path(), []() -> std::optional<RecoverySnapshot> {
        throw Error("EInvalidLevelsFile", "The store holds an invalid number of levels (201).");
    });
    QSignalSpy failed(store.get(), &RecoveryStore::writeFailed);
    store->changed();
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_EQ(failed[0][0].toString().toStdString(), "The recovery copy could not be written in " + cleanPath(dir.path())
                                                         + ": The store holds an invalid number of levels (201).");
}

// The directory exists but this user may not write it. CI runs as root, who writes everywhere, so
// there the editor runs as nobody.
TEST(Recovery, ADirectoryThatMayNotBeWrittenIsReportedOnce)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path("recovery"));
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(dir.path("recovery"), std::filesystem::perms(0555));
    QProcess editor;
    const QStringList args = {"--write-twice", QString::fromStdString(dir.path("recovery"))};
    if (::geteuid() == 0)
        editor.start("setpriv", QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                            QCoreApplication::applicationFilePath()} + args);
    else
        editor.start(QCoreApplication::applicationFilePath(), args);
    ASSERT_TRUE(editor.waitForFinished(20000));
    EXPECT_EQ(editor.readAllStandardOutput().toStdString(),
              "The recovery copy could not be written in " + dir.path("recovery") + ": File access denied\n");
    EXPECT_TRUE(files(dir.path()).empty());
}

// A sidecar that is a link to a device is reported and really moved aside, link and all.
TEST(Recovery, ASidecarLinkedToADeviceIsReportedAndMovedAside)
{
    TempDir dir;
    const std::string id = "0b7e4c2a-1d3f-4a5b-9c8d-7e6f5a4b3c2d";
    ::symlink("/dev/zero", dir.path(id + ".json").c_str());
    auto store = storeIn(dir.path());
    std::vector<RecoveryProblem> problems;
    EXPECT_TRUE(store->unownedCopies(problems).empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].message.contains("Not a regular file")) << problems[0].message.toStdString();
    std::error_code ignored;
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path(id + ".json"), ignored));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path("unreadable/" + id + ".json"), ignored));
}

// Editors that ended without leaving a copy leave their locks; the next editor removes them, but not
// the lock of an editor that still runs.
TEST(Recovery, TheLocksOfEditorsThatAreGoneAreRemoved)
{
    TempDir dir;
    auto startHolder = [&](QProcess &holder) {
        holder.start(QCoreApplication::applicationFilePath(), {"--hold-a-lock", QString::fromStdString(dir.path())});
        EXPECT_TRUE(holder.waitForReadyRead(20000));
    };
    QProcess killed, running;
    startHolder(killed);
    killed.kill();
    killed.waitForFinished();
    startHolder(running);
    auto locks = [&] {
        int count = 0;
        for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
            count += entry.path().extension() == ".lock";
        return count;
    };
    ASSERT_EQ(locks(), 2);
    auto next = storeIn(dir.path());
    EXPECT_TRUE(offered(*next).empty());
    EXPECT_EQ(locks(), 2) << "the lock of the editor that is gone, removed; this one's and the running one's kept";
    running.kill();
    running.waitForFinished();
    next->discardOwn();
    next->waitForWrites();
    EXPECT_EQ(locks(), 1) << "a save removes them too";
}

// A save in place keeps the bytes it replaces as a recovery copy. A program killed at any step of it
// leaves the file as it was, or whole with the new bytes, or the previous bytes in a copy that the next
// editor offers for that file. The save runs as a plain user, for whom the directory is read-only.
TEST(Recovery, ASaveInPlaceKilledAtAnyStepLosesNothing)
{
    const bool root = ::geteuid() == 0;
    // "written" and "renamed" come first in the save of the copy itself.
    for (const char *step :
         {"in place: locked", "written", "renamed", "in place: kept", "in place: written", "in place: cut"}) {
        SCOPED_TRACE(step);
        TempDir dir, work;
        const std::string target = work.path("work.lev");
        const Bytes before = snapshotOf(7).levels, after(before.size() / 3, 'n');
        writeFile(target, before);
        ::chmod(target.c_str(), 0666);
        ::chmod(dir.path().c_str(), 0777);
        ::chmod(work.path().c_str(), root ? 0755 : 0555);
        QStringList arguments = {QCoreApplication::applicationFilePath(), "--save-in-place-killed-at", step,
                                 QString::fromStdString(dir.path()), QString::fromStdString(target)};
        if (root)
            arguments = QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups"} + arguments;
        QProcess saver;
        saver.start(root ? QStringLiteral("setpriv") : arguments.takeFirst(), arguments);
        ASSERT_TRUE(saver.waitForFinished(20000));
        EXPECT_EQ(saver.exitStatus(), QProcess::CrashExit) << saver.readAllStandardError().toStdString();

        const Bytes now = readFile(target);
        auto next = storeIn(dir.path());
        std::vector<RecoveryCopy> copies = offered(*next);
        const bool kept = std::string(step).starts_with("in place: ") && std::string(step) != "in place: locked";
        if (kept) {
            ASSERT_EQ(copies.size(), 1u) << "the previous bytes were kept before the first one changed";
            EXPECT_EQ(copies[0].originalPath, target);
            RecoveredFile file = next->recover(copies[0]);
            EXPECT_EQ(Bytes(file.content.bytes.begin(), file.content.bytes.end()), before);
        } else {
            EXPECT_EQ(now, before);
        }
        if (std::string(step) == "in place: cut") {
            EXPECT_EQ(now, after);
        }
    }
}

} // namespace

// Also the other editor of the test of two editors: it writes a copy, says so, and waits to be killed.
int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc == 2 && std::string(argv[1]) == "--hold-a-copy") {
        RecoveryStore store([] { return std::optional<RecoverySnapshot>(); }, RecoveryStore::defaultDirectory());
        store.write(snapshotOf(3));
        store.waitForWrites();
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (argc == 3 && std::string(argv[1]) == "--hold-a-lock") { // an editor without a copy
        RecoveryStore store([] { return std::optional<RecoverySnapshot>(); }, argv[2]);
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (argc == 5 && std::string(argv[1]) == "--save-in-place-killed-at") {
        // A save in place with the recovery copies of the editor, killed at the step named.
        static std::string stopAt;
        stopAt = argv[2];
        keepPreviousBytesIn(QString::fromLocal8Bit(argv[3]));
        iofault::setStepHook([](const char *step) {
            if (stopAt == step)
                ::raise(SIGKILL);
        });
        const Bytes previous = readFile(argv[4]);
        writeFileSafely(argv[4], Bytes(previous.size() / 3, 'n'));
        return 0; // the step never came: the test sees a normal exit
    }
    if (argc == 3 && std::string(argv[1]) == "--write-twice") { // prints what it would show
        RecoveryStore store([] { return std::optional<RecoverySnapshot>(); }, argv[2]);
        QObject::connect(&store, &RecoveryStore::writeFailed,
                         [](const QString &message) { std::printf("%s\n", qPrintable(message)); });
        writeAndWait(store, snapshotOf(1));
        writeAndWait(store, snapshotOf(2));
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
