// What the window thread and the drawing thread share: requests, the marked rectangles, the palette and
// the thread's phase; everything but the atomics is guarded by the one lock.
#ifndef TWGR_SDL2_WINDOW_STATE_H
#define TWGR_SDL2_WINDOW_STATE_H

#include "window/sdl2_window.h"

#include "SDL.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace twgr::window
{

enum class request_kind { none, show, hide, warp, snapshot, sync };
struct request {
    request_kind kind = request_kind::none;
    frame_view frame;
    int border = 0;
    int x = 0, y = 0; // pointer position of a warp
};

enum class phase { stopped, starting, running, failed };

struct shared_state {
    std::mutex lock;
    std::condition_variable req_done;
    request req;   // at most one at a time, from the drawing thread
    snapshot shot; // the answer to a snapshot request
    std::vector<SDL_Rect> dirty;
    bool full_repaint = false;
    std::array<SDL_Color, 256> palette{};
    bool palette_changed = false;
    int screen_w = 0, screen_h = 0;
    std::atomic<phase> state{phase::stopped};
    std::atomic<bool> terminating{false}; // the drawing thread is stopping the window thread
    std::atomic<Uint32> window_id{0};
    std::thread thread;
    // At process end the window thread is stopped too, should the video driver not have been closed.
    ~shared_state();
};

shared_state& shared();

// Window thread only.
void run_window_thread();
void handle_input(const SDL_Event& ev);

} // namespace twgr::window

#endif // TWGR_SDL2_WINDOW_STATE_H
