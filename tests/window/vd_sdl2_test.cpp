// The window driver. Without a display, SDL's invisible "dummy" driver is forced by an overriding hint and
// accepted through the test seam, so that the real window thread, surface and input paths run. Real keys on a
// real X display are the picture area's window runs.
#include "window/sdl2_window.h"

#include "SDL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

namespace
{

using namespace std::chrono_literals;
using twgr::window::close_answer;
using twgr::window::snapshot;

// Every window pixel shows the colour of the frame pixel beneath (in 24-bit modes the pixel value is the colour);
// returns the number that do not.
int mismatches(const snapshot& shot)
{
    const GrContext* s = GrScreenContext();
    const bool rgb_mode = GrDriverInfo->actmode.bpp == 24;
    int bad = 0;
    for (int y = 0; y <= s->gc_ymax; ++y) {
        for (int x = 0; x <= s->gc_xmax; ++x) {
            GrColor v = GrPixelC(s, x, y);
            int r = 0, g = 0, b = 0;
            GrQueryColor(v, &r, &g, &b);
            const std::uint32_t want = rgb_mode ? v : (std::uint32_t)(r << 16 | g << 8 | b);
            bad += shot.rgb[(std::size_t)y * shot.width + x] != want ? 1 : 0;
        }
    }
    return bad;
}

// The next event, or a null one after five seconds.
GrEvent next_event()
{
    GrEvent ev{};
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;)
        if (GrEventRead(&ev), ev.type != GREV_NULL)
            break;
    return ev;
}

class DummyWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
        twgr::window::allow_virtual_video(true);
        ASSERT_EQ(GrSetDriver("sdl2"), 1);
    }
    void TearDown() override
    {
        GrEventUnInit();
        _GrCloseVideoDriver();
        EXPECT_FALSE(twgr::window::running());
        twgr::window::allow_virtual_video(false);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }
};

// The window driver is also found by the name "win32", given or from TWGRDRV, in any case.
TEST_F(DummyWindow, AnswersToTheNameWin32)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    EXPECT_EQ(GrSetDriver("WIN32"), 1);
    EXPECT_EQ(GrDriverInfo->vdriver, &_GrDriverSDL2);
    ASSERT_EQ(GrSetDriver("memory"), 1);
    setenv("TWGRDRV", "win32", 1);
    EXPECT_EQ(GrSetDriver(nullptr), 1);
    unsetenv("TWGRDRV");
    EXPECT_EQ(GrDriverInfo->vdriver, &_GrDriverSDL2);
}

// In every mode, of a listed size or not, the frame is of the asked size in rows rounded up to four bytes and
// starts black, and the window shows every pixel drawn; in eight-bit modes a new colour for a cell repaints what
// was drawn with it, without drawing again. Text mode hides the window.
TEST_F(DummyWindow, EveryModeShowsWhatIsDrawn)
{
    for (auto [w, h, colours, lineoffset, bpp] : {std::array{1024, 768, 256, 1024, 8},
                                                  {640, 480, 1 << 24, 1920, 24},
                                                  {690, 480, 256, 692, 8},
                                                  {31, 10, 1 << 24, 96, 24}}) {
        SCOPED_TRACE(w);
        GrSetMode(GR_width_height_color_graphics, w, h, colours);
        EXPECT_EQ(GrDriverInfo->actmode.lineoffset, lineoffset);
        EXPECT_EQ(GrDriverInfo->actmode.bpp, bpp);
        EXPECT_EQ(GrScreenContext()->gc_xmax, w - 1);
        EXPECT_EQ(GrScreenContext()->gc_ymax, h - 1);
        snapshot shot = twgr::window::take_snapshot();
        ASSERT_EQ(shot.width, w);
        ASSERT_EQ(shot.height, h);
        EXPECT_TRUE(shot.visible);
        EXPECT_EQ(shot.title, "TWGR");
        EXPECT_EQ(shot.rgb[5], 0U) << "a fresh frame starts black";

        const GrColor cell = bpp == 8 ? GrAllocCell() : GrAllocColor(10, 20, 30);
        if (bpp == 8)
            GrSetColor(cell, 10, 20, 30);
        // Lines, a box, a disc and many small scattered changes: each must be painted, however the marks of
        // changed rows were merged.
        GrClearScreen(GrAllocColor(250, 250, 250));
        GrLine(0, 0, w - 1, h - 1, GrAllocColor(255, 0, 0));
        GrPlot(w - 2, 1, GrAllocColor(0, 200, 0));
        GrFilledBoxNC(5, h / 2, w / 3, h - 2, cell);
        GrFilledCircle(w * 2 / 3, h / 3, 8, GrAllocColor(255, 128, 1));
        std::mt19937 rng(7);
        const int sw = std::min(w, 64), sh = std::min(h, 48);
        for (int i = 0; i < 500; ++i) {
            const int x = (int)(rng() % sw), y = (int)(rng() % sh);
            if (i % 3 == 0)
                GrLine(x, y, (int)(rng() % sw), (int)(rng() % sh), (GrColor)(rng() % 16));
            else
                GrPlot(x, y, (GrColor)(rng() % 16) | (i % 2 ? GrXOR : GrWRITE));
        }
        EXPECT_EQ(mismatches(twgr::window::take_snapshot()), 0);
        if (bpp == 8) {
            GrSetColor(cell, 0, 0, 255);
            EXPECT_EQ(mismatches(twgr::window::take_snapshot()), 0);
        }
        GrSetMode(GR_default_text);
        EXPECT_FALSE(twgr::window::take_snapshot().visible);
    }
    // The dummy screen is 1024 x 768: larger listed sizes are not offered.
    EXPECT_FALSE(_GrDriverSDL2.modes[5].present);
    EXPECT_TRUE(_GrDriverSDL2.modes[4].present);
}

void push(SDL_Event ev)
{
    ev.window.windowID = twgr::window::window_id(); // the same place in every event that names a window
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

void push_key(bool down, SDL_Keycode sym, Uint16 mod)
{
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = sym;
    ev.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    ev.key.keysym.mod = mod;
    push(ev);
}

void push_text(const char* text)
{
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    std::snprintf(ev.text.text, sizeof ev.text.text, "%s", text);
    push(ev);
}

// Clicks in a real window are the picture area's window runs.
TEST_F(DummyWindow, SdlKeysAndTextBecomeEventsOnce)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    ASSERT_EQ(GrEventInit(), 1);
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    // Preparing the pointer takes pure red from the palette.
    bool red = false;
    for (const auto& cell : GrColorInfo->ctable)
        red = red || (cell.defined && cell.r == 255 && cell.g == 0 && cell.b == 0 && cell.nused > 0);
    EXPECT_TRUE(red);

    push_key(true, SDLK_q, KMOD_NONE);
    push_text("q");
    push_key(false, SDLK_q, KMOD_NONE);
    push_key(true, SDLK_F1, KMOD_NONE);
    // Shift+Delete gives nothing: the next event is the key after it, with both shift bits.
    push_key(true, SDLK_LSHIFT, KMOD_LSHIFT);
    push_key(true, SDLK_DELETE, KMOD_LSHIFT);
    push_key(true, SDLK_F2, KMOD_LSHIFT);
    push_key(false, SDLK_LSHIFT, KMOD_NONE);
    // Left Alt with x: once, as its Alt code, although SDL also reports the text.
    push_key(true, SDLK_LALT, KMOD_LALT);
    push_key(true, SDLK_x, KMOD_LALT);
    push_text("x");
    push_key(false, SDLK_LALT, KMOD_NONE);
    // Caps Lock counts while held, not by its toggle state.
    push_key(true, SDLK_CAPSLOCK, KMOD_CAPS);
    push_key(true, SDLK_BACKSPACE, KMOD_CAPS);
    push_key(false, SDLK_CAPSLOCK, KMOD_CAPS);
    push_key(true, SDLK_c, KMOD_RCTRL | KMOD_CAPS);
    push_text("\xC3\xA9");
    push_text("k"); // the last: nothing came twice before it
    const int shift = GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT;
    const int want[][3] = {
        {113, 1, 0},        {0x13B, 100, 0},       {0x155, 100, shift}, {0x12D, 100, GRKBS_ALT}, {8, 1, GRKBS_CAPSLOCK},
        {3, 1, GRKBS_CTRL}, {0xE9, 1, GRKBS_CTRL}, {'k', 1, GRKBS_CTRL}};
    for (const auto& w : want) {
        const GrEvent ev = next_event();
        EXPECT_EQ(ev.type, GREV_KEY) << w[0];
        EXPECT_EQ(ev.p1, w[0]);
        EXPECT_EQ(ev.p2, w[1]) << w[0];
        EXPECT_EQ(ev.kbstat, w[2]) << w[0];
    }
}

std::atomic<int> asked{0}, aborted{0};

// A question that cannot be asked counts as yes, and says so: a window that never closes is worse. (The real
// question box, answered No and Yes, is the picture area's window run.)
TEST_F(DummyWindow, CloseButtonWithoutAQuestionAborts)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    const auto old = twgr::window::set_close_seam({[] {
                                                       ++asked;
                                                       return close_answer::unavailable;
                                                   },
                                                   [] { ++aborted; }});
    testing::internal::CaptureStderr();
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = SDL_WINDOWEVENT_CLOSE;
    push(ev);
    for (auto end = std::chrono::steady_clock::now() + 5s; asked == 0 && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(1ms);
    twgr::window::take_snapshot(); // the window thread ends the process, if at all, right after asking
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(aborted, 1);
    EXPECT_NE(err.find("cannot ask whether to abort"), std::string::npos) << err;
    twgr::window::set_close_seam(old);
}

TEST(WindowDeath, AbortFlushesOutputAndExitsWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::fputs("still buffered", stderr);
            twgr::window::abort_process();
        },
        testing::ExitedWithCode(1), "still buffered");
}

// SDL's invisible driver is no window, display or not: no window driver is found, and the mode set ends with
// its message alone.
TEST(WindowDeath, InvisibleVideoDriverIsNoWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    EXPECT_EQ(GrSetDriver("sdl2"), 0);
    EXPECT_FALSE(twgr::window::running());
    EXPECT_EXIT(GrSetMode(GR_width_height_color_graphics, 640, 480, 256), testing::ExitedWithCode(1),
                "^GrSetMode: could not find suitable video driver\n$");
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
}

} // namespace
