// Frame drivers for packed pixels of 2, 3 or 4 bytes, as one template over the pixel layout: Bytes per
// pixel, little-endian, the 24-bit value stored Shift bits up. Only the 8-bit driver is tuned for speed.
#ifndef TWGR_RAMPACKED_H
#define TWGR_RAMPACKED_H

#include "frame/ram_loops.h"

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
    // The operand that applies c's operation to the value bits only: an and keeps the bits outside them.
    template <write_op O> static std::uint32_t operand(GrColor c)
    {
        std::uint32_t v = (c & value_mask) << Shift;
        return O == write_op::and_ ? v | ~(value_mask << Shift) : v;
    }
    template <write_op O> static void put(byte* p, std::uint32_t value)
    {
        std::uint32_t v = O == write_op::write ? 0 : load(p);
        apply<O>(v, value);
        store(p, v);
    }
    // Calls draw(put_one) where put_one(p) draws c at p, specialised on c's operation.
    template <class Draw> static void with_put(GrColor c, Draw&& draw)
    {
        with_op(c, [&](auto o) {
            constexpr write_op O = decltype(o)::value;
            draw([v = operand<O>(c)](byte* p) { put<O>(p, v); });
        });
    }
    static void put_any(byte* p, GrColor c)
    {
        with_put(c, [p](auto put_one) { put_one(p); });
    }
    static GrColor readpixel(GrFrame* f, int x, int y)
    {
        const byte* p = f->gf_baseaddr[0] + (std::ptrdiff_t)y * f->gf_lineoffset + (std::ptrdiff_t)x * Bytes;
        return (load(p) >> Shift) & value_mask;
    }
    static void drawpixel(int x, int y, GrColor c) { put_any(address(x, y), c); }
    static void drawblock(int x, int y, int w, int h, GrColor c)
    {
        std::ptrdiff_t stride = current_context().gc_frame.gf_lineoffset;
        byte* row = address(x, y);
        with_put(c, [&](auto put_one) {
            for (int r = 0; r < h; ++r, row += stride)
                for (int i = 0; i < w; ++i)
                    put_one(row + (std::ptrdiff_t)i * Bytes);
        });
    }
    static void drawhline(int x, int y, int w, GrColor c) { drawblock(x, y, w, 1, c); }
    static void drawvline(int x, int y, int h, GrColor c) { drawblock(x, y, 1, h, c); }
    static void drawline(int x, int y, int dx, int dy, GrColor c)
    {
        line_run run = left_to_right(x, y, dx, dy);
        byte_cursor<Bytes> at{address(run.x, run.y), run.ydir * current_context().gc_frame.gf_lineoffset};
        with_put(c, [&](auto put_one) { walk_line(at, run.dx, run.dy, [&](const auto& a) { put_one(a.p); }); });
    }
    static void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
    {
        for (int i = 0; i < w; ++i)
            put_any(address(x + i, y), (pat >> (7 - i % 8)) & 1 ? fg : bg);
    }
    static void drawbitmap(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg)
    {
        bool fg_on = fg != GrNOCOLOR, bg_on = bg != GrNOCOLOR;
        for (int r = 0; r < h; ++r, bits += pitch) {
            for (int i = 0; i < w; ++i) {
                int b = start + i;
                bool set = ((bits[b >> 3] >> (7 - (b & 7))) & 1) != 0;
                if (set ? fg_on : bg_on)
                    put_any(address(x + i, y + r), set ? fg : bg);
            }
        }
    }

    static void bitblt(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op)
    {
        packed_bitblt(dst, dx, dy, src, x, y, w, h, op, Shift);
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
            .bitblt = Shift == 0 ? _GrFrDrvPackedBitBltR2R : bitblt,
            .bltv2r = nullptr,
            .bltr2v = nullptr,
            .getindexedscanline = _GrFrDrvGenericGetIndexedScanline,
            .putscanline = _GrFrDrvGenericPutScanline,
            .drawspans = nullptr,
        };
    }
};

} // namespace twgr

#endif // TWGR_RAMPACKED_H
