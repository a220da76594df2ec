// The window driver under a real X server: the test starts its own Xvfb on a free display, then checks
// that a window "TWGR" of the mode's size shows exactly the drawn pixels and that real key presses arrive.
// Every X tool runs under `timeout`, since an X client can otherwise hang.
#include "sdl2_window.h"
#include "test_support.h"
#include "virtual_x.h"

#include "SDL.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using test_support::on_path;

// Output and status of a shell command. The output goes through a file, not a pipe: SDL shows its question
// box in a forked child, which would inherit an open pipe and keep it from ever reaching its end.
std::pair<int, std::string> run(const std::string& cmd)
{
    static const std::string out_file = "/tmp/twgr_xvfb_test_" + std::to_string(getpid()) + ".out";
    int st = std::system((cmd + " >" + out_file + " 2>/dev/null").c_str());
    std::ifstream in(out_file);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(out_file.c_str());
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, text.str()};
}

struct window_info {
    std::string id;
    int width = 0, height = 0;
};

window_info find_window(const std::string& display, const std::string& name = "TWGR")
{
    window_info w;
    for (int attempt = 0; attempt < 50 && w.id.empty(); ++attempt) {
        auto [status, out] = run("timeout 10 xwininfo -display " + display + " -name " + name);
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            if (auto p = line.find("Window id: "); p != std::string::npos)
                w.id = line.substr(p + 11, line.find(' ', p + 11) - p - 11);
            else if (auto q = line.find("Width: "); q != std::string::npos)
                w.width = std::atoi(line.c_str() + q + 7);
            else if (auto r = line.find("Height: "); r != std::string::npos)
                w.height = std::atoi(line.c_str() + r + 8);
        }
        if (status != 0)
            w.id.clear();
        if (w.id.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return w;
}

// The pixels of a binary PPM as 0xRRGGBB; empty when the file is not one of the expected size.
std::vector<std::uint32_t> read_ppm(const fs::path& file, int w, int h)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int fw = 0, fh = 0, maxval = 0;
    in >> magic >> fw >> fh >> maxval;
    in.get();
    if (magic != "P6" || fw != w || fh != h || maxval != 255)
        return {};
    std::vector<unsigned char> bytes((std::size_t)w * h * 3);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), (std::streamsize)bytes.size()))
        return {};
    std::vector<std::uint32_t> px((std::size_t)w * h);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = (std::uint32_t)bytes[3 * i] << 16 | (std::uint32_t)bytes[3 * i + 1] << 8 | bytes[3 * i + 2];
    return px;
}

std::vector<std::uint32_t> frame_colors()
{
    const GrContext* s = GrScreenContext();
    std::vector<std::uint32_t> px;
    for (int y = 0; y <= s->gc_ymax; ++y) {
        for (int x = 0; x <= s->gc_xmax; ++x) {
            int r = 0, g = 0, b = 0;
            GrQueryColor(GrPixelC(s, x, y), &r, &g, &b);
            px.push_back((std::uint32_t)r << 16 | (std::uint32_t)g << 8 | (std::uint32_t)b);
        }
    }
    return px;
}

void draw_picture()
{
    GrClearScreen(GrAllocColor(255, 255, 255));
    GrBox(0, 0, 199, 149, GrAllocColor(0, 0, 0));
    GrLine(10, 140, 190, 10, GrAllocColor(216, 64, 0));
    GrFilledCircle(60, 60, 25, GrAllocColor(0, 72, 140));
    GrCircle(140, 100, 30, GrAllocColor(92, 151, 70));
    GrFilledBoxNC(120, 20, 180, 40, GrAllocColor(240, 180, 0));
    for (int x = 5; x < 195; x += 3)
        GrPlot(x, 145, GrAllocColor(179, 0, 35));
}

// The next event, or a null one after five seconds.
GrEvent next_event()
{
    GrEvent ev{};
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
        GrEventRead(&ev);
    } while (ev.type == GREV_NULL && std::chrono::steady_clock::now() < end);
    return ev;
}

// Each test gets its own X server as DISPLAY, with the window driver detected on it.
class Xvfb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!on_path("Xvfb"))
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(on_path("xwininfo") && on_path("import") && on_path("xdotool"))
            << "x11-utils, imagemagick and xdotool are needed (scripts/install-deps.sh)";
        ASSERT_TRUE(server_.start(90, 160));
        const char* old = std::getenv("DISPLAY");
        had_display_ = old != nullptr;
        saved_display_ = had_display_ ? old : "";
        setenv("DISPLAY", server_.display().c_str(), 1);
        display_set_ = true;
        ASSERT_EQ(GrSetDriver(nullptr), 1);
        EXPECT_EQ(GrDriverInfo->vdriver, &_GrDriverSDL2);
    }
    void TearDown() override
    {
        GrEventUnInit();
        _GrCloseVideoDriver();
        if (!display_set_)
            return;
        if (had_display_)
            setenv("DISPLAY", saved_display_.c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    const std::string& display() const { return server_.display(); }

private:
    test_support::VirtualXServer server_;
    bool display_set_ = false, had_display_ = false;
    std::string saved_display_;
};

TEST_F(Xvfb, WindowShowsTheDrawnPixelsAndTakesKeys)
{
    GrSetMode(GR_width_height_color_graphics, 200, 150, 256);
    draw_picture();
    twgr::window::take_snapshot(); // everything painted

    window_info win = find_window(display());
    ASSERT_FALSE(win.id.empty());
    EXPECT_EQ(win.width, 200);
    EXPECT_EQ(win.height, 150);
    test_support::TempDir dir;
    std::vector<std::uint32_t> want = frame_colors(), got;
    for (int attempt = 0; attempt < 10 && got != want; ++attempt) {
        run("timeout 20 import -display " + display() + " -window " + win.id + " -depth 8 " +
            (dir / "shot.ppm").string());
        got = read_ppm(dir / "shot.ppm", 200, 150);
        if (got != want)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_EQ(got.size(), want.size());
    int bad = 0;
    for (std::size_t i = 0; i < want.size(); ++i)
        bad += got[i] != want[i] ? 1 : 0;
    EXPECT_EQ(bad, 0);

    // Keys sent to the window by name, whatever has the focus; Shift+Delete gives nothing, Alt+x one code.
    GrEventInit();
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    auto [status, out] = run("timeout 10 xdotool search --name '^TWGR$' key --delay 20 q F1 shift+Delete alt+x "
                             "BackSpace");
    EXPECT_EQ(status, 0);
    const int want_keys[][2] = {{113, 1}, {0x13B, 100}, {0x12D, 100}, {8, 1}};
    for (const auto& k : want_keys) {
        GrEvent ev = next_event();
        EXPECT_EQ(ev.type, GREV_KEY);
        EXPECT_EQ(ev.p1, k[0]);
        EXPECT_EQ(ev.p2, k[1]);
    }
    GrEvent none;
    GrEventRead(&none);
    EXPECT_EQ(none.type, GREV_NULL);
}

using twgr::window::close_answer;
std::atomic<close_answer (*)()> box_ask{nullptr};
std::atomic<int> asked{0}, aborted{0};

close_answer count_and_ask()
{
    close_answer a = box_ask.load()();
    ++asked;
    return a;
}
void note_abort()
{
    ++aborted;
}

// Clicks the close button as the window manager would report it, waits for the question box and answers it
// with a key; returns once the answer has been taken.
void close_and_answer(const std::string& display, const char* key, int asked_before)
{
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.windowID = twgr::window::window_id();
    ev.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
    window_info box = find_window(display, "Abort");
    ASSERT_FALSE(box.id.empty()) << "no question box";
    // The box's name is not one xdotool can search for: the key goes to its id. It is sent again should the
    // box not have been listening yet.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (asked == asked_before && std::chrono::steady_clock::now() < end) {
        run("timeout 10 xdotool key --window " + box.id + " " + key);
        for (int i = 0; i < 100 && asked == asked_before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(asked, asked_before + 1);
}

TEST_F(Xvfb, CloseButtonAsksInABoxAndAbortsOnYes)
{
    GrSetMode(GR_width_height_color_graphics, 120, 80, 256);
    twgr::window::close_seam own = twgr::window::set_close_seam({count_and_ask, note_abort});
    box_ask = own.ask;
    asked = aborted = 0;

    close_and_answer(display(), "Escape", 0);
    EXPECT_EQ(aborted, 0);
    EXPECT_TRUE(twgr::window::take_snapshot().visible);
    close_and_answer(display(), "Return", 1);
    EXPECT_EQ(aborted, 1);

    twgr::window::set_close_seam(own);
}

} // namespace
