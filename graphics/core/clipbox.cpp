// Clip boxes of contexts, and the clipping arithmetic shared by the primitives.
#include "core/twgr_internal.h"

#include <algorithm>
#include <utility>

namespace
{

// A 128-bit integer for the products of the clipping arithmetic, which overflow 64 bits on extreme input.
__extension__ typedef __int128 wide;

void set_clip(GrContext& ctx, int x1, int y1, int x2, int y2)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    ctx.gc_xcliplo = std::clamp(x1, 0, ctx.gc_xmax);
    ctx.gc_ycliplo = std::clamp(y1, 0, ctx.gc_ymax);
    ctx.gc_xcliphi = std::clamp(x2, 0, ctx.gc_xmax);
    ctx.gc_ycliphi = std::clamp(y2, 0, ctx.gc_ymax);
}

// One axis of the segment clipping: a1/a2 run along the clipped axis, b1/b2 follow by interpolation.
bool clip_axis(long long& a1, long long& b1, long long& a2, long long& b2, long long lo, long long hi)
{
    if (a1 >= a2) {
        if (a1 < lo || a2 > hi)
            return false;
        if (a2 < lo) {
            b2 += twgr::irscale(b1 - b2, lo - a2, a1 - a2);
            a2 = lo;
        }
        if (a1 > hi) {
            b1 -= twgr::irscale(b1 - b2, a1 - hi, a1 - a2);
            a1 = hi;
        }
        return true;
    }
    if (a2 < lo || a1 > hi)
        return false;
    if (a1 < lo) {
        b1 += twgr::irscale(b2 - b1, lo - a1, a2 - a1);
        a1 = lo;
    }
    if (a2 > hi) {
        b2 -= twgr::irscale(b2 - b1, a2 - hi, a2 - a1);
        a2 = hi;
    }
    return true;
}

// True when the clip box of the current context holds no pixel.
bool clip_is_empty()
{
    const GrContext& c = twgr::current_context();
    return c.gc_xcliplo > c.gc_xcliphi || c.gc_ycliplo > c.gc_ycliphi;
}

} // namespace

void GrSetClipBoxC(GrContext* ctx, int x1, int y1, int x2, int y2)
{
    if (ctx != nullptr)
        set_clip(*ctx, x1, y1, x2, y2);
}

void GrSetClipBox(int x1, int y1, int x2, int y2)
{
    set_clip(twgr::current_context(), x1, y1, x2, y2);
}

void GrGetClipBox(int* x1p, int* y1p, int* x2p, int* y2p)
{
    const GrContext& c = twgr::current_context();
    *x1p = c.gc_xcliplo;
    *y1p = c.gc_ycliplo;
    *x2p = c.gc_xcliphi;
    *y2p = c.gc_ycliphi;
}

void GrResetClipBoxC(GrContext* ctx)
{
    if (ctx != nullptr)
        set_clip(*ctx, 0, 0, ctx->gc_xmax, ctx->gc_ymax);
}

void GrResetClipBox(void)
{
    GrResetClipBoxC(&twgr::current_context());
}

long long twgr::irscale(long long x, long long n, long long d)
{
    const int s = ((x ^ n ^ d) < 0) ? -1 : 0;
    // Factors below 2^31 keep the doubled product within 64 bits, where the division gives the same quotient
    // at a fraction of the cost of the 128-bit one (large ellipses scale every corner point through here).
    constexpr long long narrow = 1LL << 31;
    if (x > -narrow && x < narrow && n > -narrow && n < narrow)
        return (2 * x * n / d + s + 1) >> 1;
    wide q = (wide)2 * x * n / d;
    return (long long)((q + s + 1) >> 1);
}

bool twgr::clip_box(long long& x1, long long& y1, long long& x2, long long& y2)
{
    const GrContext& c = current_context();
    if (clip_is_empty() || x1 > c.gc_xcliphi || x2 < c.gc_xcliplo || y1 > c.gc_ycliphi || y2 < c.gc_ycliplo)
        return false;
    x1 = std::max(x1, (long long)c.gc_xcliplo);
    y1 = std::max(y1, (long long)c.gc_ycliplo);
    x2 = std::min(x2, (long long)c.gc_xcliphi);
    y2 = std::min(y2, (long long)c.gc_ycliphi);
    return true;
}

bool twgr::clip_line(long long& x1, long long& y1, long long& x2, long long& y2)
{
    const GrContext& c = current_context();
    if (clip_is_empty())
        return false;
    if (beside_clip_box(c, x1, y1, x2, y2)) // before any interpolation
        return false;
    return clip_axis(x1, y1, x2, y2, c.gc_xcliplo, c.gc_xcliphi) &&
           clip_axis(y1, x1, y2, x2, c.gc_ycliplo, c.gc_ycliphi);
}
