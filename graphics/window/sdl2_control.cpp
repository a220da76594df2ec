// The drawing thread's side of the window: starting and stopping the window thread, requests it waits
// for, and the marks and palette changes it only hands over.
#include "window/sdl2_window_state.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace
{

using namespace twgr::window;

// Drawing thread only: repaint deferred, and whether anything was drawn meanwhile.
bool deferring = false;
bool changed_while_deferred = false;

// Enough separate rectangles for a few primitives; beyond that one box covers them all.
constexpr std::size_t max_rects = 16;

void nap()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Touching or overlapping: the union then paints nothing twice that was not marked.
bool touches(const SDL_Rect& a, const SDL_Rect& b)
{
    return a.x <= b.x + b.w && b.x <= a.x + a.w && a.y <= b.y + b.h && b.y <= a.y + a.h;
}

SDL_Rect unite(const SDL_Rect& a, const SDL_Rect& b)
{
    int x1 = std::min(a.x, b.x), y1 = std::min(a.y, b.y);
    int x2 = std::max(a.x + a.w, b.x + b.w), y2 = std::max(a.y + a.h, b.y + b.h);
    return SDL_Rect{x1, y1, x2 - x1, y2 - y1};
}

void add_rect(std::vector<SDL_Rect>& list, const SDL_Rect& r)
{
    for (SDL_Rect& e : list) {
        if (touches(e, r)) {
            e = unite(e, r);
            return;
        }
    }
    if (list.size() < max_rects) {
        list.push_back(r);
        return;
    }
    SDL_Rect all = r;
    for (const SDL_Rect& e : list)
        all = unite(all, e);
    list.assign(1, all);
}

// Hands a request to the window thread and waits until it has been served.
void send(const request& r)
{
    shared_state& s = shared();
    if (s.state != phase::running)
        return;
    std::unique_lock<std::mutex> hold(s.lock);
    s.req = r;
    while (s.req.kind != request_kind::none && s.state == phase::running)
        s.req_done.wait_for(hold, std::chrono::milliseconds(10));
    s.req.kind = request_kind::none;
}

} // namespace

namespace twgr::window
{

bool start()
{
    shared_state& s = shared();
    if (s.state == phase::running)
        return true;
    if (s.thread.joinable())
        s.thread.join();
    s.terminating = false;
    s.state = phase::starting;
    s.thread = std::thread(run_window_thread);
    while (s.state == phase::starting)
        nap();
    if (s.state == phase::running)
        return true;
    s.thread.join();
    s.state = phase::stopped;
    return false;
}

namespace
{

void stop_thread(shared_state& s)
{
    if (!s.thread.joinable())
        return;
    // Xlib ends the process from the window thread on a lost connection: it cannot wait for itself.
    if (s.thread.get_id() == std::this_thread::get_id()) {
        s.thread.detach();
        return;
    }
    s.terminating = true;
    while (s.state == phase::running)
        nap();
    s.thread.join();
    s.state = phase::stopped;
    s.terminating = false;
}

} // namespace

shared_state::~shared_state()
{
    stop_thread(*this);
}

void stop()
{
    stop_thread(shared());
}

bool running()
{
    return shared().state == phase::running;
}

void screen_size(int& w, int& h)
{
    std::lock_guard<std::mutex> hold(shared().lock);
    w = shared().screen_w;
    h = shared().screen_h;
}

void show_frame(const frame_view& f, int border)
{
    request r;
    r.kind = request_kind::show;
    r.frame = f;
    r.border = border;
    send(r);
}

void hide()
{
    request r;
    r.kind = request_kind::hide;
    send(r);
}

void warp_pointer(int x, int y)
{
    request r;
    r.kind = request_kind::warp;
    r.x = x;
    r.y = y;
    send(r);
}

void sync()
{
    request r;
    r.kind = request_kind::sync;
    send(r);
}

snapshot take_snapshot()
{
    request r;
    r.kind = request_kind::snapshot;
    send(r);
    std::lock_guard<std::mutex> hold(shared().lock);
    return std::move(shared().shot);
}

void set_color(int index, int r, int g, int b)
{
    if (index < 0 || index > 255)
        return;
    shared_state& s = shared();
    {
        std::lock_guard<std::mutex> hold(s.lock);
        s.palette[(std::size_t)index] = SDL_Color{(Uint8)r, (Uint8)g, (Uint8)b, 255};
        s.palette_changed = true;
        s.full_repaint = true;
    }
}

void defer_repaint(bool defer)
{
    deferring = defer;
    if (defer || !changed_while_deferred)
        return;
    changed_while_deferred = false;
    shared_state& s = shared();
    std::lock_guard<std::mutex> hold(s.lock);
    s.full_repaint = true;
    s.dirty.clear();
}

void invalidate(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    if (deferring) {
        changed_while_deferred = true;
        return;
    }
    shared_state& s = shared();
    {
        std::lock_guard<std::mutex> hold(s.lock);
        if (!s.full_repaint)
            add_rect(s.dirty, SDL_Rect{x, y, w, h});
    }
}

} // namespace twgr::window
