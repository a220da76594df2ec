// Setting a video mode: the request per mode kind, the best-mode search, bringing the mode up and
// building the screen context and colour table over its frame.
#include "core/twgr_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

struct request {
    int w = 0, h = 0, bpp = 0;
    bool text = false;
    bool noclear = false;
};

// Bits per pixel for a colour count: the smallest n with colours <= 2^n.
int bits_for_colors(GrColor colors)
{
    if (colors == 0)
        return 0;
    if (colors <= 2)
        return 1;
    for (int n = 2; n < 32; ++n)
        if (colors <= (1ULL << n))
            return n;
    return 32;
}

bool read_request(GrGraphicsMode which, va_list ap, request& rq)
{
    const _GR_driverInfo& di = _GrDriverInfo;
    if (which < GR_default_text || which > GR_NC_custom_bpp_graphics)
        return false;
    rq.noclear =
        (which >= GR_NC_default_text && which <= GR_NC_custom_graphics) || which >= GR_NC_width_height_bpp_graphics;
    int kind = which >= GR_NC_default_text && which <= GR_NC_custom_graphics ? which - GR_NC_default_text : which;
    switch (kind) {
    case GR_default_text:
        rq = {di.deftw, di.defth, bits_for_colors(di.deftc), true, rq.noclear};
        break;
    case GR_320_200_graphics:
        rq = {320, 200, bits_for_colors(di.defgc), false, rq.noclear};
        break;
    case GR_default_graphics:
        rq = {di.defgw, di.defgh, bits_for_colors(di.defgc), false, rq.noclear};
        break;
    case GR_biggest_graphics:
        rq = {di.biggw, di.biggh, 32, false, rq.noclear};
        break;
    default:
        // Kinds that take a width and a height, then colours or bits per pixel; a virtual size is ignored.
        rq.w = va_arg(ap, int);
        rq.h = va_arg(ap, int);
        if (kind == GR_width_height_graphics)
            rq.bpp = bits_for_colors(di.defgc);
        else if (kind == GR_width_height_color_graphics || kind == GR_custom_graphics)
            rq.bpp = bits_for_colors(va_arg(ap, GrColor));
        else
            rq.bpp = va_arg(ap, int);
    }
    return true;
}

const _GR_frameDriver* frame_driver_of(const GrVideoMode& md)
{
    if (md.extinfo->drv != nullptr)
        return md.extinfo->drv;
    for (int i = 0; _GrFrameDriverTable[i] != nullptr; ++i)
        if (_GrFrameDriverTable[i]->mode == md.extinfo->mode)
            return _GrFrameDriverTable[i];
    return nullptr;
}

bool build_screen(const GrVideoMode& md, const _GR_frameDriver& fd, GrContext& ctx)
{
    std::memset(static_cast<void*>(&ctx), 0, sizeof ctx);
    long long plane = (long long)md.lineoffset * md.height;
    if (plane > fd.max_plane_size || md.lineoffset % fd.row_align != 0)
        return false;
    if ((md.extinfo->flags & twgr::mode_flag_memory) == 0 && md.extinfo->setbank == nullptr && plane > 65536)
        return false;
    for (int i = 0; i < 4; ++i)
        ctx.gc_frame.gf_baseaddr[i] = md.extinfo->frame + (fd.num_planes == 4 ? i * plane : 0);
    ctx.gc_frame.gf_onscreen = 1;
    ctx.gc_frame.gf_lineoffset = md.lineoffset;
    ctx.gc_frame.gf_driver = &_GrDriverInfo.sdriver;
    ctx.gc_xmax = ctx.gc_xcliphi = md.width - 1;
    ctx.gc_ymax = ctx.gc_ycliphi = md.height - 1;
    return true;
}

// Brings up a mode; a graphics mode also gets its frame driver and screen context. False marks it unusable.
bool bring_up(GrVideoMode* md, const request& rq, GrContext& screen, _GR_frameDriver& fd)
{
    if (rq.text) {
        if (md->extinfo->setup != nullptr && md->extinfo->setup(md, rq.noclear) == 0)
            return false;
        std::memset(static_cast<void*>(&screen), 0, sizeof screen);
        fd = twgr::placeholder_driver();
        return true;
    }
    const _GR_frameDriver* d = frame_driver_of(*md);
    if (d == nullptr || md->extinfo->setup == nullptr || md->extinfo->setup(md, rq.noclear) == 0)
        return false;
    fd = *d;
    return build_screen(*md, fd, screen);
}

void make_current(GrGraphicsMode which, GrVideoMode* md, const GrContext& screen, const _GR_frameDriver& fd)
{
    _GR_driverInfo& di = _GrDriverInfo;
    di.curmode = md;
    di.actmode = *md;
    di.sdriver = fd;
    di.fdriver = fd;
    twgr::context_info.screen = screen;
    twgr::context_info.current = screen;
    di.mcode = which;
    di.vposx = di.vposy = 0;
    di.setbank = md->extinfo->setbank;
    di.setrwbanks = md->extinfo->setrwbanks;
}

// Prints "GrSetMode: <text>" after closing the video driver and exits with status 1.
[[noreturn]] void setmode_fatal(const char* text)
{
    _GrDriverInfo.moderestore = 1;
    _GrCloseVideoDriver();
    std::fprintf(stderr, "GrSetMode: %s\n", text);
    std::exit(1);
}

} // namespace

int GrSetMode(int kind, ...)
{
    if (_GrDriverInfo.vdriver == nullptr)
        GrSetDriver(nullptr);
    GrVideoDriver* drv = _GrDriverInfo.vdriver;
    if (drv == nullptr)
        setmode_fatal("could not find suitable video driver");
    request rq;
    va_list ap;
    va_start(ap, kind);
    bool known = kind >= GR_default_text && kind <= GR_NC_custom_bpp_graphics;
    GrGraphicsMode which = known ? (GrGraphicsMode)kind : GR_unknown_mode;
    known = known && read_request(which, ap, rq);
    va_end(ap);
    if (!known)
        setmode_fatal("unknown video mode");
    GrContext screen;
    _GR_frameDriver fd;
    for (;;) {
        GrVideoMode* md = drv->selectmode(drv, rq.w, rq.h, rq.bpp, rq.text ? 1 : 0, nullptr);
        if (md == nullptr)
            setmode_fatal("could not find suitable video mode");
        if (bring_up(md, rq, screen, fd)) {
            make_current(which, md, screen, fd);
            break;
        }
        md->present = 0;
    }
    if (_GrResetColors() == 0)
        setmode_fatal("could not set color mode");
    if (_GrDriverInfo.fdriver.init != nullptr)
        _GrDriverInfo.fdriver.init(&_GrDriverInfo.actmode);
    if (_GrDriverInfo.mdsethook != nullptr)
        _GrDriverInfo.mdsethook();
    return 1;
}

namespace
{

unsigned axis_error(int have, int want)
{
    return have >= want ? (unsigned)(have - want) : (unsigned)(want - have) + 20000U;
}

// Depth error in the upper bits, size error below: one number orders candidates as the search does.
unsigned mode_error(const GrVideoMode& m, int w, int h, int bpp)
{
    unsigned depth = axis_error(m.bpp, bpp);
    unsigned size = axis_error(m.width, w) + axis_error(m.height, h);
    return depth << 17 | (size < (1U << 17) ? size : (1U << 17) - 1);
}

} // namespace

GrVideoMode* _gr_selectmode(GrVideoDriver* drv, int w, int h, int bpp, int txt, unsigned int* best)
{
    unsigned best_err = best != nullptr ? *best : ~0U;
    GrVideoMode* found = nullptr;
    for (int i = 0; i < drv->nmodes && best_err != 0; ++i) {
        GrVideoMode& m = drv->modes[i];
        if (!m.present || m.extinfo == nullptr || (m.extinfo->mode == GR_frameText) != (txt != 0))
            continue;
        unsigned err = mode_error(m, w, h, bpp);
        if (err < best_err) {
            best_err = err;
            found = &m;
        }
    }
    if (drv->inherit != nullptr && drv->inherit->selectmode != nullptr) {
        GrVideoMode* inherited = drv->inherit->selectmode(drv->inherit, w, h, bpp, txt, &best_err);
        if (inherited != nullptr)
            found = inherited;
    }
    if (found != nullptr && best != nullptr)
        *best = best_err;
    return found;
}
