// The viewing loop in a real window: the program runs on an X server of the test's own and takes real key
// presses, clicks and the close button. The program's --debug trace tells when it has acted on an input.
// X tools run under `timeout`: an X client can otherwise hang.
#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"
#include "virtual_x.h"

namespace
{

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::occurrences;
using test_support::on_path;

// A picture composed; every key but the quitting ones leads to another.
const std::string composed = ") plotting dataset 0\n";
const std::string clicked = ") ev.type=2\n";

// The program in its window, started in the background with --debug in a folder of its own.
class WindowRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!on_path("Xvfb") || !on_path("xdotool") || !on_path("xwininfo") || !on_path("import"))
            GTEST_SKIP() << "Xvfb, xdotool, x11-utils and imagemagick are needed (scripts/install-deps.sh)";
        ASSERT_TRUE(server_.start(170, 240));
        dir_.write("a.dat", "0 0 1\n10 10 2\n");
        dir_.write("b.dat", "0 0 3\n5 5 2\n");
    }
    void TearDown() override
    {
        if (pid_ > 0)
            test_support::finish_tremwil(pid_, dir_.path(), 0ms);
    }

    void start(std::vector<std::string> args)
    {
        args.insert(args.begin(), "--debug");
        pid_ = test_support::start_tremwil(args, dir_.path(), env());
    }
    test_support::RunResult finish()
    {
        auto r = test_support::finish_tremwil(pid_, dir_.path(), 60s);
        pid_ = -1;
        return r;
    }
    std::vector<std::pair<std::string, std::string>> env() const
    {
        // The sanitizer build: the system's D-Bus library, which SDL loads, keeps buffers to the end.
        return {{"DISPLAY", server_.display()}, {"LSAN_OPTIONS", "suppressions=" SOURCE_DIR "/tests/lsan.supp"}};
    }
    std::string err() const { return test_support::read_file(dir_ / ".stderr"); }

    // Runs an X tool on the test's server; its exit status.
    int x_tool(const std::string& command) const
    {
        const std::string line = "DISPLAY=" + server_.display() + " timeout 20 " + command + " >" +
                                 (dir_ / "x.out").string() + " 2>/dev/null";
        const int st = std::system(line.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::string x_output() const { return test_support::read_file(dir_ / "x.out"); }

    // Waits until the trace holds the part more than `before` times, or the program has ended.
    bool await(const std::string& part, int before)
    {
        for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
            if (occurrences(err(), part) > before || !test_support::still_running(pid_))
                return occurrences(err(), part) > before;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    // The window's id, once it is shown.
    std::string window() const
    {
        if (x_tool("xdotool search --sync --onlyvisible --name '^TWGR$'") != 0)
            return {};
        return x_output().substr(0, x_output().find('\n'));
    }
    // A real key press over the window (focus follows the pointer on a server without a window manager);
    // returns once the program has composed again or ended.
    void press(const std::string& key)
    {
        ASSERT_FALSE(window().empty()) << "no window for " << key;
        const int before = occurrences(err(), composed);
        ASSERT_EQ(x_tool("xdotool mousemove " + std::to_string(300 + ++presses_ % 10) + " 300 key " + key), 0);
        await(composed, before);
    }
    // The close button: the question box appears and takes the key; returns once it has gone.
    void close_and_answer(const std::string& key)
    {
        const std::string id = window();
        ASSERT_FALSE(id.empty());
        ASSERT_EQ(x_tool(std::string(WM_CLOSE_BIN) + " " + id), 0);
        std::string box;
        for (int i = 0; i < 100 && box.empty(); ++i) {
            if (x_tool("xwininfo -name Abort") == 0) {
                const std::string info = x_output();
                const auto at = info.find("Window id: ");
                box = info.substr(at + 11, info.find(' ', at + 11) - at - 11);
            } else {
                std::this_thread::sleep_for(50ms);
            }
        }
        ASSERT_FALSE(box.empty()) << "no question box";
        // The key is sent again should the box not have been listening yet.
        for (int i = 0; i < 20 && x_tool("xwininfo -name Abort") == 0; ++i) {
            x_tool("xdotool key --window " + box + " " + key);
            std::this_thread::sleep_for(250ms);
        }
    }

    test_support::VirtualXServer server_;
    test_support::TempDir dir_;
    pid_t pid_ = -1;
    int presses_ = 0;
};

TEST_F(WindowRun, ShowsThePlottedPixelsSavesMovesOnGoesBackAndQuits)
{
    start({"a.dat", "b.dat"});
    press("s");
    // The window shows exactly the picture that "s" saved.
    const auto saved = test_support::read_png(dir_ / "a.png");
    ASSERT_TRUE(saved.has_value());
    const std::string id = window();
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(x_tool("import -window " + id + " -depth 8 PNG24:" + (dir_ / "shot.png").string()), 0);
    const auto shot = test_support::read_png(dir_ / "shot.png");
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->width, saved->width);
    EXPECT_EQ(shot->height, saved->height);
    EXPECT_TRUE(shot->pixels == saved->pixels);

    for (const char* key : {"space", "BackSpace", "BackSpace", "space", "s", "q"})
        press(key);
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    // Files a, b, a (Backspace), b; the second Backspace on the first file shows it again.
    EXPECT_EQ(occurrences(r.err, ") Columns: 3\n"), 4) << r.err;
    EXPECT_EQ(occurrences(r.err, composed), 7) << r.err;
    EXPECT_EQ(occurrences(r.err, ") ev.type=1 ev.p1=8\n"), 2) << r.err;
    EXPECT_EQ(occurrences(r.err, ") save-and-exit a.png\n"), 1) << r.err;
    EXPECT_EQ(occurrences(r.err, ") save-and-exit b.png\n"), 1) << r.err;
    EXPECT_TRUE(test_support::read_png(dir_ / "b.png").has_value());
}

TEST_F(WindowRun, AClickDoesNotEndTheWaitRRedrawsAndPastTheLastFileEnds)
{
    start({"a.dat"});
    ASSERT_FALSE(window().empty());
    ASSERT_EQ(x_tool("xdotool mousemove 300 300 click 1"), 0);
    ASSERT_TRUE(await(clicked, 0)) << err();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(test_support::still_running(pid_));
    EXPECT_EQ(occurrences(err(), composed), 1);

    press("r");
    press("space");
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, ") ev.type=1 ev.p1=114\n"), 1) << r.err;
    EXPECT_EQ(occurrences(r.err, composed), 2) << r.err;
}

TEST_F(WindowRun, EscapeQuits)
{
    start({"a.dat", "b.dat"});
    press("Escape");
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, ") Columns: 3\n"), 1) << r.err;
}

TEST_F(WindowRun, TheCloseButtonAsksNoKeepsTheWindowYesEndsWithOne)
{
    start({"a.dat"});
    close_and_answer("Escape");
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(test_support::still_running(pid_)) << err();
    EXPECT_FALSE(window().empty());
    close_and_answer("Return");
    const auto r = finish();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(occurrences(r.err, composed), 1) << r.err;
}

TEST_F(WindowRun, SaveAndExitShowsAndSavesEachPictureAndEnds)
{
    start({"--save-and-exit", "a.dat", "b.dat"});
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(test_support::read_png(dir_ / "a.png").has_value());
    EXPECT_TRUE(test_support::read_png(dir_ / "b.png").has_value());

    // The same run needs the window: without an X server there is none.
    fs::remove(dir_ / "a.png");
    auto no_display = env();
    no_display[0].second = ":239";
    const auto without = test_support::run_tremwil({"--save-and-exit", "a.dat"}, dir_.path(), no_display);
    EXPECT_EQ(without.status, 1);
    EXPECT_NE(without.err.find("GrSetMode: could not find suitable video driver\n"
                               "No window can be opened here; --in-memory saves the pictures without one.\n"),
              std::string::npos)
        << without.err;
    EXPECT_FALSE(fs::exists(dir_ / "a.png"));
}

TEST_F(WindowRun, QuittingRightAfterAMoveEndsCleanly)
{
    for (int run = 0; run < 10; ++run) {
        start({"a.dat", "b.dat"});
        press("space");
        std::this_thread::sleep_for(300ms);
        press("q");
        const auto r = finish();
        ASSERT_EQ(r.status, 0) << "run " << run << ": " << r.err;
    }
}

} // namespace
