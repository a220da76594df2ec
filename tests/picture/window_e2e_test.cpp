// The viewing loop in a real window: the program runs on an X server of the test's own and takes real key
// presses, clicks and the close button (the waits: tests/support/window_run.h).
#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "window_run.h"

namespace
{

using test_support::composed;
using test_support::eventually;
using test_support::occurrences;

const std::string clicked = ") ev.type=2\n";

// The program in its window, on files a.dat and b.dat.
class WindowRun : public test_support::WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (IsSkipped())
            return;
        dir_.write("a.dat", "0 0 1\n10 10 2\n");
        dir_.write("b.dat", "0 0 3\n5 5 2\n");
    }

    // Starts the program and waits for its first picture.
    [[nodiscard]] bool start(std::vector<std::string> args)
    {
        start_in_window(std::move(args));
        pictures_ = 0;
        return next_picture();
    }
    // Waits for the program's next picture; false when it ended instead.
    [[nodiscard]] bool next_picture() { return await(composed, pictures_++); }
    // A real key press over the window: on a server without a window manager the focus follows the pointer.
    [[nodiscard]] bool key(const std::string& k) const { return x_tool("xdotool mousemove 300 300 key " + k) == 0; }
    // A key that leads to another picture; true once the program has composed it.
    [[nodiscard]] bool press(const std::string& k) { return key(k) && next_picture(); }
    // True once the window shows the picture: it is painted from the frame a little after the drawing.
    bool shows(const test_support::png_image& picture) const
    {
        return eventually([&] {
            const auto seen = window_picture();
            return seen && seen->width == picture.width && seen->height == picture.height &&
                   seen->pixels == picture.pixels;
        });
    }
    // The close button: the question box appears and takes the key; true once the box has gone.
    [[nodiscard]] bool close_and_answer(const std::string& answer)
    {
        const std::string id = window("TWGR");
        if (id.empty() || x_tool(std::string(WM_CLOSE_BIN) + " " + id) != 0)
            return false;
        const std::string question = window("Abort");
        if (question.empty() || x_tool("xdotool key --window " + question + " " + answer) != 0)
            return false;
        return eventually([&] { return x_tool("xwininfo -id " + question) != 0; });
    }

    std::string out() const { return test_support::read_file(dir_ / ".stdout"); }
    // Waits until standard output holds the part more than `before` times.
    bool await_out(const std::string& part, int before) const
    {
        eventually([&] { return occurrences(out(), part) > before || !test_support::still_running(pid_); });
        return occurrences(out(), part) > before;
    }
    // The last line of standard output that starts with prefix, split into words.
    std::vector<std::string> last_line_words(const std::string& prefix) const
    {
        const std::string text = out();
        std::vector<std::string> words;
        const auto at = text.rfind("\n" + prefix);
        if (at == std::string::npos)
            return words;
        std::istringstream line(text.substr(at + 1, text.find('\n', at + 1) - at - 1));
        for (std::string word; line >> word;)
            words.push_back(word);
        return words;
    }
    // A key that draws the page again (r, s); true once it is drawn.
    [[nodiscard]] bool redrawn_after(const std::string& k)
    {
        const int before = occurrences(err(), composed);
        return key(k) && await(composed, before);
    }
    // xdotool actions, split by '|'; '@' stands for "--window" and the window, so that "mousemove @ x y" places the
    // pointer at a pixel of the page, and '%' for the window alone.
    [[nodiscard]] bool in_window(const std::string& actions)
    {
        const std::string id = window("TWGR");
        std::string command = "xdotool ";
        for (char c : actions) {
            if (c == '|')
                command += ' ';
            else if (c == '@')
                command += "--window " + id;
            else if (c == '%')
                command += id;
            else
                command += c;
        }
        return !id.empty() && x_tool(command) == 0;
    }
    // The pointer onto the page's top-left margin: the readout of the values under it goes.
    [[nodiscard]] bool pointer_off_plot() { return in_window("mousemove @ 2 2"); }
    // A batch run's picture of a.dat with more options, in a folder of its own: the run's outputs there must not
    // take the place of the window run's. Without the path heading, which names the folder.
    std::optional<test_support::png_image> batch(std::vector<std::string> options, const std::string& name)
    {
        batch_dir_.write("a.dat", test_support::read_file(dir_ / "a.dat"));
        options.insert(options.begin(), {"--in-memory", "--nopath"});
        options.insert(options.end(), {"-o", name, "a.dat"});
        const auto r = test_support::run_tremwil(options, batch_dir_.path());
        EXPECT_EQ(r.status, 0) << r.err;
        return test_support::read_png(batch_dir_ / name);
    }

    test_support::TempDir batch_dir_;
    int pictures_ = 0;
};

TEST_F(WindowRun, ShowsThePlottedPixelsSavesMovesOnGoesBackAndEndsPastTheLastFile)
{
    ASSERT_TRUE(start({"a.dat", "b.dat"})) << err();
    ASSERT_TRUE(press("s")) << err();
    // The window shows exactly the picture that "s" saved.
    const auto saved = test_support::read_png(dir_ / "a.png");
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(shows(*saved));

    for (const char* k : {"space", "BackSpace", "BackSpace", "space", "s"})
        ASSERT_TRUE(press(k)) << k << "\n" << err();
    ASSERT_TRUE(key("space"));
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    // Files a, b, a (Backspace), b; the second Backspace on the first file shows it again; the space on the last
    // file ends the run.
    EXPECT_EQ(occurrences(r.err, ") Columns: 3\n"), 4) << r.err;
    EXPECT_EQ(occurrences(r.err, composed), 7) << r.err;
    EXPECT_EQ(occurrences(r.err, ") ev.type=1 ev.p1=8\n"), 2) << r.err;
    EXPECT_EQ(occurrences(r.err, ") save-and-exit a.png\n"), 1) << r.err;
    EXPECT_EQ(occurrences(r.err, ") save-and-exit b.png\n"), 1) << r.err;
    EXPECT_TRUE(test_support::read_png(dir_ / "b.png").has_value());
}

// Neither a click nor the close button is a command: the wait for a key goes on.
TEST_F(WindowRun, AClickIsNoCommandTheCloseButtonAsksNoKeepsTheWindowYesEndsWithOne)
{
    ASSERT_TRUE(start({"a.dat"})) << err();
    ASSERT_EQ(x_tool("xdotool mousemove 300 300 click 1"), 0);
    ASSERT_TRUE(await(clicked, 0)) << err();
    ASSERT_TRUE(close_and_answer("Escape")) << err();
    // Answered No, the program goes on taking keys; "r" draws the picture again.
    ASSERT_TRUE(press("r")) << err();
    ASSERT_TRUE(close_and_answer("Return")) << err();
    const auto r = finish();
    EXPECT_EQ(r.status, 1) << r.err;
    // The click and the answers went elsewhere: the one command was the "r". The click ended one wait, on its
    // release.
    EXPECT_EQ(occurrences(r.err, clicked), 1) << r.err;
    EXPECT_EQ(occurrences(r.err, ") ev.type=1 ev.p1="), 1) << r.err;
    EXPECT_EQ(occurrences(r.err, ") ev.type=1 ev.p1=114\n"), 1) << r.err;
}

// Without an X server there is no window (run/window_needs_a_display).
TEST_F(WindowRun, SaveAndExitShowsAndSavesEachPictureAndEnds)
{
    ASSERT_TRUE(start({"--save-and-exit", "a.dat", "b.dat"})) << err();
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(test_support::read_png(dir_ / "a.png").has_value());
    EXPECT_TRUE(test_support::read_png(dir_ / "b.png").has_value());
}

// q and Escape quit on the shown file. Quitting right after a move once ended the program with an X error
// at random, hence the runs.
TEST_F(WindowRun, QAndEscapeQuitRightAfterAMove)
{
    for (int run = 0; run < 10; ++run) {
        ASSERT_TRUE(start({"a.dat", "b.dat", "a.dat"})) << "run " << run << ": " << err();
        ASSERT_TRUE(press("space")) << "run " << run << ": " << err();
        ASSERT_TRUE(key(run % 2 == 0 ? "q" : "Escape"));
        const auto r = finish();
        ASSERT_EQ(r.status, 0) << "run " << run << ": " << r.err;
        ASSERT_EQ(occurrences(r.err, ") Columns: 3\n"), 2) << "run " << run << ": " << r.err;
    }
}

// Exploring the page. Its views are the pictures of batch runs given the printed options.
class WindowExplore : public WindowRun
{
protected:
    void SetUp() override
    {
        WindowRun::SetUp();
        if (IsSkipped())
            return;
        // Rows out of file order (sorted by z), a comment and a blank line: line numbers are not row numbers.
        dir_.write("a.dat", "# rings\n9 9 5\n1 1 2\n\n5 5 1\n2 8 3\n");
    }
};

TEST_F(WindowExplore, ABoxZoomDrawsTheBatchPictureOfThePrintedOptionsAndUGoesBack)
{
    const auto home = batch({}, "home.png");
    ASSERT_TRUE(home.has_value());
    ASSERT_TRUE(start({"--nopath", "a.dat"})) << err();
    ASSERT_TRUE(in_window("mousemove @ 150 150|mousedown 1|mousemove @ 300 250|"
                          "mousemove @ 420 380|mouseup 1"));
    ASSERT_TRUE(await_out("--minx=", 0)) << err();
    const std::vector<std::string> zoom = last_line_words("--minx=");
    ASSERT_EQ(zoom.size(), 4U) << out();
    EXPECT_EQ(zoom[1].rfind("--maxx=", 0), 0U);
    const auto zoomed = batch(zoom, "zoom.png");
    ASSERT_TRUE(zoomed.has_value());
    EXPECT_NE(zoomed->pixels, home->pixels);
    ASSERT_TRUE(pointer_off_plot());
    EXPECT_TRUE(shows(*zoomed)) << out() << err();
    // "s" saves the view with its options in the comment.
    ASSERT_TRUE(redrawn_after("s")) << err();
    const auto saved = test_support::read_png(dir_ / "a.png");
    ASSERT_TRUE(saved.has_value() && saved->comment.has_value());
    EXPECT_NE(saved->comment->find(zoom[0] + " " + zoom[1] + " " + zoom[2] + " " + zoom[3]), std::string::npos)
        << *saved->comment;
    EXPECT_EQ(saved->pixels, zoomed->pixels);
    ASSERT_TRUE(in_window("mousemove @ 2 2|key u"));
    ASSERT_TRUE(await_out("--minx=", 1)) << err();
    EXPECT_TRUE(shows(*home)) << out() << err();
    ASSERT_TRUE(key("q"));
    EXPECT_EQ(finish().status, 0);
}

// The mark of the row "9 9 5", on line 2, is the one in the picture's top right corner, drawn in red.
TEST_F(WindowExplore, AClickOnAMarkPrintsItsFileLineAndValuesAClickBesidePrintsNothing)
{
    const auto picture = batch({"--fgcolor=255,0,0"}, "red.png");
    ASSERT_TRUE(picture.has_value());
    int left = picture->width, right = -1, top = picture->height, bottom = -1;
    for (int y = 0; y < picture->height / 4; ++y)
        for (int x = picture->width * 3 / 4; x < picture->width; ++x) {
            const png_byte* p = &picture->pixels[(static_cast<std::size_t>(y) * picture->width + x) * 3];
            if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(right, left) << "no red mark in the top right corner";
    ASSERT_TRUE(start({"--nopath", "--fgcolor=255,0,0", "a.dat"})) << err();
    const std::string centre = std::to_string((left + right) / 2) + " " + std::to_string((top + bottom) / 2);
    ASSERT_TRUE(in_window("mousemove @ " + centre + "|click 1"));
    ASSERT_TRUE(await_out("a.dat:", 0)) << err();
    EXPECT_EQ(out().substr(out().find("a.dat:")), "a.dat:2: 9 9 5\n");
    // Far from every mark: no line, and no view changes.
    ASSERT_TRUE(in_window("mousemove @ 300 260|click 1"));
    ASSERT_TRUE(await(clicked, 1)) << err();
    ASSERT_TRUE(key("q"));
    const auto r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(occurrences(r.out, ".dat:"), 1) << r.out;
    EXPECT_EQ(occurrences(r.out, "--minx="), 0) << r.out;
}

TEST_F(WindowExplore, AResizedWindowGetsAPageOfItsSizeAsTheBatchRunOfThePrintedSizeDraws)
{
    ASSERT_TRUE(start({"--nopath", "a.dat"})) << err();
    ASSERT_TRUE(in_window("windowsize % 800 600"));
    ASSERT_TRUE(await(") page resized to 800 x 600\n", 0)) << err();
    ASSERT_TRUE(await_out("--width=", 0)) << err();
    const std::vector<std::string> size = last_line_words("--width=");
    ASSERT_EQ(size.size(), 2U) << out();
    ASSERT_TRUE(redrawn_after("s")) << err();
    const auto saved = test_support::read_png(dir_ / "a.png");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 800);
    EXPECT_EQ(saved->height, 600);
    const auto resized = batch(size, "sized.png");
    ASSERT_TRUE(resized.has_value());
    EXPECT_EQ(saved->pixels, resized->pixels);
    ASSERT_TRUE(key("q"));
    EXPECT_EQ(finish().status, 0);
}

// The arrow keys move the view by a tenth of its extent; the x axis's labels move with it.
TEST_F(WindowExplore, PanningShiftsTheRangeByATenthAndTheTicks)
{
    const auto home = batch({}, "home.png");
    ASSERT_TRUE(home.has_value());
    ASSERT_TRUE(start({"--nopath", "a.dat"})) << err();
    ASSERT_TRUE(in_window("mousemove @ 2 2|key Right"));
    ASSERT_TRUE(await_out("--minx=", 0)) << err();
    const std::vector<std::string> moved = last_line_words("--minx=");
    ASSERT_EQ(moved.size(), 4U) << out();
    // The home view spans 1 - 0.16 to 9 + 0.16 on both axes (the default widening by 2 %).
    const double minx = std::stod(moved[0].substr(7)), maxx = std::stod(moved[1].substr(7));
    EXPECT_NEAR(minx, 0.84 + 0.832, 1e-9);
    EXPECT_NEAR(maxx, 9.16 + 0.832, 1e-9);
    EXPECT_NEAR(std::stod(moved[2].substr(7)), 0.84, 1e-9);
    const auto panned = batch(moved, "panned.png");
    ASSERT_TRUE(panned.has_value());
    EXPECT_TRUE(shows(*panned)) << err();
    // The rows of the x labels under the plot differ.
    const std::size_t row_bytes = static_cast<std::size_t>(home->width) * 3;
    const auto bottom = [&](const test_support::png_image& p) {
        return std::vector<png_byte>(p.pixels.end() - 20 * row_bytes, p.pixels.end());
    };
    EXPECT_NE(bottom(*panned), bottom(*home));
    ASSERT_TRUE(key("q"));
    EXPECT_EQ(finish().status, 0);
}

} // namespace
