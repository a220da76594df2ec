// The usage text through the pager: only when standard output is a terminal, and the run ends with the
// pager's status. A stand-in "more" early on PATH records what it was given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "cli/help.h"
#include "test_support.h"

namespace
{

using test_support::TempDir;

TEST(PagerEndToEnd, TerminalOutputGoesThroughMoreAndEndsWithItsStatus)
{
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no script(1) to give the program a terminal";
    TempDir dir;
    const auto more = dir.write("more", "#!/bin/sh\ncat > paged.txt\nexit 3\n");
    std::filesystem::permissions(more, std::filesystem::perms::owner_all);
    // script gives the program a terminal as standard output; -e passes on its exit status.
    const std::string command = "cd '" + dir.path().string() + "' && PATH='" + dir.path().string() +
                                ":'\"$PATH\" script -qec \"'" + TREMWIL_BIN + "' --fullhelp a.dat\" /dev/null" +
                                " </dev/null >terminal.txt 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    const std::string paged = test_support::read_file(dir / "paged.txt");
    const std::string full = test_support::read_file(std::string(TEST_DATA_DIR) + "/frontend/usage_full.txt");
    EXPECT_EQ(paged.rfind(std::string(Version) + "\n", 0), 0u) << paged;
    EXPECT_NE(paged.find(full), std::string::npos) << paged;
}

} // namespace
