// Error messages and debug traces with the program position.
#include "print/dbg_printf.h"
#include "print/err_printf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace
{

TEST(PositionedMessages, CarryFileAndLinePrefixes)
{
    testing::internal::CaptureStderr();
    err__printf("x", 12, "m %d\n", 5);
    dbg__printf("glob.cpp", 7, "%s=%g\n", "scale", 0.5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: x(12) m 5\nDebug: glob.cpp(7) scale=0.5\n");
}

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
