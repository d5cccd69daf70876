#pragma once
// Permission cases must run as a user whom the file modes bind: root passes every check. When the
// tests run as root, the current test is run again, alone, in this same program as "nobody".
//
//     TEST(Suite, Case) { if (!qmtest::runsAsPlainUser()) return; ... }

#include <climits>
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
    if (::geteuid() != 0)
        return true;
    char exe[PATH_MAX] = {};
    if (::readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) {
        ADD_FAILURE() << "cannot find this test program";
        return false;
    }
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string command = std::string("setpriv --reuid=nobody --regid=nogroup --clear-groups '") + exe
                          + "' --gtest_filter='" + test->test_suite_name() + "." + test->name() + "'";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed: " << status;
    return false;
}

} // namespace qmtest
