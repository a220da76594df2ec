// Frame drivers of the window frames: pixels stored exactly as in the RAM frames of 8 and 24 bits, and
// every drawing operation marks what it touched, so that the window thread repaints it.
#include "core/twgr_internal.h"
#include "window/sdl2_window.h"

#include <algorithm>
#include <cstdlib>

namespace
{

// Spans: whether the RAM driver draws row pieces itself (its table is not readable at compile time here).
template <const _GR_frameDriver& Ram, bool Spans> struct windowed {
    static GrColor readpixel(GrFrame* f, int x, int y) { return Ram.readpixel(f, x, y); }
    static GrColor* getindexedscanline(GrFrame* f, int x, int y, int w, int* indx)
    {
        return Ram.getindexedscanline(f, x, y, w, indx);
    }
    static void drawpixel(int x, int y, GrColor c)
    {
        Ram.drawpixel(x, y, c);
        twgr::window::invalidate(x, y, 1, 1);
    }
    static void drawline(int x, int y, int dx, int dy, GrColor c)
    {
        Ram.drawline(x, y, dx, dy, c);
        twgr::window::invalidate(std::min(x, x + dx), std::min(y, y + dy), std::abs(dx) + 1, std::abs(dy) + 1);
    }
    static void drawhline(int x, int y, int w, GrColor c)
    {
        Ram.drawhline(x, y, w, c);
        twgr::window::invalidate(x, y, w, 1);
    }
    static void drawvline(int x, int y, int h, GrColor c)
    {
        Ram.drawvline(x, y, h, c);
        twgr::window::invalidate(x, y, 1, h);
    }
    static void drawblock(int x, int y, int w, int h, GrColor c)
    {
        Ram.drawblock(x, y, w, h, c);
        twgr::window::invalidate(x, y, w, h);
    }
    static void drawbitmap(int x, int y, int w, int h, const unsigned char* bits, int pitch, int start, GrColor fg,
                           GrColor bg)
    {
        Ram.drawbitmap(x, y, w, h, bits, pitch, start, fg, bg);
        twgr::window::invalidate(x, y, w, h);
    }
    static void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
    {
        Ram.drawpattern(x, y, w, pat, fg, bg);
        twgr::window::invalidate(x, y, w, 1);
    }
    static void putscanline(int x, int y, int w, const GrColor* scl, GrColor op)
    {
        Ram.putscanline(x, y, w, scl, op);
        twgr::window::invalidate(x, y, w, 1);
    }
    // Row pieces around (x, y): the box that holds them all is repainted.
    static void drawspans(int x, int y, const GrSpan* spans, int n, GrColor c)
    {
        Ram.drawspans(x, y, spans, n, c);
        if (n <= 0)
            return;
        int top = spans[0].dy, bottom = spans[0].dy, left = spans[0].x1, right = spans[0].x2;
        for (int i = 1; i < n; ++i) {
            top = std::min(top, spans[i].dy);
            bottom = std::max(bottom, spans[i].dy);
            left = std::min(left, spans[i].x1);
            right = std::max(right, spans[i].x2);
        }
        twgr::window::invalidate(x + left, y + top, right - left + 1, bottom - top + 1);
    }
    // A copy into a window frame is repainted; one into memory needs nothing more.
    static void blit(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op)
    {
        _GrFrDrvPackedBitBltR2R(dst, dx, dy, src, x, y, w, h, op);
        if (dst->gf_driver != nullptr && dst->gf_driver->is_video)
            twgr::window::invalidate(dx, dy, w, h);
    }

    static constexpr _GR_frameDriver driver(GrFrameMode mode, GrFrameMode rmode, int bpp, long long max_plane)
    {
        return _GR_frameDriver{
            .mode = mode,
            .rmode = rmode,
            .is_video = 1,
            .row_align = 4,
            .num_planes = 1,
            .bits_per_pixel = bpp,
            .max_plane_size = max_plane,
            .init = nullptr,
            .readpixel = readpixel,
            .drawpixel = drawpixel,
            .drawline = drawline,
            .drawhline = drawhline,
            .drawvline = drawvline,
            .drawblock = drawblock,
            .drawbitmap = drawbitmap,
            .drawpattern = drawpattern,
            .bitblt = blit,
            .bltv2r = _GrFrDrvPackedBitBltR2R,
            .bltr2v = blit,
            .getindexedscanline = getindexedscanline,
            .putscanline = putscanline,
            .drawspans = Spans ? drawspans : nullptr,
        };
    }
};

} // namespace

constexpr _GR_frameDriver _GrFrameDriverWIN32_8 =
    windowed<_GrFrameDriverRAM8, true>::driver(GR_frameWIN32_8, GR_frameRAM8, 8, 0x8000000);
constexpr _GR_frameDriver _GrFrameDriverWIN32_24 =
    windowed<_GrFrameDriverRAM24, false>::driver(GR_frameWIN32_24, GR_frameRAM24, 24, 0x18000000);
