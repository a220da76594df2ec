// Error messages and debug traces with the program position.
#include "dbg_printf.h"
#include "err_printf.h"

#include <gtest/gtest.h>

#include "stream_capture.h"

#include <cstdio>
#include <unistd.h>

namespace
{

TEST(PositionedMessages, CarryFileAndLinePrefixes)
{
    lib_tests::StreamCapture err(stderr);
    err__printf("x", 12, "m %d\n", 5);
    dbg__printf("glob.cpp", 7, "%s=%g\n", "scale", 0.5);
    EXPECT_EQ(err.text(), "Error: x(12) m 5\nDebug: glob.cpp(7) scale=0.5\n");
}

TEST(PositionedMessages, EarlierStandardOutputIsNotOvertaken)
{
    // Both streams into one file: buffered standard output must come out before the message.
    lib_tests::StreamCapture out(stdout);
    const int saved_err = dup(fileno(stderr));
    dup2(fileno(stdout), fileno(stderr));
    std::printf("first ");
    err__printf("f", 1, "second ");
    std::printf("third ");
    dbg__printf("f", 2, "fourth");
    std::fflush(stdout);
    dup2(saved_err, fileno(stderr));
    close(saved_err);
    EXPECT_EQ(out.text(), "first Error: f(1) second third Debug: f(2) fourth");
}

} // namespace
