// The placeholder frame driver in force before a mode is set and in text mode: drawing through it stops
// the program, because there is no frame to draw into.
#include "core/twgr_internal.h"

#include <cstdio>
#include <cstdlib>

namespace
{

[[noreturn]] void no_frame()
{
    const _GR_videoModeExt* ext = _GrDriverInfo.actmode.extinfo;
    bool text = ext != nullptr && ext->mode == GR_frameText;
    _GrCloseVideoDriver();
    std::fprintf(stderr, "TWGR Error: graphics operation attempted %s\n", text ? "in text mode" : "before mode set");
    std::exit(1);
}

GrColor readpixel(GrFrame*, int, int)
{
    no_frame();
}
void drawpixel(int, int, GrColor)
{
    no_frame();
}
void drawline(int, int, int, int, GrColor)
{
    no_frame();
}
void drawhline(int, int, int, GrColor)
{
    no_frame();
}
void drawblock(int, int, int, int, GrColor)
{
    no_frame();
}
void drawbitmap(int, int, int, int, const unsigned char*, int, int, GrColor, GrColor)
{
    no_frame();
}
void drawpattern(int, int, int, unsigned char, GrColor, GrColor)
{
    no_frame();
}
void bitblt(GrFrame*, int, int, GrFrame*, int, int, int, int, GrColor)
{
    no_frame();
}
GrColor* getindexedscanline(GrFrame*, int, int, int, int*)
{
    no_frame();
}
void putscanline(int, int, int, const GrColor*, GrColor)
{
    no_frame();
}

constexpr _GR_frameDriver placeholder{
    .mode = GR_frameText,
    .rmode = GR_frameUndef,
    .is_video = 0,
    .row_align = 1,
    .num_planes = 0,
    .bits_per_pixel = 0,
    .max_plane_size = 0,
    .init = nullptr,
    .readpixel = readpixel,
    .drawpixel = drawpixel,
    .drawline = drawline,
    .drawhline = drawhline,
    .drawvline = drawhline,
    .drawblock = drawblock,
    .drawbitmap = drawbitmap,
    .drawpattern = drawpattern,
    .bitblt = bitblt,
    .bltv2r = bitblt,
    .bltr2v = bitblt,
    .getindexedscanline = getindexedscanline,
    .putscanline = putscanline,
    .drawspans = nullptr,
};

} // namespace

void twgr::use_placeholder_driver()
{
    _GrDriverInfo.fdriver = placeholder;
    _GrDriverInfo.tdriver = placeholder;
}

const _GR_frameDriver& twgr::placeholder_driver()
{
    return placeholder;
}
