// Filled convex polygons: two chains of edges walk down from the top vertex, one row at a time, and the
// row between them is one span. Every step is O(1) per row, whatever the edge lengths.
#include "core/twgr_internal.h"
#include "vector/recording.h"

#include <algorithm>
#include <climits>

namespace
{

template <class T> struct chain {
    const T (*pt)[2];
    int n;
    int dir;            // +1: forward through the points, -1: backward
    int end = 0;        // index of the current edge's lower vertex
    long long x = 0;    // x of the edge on the current row
    long long yend = 0; // y of that lower vertex
    long long xend = 0;
    long long dx = 0, dy = 0, e = 0;
    int step = 1;
    bool steep = true;

    int next(int i) const { return dir > 0 ? (i + 1 == n ? 0 : i + 1) : (i == 0 ? n - 1 : i - 1); }

    void setup(long long x0, long long y0, int to)
    {
        end = to;
        x = x0;
        xend = pt[to][0];
        yend = pt[to][1];
        dy = yend - y0;
        step = xend < x0 ? -1 : 1;
        dx = xend < x0 ? x0 - xend : xend - x0;
        steep = dy >= dx;
        e = steep ? (dy - (step < 0 ? 1 : 0)) >> 1 : dx >> 1;
    }

    // Moves to the next row; a flat edge's x values passed on the way belong to the current row's span.
    void step_row(long long& lo, long long& hi)
    {
        if (dy <= 0)
            return;
        if (steep) {
            e -= dx;
            if (e < 0) {
                e += dy;
                x += step;
            }
            return;
        }
        long long k = e / dy + 1;
        long long last = x + (k - 1) * step;
        lo = std::min({lo, x, last});
        hi = std::max({hi, x, last});
        x += k * step;
        e += dx - k * dy;
    }

    // First edge from the top vertex that reaches row ys, its start moved down to the clip top.
    void start(int top, long long ys, long long yl)
    {
        int from = top, to = next(top);
        for (int guard = 0; pt[to][1] < ys && guard < n; ++guard) {
            from = to;
            to = next(to);
        }
        long long x0 = pt[from][0], y0 = pt[from][1];
        if (y0 < yl && pt[to][1] > y0) {
            x0 += twgr::irscale(pt[to][0] - x0, yl - y0, pt[to][1] - y0);
            y0 = yl;
        }
        setup(x0, y0, to);
    }

    // The chain's share of row y: its x, the vertices it passes on this row, and its step to the next row.
    void take_row(long long y, long long ye, long long& lo, long long& hi)
    {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        if (yend != y) {
            if (y != ye)
                step_row(lo, hi);
            return;
        }
        lo = std::min(lo, xend);
        hi = std::max(hi, xend);
        if (y >= ye)
            return;
        int from = end, to = next(end);
        for (int guard = 0; pt[to][1] <= y && guard < n; ++guard) {
            lo = std::min<long long>(lo, pt[to][0]);
            hi = std::max<long long>(hi, pt[to][0]);
            from = to;
            to = next(to);
        }
        setup(pt[from][0], pt[from][1], to);
        step_row(lo, hi);
    }
};

template <class T> void scan_convex(int n, const T pt[][2], const twgr::filler* f, GrColor c)
{
    if (n > 1 && pt[n - 1][0] == pt[0][0] && pt[n - 1][1] == pt[0][1])
        --n;
    if (n < 1)
        return;
    long long xmin = LLONG_MAX, ymin = LLONG_MAX, xmax = LLONG_MIN, ymax = LLONG_MIN;
    int top = 0;
    for (int i = 0; i < n; ++i) {
        xmin = std::min<long long>(xmin, pt[i][0]);
        xmax = std::max<long long>(xmax, pt[i][0]);
        ymax = std::max<long long>(ymax, pt[i][1]);
        if (pt[i][1] < ymin) {
            ymin = pt[i][1];
            top = i;
        }
    }
    long long bx1 = xmin, by1 = ymin, bx2 = xmax, by2 = ymax;
    if (!twgr::clip_box(bx1, by1, bx2, by2))
        return;
    const GrContext& ctx = twgr::current_context();
    long long ys = by1, ye = by2, xl = ctx.gc_xcliplo, xh = ctx.gc_xcliphi;
    chain<T> left{pt, n, 1}, right{pt, n, -1};
    left.start(top, ys, ctx.gc_ycliplo);
    right.start(top, ys, ctx.gc_ycliplo);
    for (long long y = ys; y <= ye; ++y) {
        long long lo = left.x, hi = left.x;
        left.take_row(y, ye, lo, hi);
        right.take_row(y, ye, lo, hi);
        lo = std::max(lo, xl);
        hi = std::min(hi, xh);
        if (lo <= hi)
            f->scan((int)lo + ctx.gc_xoffset, (int)y + ctx.gc_yoffset, (int)(hi - lo + 1), c);
    }
}

} // namespace

void twgr::scan_convex_poly64(int n, const long long pt[][2], const filler* f, GrColor c)
{
    scan_convex(n, pt, f, c);
}

void GrFilledConvexPolygon(int numpts, int points[][2], GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_polygon(numpts, points, c, true);
    scan_convex(numpts, points, &_GrSolidFiller, c);
}
