// The window driver without a display: SDL's invisible "dummy" driver is forced by an overriding hint and
// accepted through the test seam, so that the real window thread, surface and input paths run.
#include "sdl2_window.h"

#include "SDL.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace
{

using twgr::window::snapshot;

std::uint32_t rgb_of(GrColor c)
{
    int r = 0, g = 0, b = 0;
    GrQueryColor(c, &r, &g, &b);
    return (std::uint32_t)r << 16 | (std::uint32_t)g << 8 | (std::uint32_t)b;
}

// Every window pixel shows the colour of the frame pixel beneath; returns the number that do not.
int mismatches(const snapshot& shot, bool rgb_mode)
{
    const GrContext* s = GrScreenContext();
    int bad = 0;
    for (int y = 0; y <= s->gc_ymax; ++y) {
        for (int x = 0; x <= s->gc_xmax; ++x) {
            GrColor v = GrPixelC(s, x, y);
            std::uint32_t want = rgb_mode ? v : rgb_of(v);
            bad += shot.rgb[(std::size_t)y * shot.width + x] != want ? 1 : 0;
        }
    }
    return bad;
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

TEST_F(DummyWindow, ModeTableListedSizesAndSpareEntry)
{
    GrSetMode(GR_width_height_color_graphics, 1024, 768, 256);
    EXPECT_EQ(GrDriverInfo->curmode, &_GrDriverSDL2.modes[4]);
    GrSetMode(GR_width_height_color_graphics, 640, 480, 1 << 24);
    EXPECT_EQ(GrDriverInfo->curmode, &_GrDriverSDL2.modes[12]);
    EXPECT_EQ(GrDriverInfo->actmode.lineoffset, 1920);
    // Not listed: the spare entry takes the size, rows rounded up to four bytes.
    GrSetMode(GR_width_height_color_graphics, 690, 480, 256);
    EXPECT_EQ(GrDriverInfo->curmode, &_GrDriverSDL2.modes[21]);
    EXPECT_EQ(GrDriverInfo->actmode.lineoffset, 692);
    EXPECT_EQ(GrDriverInfo->actmode.bpp, 8);
    EXPECT_EQ(GrScreenContext()->gc_xmax, 689);
    GrSetMode(GR_width_height_color_graphics, 33, 10, 1 << 24);
    EXPECT_EQ(GrDriverInfo->actmode.lineoffset, 100);
    EXPECT_EQ(GrDriverInfo->actmode.bpp, 24);
    // The dummy screen is 1024 x 768: larger listed sizes are not offered.
    EXPECT_FALSE(_GrDriverSDL2.modes[5].present);
    EXPECT_TRUE(_GrDriverSDL2.modes[4].present);
}

TEST_F(DummyWindow, DrawingAndPaletteChangesReachTheWindow)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    GrColor red = GrAllocColor(255, 0, 0), green = GrAllocColor(0, 200, 0);
    GrColor cell = GrAllocCell();
    GrSetColor(cell, 10, 20, 30);
    GrClearScreen(GrAllocColor(250, 250, 250));
    GrLine(0, 0, 63, 47, red);
    GrPlot(62, 1, green);
    GrFilledBoxNC(5, 30, 20, 40, cell);
    GrFilledCircle(45, 20, 8, green);
    snapshot shot = twgr::window::take_snapshot();
    ASSERT_EQ(shot.width, 64);
    ASSERT_EQ(shot.height, 48);
    EXPECT_TRUE(shot.visible);
    EXPECT_EQ(shot.title, "TWGR");
    EXPECT_EQ(mismatches(shot, false), 0);
    EXPECT_EQ(shot.rgb[1 * 64 + 62], 0x00C800U);
    EXPECT_EQ(shot.rgb[35 * 64 + 10], 0x0A141EU);

    // A new colour for the cell repaints what was drawn with it, without drawing again.
    GrSetColor(cell, 0, 0, 255);
    shot = twgr::window::take_snapshot();
    EXPECT_EQ(shot.rgb[35 * 64 + 10], 0x0000FFU);
    EXPECT_EQ(mismatches(shot, false), 0);

    // A lone pixel and a lone line after everything else was painted.
    GrPlot(1, 46, red);
    GrLine(60, 40, 50, 44, red);
    shot = twgr::window::take_snapshot();
    EXPECT_EQ(shot.rgb[46 * 64 + 1], 0xFF0000U);
    EXPECT_EQ(shot.rgb[44 * 64 + 50], 0xFF0000U);

    // Many small scattered changes: each must be painted, however the marks were merged.
    std::mt19937 rng(7);
    for (int i = 0; i < 500; ++i) {
        int x = (int)(rng() % 64), y = (int)(rng() % 48);
        if (i % 3 == 0)
            GrLine(x, y, (int)(rng() % 64), (int)(rng() % 48), (GrColor)(rng() % 16));
        else
            GrPlot(x, y, (GrColor)(rng() % 16) | (i % 2 ? GrXOR : GrWRITE));
    }
    EXPECT_EQ(mismatches(twgr::window::take_snapshot(), false), 0);
}

TEST_F(DummyWindow, ModeChangesEightBitTextThenTwentyFourBit)
{
    GrSetMode(GR_width_height_color_graphics, 40, 30, 256);
    GrClearScreen(GrAllocColor(0, 0, 255));
    snapshot shot = twgr::window::take_snapshot();
    EXPECT_TRUE(shot.visible);
    EXPECT_EQ(shot.rgb[0], 0x0000FFU);

    GrSetMode(GR_default_text);
    EXPECT_FALSE(twgr::window::take_snapshot().visible);

    GrSetMode(GR_width_height_color_graphics, 50, 20, 1 << 24);
    EXPECT_EQ(GrDriverInfo->actmode.bpp, 24);
    GrColor c = GrAllocColor(10, 200, 30);
    // A fresh frame starts black.
    shot = twgr::window::take_snapshot();
    EXPECT_TRUE(shot.visible);
    ASSERT_EQ(shot.width, 50);
    ASSERT_EQ(shot.height, 20);
    EXPECT_EQ(shot.rgb[5], 0U);
    GrFilledBoxNC(3, 4, 30, 12, c);
    GrLine(0, 19, 49, 0, GrAllocColor(255, 128, 1));
    shot = twgr::window::take_snapshot();
    EXPECT_EQ(shot.rgb[5 * 50 + 10], 0x0AC81EU);
    EXPECT_EQ(mismatches(shot, true), 0);
}

void push_key(SDL_EventType type, SDL_Keycode sym, SDL_Scancode scan, Uint16 mod)
{
    SDL_Event ev{};
    ev.type = type;
    ev.key.windowID = twgr::window::window_id();
    ev.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = sym;
    ev.key.keysym.scancode = scan;
    ev.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

void push_text(const char* text)
{
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    ev.text.windowID = twgr::window::window_id();
    std::snprintf(ev.text.text, sizeof ev.text.text, "%s", text);
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

void push_button(Uint32 type, Uint8 button, int x, int y)
{
    SDL_Event ev{};
    ev.type = type;
    ev.button.windowID = twgr::window::window_id();
    ev.button.button = button;
    ev.button.x = x;
    ev.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
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

TEST_F(DummyWindow, TypedKeysBecomeEventsOnce)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    ASSERT_EQ(GrEventInit(), 1);
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    // Preparing the pointer takes pure red from the palette.
    bool red = false;
    for (const auto& cell : GrColorInfo->ctable)
        red = red || (cell.defined && cell.r == 255 && cell.g == 0 && cell.b == 0 && cell.nused > 0);
    EXPECT_TRUE(red);

    push_key(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_NONE);
    push_text("q");
    push_key(SDL_KEYUP, SDLK_q, SDL_SCANCODE_Q, KMOD_NONE);
    GrEvent ev = next_event();
    EXPECT_EQ(ev.type, GREV_KEY);
    EXPECT_EQ(ev.p1, 113);
    EXPECT_EQ(ev.p2, 1);

    push_key(SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1, KMOD_NONE);
    ev = next_event();
    EXPECT_EQ(ev.p1, 0x13B);
    EXPECT_EQ(ev.p2, 100);
    EXPECT_EQ(ev.kbstat, 0);

    // Shift+Delete gives nothing: the next event is the key after it, with both shift bits.
    push_key(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    push_key(SDL_KEYDOWN, SDLK_DELETE, SDL_SCANCODE_DELETE, KMOD_LSHIFT);
    push_key(SDL_KEYDOWN, SDLK_F2, SDL_SCANCODE_F2, KMOD_LSHIFT);
    push_key(SDL_KEYUP, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_NONE);
    ev = next_event();
    EXPECT_EQ(ev.p1, 0x155);
    EXPECT_EQ(ev.kbstat, GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT);
}

TEST_F(DummyWindow, AltLettersLockKeysControlLettersTextAndClicks)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    ASSERT_EQ(GrEventInit(), 1);
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    // Left Alt with x: once, as its Alt code, although SDL also reports the text.
    push_key(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    push_key(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LALT);
    push_text("x");
    push_key(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE);
    push_key(SDL_KEYDOWN, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, KMOD_CAPS);
    push_key(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, KMOD_CAPS);
    push_key(SDL_KEYUP, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, KMOD_CAPS);
    push_key(SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_RCTRL | KMOD_CAPS);
    push_text("\xC3\xA9");
    GrEvent ev = next_event();
    EXPECT_EQ(ev.p1, 0x12D);
    EXPECT_EQ(ev.p2, 100);
    EXPECT_EQ(ev.kbstat, GRKBS_ALT);
    ev = next_event();
    EXPECT_EQ(ev.p1, 8);
    EXPECT_EQ(ev.kbstat, GRKBS_CAPSLOCK); // held, not its toggle state
    ev = next_event();
    EXPECT_EQ(ev.p1, 3);
    EXPECT_EQ(ev.kbstat, GRKBS_CTRL);
    ev = next_event();
    EXPECT_EQ(ev.p1, 0xE9); // CP1252 e acute
    EXPECT_EQ(ev.p2, 1);

    // A left press does not end the wait for a key or click; its release does.
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 7, 9);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 7, 9);
    GrEventWaitKeyOrClick(&ev);
    EXPECT_EQ(ev.type, GREV_MOUSE);
    EXPECT_EQ(ev.p1, GRMOUSE_LB_RELEASED);
    EXPECT_EQ(GrEventCheck(), 0);
}

std::atomic<int> asked{0}, aborted{0};
std::atomic<twgr::window::close_answer> answer{twgr::window::close_answer::no};

twgr::window::close_answer give_answer()
{
    ++asked;
    return answer;
}
void note_abort()
{
    ++aborted;
}

void click_close_and_wait(int asked_before)
{
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.windowID = twgr::window::window_id();
    ev.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (asked == asked_before && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(asked, asked_before + 1);
    // The window thread ends the process, if at all, right after asking.
    twgr::window::take_snapshot();
}

TEST_F(DummyWindow, CloseButtonAbortsOnlyWhenConfirmed)
{
    GrSetMode(GR_width_height_color_graphics, 64, 48, 256);
    twgr::window::close_seam old = twgr::window::set_close_seam({give_answer, note_abort});
    asked = aborted = 0;
    answer = twgr::window::close_answer::no;
    click_close_and_wait(0);
    EXPECT_EQ(aborted, 0);
    EXPECT_TRUE(twgr::window::take_snapshot().visible);
    answer = twgr::window::close_answer::yes;
    click_close_and_wait(1);
    EXPECT_EQ(aborted, 1);
    // A question that cannot be asked counts as yes: a window that never closes is worse.
    answer = twgr::window::close_answer::unavailable;
    testing::internal::CaptureStderr();
    click_close_and_wait(2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(aborted, 2);
    EXPECT_NE(err.find("abort"), std::string::npos);
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

// Unsets a variable for the scope of a test.
class saved_env
{
public:
    explicit saved_env(const char* name) : name_(name)
    {
        const char* v = std::getenv(name);
        had_ = v != nullptr;
        value_ = had_ ? v : "";
        unsetenv(name);
    }
    ~saved_env()
    {
        if (had_)
            setenv(name_.c_str(), value_.c_str(), 1);
    }

private:
    std::string name_, value_;
    bool had_ = false;
};

// Whatever SDL falls back to without a display, no window driver is found, and the message is the only output.
TEST(WindowDeath, InvisibleVideoDriverIsNoWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    saved_env display("DISPLAY"), wayland("WAYLAND_DISPLAY"), runtime("XDG_RUNTIME_DIR");
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    EXPECT_EQ(GrSetDriver("sdl2"), 0);
    EXPECT_FALSE(twgr::window::running());
    EXPECT_EXIT(GrSetMode(GR_width_height_color_graphics, 640, 480, 256), testing::ExitedWithCode(1),
                "^GrSetMode: could not find suitable video driver\n$");
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
}

} // namespace
