// Frame drivers for packed pixels of 2, 3 or 4 bytes, as one template over the pixel layout: Bytes per
// pixel, little-endian, the 24-bit value stored Shift bits up. Only the 8-bit driver is tuned for speed.
#ifndef TWGR_RAMPACKED_H
#define TWGR_RAMPACKED_H

#include "core/twgr_internal.h"

#include <cstdint>

namespace twgr
{

template <int Bytes, int Shift> struct packed_pixels {
    using byte = unsigned char;

    static byte* address(int x, int y)
    {
        const GrFrame& f = current_context().gc_frame;
        return f.gf_baseaddr[0] + (std::ptrdiff_t)y * f.gf_lineoffset + (std::ptrdiff_t)x * Bytes;
    }
    static std::uint32_t load(const byte* p)
    {
        std::uint32_t v = 0;
        for (int k = Bytes - 1; k >= 0; --k)
            v = v << 8 | p[k];
        return v;
    }
    static void store(byte* p, std::uint32_t v)
    {
        for (int k = 0; k < Bytes; ++k, v >>= 8)
            p[k] = (byte)v;
    }
    static void put(byte* p, GrColor c)
    {
        std::uint32_t v = (c & value_mask) << Shift;
        switch (c >> 24) {
        case 1:
            return store(p, load(p) ^ v);
        case 2:
            return store(p, load(p) | v);
        case 3:
            return store(p, load(p) & (v | ~(value_mask << Shift)));
        default:
            return store(p, v);
        }
    }
    static GrColor readpixel(GrFrame* f, int x, int y)
    {
        const byte* p = f->gf_baseaddr[0] + (std::ptrdiff_t)y * f->gf_lineoffset + (std::ptrdiff_t)x * Bytes;
        return (load(p) >> Shift) & value_mask;
    }
    static void drawpixel(int x, int y, GrColor c) { put(address(x, y), c); }
    static void drawblock(int x, int y, int w, int h, GrColor c)
    {
        std::ptrdiff_t stride = current_context().gc_frame.gf_lineoffset;
        byte* row = address(x, y);
        for (int r = 0; r < h; ++r, row += stride)
            for (int i = 0; i < w; ++i)
                put(row + (std::ptrdiff_t)i * Bytes, c);
    }
    static void drawhline(int x, int y, int w, GrColor c) { drawblock(x, y, w, 1, c); }
    static void drawvline(int x, int y, int h, GrColor c) { drawblock(x, y, 1, h, c); }
    static void drawline(int x, int y, int dx, int dy, GrColor c)
    {
        if (dx < 0) {
            x += dx;
            y += dy;
            dx = -dx;
            dy = -dy;
        }
        int ystep = dy < 0 ? -1 : 1;
        dy = dy < 0 ? -dy : dy;
        int e = (dx <= dy ? dy : dx) / 2;
        for (int i = 0, n = dx <= dy ? dy : dx; i <= n; ++i) {
            put(address(x, y), c);
            if (dx <= dy) {
                e -= dx;
                x += e < 0 ? 1 : 0;
                e += e < 0 ? dy : 0;
                y += ystep;
            } else {
                e -= dy;
                y += e < 0 ? ystep : 0;
                e += e < 0 ? dx : 0;
                x += 1;
            }
        }
    }
    static void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
    {
        for (int i = 0; i < w; ++i)
            put(address(x + i, y), (pat >> (7 - i % 8)) & 1 ? fg : bg);
    }
    static void drawbitmap(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg)
    {
        bool fg_on = fg != GrNOCOLOR, bg_on = bg != GrNOCOLOR;
        for (int r = 0; r < h; ++r, bits += pitch) {
            for (int i = 0; i < w; ++i) {
                int b = start + i;
                bool set = ((bits[b >> 3] >> (7 - (b & 7))) & 1) != 0;
                if (set ? fg_on : bg_on)
                    put(address(x + i, y + r), set ? fg : bg);
            }
        }
    }

    static constexpr _GR_frameDriver driver(GrFrameMode mode, long long max_plane)
    {
        return _GR_frameDriver{
            .mode = mode,
            .rmode = GR_frameUndef,
            .is_video = 0,
            .row_align = 4,
            .num_planes = 1,
            .bits_per_pixel = Bytes * 8,
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
            .bitblt = _GrFrDrvPackedBitBltR2R,
            .bltv2r = nullptr,
            .bltr2v = nullptr,
            .getindexedscanline = _GrFrDrvGenericGetIndexedScanline,
            .putscanline = _GrFrDrvGenericPutScanline,
        };
    }
};

} // namespace twgr

#endif // TWGR_RAMPACKED_H
