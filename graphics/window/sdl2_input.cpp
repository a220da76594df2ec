// Input on the window thread: SDL's keyboard, text and mouse events become raw records in the ring, each
// with the keyboard state of its moment. Characters come from text input, never also from their key press.
#include "window/sdl2_window_state.h"

namespace
{

using twgr::input::raw_kind;
using twgr::input::raw_record;

// Window thread only; the state follows the event stream, not SDL's idea of the present.
struct held_keys {
    unsigned mod = KMOD_NONE;
    bool scroll = false, num = false, caps = false, insert = false;
};
held_keys held;

int kbstat()
{
    return twgr::input::kbstat_bits(held.mod, held.scroll, held.num, held.caps, held.insert);
}

void track(const SDL_KeyboardEvent& k, bool down)
{
    held.mod = k.keysym.mod;
    switch (k.keysym.scancode) {
    case SDL_SCANCODE_SCROLLLOCK:
        held.scroll = down;
        break;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        held.num = down;
        break;
    case SDL_SCANCODE_CAPSLOCK:
        held.caps = down;
        break;
    case SDL_SCANCODE_INSERT:
        held.insert = down;
        break;
    default:
        break;
    }
}

void put(raw_kind kind, int code, int x = 0, int y = 0)
{
    raw_record r;
    r.kind = kind;
    r.code = code;
    r.x = x;
    r.y = y;
    r.kbstat = kbstat();
    twgr::input::ring_put(r);
}

bool is_letter_or_digit(SDL_Keycode k)
{
    return (k >= SDLK_a && k <= SDLK_z) || (k >= SDLK_0 && k <= SDLK_9);
}

bool is_modifier(SDL_Keycode k)
{
    return (k >= SDLK_LCTRL && k <= SDLK_RGUI) || k == SDLK_CAPSLOCK || k == SDLK_NUMLOCKCLEAR ||
           k == SDLK_SCROLLLOCK || k == SDLK_MODE;
}

// Left Alt with a letter or digit is a menu key: it arrives once, as its Alt code, and its text is dropped.
void on_key_down(const SDL_KeyboardEvent& k)
{
    track(k, true);
    SDL_Keycode sym = k.keysym.sym;
    if (is_modifier(sym))
        return;
    if ((held.mod & KMOD_LALT) && is_letter_or_digit(sym))
        put(raw_kind::alt_character, (int)sym);
    else
        put(raw_kind::key_down, (int)sym);
}

void on_text(const char* text)
{
    if (held.mod & KMOD_LALT)
        return;
    for (char32_t c : twgr::input::utf8_decode(text))
        put(raw_kind::character, (int)c);
}

void on_button(const SDL_MouseButtonEvent& b, raw_kind kind)
{
    if (b.button == SDL_BUTTON_LEFT || b.button == SDL_BUTTON_MIDDLE || b.button == SDL_BUTTON_RIGHT)
        put(kind, b.button, b.x, b.y);
}

void on_wheel(const SDL_MouseWheelEvent& w)
{
    int y = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -w.y : w.y;
    if (y != 0)
        put(raw_kind::wheel, y > 0 ? 1 : -1);
}

} // namespace

void twgr::window::handle_input(const SDL_Event& ev)
{
    switch (ev.type) {
    case SDL_KEYDOWN:
        on_key_down(ev.key);
        break;
    case SDL_KEYUP:
        track(ev.key, false);
        break;
    case SDL_TEXTINPUT:
        on_text(ev.text.text);
        break;
    case SDL_MOUSEMOTION:
        put(raw_kind::mouse_move, 0, ev.motion.x, ev.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        on_button(ev.button, raw_kind::button_down);
        break;
    case SDL_MOUSEBUTTONUP:
        on_button(ev.button, raw_kind::button_up);
        break;
    case SDL_MOUSEWHEEL:
        on_wheel(ev.wheel);
        break;
    default:
        break;
    }
}
