// Following a growing file in a real window, on an X server of the test's own: the page is drawn again as rows are
// appended, its ranges following the data until the user zooms, the window keeps taking keys meanwhile, and q ends
// the run. Waits poll the --debug trace and the X
// server's picture of the window; the limits only end a hang.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"
#include "virtual_x.h"

namespace
{

using namespace std::chrono_literals;
using test_support::occurrences;

const std::string composed = ") plotting dataset 0\n";
constexpr auto limit = 60s;

class FollowWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!test_support::on_path("Xvfb") || !test_support::on_path("xdotool") || !test_support::on_path("xwininfo") ||
            !test_support::on_path("import"))
            GTEST_SKIP() << "Xvfb, xdotool, x11-utils and imagemagick are needed (scripts/install-deps.sh)";
        ASSERT_TRUE(server_.start());
    }
    void TearDown() override
    {
        if (pid_ > 0)
            test_support::finish_tremwil(pid_, dir_.path(), 0ms);
    }

    template <typename F> static bool eventually(F&& done)
    {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms))
            if (done())
                return true;
        return false;
    }
    std::string err() const { return test_support::read_file(dir_ / ".stderr"); }
    // Waits until the page has been composed more than before times; false when the program ended first.
    bool composed_more_than(int before) const
    {
        eventually([&] { return occurrences(err(), composed) > before || !test_support::still_running(pid_); });
        return occurrences(err(), composed) > before;
    }
    int x_tool(const std::string& command) const
    {
        const std::string line = "DISPLAY=" + server_.display() + " timeout " + std::to_string(limit.count()) + " " +
                                 command + " >" + (dir_ / "x.out").string() + " 2>/dev/null";
        const int st = std::system(line.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    // What the window shows now, once it is shown.
    std::optional<test_support::png_image> window_picture()
    {
        if (x_tool("xwininfo -name TWGR") != 0)
            return std::nullopt;
        const std::string info = test_support::read_file(dir_ / "x.out");
        const auto at = info.find("Window id: ");
        if (at == std::string::npos)
            return std::nullopt;
        const std::string id = info.substr(at + 11, info.find(' ', at + 11) - at - 11);
        const std::string shot = (dir_ / "shot.png").string();
        return x_tool("import -window " + id + " -depth 8 PNG24:" + shot) == 0 ? test_support::read_png(shot)
                                                                               : std::nullopt;
    }

    test_support::VirtualXServer server_;
    test_support::TempDir dir_;
    pid_t pid_ = -1;
};

TEST_F(FollowWindow, RowsAppendedAreDrawnAndQEndsTheRun)
{
    dir_.write("a.dat", "0 0 1\n10 10 2\n");
    pid_ = test_support::start_tremwil(
        {"--debug", "--follow", "--every=0.1", "a.dat"}, dir_.path(),
        {{"DISPLAY", server_.display()}, {"LSAN_OPTIONS", "suppressions=" SOURCE_DIR "/tests/lsan.supp"}});
    ASSERT_TRUE(composed_more_than(0)) << err();
    std::optional<test_support::png_image> first;
    ASSERT_TRUE(eventually([&] { return (first = window_picture()).has_value(); }));
    // A row far beyond the ranges: they follow the data, so the whole page changes.
    std::ofstream(dir_ / "a.dat", std::ios::app) << "100 50 3\n";
    ASSERT_TRUE(composed_more_than(1)) << err();
    EXPECT_TRUE(eventually([&] {
        const auto now = window_picture();
        return now && now->width == first->width && now->pixels != first->pixels;
    }));
    // Zoomed in, the view stays where the user put it: a row beyond it changes nothing shown.
    ASSERT_EQ(x_tool("xdotool mousemove 300 300 key plus"), 0);
    ASSERT_TRUE(composed_more_than(2)) << err();
    std::optional<test_support::png_image> zoomed;
    ASSERT_TRUE(eventually([&] {
        const auto now = window_picture();
        const bool settled = now && zoomed && now->pixels == zoomed->pixels;
        zoomed = now;
        return settled;
    }));
    std::ofstream(dir_ / "a.dat", std::ios::app) << "-500 -500 3\n";
    ASSERT_TRUE(composed_more_than(3)) << err();
    const auto after = window_picture();
    ASSERT_TRUE(after.has_value());
    EXPECT_TRUE(after->pixels == zoomed->pixels) << "the zoomed view changed";
    ASSERT_EQ(x_tool("xdotool key q"), 0);
    const test_support::RunResult r = test_support::finish_tremwil(pid_, dir_.path(), limit);
    pid_ = -1;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, ") following a.dat\n"), 1) << r.err;
}

} // namespace
