// Raw input between the threads: the locked ring of 40 records the window thread fills, and its draining
// on the drawing thread into key and mouse events with the PC key codes programs expect.
#include "window/sdl2_window.h"

#include "SDL.h"

#include <array>
#include <chrono>
#include <mutex>
#include <thread>

namespace
{

using twgr::input::raw_kind;
using twgr::input::raw_record;

struct raw_ring {
    std::array<raw_record, twgr::input::ring_size> items{};
    std::size_t write = 0, read = 0, count = 0;
    bool open = false; // records are kept only once events are initialised
};

std::mutex ring_lock;
raw_ring ring;

struct mouse_state {
    bool initialised = false;
    int xmax = 0, ymax = 0;
    int x = 0, y = 0;
    int buttons = 0; // GRMOUSE_..._STATUS bits
    int gen_mmove = GR_GEN_MMOVE_NEVER;
};
mouse_state mouse;

// Codes of a special key by modifier, alt taking precedence over control over shift; 0 gives no event.
struct special_key {
    SDL_Keycode key;
    int plain, shift, ctrl, alt;
};
constexpr special_key special_keys[] = {
    {SDLK_PAGEUP, 0x149, 0x1BA, 0x184, 0x1C6}, {SDLK_PAGEDOWN, 0x151, 0x1BB, 0x176, 0x1C7},
    {SDLK_END, 0x14F, 0x1B9, 0x175, 0x1C5},    {SDLK_HOME, 0x147, 0x1B8, 0x177, 0x1C4},
    {SDLK_LEFT, 0x14B, 0x1CB, 0x173, 0x1BD},   {SDLK_UP, 0x148, 0x1C8, 0x18D, 0x1BC},
    {SDLK_RIGHT, 0x14D, 0x1CA, 0x174, 0x1C0},  {SDLK_DOWN, 0x150, 0x1C9, 0x191, 0x1C1},
    {SDLK_INSERT, 0x152, 0x1B7, 0x192, 0x1C2}, {SDLK_DELETE, 0x153, 0, 0x193, 0x1C3},
    {SDLK_F11, 0x185, 0x187, 0x189, 0x18B},    {SDLK_F12, 0x186, 0x188, 0x18A, 0x18C},
};

constexpr std::array<int, 26> alt_letters = {0x11E, 0x130, 0x12E, 0x120, 0x112, 0x121, 0x122, 0x123, 0x117,
                                             0x124, 0x125, 0x126, 0x132, 0x131, 0x118, 0x119, 0x110, 0x113,
                                             0x11F, 0x114, 0x116, 0x12F, 0x111, 0x12D, 0x115, 0x12C};
constexpr std::array<int, 10> alt_digits = {0x181, 0x178, 0x179, 0x17A, 0x17B, 0x17C, 0x17D, 0x17E, 0x17F, 0x180};

int by_modifier(const special_key& k, int kbstat)
{
    if (kbstat & GRKBS_ALT)
        return k.alt;
    if (kbstat & GRKBS_CTRL)
        return k.ctrl;
    if (kbstat & (GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT))
        return k.shift;
    return k.plain;
}

// The special key code of a key, 0 when it has none in this modifier state; false when it is no special key.
bool special_code(SDL_Keycode key, int kbstat, int& code)
{
    if (key >= SDLK_F1 && key <= SDLK_F10) {
        int i = (int)(key - SDLK_F1);
        special_key f{key, 0x13B + i, 0x154 + i, 0x15E + i, 0x168 + i};
        code = by_modifier(f, kbstat);
        return true;
    }
    for (const special_key& k : special_keys) {
        if (k.key == key) {
            code = by_modifier(k, kbstat);
            return true;
        }
    }
    return false;
}

// Keys whose character comes with the key press rather than as text: editing keys and control letters.
int control_char(SDL_Keycode key, int kbstat)
{
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        break;
    }
    if ((kbstat & GRKBS_CTRL) && key >= SDLK_a && key <= SDLK_z)
        return (int)(key - SDLK_a) + 1;
    return 0;
}

GrEvent key_event(int code, int p2, int kbstat)
{
    GrEvent ev{};
    ev.type = GREV_PREKEY;
    ev.kbstat = kbstat;
    ev.p1 = code;
    ev.p2 = p2;
    return ev;
}

int queue_key(const raw_record& r)
{
    int code = 0;
    if (special_code(r.code, r.kbstat, code)) {
        if (code == 0)
            return 0;
        GrEvent ev = key_event(code, GRKEY_SPECIAL, r.kbstat);
        return GrEventEnqueue(&ev) == 0 ? 1 : 0;
    }
    code = control_char(r.code, r.kbstat);
    if (code == 0)
        return 0;
    GrEvent ev = key_event(code, GRKEY_CHARACTER, r.kbstat);
    return GrEventEnqueue(&ev) == 0 ? 1 : 0;
}

// A typed character arrives in the system encoding; one it cannot hold becomes '?'.
int queue_character(const raw_record& r)
{
    GrEvent ev = key_event(0, GRKEY_CHARACTER, r.kbstat);
    if (!twgr::input::encode_char((char32_t)r.code, GrGetKbSysEncoding(), ev))
        twgr::input::encode_char(U'?', GrGetKbSysEncoding(), ev);
    return GrEventEnqueue(&ev) == 0 ? 1 : 0;
}

int queue_alt_character(const raw_record& r)
{
    int code = 0;
    if (r.code >= 'a' && r.code <= 'z')
        code = alt_letters[(std::size_t)(r.code - 'a')];
    else if (r.code >= 'A' && r.code <= 'Z')
        code = alt_letters[(std::size_t)(r.code - 'A')];
    else if (r.code >= '0' && r.code <= '9')
        code = alt_digits[(std::size_t)(r.code - '0')];
    if (code == 0)
        return 0;
    GrEvent ev = key_event(code, GRKEY_SPECIAL, r.kbstat);
    return GrEventEnqueue(&ev) == 0 ? 1 : 0;
}

int queue_mouse(int type, int p1, int kbstat)
{
    GrEvent ev{};
    ev.type = type;
    ev.kbstat = kbstat;
    ev.p1 = p1;
    ev.p2 = mouse.x;
    ev.p3 = mouse.y;
    return GrEventEnqueue(&ev) == 0 ? 1 : 0;
}

// Button 1 left, 2 middle, 3 right: their pressed codes and their bits in the held state.
constexpr int button_bit[4] = {0, GRMOUSE_LB_STATUS, GRMOUSE_MB_STATUS, GRMOUSE_RB_STATUS};

int queue_button(const raw_record& r, bool down)
{
    if (r.code < 1 || r.code > 3)
        return 0;
    if (down)
        mouse.buttons |= button_bit[r.code];
    else
        mouse.buttons &= ~button_bit[r.code];
    return queue_mouse(GREV_MOUSE, r.code + (down ? 0 : 3), r.kbstat);
}

int queue_move(const raw_record& r)
{
    mouse.x = r.x;
    mouse.y = r.y;
    bool wanted =
        mouse.gen_mmove == GR_GEN_MMOVE_ALWAYS || (mouse.gen_mmove == GR_GEN_MMOVE_IFBUT && mouse.buttons != 0);
    return wanted ? queue_mouse(GREV_MMOVE, mouse.buttons, r.kbstat) : 0;
}

int translate(const raw_record& r)
{
    switch (r.kind) {
    case raw_kind::key_down:
        return queue_key(r);
    case raw_kind::character:
        return queue_character(r);
    case raw_kind::alt_character:
        return queue_alt_character(r);
    case raw_kind::mouse_move:
        return queue_move(r);
    case raw_kind::button_down:
    case raw_kind::button_up:
        return queue_button(r, r.kind == raw_kind::button_down);
    case raw_kind::resize: {
        GrEvent ev{};
        ev.type = GREV_RESIZE;
        ev.kbstat = r.kbstat;
        ev.p2 = r.x;
        ev.p3 = r.y;
        return GrEventEnqueue(&ev) == 0 ? 1 : 0;
    }
    case raw_kind::wheel: {
        int pressed = r.code > 0 ? GRMOUSE_B4_PRESSED : GRMOUSE_B5_PRESSED;
        return queue_mouse(GREV_MOUSE, pressed, r.kbstat) + queue_mouse(GREV_MOUSE, pressed + 1, r.kbstat);
    }
    }
    return 0;
}

} // namespace

void GrEventGenMmove(int when)
{
    mouse.gen_mmove = when;
}

int _GrReadInputs(void)
{
    int made = twgr::input::drain_ring();
    if (made == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return made;
}

namespace twgr::input
{

void ring_open()
{
    std::lock_guard<std::mutex> hold(ring_lock);
    ring.write = ring.read = ring.count = 0;
    ring.open = true;
}

void ring_put(const raw_record& r)
{
    std::lock_guard<std::mutex> hold(ring_lock);
    if (!ring.open)
        return;
    if (r.kind == raw_kind::mouse_move && ring.count > 0) {
        raw_record& newest = ring.items[(ring.write + ring_size - 1) % ring_size];
        if (newest.kind == raw_kind::mouse_move) {
            newest = r;
            return;
        }
    }
    ring.items[ring.write] = r;
    ring.write = (ring.write + 1) % ring_size;
    if (ring.count == ring_size)
        ring.read = ring.write; // the oldest record was just overwritten
    else
        ++ring.count;
}

bool ring_take(raw_record& r)
{
    std::lock_guard<std::mutex> hold(ring_lock);
    if (ring.count == 0)
        return false;
    r = ring.items[ring.read];
    ring.read = (ring.read + 1) % ring_size;
    --ring.count;
    return true;
}

int drain_ring()
{
    int made = 0;
    raw_record r;
    while (ring_take(r))
        made += translate(r);
    return made;
}

void mouse_init(int xmax, int ymax)
{
    mouse.xmax = xmax;
    mouse.ymax = ymax;
    mouse.x = (xmax + 1) / 2;
    mouse.y = (ymax + 1) / 2;
    mouse.buttons = 0;
    mouse.initialised = true;
}

void mouse_uninit()
{
    mouse.initialised = false;
}

int kbstat_bits(unsigned sdl_mod, bool scroll, bool num, bool caps, bool insert)
{
    int bits = 0;
    if (sdl_mod & KMOD_SHIFT)
        bits |= GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT;
    if (sdl_mod & KMOD_CTRL)
        bits |= GRKBS_CTRL;
    if (sdl_mod & KMOD_ALT)
        bits |= GRKBS_ALT;
    bits |= (scroll ? GRKBS_SCROLLOCK : 0) | (num ? GRKBS_NUMLOCK : 0);
    bits |= (caps ? GRKBS_CAPSLOCK : 0) | (insert ? GRKBS_INSERT : 0);
    return bits;
}

} // namespace twgr::input
