// Failures of the file system at every step of every save and every read the program makes, made to
// happen through the file layer's fault hook. A failed save keeps the previous file byte for byte,
// leaves no temporary file, reports the system's text and changes nothing that is held in memory; a
// failed read changes nothing that it would have filled.

#include "plainuser.h"
#include "tempdir.h"

#include "editor/core/levelgraphics.h"
#include "graphics/picturecollection.h"
#include "levels/datafilename.h"
#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <tuple>

using namespace qm;
using iofault::Op;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

namespace {

std::string messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &e) {
        return e.what();
    }
    return "(no failure)";
}

struct Fault {
    const char *name;
    Op op;
    int nth;
    int err;
    const char *message;
};

void PrintTo(const Fault &f, std::ostream *os) { *os << f.name; }

// Everything the program holds that a file operation could change.
std::string storeState()
{
    std::array<int32_t, kOffsetCount> offsets{};
    Bytes bytes = levelsFileBytes(offsets);
    for (int32_t offset : levelsinfo.offsets)
        bytes.insert(bytes.end(), reinterpret_cast<const uint8_t *>(&offset), reinterpret_cast<const uint8_t *>(&offset + 1));
    return std::string(bytes.begin(), bytes.end()) + "|" + std::to_string(saved) + std::to_string(fileopen)
           + std::to_string(curlevel) + "|" + levelsfilepath + "|" + gameConfigText();
}

void variedStore(const std::string &author, int count, int32_t tile)
{
    initStore();
    levelsinfo = Tlevels{};
    levelsinfo.author = author;
    resetstore();
    for (int k = 1; k <= count; ++k) {
        addlevel();
        levels[k].name = "Level " + std::to_string(k);
        levels[k].width = 10 + k;
        levels[k].height = 12;
        levels[k].cellAt(3, k)->tile = tile + k;
    }
}

void variedConfig(const std::string &levelsFile)
{
    initGameConfig();
    cfgeddie = true;
    cfgspeed = 7;
    cfglevelsfile = levelsFile;
    cfgsongcount = 1;
    cfgsongs[1] = "theme.mod";
    cfglevelsongcount = 2;
    cfglevelsongs[2] = 1;
}

// A file the program writes: how to make a first version of it, change what is held, and save.
struct Writer {
    const char *name;
    const char *fileName;
    std::function<void(const std::string &path)> writeFirst;
    std::function<void()> change;
    std::function<void(const std::string &path)> save;
};

void PrintTo(const Writer &w, std::ostream *os) { *os << w.name; }

const Writer kWriters[] = {
    {"GameConfiguration", "Quillmoss.Cfg",
     [](const std::string &path) {
         variedConfig("First.lev");
         writegameconfig(path);
     },
     [] { variedConfig("Second.lev"); },
     [](const std::string &path) { writegameconfig(path); }},
    {"LevelsFile", "work.lev",
     [](const std::string &path) {
         variedStore("first", 2, 20);
         levelsfilepath = path;
         writelevelsfile();
     },
     [] {
         addlevel();
         levels[3].name = "new work";
         levels[1].cellAt(5, 5)->tile = 44;
         saved = false;
     },
     [](const std::string &) { writelevelsfile(); }},
};

// Each step of a save: creating the temporary file, writing it, flushing it, closing it, putting it in
// place of the previous file.
const Fault kSaveFaults[] = {
    {"CreateDiskFull", Op::Open, 1, ENOSPC, "Disk full"},
    {"CreateAccessDenied", Op::Open, 1, EACCES, "File access denied"},
    {"CreateTooManyFiles", Op::Open, 1, EMFILE, "Too many open files"},
    {"CreateNameTooLong", Op::Open, 1, ENAMETOOLONG, "Invalid filename"},
    {"WriteDiskFull", Op::Write, 1, ENOSPC, "Disk full"},
    {"WriteQuotaExceeded", Op::Write, 1, EDQUOT, "Disk full"},
    {"WriteIoError", Op::Write, 1, EIO, "I/O error 5"},
    {"FlushIoError", Op::Sync, 1, EIO, "I/O error 5"},
    {"FlushDiskFull", Op::Sync, 1, ENOSPC, "Disk full"},
    {"CloseIoError", Op::Close, 1, EIO, "I/O error 5"},
    {"CloseDiskFull", Op::Close, 1, ENOSPC, "Disk full"},
    {"RenameAccessDenied", Op::Rename, 1, EACCES, "File access denied"},
    {"RenameReadOnlyFileSystem", Op::Rename, 1, EROFS, "File access denied"},
    {"RenameAcrossDevices", Op::Rename, 1, EXDEV, "I/O error 18"},
};

class SaveFaults : public ::testing::TestWithParam<std::tuple<Writer, Fault>> {
protected:
    void TearDown() override { iofault::reset(); }
    TempDir dir;
};

} // namespace

TEST_P(SaveFaults, KeepThePreviousFileAndWhatIsHeld)
{
    const Writer &writer = std::get<0>(GetParam());
    const Fault &fault = std::get<1>(GetParam());
    const std::string path = dir.path(writer.fileName);
    writer.writeFirst(path);
    const std::vector<uint8_t> before = readFile(path);
    ASSERT_FALSE(before.empty());
    writer.change();
    const std::string held = storeState();

    iofault::inject(fault.op, fault.nth, fault.err);
    EXPECT_EQ(messageOf([&] { writer.save(path); }), fault.message);
    iofault::reset();

    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{writer.fileName});
    EXPECT_EQ(storeState(), held) << "a failed save changed what the program holds (saved, offsets, values)";

    // Once the fault is gone, the same save goes through.
    writer.save(path);
    EXPECT_NE(readFile(path), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{writer.fileName});
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SaveFaults, ::testing::Combine(::testing::ValuesIn(kWriters), ::testing::ValuesIn(kSaveFaults)),
                         [](const auto &entry) {
                             return std::string(std::get<0>(entry.param).name) + "_" + std::get<1>(entry.param).name;
                         });

TEST(SaveFaultsOnANewFile, LeaveNoFileAtAll)
{
    // The configuration file is created at exit when it was missing at start-up.
    for (Op op : {Op::Open, Op::Write, Op::Sync, Op::Close, Op::Rename}) {
        TempDir dir;
        initGameConfig();
        iofault::inject(op, 1, ENOSPC);
        EXPECT_EQ(messageOf([&] { writegameconfig(dir.path(kGameConfigName)); }), "Disk full");
        iofault::reset();
        EXPECT_TRUE(dir.entries().empty());
    }
}

namespace {

// A file the program reads: what to put in the file and in memory first, and the read.
struct Reader {
    const char *name;
    std::function<void(const std::string &path)> prepare;
    std::function<void(const std::string &path)> read;
};

void PrintTo(const Reader &r, std::ostream *os) { *os << r.name; }

const Reader kReaders[] = {
    {"LevelsFile",
     [](const std::string &path) {
         variedStore("on disk", 2, 30);
         levelsfilepath = path;
         writelevelsfile();
         // What the editor holds when it opens another file: an edited store of its own.
         variedStore("held", 3, 50);
         fileopen = true;
         saved = false;
         curlevel = 2;
         levelsfilepath = path;
     },
     [](const std::string &) { readlevelsfile(); }},
    {"GameConfiguration",
     [](const std::string &path) {
         variedConfig("OnDisk.lev");
         writegameconfig(path);
         variedConfig("Held.lev");
     },
     [](const std::string &path) { readgameconfig(path); }},
};

// Reads a fixed size in one step: it has no read that finds the end.
const Reader kFixedSizeReaders[] = {
    {"SupaplexLevels",
     [](const std::string &path) {
         Bytes bytes(kSupaplexFileSize, 3);
         writeFileSafely(path, bytes);
         variedStore("held", 1, 10);
     },
     [](const std::string &path) {
         // The import reads the file before it adds a level; a failure adds nothing.
         SupaplexFile file = readSupaplexFile(path);
         addlevel();
         importSupaplexLevel(file, 1, levels[levelsinfo.count]);
     }},
};

const Fault kOpenAndReadFaults[] = {
    {"OpenNotFound", Op::Open, 1, ENOENT, "File not found"},
    {"OpenAccessDenied", Op::Open, 1, EACCES, "File access denied"},
    {"OpenTooManyFiles", Op::Open, 1, EMFILE, "Too many open files"},
    {"OpenInvalidName", Op::Open, 1, EINVAL, "Invalid filename"},
    {"ReadIoError", Op::Read, 1, EIO, "I/O error 5"},
    {"ReadAccessDenied", Op::Read, 1, EACCES, "File access denied"},
    {"CloseIoError", Op::Close, 1, EIO, "I/O error 5"},
};
// Whole-file readers read once more to see the end of the file.
const Fault kEndOfFileFaults[] = {
    {"ReadAtTheEndIoError", Op::Read, 2, EIO, "I/O error 5"},
};

class ReadFaults : public ::testing::TestWithParam<std::tuple<Reader, Fault>> {
protected:
    void TearDown() override { iofault::reset(); }
    TempDir dir;
};

} // namespace

TEST_P(ReadFaults, ChangeNothingHeld)
{
    const Reader &reader = std::get<0>(GetParam());
    const Fault &fault = std::get<1>(GetParam());
    const std::string path = dir.path("input");
    reader.prepare(path);
    const std::string held = storeState();

    iofault::inject(fault.op, fault.nth, fault.err);
    EXPECT_EQ(messageOf([&] { reader.read(path); }), fault.message);
    iofault::reset();
    EXPECT_EQ(storeState(), held);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"input"});

    // Without the fault the same read changes what is held.
    reader.read(path);
    EXPECT_NE(storeState(), held);
}

const auto kReadCaseName = [](const auto &info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
};
INSTANTIATE_TEST_SUITE_P(EveryStep, ReadFaults, ::testing::Combine(::testing::ValuesIn(kReaders), ::testing::ValuesIn(kOpenAndReadFaults)),
                         kReadCaseName);
INSTANTIATE_TEST_SUITE_P(EndOfFile, ReadFaults, ::testing::Combine(::testing::ValuesIn(kReaders), ::testing::ValuesIn(kEndOfFileFaults)),
                         kReadCaseName);
INSTANTIATE_TEST_SUITE_P(FixedSize, ReadFaults,
                         ::testing::Combine(::testing::ValuesIn(kFixedSizeReaders), ::testing::ValuesIn(kOpenAndReadFaults)),
                         kReadCaseName);

// Every reader says what is wrong with a name that is not a file it can read, as a plain user: a
// missing or denied file has the system's text, anything but a regular file says what it is (a named
// pipe at once: without a writer that ever writes, a read that waits for data would never return).
// Nothing the reader would have filled changes.
TEST(EveryReader, SaysWhatIsWrongWithANameThatIsNotAFileItCanRead)
{
    if (!qmtest::runsAsPlainUser())
        return;
    TempDir dir;
    writeFile(dir.path("denied"), std::string("secret"));
    ::chmod(dir.path("denied").c_str(), 0);
    ::mkdir(dir.path("folder").c_str(), 0700);
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0600), 0);
    const int writer = ::open(dir.path("pipe").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ::symlink("/dev/zero", dir.path("device").c_str());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, dir.path("socket").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);

    variedStore("held", 3, 50);
    variedConfig("Held.lev");
    fileopen = true;
    const std::string held = storeState();
    const std::pair<const char *, const char *> names[] = {
        {"missing", "File not found"},
        {"denied", "File access denied"},
        {"folder", "Not a regular file (it is a directory)"},
        {"pipe", "Not a regular file (it is a named pipe)"},
        {"device", "Not a regular file (it is a device)"},
        {"socket", "Not a regular file (it is a socket)"},
    };
    for (auto [name, reason] : names) {
        const std::string path = dir.path(name);
        const std::pair<std::function<void()>, std::string> readers[] = {
            {[&] { levelsfilepath = path, readlevelsfile(); }, reason},
            {[&] { readgameconfig(path); }, reason},
            {[&] { readSupaplexFile(path); }, reason},
            {[&] { TPictureCollection().LoadFromFile(path); }, "Cannot open file " + path + ": " + reason},
        };
        for (const auto &[read, expected] : readers) {
            levelsfilepath = "";
            EXPECT_EQ(messageOf(read), expected);
            levelsfilepath = "";
            EXPECT_EQ(storeState(), held);
        }
    }
    ::close(writer);
    ::close(socket);
}

// A level's graphics-file name that is not a plain file name of the game directory is never opened:
// it is a missing file, however real the file it would reach.
TEST(LevelGraphicsName, ThatLeavesTheGameDirectoryIsAMissingFileAndNotOpened)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path("game/sub"));
    ASSERT_EQ(::mkfifo(dir.path("fifo.dxg").c_str(), 0600), 0);
    const int writer = ::open(dir.path("fifo.dxg").c_str(), O_RDWR | O_NONBLOCK);
    writeFile(dir.path("game/..\\fifo.dxg"), std::string("not read either"));
    const std::string gameDir = dir.path("game/");
    for (const std::string name : {"../fifo.dxg", "sub/../../fifo.dxg", "..\\fifo.dxg", "..", ".", "",
                                   "../../../../../../dev/zero", "/dev/zero", "sub/"}) {
        SCOPED_TRACE(name);
        const LevelGraphics graphics = readLevelGraphics(gameDir, name);
        EXPECT_EQ(graphics.state, LevelGraphics::State::Missing) << graphics.message;
        TPictureCollection pictures;
        EXPECT_EQ(messageOf([&] { loadLevelGraphics(pictures, gameDir, name); }),
                  "Cannot open file " + gameDir + name + ": File not found");
        EXPECT_FALSE(isPlainDataFileName(name));
    }
    for (const std::string name : {"computer.dxg", "a..b", "...", ".hidden", "name with space.dxg"})
        EXPECT_TRUE(isPlainDataFileName(name)) << name;
    ::close(writer);
}
