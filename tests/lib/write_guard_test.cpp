// The tests' write guard: a write outside the tests' temporary folders ends the process that tries it; writes inside
// them pass (a run of the program stopped by it: tests/cases/lib/write_guard_stops_the_program.case).
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// A folder that does not exist: were the guard to let a call through, the call would fail on its own and touch
// nothing.
const char* const outside = "/tremwil-guard-no-such-folder/x";

// How a child process that runs attempt ends: the signal that ended it, or 0 when it exited.
int ending_signal(const std::function<void()>& attempt)
{
    const pid_t pid = fork();
    if (pid == 0) {
        attempt();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(WriteGuard, WritesOutsideTheTestFoldersEndTheProcess)
{
    const test_support::TempDir dir;
    const std::string inside = (dir / "a.txt").string();
    EXPECT_EQ(ending_signal([] { open(outside, O_WRONLY | O_CREAT, 0600); }), SIGABRT);
    EXPECT_EQ(ending_signal([] { std::fopen(outside, "w"); }), SIGABRT);
    EXPECT_EQ(ending_signal([&] { std::rename(inside.c_str(), outside); }), SIGABRT);
    EXPECT_EQ(ending_signal([] { unlink(outside); }), SIGABRT);
    EXPECT_EQ(ending_signal([] { open("/etc/hostname", O_RDONLY); }), 0) << "reading is free";
    // A link inside a test folder does not carry a write outside.
    symlink(outside, (dir / "link").c_str());
    EXPECT_EQ(ending_signal([&] { std::fopen((dir / "link").c_str(), "w"); }), SIGABRT);
    EXPECT_EQ(ending_signal([&] {
                  if (std::FILE* f = std::fopen(inside.c_str(), "w"))
                      std::fclose(f);
                  std::rename(inside.c_str(), (dir / "b.txt").c_str());
              }),
              0);
    EXPECT_TRUE(std::filesystem::exists(dir / "b.txt"));
}

} // namespace
