// The frame-driver family: the table searched by frame mode, and the routines several members share.
#include "frame/ram_loops.h"

#include <cstring>

// The window's drivers come first; a context made in one of their modes gets the matching RAM driver.
const _GR_frameDriver* const _GrFrameDriverTable[] = {
    &_GrFrameDriverWIN32_8,  // window, palette indices
    &_GrFrameDriverWIN32_24, // window, RGB
    &_GrFrameDriverRAM1,     // 2 colours, one bit plane
    &_GrFrameDriverRAM4,     // 16 colours, four bit planes
    &_GrFrameDriverRAM8,     // 256 colours, a byte per pixel
    &_GrFrameDriverRAM24,    // RGB in three bytes
    &_GrFrameDriverRAM32L,   // RGB in the low three of four bytes
    &_GrFrameDriverRAM32H,   // RGB in the high three of four bytes
    nullptr,
};

namespace
{

using byte = unsigned char;

using twgr::write_op;

// d = s combined by op's operation; d and s may overlap only for a write.
void combine(byte* d, const byte* s, std::size_t n, GrColor op)
{
    twgr::with_op(op, [&](auto o) {
        constexpr write_op O = decltype(o)::value;
        if constexpr (O == write_op::write) {
            std::memmove(d, s, n);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                twgr::apply<O>(d[i], s[i]);
        }
    });
}

std::uint32_t pixel_value(const byte* p, int bpp)
{
    std::uint32_t v = 0;
    for (int k = bpp - 1; k >= 0; --k)
        v = v << 8 | p[k];
    return v;
}

// One row; src and dst may overlap, so combined pixels are staged through a row-sized scratch.
void blit_row(byte* d, const byte* s, int w, int bpp, GrColor op, int value_shift)
{
    std::size_t n = (std::size_t)w * bpp;
    bool keyed = (op >> 24) == (GrIMAGE >> 24);
    bool apart = d + n <= s || s + n <= d;
    if (!keyed && (apart || twgr::op_of(op) == write_op::write))
        return combine(d, s, n, op);
    auto* stage = static_cast<byte*>(_GrTempBufferAlloc(n));
    if (stage == nullptr)
        return;
    std::memcpy(stage, s, n);
    if (!keyed)
        return combine(d, stage, n, op);
    GrColor key = op & twgr::value_mask;
    for (int i = 0; i < w; ++i)
        if ((pixel_value(stage + (std::size_t)i * bpp, bpp) >> value_shift & twgr::value_mask) != key)
            std::memcpy(d + (std::size_t)i * bpp, stage + (std::size_t)i * bpp, (std::size_t)bpp);
}

} // namespace

void _GrFrDrvPackedBitBltR2R(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op)
{
    twgr::packed_bitblt(dst, dx, dy, src, x, y, w, h, op, 0);
}

void twgr::packed_bitblt(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op,
                         int value_shift)
{
    if (w <= 0 || h <= 0 || dst->gf_driver == nullptr)
        return;
    int bpp = dst->gf_driver->bits_per_pixel / 8;
    std::ptrdiff_t dl = dst->gf_lineoffset, sl = src->gf_lineoffset;
    byte* d = dst->gf_baseaddr[0] + dy * dl + (std::ptrdiff_t)dx * bpp;
    const byte* s = src->gf_baseaddr[0] + y * sl + (std::ptrdiff_t)x * bpp;
    // Copy bottom-up when the target lies below the source in the same memory.
    if (d > s) {
        for (int r = h - 1; r >= 0; --r)
            blit_row(d + r * dl, s + r * sl, w, bpp, op, value_shift);
        return;
    }
    for (int r = 0; r < h; ++r)
        blit_row(d + r * dl, s + r * sl, w, bpp, op, value_shift);
}

GrColor* _GrFrDrvGenericGetIndexedScanline(GrFrame* c, int x, int y, int w, int* indx)
{
    if (w <= 0 || c->gf_driver == nullptr)
        return nullptr;
    auto* out = static_cast<GrColor*>(_GrTempBufferAlloc(((std::size_t)w + 1) * sizeof(GrColor)));
    if (out == nullptr)
        return nullptr;
    for (int i = 0; i < w; ++i)
        out[i] = c->gf_driver->readpixel(c, x + (indx != nullptr ? indx[i] : i), y);
    return out;
}

void _GrFrDrvGenericPutScanline(int x, int y, int w, const GrColor* scl, GrColor op)
{
    bool keyed = (op >> 24) == (GrIMAGE >> 24);
    GrColor key = op & twgr::value_mask;
    GrColor mode = keyed ? GrWRITE : (op & 0xFF000000U);
    for (int i = 0; i < w; ++i) {
        GrColor v = scl[i] & twgr::value_mask;
        if (!keyed || v != key)
            twgr::current_driver().drawpixel(x + i, y, v | mode);
    }
}
