#pragma once
// Permission cases must run as a user whom the file modes bind: root passes every check. When the
// tests run as root, the current test is run again, alone, in this same program as "nobody".
//
//     TEST(Suite, Case) { if (!qmtest::runsAsPlainUser()) return; ... }

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace qmtest {

// True when the caller is a plain user and runs the test body itself; false when the body has run
// as "nobody" in a child process, whose result is checked here.
inline bool runsAsPlainUser()
{
    // The child leaves a mark, so that a filter that matches nothing cannot pass for a run.
    const char *const markVariable = "QMTEST_PLAIN_USER_MARK";
    if (::geteuid() != 0) {
        if (const char *mark = std::getenv(markVariable))
            std::fclose(std::fopen(mark, "w"));
        return true;
    }
    char exe[PATH_MAX] = {};
    if (::readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) {
        ADD_FAILURE() << "cannot find this test program";
        return false;
    }
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    char mark[] = "/tmp/qmtest-mark-XXXXXX";
    ::close(::mkstemp(mark));
    ::unlink(mark); // the name only: the child, as nobody, makes the file
    std::string command = std::string(markVariable) + "=" + mark
                          + " setpriv --reuid=nobody --regid=nogroup --clear-groups '" + exe + "' --gtest_filter='"
                          + test->test_suite_name() + "." + test->name() + "'";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed: " << status;
    EXPECT_EQ(::unlink(mark), 0) << "the test did not run as nobody: " << command;
    return false;
}

} // namespace qmtest
