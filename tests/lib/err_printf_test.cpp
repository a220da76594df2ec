// Error messages and debug traces with the program position: standard output written before them comes first
// (their prefixes show in runs: the cases lib/debug_trace_position and reader/ellipse_not_perpendicular_once).
#include "print/dbg_printf.h"
#include "print/err_printf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace
{

TEST(PositionedMessages, EarlierStandardOutputIsNotOvertaken)
{
    // Both streams into one file: buffered standard output must come out before each message.
    testing::internal::CaptureStdout();
    const int saved_err = dup(fileno(stderr));
    dup2(fileno(stdout), fileno(stderr));
    std::printf("first ");
    err__printf("f", 1, "second ");
    std::printf("third ");
    dbg__printf("f", 2, "fourth");
    dup2(saved_err, fileno(stderr));
    close(saved_err);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first Error: f(1) second third Debug: f(2) fourth");
}

} // namespace
