// Ellipse and circle outlines and fills: small ones row by row from an integer half-width table, larger
// ones through their point list as a polygon.
#include "core/twgr_internal.h"

#include <algorithm>

namespace
{

constexpr long long table_limit = 120;

// Half-widths w[0..b] of the ellipse rows (midpoint algorithm in integers; a, b <= 120 keep d small).
void half_widths(long long a, long long b, int w[])
{
    long long a2 = a * a, b2 = b * b;
    long long y = b, x = 0;
    long long d = 2 * a2 * b * (b - 1) + 2 * b2 * (1 - a2) + a2;
    if (a2 * b > 0) {
        do {
            if (d >= 0) {
                w[y] = (int)x;
                --y;
                d -= 4 * a2 * y;
            }
            d += (2 * x + 3) * 2 * b2;
            ++x;
        } while (a2 * y > b2 * x);
    }
    d = b2 * (1 - 2 * a2) + 2 * b2 * x * (x + 1) + 2 * a2 * (y - 1) * (y - 1);
    while (y >= 0) {
        w[y] = (int)x;
        if (d <= 0) {
            ++x;
            d += 4 * b2 * x;
        }
        --y;
        d += 2 * a2 * (2 - 2 * y);
    }
}

// Clips the span [x1, x2] of row y to the clip box's columns and draws it.
void span(long long x1, long long x2, long long y, const twgr::filler* f, GrColor c)
{
    const GrContext& ctx = twgr::current_context();
    x1 = std::max(x1, (long long)ctx.gc_xcliplo);
    x2 = std::min(x2, (long long)ctx.gc_xcliphi);
    if (x1 <= x2)
        f->scan((int)x1 + ctx.gc_xoffset, (int)y + ctx.gc_yoffset, (int)(x2 - x1 + 1), c);
}

void scan_table(long long xc, long long yc, long long a, long long b, long long y1, long long y2, const twgr::filler* f,
                GrColor c, bool filled)
{
    int w[table_limit + 2];
    half_widths(a, b, w);
    for (long long r = y1; r <= y2; ++r) {
        long long dy = yc > r ? yc - r : r - yc;
        if (filled || dy >= b) {
            span(xc - w[dy], xc + w[dy], r, f, c);
            continue;
        }
        long long outer = w[dy], inner = w[dy + 1];
        if (inner == outer) {
            span(xc - outer, xc - outer, r, f, c);
            span(xc + outer, xc + outer, r, f, c);
        } else {
            span(xc - outer, xc - inner - 1, r, f, c);
            span(xc + inner + 1, xc + outer, r, f, c);
        }
    }
}

void scan_ellipse(int xc, int yc, int xa, int ya, const twgr::filler* f, GrColor c, int filled)
{
    long long a = xa < 0 ? -(long long)xa : xa;
    long long b = ya < 0 ? -(long long)ya : ya;
    long long x1 = xc - a, y1 = yc - b, x2 = xc + a, y2 = yc + b;
    if (!twgr::clip_box(x1, y1, x2, y2))
        return;
    if (a == 0 || b == 0) {
        const GrContext& ctx = twgr::current_context();
        f->line((int)x1 + ctx.gc_xoffset, (int)y1 + ctx.gc_yoffset, (int)(x2 - x1), (int)(y2 - y1), c);
        return;
    }
    if (a <= table_limit && b <= table_limit) {
        scan_table(xc, yc, a, b, y1, y2, f, c, filled != 0);
        return;
    }
    long long pts[1024][2];
    int n = twgr::generate_ellipse64(xc, yc, xa, ya, pts);
    if (filled)
        twgr::scan_convex_poly64(n, pts, f, c);
    else
        twgr::draw_polygon64(n, pts, f, c, 1);
}

} // namespace

void GrEllipse(int xc, int yc, int xa, int ya, GrColor c)
{
    scan_ellipse(xc, yc, xa, ya, &_GrSolidFiller, c, 0);
}

void GrFilledEllipse(int xc, int yc, int xa, int ya, GrColor c)
{
    scan_ellipse(xc, yc, xa, ya, &_GrSolidFiller, c, 1);
}

void GrCircle(int xc, int yc, int r, GrColor c)
{
    scan_ellipse(xc, yc, r, r, &_GrSolidFiller, c, 0);
}

void GrFilledCircle(int xc, int yc, int r, GrColor c)
{
    scan_ellipse(xc, yc, r, r, &_GrSolidFiller, c, 1);
}
