// The window platform layer of twgr on SDL2: the window thread, which owns every SDL call, what the drawing
// thread may ask of it, and the raw input ring between the two threads.
#ifndef TWGR_SDL2_WINDOW_H
#define TWGR_SDL2_WINDOW_H

#include "twgr.h"

#include <cstdint>
#include <string>
#include <vector>

extern GrVideoDriver _GrDriverSDL2;

// Drains the raw input ring into the event queue; returns the number of events made (after a 1 ms sleep
// when there were none, so that waiting loops poll gently).
int _GrReadInputs(void);

namespace twgr::window
{

// Starts the window thread unless it runs; false when SDL offers no real video driver (the thread is then
// gone again and SDL shut down).
bool start();
// Stops the window thread and waits for it to end.
void stop();
bool running();
// Size of the desktop, as the window thread found it at start.
void screen_size(int& w, int& h);

// A frame the window shows: top-down rows of pitch bytes, 8 bits (palette) or 24 bits (blue byte first).
struct frame_view {
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, pitch = 0, bpp = 8;
};
// Sizes the window to the frame, places it border pixels from the screen corner, shows and fills it; the
// palette starts black. Returns when the window thread has done it.
void show_frame(const frame_view& f, int border);
// Hides the window; when it returns, the window thread no longer reads the frame.
void hide();
// Palette entry of an 8-bit frame; the whole window is repainted.
void set_color(int index, int r, int g, int b);
// Marks a rectangle of the frame as changed; the window thread repaints it soon.
void invalidate(int x, int y, int w, int h);
// While deferred, invalidate only notes that something changed; ending it marks the whole frame once if so.
void defer_repaint(bool defer);
// Returns once the window thread has painted every rectangle marked so far.
void sync();
void warp_pointer(int x, int y);
// True while a graphics mode of the window driver is up: the window then has a pointer.
bool mouse_present();

// ---- seams for tests ----

// Also accept SDL's invisible drivers ("dummy", "offscreen"), so that the window can be driven without a display.
void allow_virtual_video(bool allow);

enum class close_answer { yes, no, unavailable };
struct close_seam {
    close_answer (*ask)();
    void (*abort)();
};
// Replaces how the close button asks and how it ends the process; returns the previous pair.
close_seam set_close_seam(close_seam s);
// The default ending: flush the output streams, then end at once with status 1 (no static destructors).
[[noreturn]] void abort_process();

struct snapshot {
    int width = 0, height = 0;
    bool visible = false;
    std::string title;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB per pixel of the window surface, rows top-down
};
// What the window shows once every pending change has been painted.
snapshot take_snapshot();
// SDL id of the window, for events a test pushes.
std::uint32_t window_id();

} // namespace twgr::window

namespace twgr::input
{

// Raw input as the window thread records it; the drawing thread turns it into events.
enum class raw_kind { key_down, character, alt_character, mouse_move, button_down, button_up, wheel, resize };
struct raw_record {
    raw_kind kind = raw_kind::key_down;
    int code = 0;     // key: SDL key code; character: Unicode; button: 1 left, 2 middle, 3 right; wheel: +1 or -1
    int x = 0, y = 0; // pointer position; resize: the window's new inner size
    int kbstat = 0;
};

inline constexpr int ring_size = 40;
// Empties the ring (it is made on first use and lives to the end of the process).
void ring_open();
// Appends a record; a full ring loses its oldest record. A move right after a move replaces it: only the
// latest position matters, and a pointer swept across the window must not push clicks and keys out of the ring.
void ring_put(const raw_record& r);
bool ring_take(raw_record& r);

// Turns every record in the ring into events; returns their number.
int drain_ring();

// Pointer state of the drawing thread: limits 0..xmax, 0..ymax, position at the centre.
void mouse_init(int xmax, int ymax);
void mouse_uninit();

// The system encoding from "TWGRKBSYSENCODING" (CP1252 without it) and the user encoding that follows it.
void read_kb_encodings();

// kbstat bits from SDL's modifier state and the lock and insert keys held.
int kbstat_bits(unsigned sdl_mod, bool scroll, bool num, bool caps, bool insert);

// The characters of a UTF-8 text, invalid sequences skipped.
std::vector<char32_t> utf8_decode(const char* text);
// The code of a Unicode character in a keyboard encoding as it fills a key event: bytes in cp1 and their
// count in p2. False when the encoding has no such character.
bool encode_char(char32_t c, int enc, GrEvent& ev);
// The Unicode character of a key event in an encoding; false when its code means nothing there.
bool decode_char(const GrEvent& ev, int enc, char32_t& c);

} // namespace twgr::input

#endif // TWGR_SDL2_WINDOW_H
