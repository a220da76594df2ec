// Frame drivers for bit planes: Planes planes of one bit per pixel, the leftmost pixel of a byte in its top
// bit, plane k holding bit k of the pixel value. One plane is the 1-bit format, four the 16-colour format.
#ifndef TWGR_RAMPLANES_H
#define TWGR_RAMPLANES_H

#include "frame/ram_loops.h"

#include <vector>

namespace twgr
{

template <int Planes> struct bit_planes {
    using byte = unsigned char;

    // A pixel of a frame: its byte in every plane and its bit in that byte.
    struct cursor {
        const GrFrame* frame;
        std::ptrdiff_t offset;
        byte mask;
        std::ptrdiff_t row_step;
        void next_column()
        {
            mask = (byte)(mask >> 1);
            if (mask == 0) {
                mask = 0x80;
                ++offset;
            }
        }
        void next_row() { offset += row_step; }
    };

    static cursor at(const GrFrame& f, int x, int y, int ydir = 1)
    {
        std::ptrdiff_t offset = (std::ptrdiff_t)y * f.gf_lineoffset + x / 8;
        return cursor{&f, offset, (byte)(0x80 >> (x % 8)), ydir * (std::ptrdiff_t)f.gf_lineoffset};
    }
    static cursor at(int x, int y, int ydir = 1) { return at(current_context().gc_frame, x, y, ydir); }

    // Sets, clears or flips the cursor's bit in each plane as the operation demands of that bit of v.
    template <write_op O> static void put(const cursor& p, GrColor v)
    {
        for (int k = 0; k < Planes; ++k) {
            byte& b = p.frame->gf_baseaddr[k][p.offset];
            bool set = ((v >> k) & 1) != 0;
            if constexpr (O == write_op::write)
                b = set ? (byte)(b | p.mask) : (byte)(b & ~p.mask);
            else if constexpr (O == write_op::and_)
                apply<O>(b, set ? (byte)0xFF : (byte)~p.mask);
            else
                apply<O>(b, set ? p.mask : (byte)0);
        }
    }
    static void put_any(const cursor& p, GrColor c)
    {
        with_op(c, [&](auto o) { put<decltype(o)::value>(p, c); });
    }

    static GrColor readpixel(GrFrame* f, int x, int y)
    {
        cursor p = at(*f, x, y);
        GrColor v = 0;
        for (int k = 0; k < Planes; ++k)
            v |= (GrColor)((f->gf_baseaddr[k][p.offset] & p.mask) != 0) << k;
        return v;
    }
    static void drawpixel(int x, int y, GrColor c) { put_any(at(x, y), c); }
    static void drawblock(int x, int y, int w, int h, GrColor c)
    {
        with_op(c, [&](auto o) {
            for (int r = 0; r < h; ++r) {
                cursor p = at(x, y + r);
                for (int i = 0; i < w; ++i, p.next_column())
                    put<decltype(o)::value>(p, c);
            }
        });
    }
    static void drawhline(int x, int y, int w, GrColor c) { drawblock(x, y, w, 1, c); }
    static void drawvline(int x, int y, int h, GrColor c) { drawblock(x, y, 1, h, c); }
    static void drawline(int x, int y, int dx, int dy, GrColor c)
    {
        line_run run = left_to_right(x, y, dx, dy);
        with_op(c, [&](auto o) {
            walk_line(at(run.x, run.y, run.ydir), run.dx, run.dy,
                      [c](const cursor& p) { put<decltype(o)::value>(p, c); });
        });
    }
    static void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
    {
        cursor p = at(x, y);
        for (int i = 0; i < w; ++i, p.next_column())
            put_any(p, (pat >> (7 - i % 8)) & 1 ? fg : bg);
    }
    static void drawbitmap(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg)
    {
        bool fg_on = fg != GrNOCOLOR, bg_on = bg != GrNOCOLOR;
        for (int r = 0; r < h; ++r, bits += pitch) {
            cursor p = at(x, y + r);
            for (int i = 0; i < w; ++i, p.next_column()) {
                int b = start + i;
                bool set = ((bits[b >> 3] >> (7 - (b & 7))) & 1) != 0;
                if (set ? fg_on : bg_on)
                    put_any(p, set ? fg : bg);
            }
        }
    }
    // Each row is read whole before it is written, and rows go bottom-up when the target lies below the
    // source, so a copy within one frame sees only source pixels.
    static void bitblt(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op)
    {
        if (w <= 0 || h <= 0)
            return;
        bool keyed = (op >> 24) == (GrIMAGE >> 24);
        GrColor key = op & value_mask;
        GrColor mode = keyed ? GrWRITE : (op & 0xFF000000U);
        std::vector<GrColor> row((std::size_t)w);
        for (int n = 0; n < h; ++n) {
            int r = dy > y ? h - 1 - n : n;
            for (int i = 0; i < w; ++i)
                row[(std::size_t)i] = readpixel(src, x + i, y + r);
            cursor p = at(*dst, dx, dy + r);
            for (int i = 0; i < w; ++i, p.next_column())
                if (!keyed || row[(std::size_t)i] != key)
                    put_any(p, row[(std::size_t)i] | mode);
        }
    }

    static constexpr _GR_frameDriver driver(GrFrameMode mode)
    {
        return _GR_frameDriver{
            .mode = mode,
            .rmode = GR_frameUndef,
            .is_video = 0,
            .row_align = 4,
            .num_planes = Planes,
            .bits_per_pixel = Planes,
            .max_plane_size = 0x1000000,
            .init = nullptr,
            .readpixel = readpixel,
            .drawpixel = drawpixel,
            .drawline = drawline,
            .drawhline = drawhline,
            .drawvline = drawvline,
            .drawblock = drawblock,
            .drawbitmap = drawbitmap,
            .drawpattern = drawpattern,
            .bitblt = bitblt,
            .bltv2r = nullptr,
            .bltr2v = nullptr,
            .getindexedscanline = _GrFrDrvGenericGetIndexedScanline,
            .putscanline = _GrFrDrvGenericPutScanline,
            .drawspans = nullptr,
        };
    }
};

} // namespace twgr

#endif // TWGR_RAMPLANES_H
