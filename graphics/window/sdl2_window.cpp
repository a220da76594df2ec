// The window thread: it alone calls SDL. It shows the drawing thread's frame by wrapping the frame's pixel
// memory in an SDL surface, repaints the rectangles the drawing thread marks, records input in the raw ring
// and guards the close button.
#include "window/sdl2_window.h"
#include "window/sdl2_window_state.h"

#include "SDL.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace twgr::window
{

shared_state& shared()
{
    static shared_state s;
    return s;
}

} // namespace twgr::window

namespace
{

using namespace twgr::window;

std::atomic<bool> accept_virtual{false};

close_answer ask_with_box();
// Set by the drawing thread (tests), read by the window thread.
std::atomic<close_answer (*)()> seam_ask{ask_with_box};
std::atomic<void (*)()> seam_abort{abort_process};

// Window-thread state: only the window thread touches it.
struct window_thread_state {
    SDL_Window* window = nullptr;
    SDL_Surface* frame = nullptr; // wraps the drawing thread's pixels, no copy
    bool shown = false;
};
window_thread_state wt;

bool is_real_driver(const char* name)
{
    if (name == nullptr)
        return false;
    for (const char* real : {"x11", "wayland", "windows", "cocoa"})
        if (std::strcmp(name, real) == 0)
            return true;
    return accept_virtual && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "offscreen") == 0);
}

close_answer ask_with_box()
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_WARNING | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = wt.window;
    box.title = "Abort";
    box.message = "This will abort the program\nare you sure?";
    box.numbuttons = 2;
    box.buttons = buttons;
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0)
        return close_answer::unavailable;
    return chosen == 1 ? close_answer::yes : close_answer::no;
}

// A window that can never be closed is worse than one closed without asking.
void on_close_button()
{
    if (shared().terminating)
        return;
    close_answer a = seam_ask.load()();
    // The drawing thread may have begun to close the window while the question was open: then it ends.
    if (a == close_answer::no || shared().terminating)
        return;
    if (a == close_answer::unavailable)
        std::fprintf(stderr, "TWGR: cannot ask whether to abort (%s); aborting\n", SDL_GetError());
    seam_abort.load()();
}

void blit(const std::vector<SDL_Rect>& rects)
{
    SDL_Surface* target = SDL_GetWindowSurface(wt.window);
    if (target == nullptr)
        return;
    std::vector<SDL_Rect> done;
    for (SDL_Rect r : rects) {
        SDL_Rect bounds{0, 0, wt.frame->w, wt.frame->h};
        if (!SDL_IntersectRect(&r, &bounds, &r))
            continue;
        SDL_Rect to = r;
        SDL_BlitSurface(wt.frame, &r, target, &to);
        done.push_back(r);
    }
    if (!done.empty())
        SDL_UpdateWindowSurfaceRects(wt.window, done.data(), (int)done.size());
}

// Paints what the drawing thread marked since the last time.
void repaint()
{
    shared_state& s = shared();
    std::vector<SDL_Rect> rects;
    std::array<SDL_Color, 256> colors{};
    bool colors_changed = false, full = false;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        rects.swap(s.dirty);
        full = s.full_repaint;
        s.full_repaint = false;
        colors_changed = s.palette_changed;
        s.palette_changed = false;
        colors = s.palette;
    }
    if (wt.frame == nullptr || !wt.shown)
        return;
    if (colors_changed && wt.frame->format->palette != nullptr)
        SDL_SetPaletteColors(wt.frame->format->palette, colors.data(), 0, 256);
    if (full) {
        rects.assign(1, SDL_Rect{0, 0, wt.frame->w, wt.frame->h});
        // A window the user made larger than the frame shows black beside it until the page is laid out again.
        SDL_Surface* target = SDL_GetWindowSurface(wt.window);
        if (target != nullptr && (target->w != wt.frame->w || target->h != wt.frame->h)) {
            SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
            SDL_UpdateWindowSurface(wt.window);
        }
    }
    blit(rects);
}

void drop_frame()
{
    if (wt.frame != nullptr)
        SDL_FreeSurface(wt.frame);
    wt.frame = nullptr;
}

void do_show(const frame_view& f, int border)
{
    drop_frame();
    Uint32 format = f.bpp == 8 ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_BGR24;
    wt.frame = SDL_CreateRGBSurfaceWithFormatFrom(f.pixels, f.width, f.height, f.bpp, f.pitch, format);
    {
        shared_state& s = shared();
        std::lock_guard<std::mutex> hold(s.lock);
        s.palette.fill(SDL_Color{0, 0, 0, 255});
        s.palette_changed = true;
        s.full_repaint = true;
        s.dirty.clear();
    }
    // A frame made for the size the user gave the window keeps the window where the user put it.
    int w = 0, h = 0;
    SDL_GetWindowSize(wt.window, &w, &h);
    if (!wt.shown || w != f.width || h != f.height) {
        SDL_SetWindowSize(wt.window, f.width, f.height);
        SDL_SetWindowPosition(wt.window, border, border);
    }
    SDL_ShowWindow(wt.window);
    wt.shown = true;
    if (SDL_Surface* target = SDL_GetWindowSurface(wt.window)) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        SDL_UpdateWindowSurface(wt.window);
    }
    repaint();
    SDL_RaiseWindow(wt.window);
}

void do_hide()
{
    SDL_HideWindow(wt.window);
    wt.shown = false;
    drop_frame();
}

snapshot do_snapshot()
{
    repaint();
    snapshot shot;
    shot.visible = (SDL_GetWindowFlags(wt.window) & SDL_WINDOW_SHOWN) != 0;
    shot.title = SDL_GetWindowTitle(wt.window);
    SDL_Surface* target = SDL_GetWindowSurface(wt.window);
    SDL_Surface* rgb = target != nullptr ? SDL_ConvertSurfaceFormat(target, SDL_PIXELFORMAT_RGB888, 0) : nullptr;
    if (rgb == nullptr)
        return shot;
    shot.width = rgb->w;
    shot.height = rgb->h;
    shot.rgb.resize((std::size_t)rgb->w * rgb->h);
    for (int y = 0; y < rgb->h; ++y)
        std::memcpy(&shot.rgb[(std::size_t)y * rgb->w], static_cast<unsigned char*>(rgb->pixels) + y * rgb->pitch,
                    (std::size_t)rgb->w * 4);
    SDL_FreeSurface(rgb);
    for (std::uint32_t& p : shot.rgb)
        p &= 0xFFFFFF;
    return shot;
}

// True when there was a request.
bool serve_request()
{
    shared_state& s = shared();
    std::unique_lock<std::mutex> hold(s.lock);
    if (s.req.kind == request_kind::none)
        return false;
    request r = s.req;
    hold.unlock();
    if (r.kind == request_kind::show)
        do_show(r.frame, r.border);
    else if (r.kind == request_kind::hide)
        do_hide();
    else if (r.kind == request_kind::warp)
        SDL_WarpMouseInWindow(wt.window, r.x, r.y);
    else if (r.kind == request_kind::sync)
        repaint();
    snapshot shot = r.kind == request_kind::snapshot ? do_snapshot() : snapshot{};
    hold.lock();
    s.shot = std::move(shot);
    s.req.kind = request_kind::none;
    s.req_done.notify_all();
    return true;
}

// One pass of the window thread's loop: take the input there is, serve requests and repaint, then rest
// briefly. SDL is only ever polled, never waited on: while a thread waits in SDL on X11, every event SDL
// queues makes it send the waiting window a wake-up message through a second connection to the server. The
// server may take that message after the window's destruction, which comes through the first connection,
// and the error it then reports ends the process. Polling sends no such message, and looking every few
// milliseconds costs nothing noticeable.
constexpr auto rest = std::chrono::milliseconds(2);

void mark_all()
{
    std::lock_guard<std::mutex> hold(shared().lock);
    shared().full_repaint = true;
}

void put_raw(twgr::input::raw_kind kind, int x, int y)
{
    twgr::input::raw_record r;
    r.kind = kind;
    r.x = x;
    r.y = y;
    twgr::input::ring_put(r);
}

void handle_event(const SDL_Event& ev)
{
    if (ev.type != SDL_WINDOWEVENT) {
        handle_input(ev);
        return;
    }
    switch (ev.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        on_close_button();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The program may lay its page out anew at the new size; until then the old frame is shown.
        if (wt.shown)
            put_raw(twgr::input::raw_kind::resize, ev.window.data1, ev.window.data2);
        mark_all();
        break;
    case SDL_WINDOWEVENT_LEAVE:
        // The pointer is then over no pixel of the page.
        put_raw(twgr::input::raw_kind::mouse_move, -1, -1);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED: {
        std::lock_guard<std::mutex> hold(shared().lock);
        shared().full_repaint = true;
        break;
    }
    default:
        break;
    }
}

void loop_step()
{
    SDL_Event ev;
    bool busy = false;
    while (SDL_PollEvent(&ev) != 0) {
        handle_event(ev);
        busy = true;
    }
    busy = serve_request() || busy;
    repaint();
    if (!busy)
        std::this_thread::sleep_for(rest);
}

bool open_window()
{
    wt = window_thread_state{};
    wt.window = SDL_CreateWindow("TWGR", 0, 0, 640, 480, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (wt.window == nullptr)
        return false;
    shared().window_id = SDL_GetWindowID(wt.window);
    // The pointer is hidden over the window and shown elsewhere.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StartTextInput();
    return true;
}

void close_window()
{
    drop_frame();
    shared().window_id = 0;
    if (wt.window != nullptr)
        SDL_DestroyWindow(wt.window);
    wt = window_thread_state{};
}

// SDL comes up on this thread; without a real video driver it silently picks an invisible one, which
// counts as failure here so that the caller can fall back or report.
// On Linux a window needs an X server or a Wayland compositor, and without any of their variables there is
// none: asking SDL would only make it probe every driver (with noise on standard error) to settle on an
// invisible one.
bool no_display_possible()
{
#ifdef __linux__
    return !accept_virtual && std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
           std::getenv("XDG_RUNTIME_DIR") == nullptr;
#else
    return false;
#endif
}

bool bring_up_sdl()
{
    if (no_display_possible())
        return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Every click is recorded: SDL would otherwise drop one that comes within a few milliseconds of the window
    // gaining the focus, as it does when shown, taking it for the click that focused it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Otherwise the window surface goes through GL, several times slower under a virtual X server.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_DisplayMode desktop{};
    if (!is_real_driver(SDL_GetCurrentVideoDriver()) || SDL_GetDesktopDisplayMode(0, &desktop) != 0 || !open_window()) {
        SDL_Quit();
        return false;
    }
    std::lock_guard<std::mutex> hold(shared().lock);
    shared().screen_w = desktop.w;
    shared().screen_h = desktop.h;
    return true;
}

} // namespace

namespace twgr::window
{

void run_window_thread()
{
    shared_state& s = shared();
    if (!bring_up_sdl()) {
        s.state = phase::failed;
        return;
    }
    s.state = phase::running;
    while (!s.terminating)
        loop_step();
    close_window();
    SDL_Quit();
    s.state = phase::stopped;
}

void allow_virtual_video(bool allow)
{
    accept_virtual = allow;
}

close_seam set_close_seam(close_seam s)
{
    close_seam old{seam_ask.exchange(s.ask), seam_abort.exchange(s.abort)};
    return old;
}

[[noreturn]] void abort_process()
{
    std::fflush(nullptr);
    std::_Exit(1);
}

std::uint32_t window_id()
{
    return shared().window_id;
}

} // namespace twgr::window
