// The event queue of the drawing thread: up to 60 events, hooks that may consume them, the reading and
// waiting functions built on draining the window thread's raw input, and the millisecond clock.
#include "window/sdl2_window.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <thread>

namespace
{

constexpr std::size_t queue_size = 60;
constexpr std::size_t hook_slots = 10;

// First in, first out, without allocation: the queue is filled on every poll.
struct event_queue {
    std::array<GrEvent, queue_size> items{};
    std::size_t head = 0, count = 0;

    bool push(const GrEvent& ev)
    {
        if (count == queue_size)
            return false;
        items[(head + count) % queue_size] = ev;
        ++count;
        return true;
    }
    bool pop(GrEvent& ev)
    {
        if (count == 0)
            return false;
        ev = items[head];
        head = (head + 1) % queue_size;
        --count;
        return true;
    }
    void clear() { head = count = 0; }
};

event_queue queue;
std::array<GrEventHookFunc, hook_slots> hooks{};

const auto process_start = std::chrono::steady_clock::now();

// A key before encoding conversion becomes a key in the user's encoding.
void finish_key(GrEvent& ev)
{
    if (ev.type != GREV_PREKEY)
        return;
    ev.type = GREV_KEY;
    if (GrGetKbSysEncoding() != GrGetKbEncoding() && ev.p2 != GRKEY_SPECIAL)
        GrRecodeEvent(&ev, GrGetKbSysEncoding(), GrGetKbEncoding());
}

bool consumed_by_hook(GrEvent& ev)
{
    for (GrEventHookFunc h : hooks)
        if (h != nullptr && h(&ev) != 0)
            return true;
    return false;
}

// The pointer the library would draw itself: on the program's paths it is only prepared, which takes
// its two colours from the palette.
void prepare_mouse()
{
    const GrContext& screen = *GrScreenContext();
    twgr::input::mouse_init(screen.gc_xmax, screen.gc_ymax);
    twgr::window::warp_pointer((screen.gc_xmax + 1) / 2, (screen.gc_ymax + 1) / 2);
    GrAllocColor(0, 0, 0);
    GrAllocColor(255, 0, 0);
}

} // namespace

int GrEventInit(void)
{
    queue.clear();
    hooks.fill(nullptr);
    if (twgr::window::mouse_present())
        prepare_mouse();
    twgr::input::ring_open();
    twgr::input::read_kb_encodings();
    return 1;
}

void GrEventUnInit(void)
{
    queue.clear();
    twgr::input::mouse_uninit();
}

void GrEventRead(GrEvent* ev)
{
    for (;;) {
        if (queue.count == 0)
            _GrReadInputs();
        if (!queue.pop(*ev)) {
            *ev = GrEvent{};
            ev->time = (int)GrMsecTime();
            return;
        }
        finish_key(*ev);
        if (!consumed_by_hook(*ev))
            return;
    }
}

void GrEventWait(GrEvent* ev)
{
    do {
        GrEventRead(ev);
    } while (ev->type == GREV_NULL);
}

void GrEventWaitKeyOrClick(GrEvent* ev)
{
    for (;;) {
        GrEventRead(ev);
        if (ev->type == GREV_KEY || (ev->type == GREV_MOUSE && ev->p1 == GRMOUSE_LB_RELEASED))
            return;
    }
}

int GrEventCheck(void)
{
    if (queue.count == 0)
        _GrReadInputs();
    return queue.count != 0 ? 1 : 0;
}

void GrEventFlush(void)
{
    twgr::input::drain_ring();
    queue.clear();
}

int GrEventEnqueue(const GrEvent* ev)
{
    GrEvent stamped = *ev;
    stamped.time = (int)GrMsecTime();
    return queue.push(stamped) ? 0 : -1;
}

int GrEventAddHook(GrEventHookFunc hook)
{
    for (GrEventHookFunc& h : hooks) {
        if (h == nullptr) {
            h = hook;
            return 1;
        }
    }
    return 0;
}

int GrEventDeleteHook(GrEventHookFunc hook)
{
    for (GrEventHookFunc& h : hooks) {
        if (h == hook && h != nullptr) {
            h = nullptr;
            return 1;
        }
    }
    return 0;
}

long GrMsecTime(void)
{
    auto since = std::chrono::steady_clock::now() - process_start;
    return (long)std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

void GrWindowSync(void)
{
    twgr::window::sync();
}

void GrWindowDeferRepaint(int defer)
{
    twgr::window::defer_repaint(defer != 0);
}

void GrWindowScreenSize(int* w, int* h)
{
    *w = 0;
    *h = 0;
    if (twgr::window::running())
        twgr::window::screen_size(*w, *h);
}

void GrSleep(int msec)
{
    if (msec > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(msec));
}
