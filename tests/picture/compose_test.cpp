// The page heading's path when it cannot be resolved (plot ranges, the z autoscale and the page layout show in
// the pictures and messages of the case files).
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "portable/mypath.h"

namespace
{

// The picture's name and comment are case files (run/png_name_from_data_file, run/comment_*, run/output_name).
TEST(Compose, PathTooLongToResolveIsKeptAsGiven)
{
    // The reason is printed after "realpath".
    const std::string long_name(PATH_MAX + 10, 'a');
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, true), long_name);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("realpath: ", 0), 0u) << err;
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, false), long_name);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the comment resolves its paths quietly";
}

} // namespace
