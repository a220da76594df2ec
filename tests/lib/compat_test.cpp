// Bounded string copy.
#include "portable/compat.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Strlcpy, CutsToTheBufferAndAlwaysReturnsTheSourceLength)
{
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(tw::strlcpy(buffer, "0123456789", 4), 10u);
    EXPECT_STREQ(buffer, "012");
    EXPECT_EQ(buffer[4], 'Z') << "wrote past the buffer";

    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(tw::strlcpy(buffer, "0123456789", 0), 10u);
    EXPECT_EQ(buffer[0], 'Z') << "a zero-sized buffer must not be written";

    EXPECT_EQ(tw::strlcpy(buffer, "abc", 4), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(tw::strlcpy(buffer, "abcd", 4), 4u) << "exactly one character too long";
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(tw::strlcpy(buffer, "", 1), 0u);
    EXPECT_STREQ(buffer, "");
}
