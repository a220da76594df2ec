// Running a check in a child process, so that what it puts in force (a time zone) never reaches the test program.
#pragma once

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace test_support
{

// Runs f in a child process with TZ unset; the test fails unless f returns true there.
template <typename F> void in_child(F&& f)
{
    const pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        unsetenv("TZ");
        std::_Exit(f() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace test_support
