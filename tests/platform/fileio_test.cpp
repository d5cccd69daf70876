#include "platform/errors.h"
#include "platform/fileio.h"

#include "messageof.h"
#include "plainuser.h"
#include "tempdir.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <random>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using qm::iofault::Op;
using qmtest::messageOf;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

TEST(SystemErrorText, MapsErrnoToTheProgramsTexts)
{
    EXPECT_EQ(qm::systemErrorText(ENOENT), "File not found");
    EXPECT_EQ(qm::systemErrorText(ENOTDIR), "File not found");
    EXPECT_EQ(qm::systemErrorText(ENAMETOOLONG), "Invalid filename");
    EXPECT_EQ(qm::systemErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(qm::systemErrorText(EACCES), "File access denied");
    EXPECT_EQ(qm::systemErrorText(EROFS), "File access denied");
    EXPECT_EQ(qm::systemErrorText(EISDIR), "File access denied");
    EXPECT_EQ(qm::systemErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(qm::systemErrorText(EIO), "I/O error 5");
}

TEST(ReadWholeFile, ReadsExactlyTheFileAndRefusesWhatItCannotRead)
{
    TempDir dir;
    std::vector<uint8_t> bytes(100000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    writeFile(dir.path("f"), bytes);
    EXPECT_EQ(qm::readWholeFile(dir.path("f"), 1 << 20), bytes);
    EXPECT_EQ(qm::readWholeFile(dir.path("f"), bytes.size()), bytes);
    // A buffer in large pages, past its last whole page too.
    std::vector<uint8_t> large((5 << 20) + 3);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<uint8_t>(i * 13 + i / 4099);
    writeFile(dir.path("large"), large);
    const qm::RawBytes raw = qm::readWholeFileRaw(dir.path("large"), large.size());
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), large.begin(), large.end()));

    EXPECT_EQ(messageOf([&] { qm::readWholeFile(dir.path("missing"), 100); }), "File not found");
    EXPECT_EQ(messageOf([&] { qm::readWholeFile(dir.path(), 100); }), "Not a regular file (it is a directory)");
    EXPECT_EQ(messageOf([&] { qm::readWholeFile("", 100); }), "File not found");
    EXPECT_NE(messageOf([&] { qm::readWholeFile(dir.path("f"), 1000); }).find("too large"), std::string::npos);
}

// Read as a reader asks, in any order of asks and hand-backs: every byte not handed back is the
// file's; a file cut short meanwhile fails instead of giving bytes it does not have.
TEST(ForwardFileBytes, GivesTheFilesBytesAsAskedAndFailsWhenTheFileEndsSooner)
{
    TempDir dir;
    std::mt19937 random(5);
    std::vector<uint8_t> bytes(300000 + random() % 4096);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(random());
    writeFile(dir.path("f"), bytes);
    for (int round = 0; round < 20; ++round) {
        qm::ForwardFileBytes file(dir.path("f"), bytes.size());
        ASSERT_EQ(file.size(), bytes.size());
        size_t asked = 0, handedBack = 0;
        while (asked < bytes.size()) {
            asked = std::min(bytes.size(), asked + 1 + random() % 100000);
            file.need(asked);
            handedBack = std::max(handedBack, size_t(random() % (asked + 1)));
            file.releaseBefore(handedBack);
            // Only whole pages are handed back: the page that holds handedBack is kept whole.
            const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
            const size_t kept = handedBack / page * page;
            ASSERT_TRUE(std::equal(file.data() + kept, file.data() + asked, bytes.begin() + std::ptrdiff_t(kept)))
                << "round " << round << ", bytes " << kept << " to " << asked;
        }
    }
    EXPECT_NE(messageOf([&] { qm::ForwardFileBytes(dir.path("f"), 1000); }).find("too large"), std::string::npos);
    EXPECT_EQ(messageOf([&] { qm::ForwardFileBytes(dir.path("missing"), 100); }), "File not found");

    qm::ForwardFileBytes cut(dir.path("f"), bytes.size());
    cut.need(1000);
    ASSERT_EQ(::truncate(dir.path("f").c_str(), 200000), 0);
    EXPECT_EQ(messageOf([&] { cut.need(bytes.size()); }), "Read beyond end of file");

    writeFile(dir.path("empty"), std::vector<uint8_t>{});
    qm::ForwardFileBytes empty(dir.path("empty"), 10);
    EXPECT_EQ(empty.size(), 0u);
    empty.need(0);
    empty.releaseBefore(0);
}

TEST(WriteFileSafely, ReplacesTheFileAndKeepsItsPermissions)
{
    TempDir dir;
    writeFile(dir.path("f"), std::string("old contents"));
    ::chmod(dir.path("f").c_str(), 0640);
    qm::writeFileSafely(dir.path("f"), std::vector<uint8_t>{'n', 'e', 'w'});
    EXPECT_EQ(readFile(dir.path("f")), (std::vector<uint8_t>{'n', 'e', 'w'}));
    struct stat st {};
    ::stat(dir.path("f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(WriteFileSafely, WritesThroughASymbolicLink)
{
    TempDir dir;
    writeFile(dir.path("real"), std::string("old"));
    ::symlink("real", dir.path("link").c_str());
    qm::writeFileSafely(dir.path("link"), std::vector<uint8_t>{'x'});
    EXPECT_EQ(readFile(dir.path("real")), std::vector<uint8_t>{'x'});
    struct stat st {};
    ::lstat(dir.path("link").c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A failure at any step of a save leaves the previous file as it was and no temporary file behind.
class WriteFailure : public ::testing::TestWithParam<std::tuple<Op, int, const char *>> {
protected:
    void TearDown() override { qm::iofault::reset(); }
};

TEST_P(WriteFailure, LeavesThePreviousFileUntouched)
{
    auto [op, err, text] = GetParam();
    TempDir dir;
    const std::vector<uint8_t> old{'o', 'l', 'd'};
    writeFile(dir.path("f"), old);
    qm::iofault::inject(op, 1, err);
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("f"), std::vector<uint8_t>(5000, 'n')); }), text);
    EXPECT_EQ(readFile(dir.path("f")), old);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"f"});
}

INSTANTIATE_TEST_SUITE_P(EveryStep, WriteFailure,
                         ::testing::Values(std::make_tuple(Op::Open, EACCES, "File access denied"),
                                           std::make_tuple(Op::Write, ENOSPC, "Disk full"),
                                           std::make_tuple(Op::Sync, EIO, "I/O error 5"),
                                           std::make_tuple(Op::Close, EDQUOT, "Disk full"),
                                           std::make_tuple(Op::Rename, EACCES, "File access denied")));

// Permissions decide as for a plain write: a read-only file is refused and left as it is; a file the
// user may write is written in place inside a directory the user cannot write; a new file there is
// refused.
TEST(WriteFileSafely, PermissionsOfTheFileDecideNotThoseOfTheDirectory)
{
    if (!qmtest::runsAsPlainUser())
        return;
    TempDir dir;
    writeFile(dir.path("readonly"), std::string("old"));
    ::chmod(dir.path("readonly").c_str(), 0444);
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("readonly"), std::vector<uint8_t>{'n'}); }),
              "File access denied");
    EXPECT_EQ(readFile(dir.path("readonly")), (std::vector<uint8_t>{'o', 'l', 'd'}));

    writeFile(dir.path("f"), std::string("old contents"));
    ::chmod(dir.path().c_str(), 0555);
    qm::writeFileSafely(dir.path("f"), std::vector<uint8_t>{'n', 'e', 'w'});
    EXPECT_EQ(readFile(dir.path("f")), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("new"), std::vector<uint8_t>{'n'}); }),
              "File access denied");
    EXPECT_EQ(dir.entries().size(), 2u);
}

TEST(WriteFileSafely, SavesUnderTheLongestNameTheSystemTakes)
{
    TempDir dir;
    const std::string name(255, 'n');
    qm::writeFileSafely(dir.path(name), std::vector<uint8_t>{'1'});
    qm::writeFileSafely(dir.path(name), std::vector<uint8_t>{'2'});
    EXPECT_EQ(readFile(dir.path(name)), std::vector<uint8_t>{'2'});
    EXPECT_EQ(dir.entries(), std::vector<std::string>{name});
}

TEST(WriteFileSafely, MissingDirectoryIsFileNotFound)
{
    TempDir dir;
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("no/such/f"), std::vector<uint8_t>{'n'}); }),
              "File not found");
}

namespace {

std::vector<uint8_t> randomBytes(std::mt19937 &random, size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

} // namespace

// A file the user may write, in a directory the user may not, on a disk with too little room left for
// the new content: the save is refused and the file keeps every byte; content that fits is written.
// The disk is a small file system of its own, mounted as root; the save runs as nobody.
TEST(WriteFileSafely, InPlaceOnAFullDiskLeavesTheOldFileByteForByte)
{
    const char *const variable = "QMTEST_FULL_DISK";
    if (::geteuid() == 0) {
        TempDir mountPoint;
        if (::mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
            GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
        struct Unmount {
            std::string path;
            ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
        } unmount{mountPoint.path()};
        std::random_device seed;
        const unsigned seedValue = seed();
        std::mt19937 random(seedValue);
        SCOPED_TRACE("seed " + std::to_string(seedValue));
        const std::string file = mountPoint.path("small.lev");
        writeFile(file, randomBytes(random, 1000 + random() % 3000));
        const passwd *nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(file.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        // Everything else is taken by a file of root's, but for two pages.
        {
            std::ofstream fill(mountPoint.path("fill"), std::ios::binary);
            const std::vector<char> block(4096, 'f');
            while (fill.write(block.data(), block.size()) && fill.flush()) {
            }
        }
        std::filesystem::resize_file(mountPoint.path("fill"), std::filesystem::file_size(mountPoint.path("fill")) - 8192);
        ::setenv(variable, mountPoint.path().c_str(), 1);
        qmtest::runsAsPlainUser();
        ::unsetenv(variable);
        return;
    }
    const char *mounted = std::getenv(variable);
    if (!mounted)
        GTEST_SKIP() << "runs as root, who mounts the small file system for it";
    ASSERT_TRUE(qmtest::runsAsPlainUser()); // leaves the mark of the run as nobody
    const std::string file = std::string(mounted) + "/small.lev";
    const std::vector<uint8_t> before = readFile(file);
    std::mt19937 random(static_cast<unsigned>(before.size()));
    const std::vector<uint8_t> large = randomBytes(random, 20000 + random() % 20000);
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(file, large); }), "Disk full");
    EXPECT_EQ(readFile(file), before);
    const std::vector<uint8_t> fits = randomBytes(random, 4097 + random() % 4000);
    qm::writeFileSafely(file, fits);
    EXPECT_EQ(readFile(file), fits);
}

// A save in place whose last step fails puts the previous bytes back; with a keeper installed, they
// are kept before the first byte changes and dropped only once the new ones are flushed.
TEST(WriteFileSafely, InPlaceFailureAfterTheWritePutsThePreviousBytesBack)
{
    if (!qmtest::runsAsPlainUser())
        return;
    TempDir dir;
    const std::vector<uint8_t> old(3000, 'o');
    writeFile(dir.path("f"), old);
    ::chmod(dir.path().c_str(), 0555);
    for (auto [op, err, text] : {std::make_tuple(Op::Sync, EIO, "I/O error 5"),
                                 std::make_tuple(Op::Sync, ENOSPC, "Disk full")}) {
        qm::iofault::inject(op, 1, err);
        EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("f"), std::vector<uint8_t>(5000, 'n')); }), text);
        qm::iofault::reset();
        EXPECT_EQ(readFile(dir.path("f")), old);
    }
}

namespace {

// Records what the file held when its bytes were kept and when they were dropped.
struct RecordingKeeper : qm::PreviousBytesKeeper {
    std::string target;
    std::vector<uint8_t> keptBytes, fileAtKeep, fileAtDrop;
    bool refuse = false;
    int drops = 0;
    std::string keep(const std::string &t, const uint8_t *data, size_t size) override
    {
        if (refuse)
            throw qm::EInOutError("no room for the copy", ENOSPC);
        target = t;
        keptBytes.assign(data, data + size);
        fileAtKeep = readFile(t);
        return "token";
    }
    void drop(const std::string &kept) noexcept override
    {
        EXPECT_EQ(kept, "token");
        fileAtDrop = readFile(target);
        ++drops;
    }
};

} // namespace

TEST(WriteFileSafely, InPlaceKeepsThePreviousBytesUntilTheNewOnesAreFlushed)
{
    if (!qmtest::runsAsPlainUser())
        return;
    TempDir dir;
    const std::vector<uint8_t> old(3000, 'o'), next(5000, 'n');
    writeFile(dir.path("f"), old);
    ::chmod(dir.path().c_str(), 0555);
    RecordingKeeper keeper;
    qm::setPreviousBytesKeeper(&keeper);
    qm::writeFileSafely(dir.path("f"), next);
    EXPECT_EQ(keeper.keptBytes, old);
    EXPECT_EQ(keeper.fileAtKeep, old) << "kept before the first byte changed";
    EXPECT_EQ(keeper.fileAtDrop, next) << "dropped once the new bytes are in place";

    // A failure after the write: the previous bytes go back, and only then is the copy dropped.
    keeper = {};
    qm::iofault::inject(Op::Write, 1, EIO);
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("f"), old); }), "I/O error 5");
    qm::iofault::reset();
    EXPECT_EQ(keeper.fileAtDrop, next);
    EXPECT_EQ(readFile(dir.path("f")), next);

    // No room for the new content, or no copy: refused before anything changes.
    keeper = {};
    qm::iofault::inject(Op::Reserve, 1, ENOSPC);
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("f"), old); }), "Disk full");
    qm::iofault::reset();
    EXPECT_TRUE(keeper.keptBytes.empty());
    keeper.refuse = true;
    EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path("f"), old); }), "no room for the copy");
    EXPECT_EQ(keeper.drops, 0);
    EXPECT_EQ(readFile(dir.path("f")), next);
    qm::setPreviousBytesKeeper(nullptr);
}

// Temporary files of saves that were killed are removed by a later save in the same directory, however
// new: only ours by name and held by no save running now.
TEST(WriteFileSafely, RemovesTemporariesOfKilledSavesHeldByNoSave)
{
    TempDir dir;
    std::mt19937 random(std::random_device{}());
    auto temporaryName = [&] {
        const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        std::string name = ".qmsave-";
        for (int i = 0; i < 6; ++i)
            name += letters[random() % 62];
        return name;
    };
    std::vector<std::string> kept = {"f"};
    for (int i = 0; i < 3; ++i)
        writeFile(dir.path(temporaryName()), std::vector<uint8_t>(100, 's'));
    const std::string held = temporaryName();
    for (const std::string &name : {held, std::string(".qmsave-abc"), std::string(".qmsave-abcdefg"),
                                    std::string("qmsave-abcdef"), std::string(".qmsave-ab_def")}) {
        writeFile(dir.path(name), std::vector<uint8_t>(10, 'k'));
        kept.push_back(name);
    }
    // A save in progress holds its temporary file.
    const int holder = ::open(dir.path(held).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    qm::writeFileSafely(dir.path("f"), std::vector<uint8_t>{'x'});
    ::close(holder);
    std::vector<std::string> entries = dir.entries();
    std::sort(entries.begin(), entries.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(entries, kept);
}

// A named pipe or a device is refused at once by every read, before a byte is read: a pipe may never
// answer, a device never end.
TEST(ReadWholeFile, RefusesANamedPipeAndADeviceAtOnce)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0600), 0);
    // A writer that never writes: a read that waits for data would never return.
    const int writer = ::open(dir.path("pipe").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ::symlink("/dev/zero", dir.path("zero").c_str());
    for (const char *name : {"pipe", "zero"}) {
        const std::string path = dir.path(name);
        const std::string what = std::string(name) == "pipe" ? "a named pipe" : "a device";
        const std::string expected = "Not a regular file (it is " + what + ")";
        EXPECT_EQ(messageOf([&] { qm::readWholeFile(path, 1 << 20); }), expected);
        EXPECT_EQ(messageOf([&] { qm::readWholeFileRaw(path, 1 << 20); }), expected);
        EXPECT_EQ(messageOf([&] { qm::readFileStart(path, 16); }), expected);
        EXPECT_EQ(messageOf([&] { qm::ReadableFile file(path, 1 << 20); }), expected);
    }
    ::close(writer);
}

namespace {

// One save in a process of its own, reporting its outcome through a pipe. As nobody, in a directory
// that belongs to root, it saves in place; as root it renames a new file over the old. With hold, it
// stops once it holds the file's lock, until release().
class SaveProcess {
public:
    SaveProcess(const std::string &path, const std::vector<uint8_t> &bytes, bool asNobody, bool hold,
                int waitMilliseconds)
    {
        int result[2], ready[2], go[2];
        if (::pipe(result) != 0 || ::pipe(ready) != 0 || ::pipe(go) != 0)
            throw std::runtime_error("no pipes");
        mPid = ::fork();
        if (mPid == 0) {
            if (asNobody) {
                const passwd *nobody = ::getpwnam("nobody");
                if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0
                    || ::setuid(nobody->pw_uid) != 0)
                    ::_exit(3);
            }
            holdReady = hold ? ready[1] : -1;
            holdGo = go[0];
            qm::iofault::setStepHook([](const char *step) {
                char byte = 0;
                if (holdReady >= 0 && (std::string(step) == "locked" || std::string(step) == "in place: locked")
                    && (::write(holdReady, "r", 1) != 1 || ::read(holdGo, &byte, 1) != 1))
                    ::_exit(4);
            });
            qm::iofault::setSaveLockWait(waitMilliseconds);
            std::string outcome = messageOf([&] { qm::writeFileSafely(path, bytes); });
            const bool told = ::write(result[1], outcome.data(), outcome.size()) == ssize_t(outcome.size());
            ::_exit(told ? 0 : 5);
        }
        ::close(result[1]), ::close(ready[1]), ::close(go[0]);
        mResult = result[0], mReady = ready[0], mGo = go[1];
    }
    ~SaveProcess()
    {
        if (mPid > 0) {
            ::kill(mPid, SIGKILL);
            ::waitpid(mPid, nullptr, 0);
        }
        ::close(mResult), ::close(mReady), ::close(mGo);
    }

    bool holding()
    {
        pollfd p{mReady, POLLIN, 0};
        char byte;
        return ::poll(&p, 1, 20000) == 1 && ::read(mReady, &byte, 1) == 1;
    }
    void release() { EXPECT_EQ(::write(mGo, "g", 1), 1); }

    // What the save said ("(no error)" when it succeeded); "(timed out)" after 20 seconds.
    std::string outcome()
    {
        std::string text;
        char buffer[256];
        for (;;) {
            pollfd p{mResult, POLLIN, 0};
            if (::poll(&p, 1, 20000) != 1)
                return "(timed out)";
            const ssize_t n = ::read(mResult, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, size_t(n));
        }
        int status = 0;
        ::waitpid(std::exchange(mPid, -1), &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "(exit " + std::to_string(status) + ")";
    }

private:
    static inline int holdReady = -1, holdGo = -1;
    pid_t mPid = -1;
    int mResult = -1, mReady = -1, mGo = -1;
};

} // namespace

// Two programs save one file at once, in place or by replacing it, in every pairing. The second waits
// for the first's lock: without waiting it fails with a clear message and changes nothing; waiting,
// it saves after the first. The file is always one whole save, never a mix of two.
TEST(WriteFileSafely, TwoSavesOfOneFileAtOnceNeverMixTheirBytes)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "runs as root, who lets one save run in place as nobody";
    const std::vector<uint8_t> old(3000, 'o'), first(5000, 'a'), second(1000, 'b');
    for (bool firstInPlace : {true, false})
        for (bool secondInPlace : {true, false}) {
            SCOPED_TRACE(std::string(firstInPlace ? "in place" : "replacing") + " then "
                         + (secondInPlace ? "in place" : "replacing"));
            TempDir dir;
            const std::string path = dir.path("f");
            writeFile(path, old);
            ::chmod(path.c_str(), 0666);
            ::chmod(dir.path().c_str(), 0755);
            SaveProcess holder(path, first, firstInPlace, true, 3000);
            ASSERT_TRUE(holder.holding());
            SaveProcess impatient(path, second, secondInPlace, false, 0);
            EXPECT_EQ(impatient.outcome(), qm::kSaveInProgress);
            EXPECT_EQ(readFile(path), old);
            SaveProcess patient(path, second, secondInPlace, false, 20000);
            holder.release();
            EXPECT_EQ(holder.outcome(), "(no error)");
            EXPECT_EQ(patient.outcome(), "(no error)");
            EXPECT_EQ(readFile(path), second);
            EXPECT_EQ(dir.entries(), std::vector<std::string>{"f"});
        }

    // Saves started together at random, of random sizes: each succeeds and the file is one of them.
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 20; ++round) {
        TempDir dir;
        const std::string path = dir.path("f");
        writeFile(path, old);
        ::chmod(path.c_str(), 0666);
        ::chmod(dir.path().c_str(), 0755);
        const std::vector<uint8_t> a = randomBytes(random, 1 + random() % 300000),
                                   b = randomBytes(random, 1 + random() % 300000);
        SaveProcess one(path, a, random() % 2 == 1, false, 20000), two(path, b, random() % 2 == 1, false, 20000);
        EXPECT_EQ(one.outcome(), "(no error)");
        EXPECT_EQ(two.outcome(), "(no error)");
        const std::vector<uint8_t> now = readFile(path);
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

// A save target that exists and is not a regular file is refused before anything is written, also
// through a symbolic link, as root (who could replace any of them) and as a plain user.
TEST(WriteFileSafely, RefusesADeviceANamedPipeASocketAndADirectory)
{
    const bool plain = qmtest::runsAsPlainUser(); // as root: the test runs as nobody first
    TempDir dir;
    if (plain)
        ASSERT_EQ(::symlink("/dev/null", dir.path("device").c_str()), 0);
    else
        ASSERT_EQ(::mknod(dir.path("device").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0666), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, dir.path("socket").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::mkdir(dir.path("folder").c_str(), 0777), 0);
    ASSERT_EQ(::symlink("/dev/null", dir.path("null").c_str()), 0);
    const std::pair<const char *, const char *> targets[] = {
        {"device", "a device"}, {"pipe", "a named pipe"},  {"socket", "a socket"},
        {"folder", "a directory"}, {"null", "a device"}};
    for (auto [name, what] : targets) {
        struct stat before {};
        ::lstat(dir.path(name).c_str(), &before);
        EXPECT_EQ(messageOf([&] { qm::writeFileSafely(dir.path(name), std::vector<uint8_t>(10, 'x')); }),
                  std::string("Not a regular file (it is ") + what + ")")
            << name;
        struct stat after {};
        ::lstat(dir.path(name).c_str(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino) << name;
        EXPECT_EQ(after.st_mode, before.st_mode) << name;
    }
    // And every read says what it is.
    for (auto [name, what] : targets)
        EXPECT_EQ(messageOf([&] { qm::readWholeFile(dir.path(name), 100); }),
                  std::string("Not a regular file (it is ") + what + ")")
            << name;
    ::close(socket);
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));
    EXPECT_EQ(dir.entries().size(), 5u);
}
