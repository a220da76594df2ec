// Following a growing file in a real window, on an X server of the test's own: the page is drawn again as rows are
// appended, its ranges following the data until the user zooms, the window keeps taking keys meanwhile, and q ends
// the run (the waits: tests/support/window_run.h).
#include <fstream>
#include <optional>
#include <string>

#include "window_run.h"

namespace
{

using test_support::composed;
using test_support::eventually;
using test_support::occurrences;

using FollowWindow = test_support::WindowTest;

TEST_F(FollowWindow, RowsAppendedAreDrawnAndQEndsTheRun)
{
    dir_.write("a.dat", "0 0 1\n10 10 2\n");
    start_in_window({"--follow", "--every=0.1", "a.dat"});
    ASSERT_TRUE(await(composed, 0)) << err();
    std::optional<test_support::png_image> first;
    ASSERT_TRUE(eventually([&] { return (first = window_picture()).has_value(); }));
    // A row far beyond the ranges: they follow the data, so the whole page changes.
    std::ofstream(dir_ / "a.dat", std::ios::app) << "100 50 3\n";
    ASSERT_TRUE(await(composed, 1)) << err();
    EXPECT_TRUE(eventually([&] {
        const auto now = window_picture();
        return now && now->width == first->width && now->pixels != first->pixels;
    }));
    // Zoomed in, the view stays where the user put it: a row beyond it changes nothing shown.
    ASSERT_EQ(x_tool("xdotool mousemove 300 300 key plus"), 0);
    ASSERT_TRUE(await(composed, 2)) << err();
    std::optional<test_support::png_image> zoomed;
    ASSERT_TRUE(eventually([&] {
        const auto now = window_picture();
        const bool settled = now && zoomed && now->pixels == zoomed->pixels;
        zoomed = now;
        return settled;
    }));
    std::ofstream(dir_ / "a.dat", std::ios::app) << "-500 -500 3\n";
    ASSERT_TRUE(await(composed, 3)) << err();
    const auto after = window_picture();
    ASSERT_TRUE(after.has_value());
    EXPECT_TRUE(after->pixels == zoomed->pixels) << "the zoomed view changed";
    ASSERT_EQ(x_tool("xdotool key q"), 0);
    const test_support::RunResult r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, ") following a.dat\n"), 1) << r.err;
}

} // namespace
