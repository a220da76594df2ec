// Frame driver for 8-bit packed frames in memory: one byte per pixel holding a palette index. This is the
// reference member of the driver family and the one the plot draws through, so fills use word stores and
// every loop is specialised on the write operation outside the pixel loop.
#include "core/twgr_internal.h"

#include <cstdint>
#include <cstring>

const int _GrFDdotable8[4] = {-1, 0, 0, 255};

namespace
{

using byte = unsigned char;
using word = std::uint64_t;

enum class op { write, xor_, or_, and_ };

op op_of(GrColor c)
{
    switch (c >> 24) {
    case 1:
        return op::xor_;
    case 2:
        return op::or_;
    case 3:
        return op::and_;
    default:
        return op::write;
    }
}

// True when drawing c changes nothing: xor or or with 0, and with 255.
bool is_noop(GrColor c)
{
    unsigned o = c >> 24;
    return o < 4 && _GrFDdotable8[o] == (int)(c & 0xFF);
}

template <op O, class T> inline void apply(T& dst, T v)
{
    if constexpr (O == op::write)
        dst = v;
    else if constexpr (O == op::xor_)
        dst ^= v;
    else if constexpr (O == op::or_)
        dst |= v;
    else
        dst &= v;
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
template <op O> void fill_row(byte* p, std::size_t w, byte v)
{
    if constexpr (O == op::write) {
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

template <op O> void fill_block(byte* p, int w, int h, std::ptrdiff_t stride, byte v)
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
    byte v = (byte)c;
    switch (op_of(c)) {
    case op::write:
        return fill_block<op::write>(p, w, h, stride, v);
    case op::xor_:
        return fill_block<op::xor_>(p, w, h, stride, v);
    case op::or_:
        return fill_block<op::or_>(p, w, h, stride, v);
    case op::and_:
        return fill_block<op::and_>(p, w, h, stride, v);
    }
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
    switch (op_of(c)) {
    case op::write:
        return apply<op::write>(*p, (byte)c);
    case op::xor_:
        return apply<op::xor_>(*p, (byte)c);
    case op::or_:
        return apply<op::or_>(*p, (byte)c);
    case op::and_:
        return apply<op::and_>(*p, (byte)c);
    }
}

// Bresenham with both end points; dx >= 0, ystep is +-lineoffset. The error terms follow the steep and
// flat cases of the classic algorithm, so the pixels match the slow per-pixel definition exactly.
template <op O> void bresenham(byte* p, int dx, int dy, std::ptrdiff_t ystep, byte v)
{
    if (dx <= dy) {
        int e = dy / 2;
        for (int i = 0; i <= dy; ++i, p += ystep) {
            apply<O>(*p, v);
            e -= dx;
            if (e < 0) {
                e += dy;
                ++p;
            }
        }
        return;
    }
    int e = dx / 2;
    for (int i = 0; i <= dx; ++i, ++p) {
        apply<O>(*p, v);
        e -= dy;
        if (e < 0) {
            e += dx;
            p += ystep;
        }
    }
}

void drawline(int x, int y, int dx, int dy, GrColor c)
{
    if (dx < 0) {
        x += dx;
        y += dy;
        dx = -dx;
        dy = -dy;
    }
    std::ptrdiff_t ystep = twgr::current_context().gc_frame.gf_lineoffset;
    if (dy < 0) {
        ystep = -ystep;
        dy = -dy;
    }
    byte* p = address(x, y);
    byte v = (byte)c;
    switch (op_of(c)) {
    case op::write:
        return bresenham<op::write>(p, dx, dy, ystep, v);
    case op::xor_:
        return bresenham<op::xor_>(p, dx, dy, ystep, v);
    case op::or_:
        return bresenham<op::or_>(p, dx, dy, ystep, v);
    case op::and_:
        return bresenham<op::and_>(p, dx, dy, ystep, v);
    }
}

void drawpattern(int x, int y, int w, unsigned char pat, GrColor fg, GrColor bg)
{
    for (int i = 0; i < w; ++i)
        drawpixel(x + i, y, (pat >> (7 - i % 8)) & 1 ? fg : bg);
}

// Draws the set (want = 1) or clear (want = 0) bits of the bitmap with colour c; both = true draws every
// bit, taking fg for set bits and bg for clear ones.
template <op O>
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
    GrColor key = want == 0 ? bg : fg;
    switch (op_of(key)) {
    case op::write:
        return bitmap_pass<op::write>(x, y, w, h, bits, pitch, start, (byte)fg, (byte)bg, want);
    case op::xor_:
        return bitmap_pass<op::xor_>(x, y, w, h, bits, pitch, start, (byte)fg, (byte)bg, want);
    case op::or_:
        return bitmap_pass<op::or_>(x, y, w, h, bits, pitch, start, (byte)fg, (byte)bg, want);
    case op::and_:
        return bitmap_pass<op::and_>(x, y, w, h, bits, pitch, start, (byte)fg, (byte)bg, want);
    }
}

void drawbitmap(int x, int y, int w, int h, const byte* bits, int pitch, int start, GrColor fg, GrColor bg)
{
    if (w <= 0 || h <= 0)
        return;
    bool fg_on = !is_noop(fg);
    bool bg_on = !is_noop(bg);
    if (fg_on && bg_on && op_of(fg) == op_of(bg))
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
};
