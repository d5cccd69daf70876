#include "platform/errors.h"
#include "platform/fileio.h"

#include "messageof.h"
#include "plainuser.h"
#include "tempdir.h"

#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    EXPECT_EQ(messageOf([&] { qm::readWholeFile(dir.path(), 100); }), "File access denied");
    EXPECT_EQ(messageOf([&] { qm::readWholeFile("", 100); }), "File not found");
    EXPECT_NE(messageOf([&] { qm::readWholeFile(dir.path("f"), 1000); }).find("too large"), std::string::npos);
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
