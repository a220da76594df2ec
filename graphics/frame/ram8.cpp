// Frame driver for 8-bit packed frames in memory: one byte per pixel holding a palette index. This is the
// reference member of the driver family and the one the plot draws through, so fills use word stores and
// every loop is specialised on the write operation outside the pixel loop.
#include "frame/ram_loops.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>

namespace
{

// No-op value per write operation (write, xor, or, and): a colour whose low byte equals the entry of its
// operation leaves the frame unchanged.
constexpr int _GrFDdotable8[4] = {-1, 0, 0, 255};

using byte = unsigned char;
using word = std::uint64_t;

using twgr::apply;
using twgr::write_op;

// True when drawing c changes nothing: xor or or with 0, and with 255.
bool is_noop(GrColor c)
{
    unsigned o = c >> 24;
    return o < std::size(_GrFDdotable8) && _GrFDdotable8[o] == (int)(c & 0xFF);
}

byte* address(int x, int y)
{
    const GrFrame& f = twgr::current_context().gc_frame;
    return f.gf_baseaddr[0] + (std::ptrdiff_t)y * f.gf_lineoffset + x;
}

template <class T> inline void store_both_ends(byte* p, std::size_t w, byte v)
{
    T word_value = (T)(0x0101010101010101ULL * v);
    std::memcpy(p, &word_value, sizeof word_value);
    std::memcpy(p + w - sizeof word_value, &word_value, sizeof word_value);
}

inline void short_row(byte* p, std::size_t w, byte v)
{
    if (w >= 8)
        store_both_ends<std::uint64_t>(p, w, v);
    else if (w >= 4)
        store_both_ends<std::uint32_t>(p, w, v);
    else if (w >= 2)
        store_both_ends<std::uint16_t>(p, w, v);
    else if (w == 1)
        *p = v;
}

// One row of w bytes: single bytes up to an 8-byte boundary, then whole words, then the tail.
template <write_op O> void fill_row(byte* p, std::size_t w, byte v)
{
    if constexpr (O == write_op::write) {
        // Most spans of the plot are a few pixels long, where a call to memset costs more than the stores:
        // two overlapping word stores cover any length from one word to two.
        if (w < 16)
            return short_row(p, w, v);
        std::memset(p, v, w);
    } else {
        while (w > 0 && (reinterpret_cast<std::uintptr_t>(p) & 7) != 0) {
            apply<O>(*p++, v);
            --w;
        }
        const word vw = 0x0101010101010101ULL * v;
        for (; w >= 8; w -= 8, p += 8) {
            word cur;
            std::memcpy(&cur, p, 8);
            apply<O>(cur, vw);
            std::memcpy(p, &cur, 8);
        }
        while (w-- > 0)
            apply<O>(*p++, v);
    }
}

template <write_op O> void fill_block(byte* p, int w, int h, std::ptrdiff_t stride, byte v)
{
    for (int r = 0; r < h; ++r, p += stride)
        fill_row<O>(p, (std::size_t)w, v);
}

void block(int x, int y, int w, int h, GrColor c)
{
    if (w <= 0 || h <= 0 || is_noop(c))
        return;
    byte* p = address(x, y);
    std::ptrdiff_t stride = twgr::current_context().gc_frame.gf_lineoffset;
    twgr::with_op(c, [&](auto o) { fill_block<decltype(o)::value>(p, w, h, stride, (byte)c); });
}

// The spans of a small circle: one address and one choice of operation for all of them.
void drawspans(int x, int y, const GrSpan* spans, int n, GrColor c)
{
    if (n <= 0 || is_noop(c))
        return;
    byte* const centre = address(x, y);
    const std::ptrdiff_t stride = twgr::current_context().gc_frame.gf_lineoffset;
    twgr::with_op(c, [&](auto o) {
        for (const GrSpan& s : std::span(spans, static_cast<std::size_t>(n)))
            fill_row<decltype(o)::value>(centre + s.dy * stride + s.x1, static_cast<std::size_t>(s.x2 - s.x1 + 1),
                                         (byte)c);
    });
}

void drawhline(int x, int y, int w, GrColor c)
{
    block(x, y, w, 1, c);
}

void drawvline(int x, int y, int h, GrColor c)
{
    block(x, y, 1, h, c);
}

GrColor readpixel(GrFrame* f, int x, int y)
{
    return f->gf_baseaddr[0][(std::ptrdiff_t)y * f->gf_lineoffset + x];
}

void drawpixel(int x, int y, GrColor c)
{
    byte* p = address(x, y);
    twgr::with_op(c, [&](auto o) { apply<decltype(o)::value>(*p, (byte)c); });
}

void drawline(int x, int y, int dx, int dy, GrColor c)
{
    twgr::line_run run = twgr::left_to_right(x, y, dx, dy);
    twgr::byte_cursor<1> at{address(run.x, run.y), run.ydir * twgr::current_context().gc_frame.gf_lineoffset};
    twgr::with_op(c, [&](auto o) {
        twgr::walk_line(at, run.dx, run.dy, [v = (byte)c](const auto& a) { apply<decltype(o)::value>(*a.p, v); });
    });
}

void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
{
    for (int i = 0; i < w; ++i)
        drawpixel(x + i, y, (pat >> (7 - i % 8)) & 1 ? fg : bg);
}

// Draws the set (want = 1) or clear (want = 0) bits of the bitmap with colour c; both = true draws every
// bit, taking fg for set bits and bg for clear ones.
template <write_op O>
void bitmap_pass(int x, int y, int w, int h, const byte* bits, int pitch, int start, byte fg, byte bg, int want)
{
    std::ptrdiff_t stride = twgr::current_context().gc_frame.gf_lineoffset;
    byte* row = address(x, y);
    for (int r = 0; r < h; ++r, row += stride, bits += pitch) {
        for (int i = 0; i < w; ++i) {
            int b = start + i;
            int set = (bits[b >> 3] >> (7 - (b & 7))) & 1;
            if (want < 0)
                apply<O>(row[i], set ? fg : bg);
            else if (set == want)
                apply<O>(row[i], set ? fg : bg);
        }
    }
}

void bitmap_dispatch(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg,
                     int want)
{
    twgr::with_op(want == 0 ? bg : fg, [&](auto o) {
        bitmap_pass<decltype(o)::value>(x, y, w, h, bits, pitch, start, (byte)fg, (byte)bg, want);
    });
}

void drawbitmap(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg)
{
    if (w <= 0 || h <= 0)
        return;
    bool fg_on = !is_noop(fg);
    bool bg_on = !is_noop(bg);
    if (fg_on && bg_on && twgr::op_of(fg) == twgr::op_of(bg))
        return bitmap_dispatch(x, y, w, h, bits, pitch, start, fg, bg, -1);
    if (fg_on)
        bitmap_dispatch(x, y, w, h, bits, pitch, start, fg, bg, 1);
    if (bg_on)
        bitmap_dispatch(x, y, w, h, bits, pitch, start, fg, bg, 0);
}

GrColor* getindexedscanline(GrFrame* f, int x, int y, int w, int* indx)
{
    if (w <= 0)
        return nullptr;
    auto* out = static_cast<GrColor*>(_GrTempBufferAlloc(((std::size_t)w + 1) * sizeof(GrColor)));
    if (out == nullptr)
        return nullptr;
    const byte* p = f->gf_baseaddr[0] + (std::ptrdiff_t)y * f->gf_lineoffset + x;
    if (indx == nullptr) {
        for (int i = 0; i < w; ++i)
            out[i] = p[i];
    } else {
        for (int i = 0; i < w; ++i)
            out[i] = p[indx[i]];
    }
    return out;
}

void putscanline(int x, int y, int w, const GrColor* scl, GrColor op_word)
{
    bool keyed = (op_word >> 24) == (GrIMAGE >> 24);
    GrColor key = op_word & twgr::value_mask;
    GrColor mode = keyed ? GrWRITE : (op_word & 0xFF000000U);
    for (int i = 0; i < w; ++i) {
        GrColor v = scl[i] & twgr::value_mask;
        if (keyed && v == key)
            continue;
        drawpixel(x + i, y, v | mode);
    }
}

} // namespace

constexpr _GR_frameDriver _GrFrameDriverRAM8{
    .mode = GR_frameRAM8,
    .rmode = GR_frameUndef,
    .is_video = 0,
    .row_align = 4,
    .num_planes = 1,
    .bits_per_pixel = 8,
    .max_plane_size = 0x8000000,
    .init = nullptr,
    .readpixel = readpixel,
    .drawpixel = drawpixel,
    .drawline = drawline,
    .drawhline = drawhline,
    .drawvline = drawvline,
    .drawblock = block,
    .drawbitmap = drawbitmap,
    .drawpattern = drawpattern,
    .bitblt = _GrFrDrvPackedBitBltR2R,
    .bltv2r = nullptr,
    .bltr2v = nullptr,
    .getindexedscanline = getindexedscanline,
    .putscanline = putscanline,
    .drawspans = drawspans,
};
