// The window video driver "sdl2": a window run by its own thread shows the frame, whose pixel memory the
// drawing thread writes directly. Listed sizes at 8 and 24 bits per pixel, plus a spare entry that takes
// any other size that fits on the screen.
#include "core/twgr_internal.h"
#include "window/sdl2_window.h"

#include <array>
#include <new>
#include <vector>

namespace
{

std::vector<unsigned char> frame_memory;

// The window keeps a border to the screen corner unless the frame covers the whole screen.
int setup_graphics(GrVideoMode* md, int)
{
    if (!twgr::window::running())
        return 0;
    std::vector<unsigned char> fresh;
    try {
        fresh.assign((std::size_t)md->lineoffset * (std::size_t)md->height, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    int sw = 0, sh = 0;
    twgr::window::screen_size(sw, sh);
    int border = md->width == sw && md->height == sh ? 0 : 50;
    twgr::window::show_frame({fresh.data(), md->width, md->height, md->lineoffset, md->bpp}, border);
    // The old frame goes only now: until the window showed the new one it could still be painted from.
    frame_memory.swap(fresh);
    md->extinfo->frame = frame_memory.data();
    return 1;
}

int setup_text(GrVideoMode*, int)
{
    twgr::window::hide();
    std::vector<unsigned char>().swap(frame_memory);
    return 1;
}

void loadcolor(int c, int r, int g, int b)
{
    twgr::window::set_color(c, r, g, b);
}

// The frame driver comes from the frame-driver table by the mode's frame mode.
GrVideoModeExt graphics_ext(GrFrameMode mode, const unsigned char (&pos)[3])
{
    GrVideoModeExt ext{};
    ext.mode = mode;
    for (int k = 0; k < 3; ++k) {
        ext.cprec[k] = 8;
        ext.cpos[k] = pos[k];
    }
    ext.flags = twgr::mode_flag_memory;
    ext.setup = setup_graphics;
    return ext;
}

GrVideoModeExt ext_text = [] {
    GrVideoModeExt ext{};
    ext.mode = GR_frameText;
    ext.setup = setup_text;
    return ext;
}();
GrVideoModeExt ext_8 = [] {
    GrVideoModeExt ext = graphics_ext(GR_frameWIN32_8, {0, 8, 16});
    ext.loadcolor = loadcolor;
    return ext;
}();
GrVideoModeExt ext_24 = graphics_ext(GR_frameWIN32_24, {16, 8, 0});

constexpr int listed_count = 10;
constexpr std::array<std::array<short, 2>, listed_count> listed_sizes = {{{320, 240},
                                                                          {640, 480},
                                                                          {800, 600},
                                                                          {1024, 768},
                                                                          {1280, 1024},
                                                                          {1600, 1200},
                                                                          {1440, 900},
                                                                          {1680, 1050},
                                                                          {1920, 1200},
                                                                          {2560, 1600}}};
constexpr int spare = 1 + 2 * listed_count;

int round4(long long bytes)
{
    return (int)((bytes + 3) / 4 * 4);
}

GrVideoMode entry(bool present, int bpp, int w, int h, int lineoffset, GrVideoModeExt* ext)
{
    GrVideoMode m{};
    m.present = present ? 1 : 0;
    m.bpp = (unsigned char)bpp;
    m.width = (short)w;
    m.height = (short)h;
    m.lineoffset = lineoffset;
    m.extinfo = ext;
    return m;
}

// Text first, the 8-bit sizes, the same sizes at 24 bits, then the spare entry.
std::array<GrVideoMode, spare + 1> modes = [] {
    std::array<GrVideoMode, spare + 1> t{};
    t[0] = entry(true, 4, 80, 25, 160, &ext_text);
    for (int i = 0; i < listed_count; ++i) {
        auto [w, h] = listed_sizes[(std::size_t)i];
        t[(std::size_t)(1 + i)] = entry(true, 8, w, h, w, &ext_8);
        t[(std::size_t)(1 + listed_count + i)] = entry(true, 24, w, h, 3 * w, &ext_24);
    }
    t[spare] = entry(false, 8, 9999, 9999, 9999, &ext_8);
    return t;
}();

bool listed(int w, int h)
{
    for (int i = 1; i < spare; ++i)
        if (modes[(std::size_t)i].present && modes[(std::size_t)i].width == w && modes[(std::size_t)i].height == h)
            return true;
    return false;
}

GrVideoMode* select(GrVideoDriver* drv, int w, int h, int bpp, int txt, unsigned int* best)
{
    int sw = 0, sh = 0;
    twgr::window::screen_size(sw, sh);
    if (!txt && !listed(w, h) && w >= 1 && h >= 1 && w <= sw && h <= sh) {
        bool deep = bpp >= 9;
        modes[spare] = entry(true, deep ? 24 : 8, w, h, round4(deep ? 3LL * w : w), deep ? &ext_24 : &ext_8);
    }
    return _gr_selectmode(drv, w, h, bpp, txt, best);
}

int detect()
{
    return twgr::window::start() ? 1 : 0;
}

// Sizes larger than the screen are not offered.
int init(const char*)
{
    if (!detect())
        return 0;
    int sw = 0, sh = 0;
    twgr::window::screen_size(sw, sh);
    for (int i = 1; i < spare; ++i)
        modes[(std::size_t)i].present = modes[(std::size_t)i].width <= sw && modes[(std::size_t)i].height <= sh;
    modes[spare].present = 0;
    return 1;
}

void reset()
{
    twgr::window::stop();
    std::vector<unsigned char>().swap(frame_memory);
}

} // namespace

GrVideoDriver _GrDriverSDL2 = {
    .name = "sdl2",
    .adapter = GR_WIN32, // the window adapter, whatever the window system
    .inherit = nullptr,
    .modes = modes.data(),
    .nmodes = (int)modes.size(),
    .detect = detect,
    .init = init,
    .reset = reset,
    .selectmode = select,
    .drvflags = 1,
};

bool twgr::window::mouse_present()
{
    const GrVideoModeExt* ext = _GrDriverInfo.actmode.extinfo;
    return _GrDriverInfo.vdriver == &_GrDriverSDL2 && running() && ext != nullptr && ext->mode != GR_frameText;
}
