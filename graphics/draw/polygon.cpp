// Polygon outlines: each edge clipped like a line and drawn from its upper end.
#include "core/twgr_internal.h"
#include "vector/recording.h"

#include <algorithm>
#include <climits>

namespace
{

// True when the bounding box of the points meets the clip box.
template <class T> bool touches_clip(int n, const T pt[][2])
{
    long long xmin = LLONG_MAX, ymin = LLONG_MAX, xmax = LLONG_MIN, ymax = LLONG_MIN;
    for (int i = 0; i < n; ++i) {
        xmin = std::min<long long>(xmin, pt[i][0]);
        xmax = std::max<long long>(xmax, pt[i][0]);
        ymin = std::min<long long>(ymin, pt[i][1]);
        ymax = std::max<long long>(ymax, pt[i][1]);
    }
    return twgr::clip_box(xmin, ymin, xmax, ymax);
}

template <class T> void draw_polygon(int n, const T pt[][2], const twgr::filler* f, GrColor c, int closed)
{
    if (n < 1)
        return;
    if (n == 1)
        closed = 1;
    if (!touches_clip(n, pt))
        return;
    const GrContext& ctx = twgr::current_context();
    for (int i = closed ? 0 : 1; i < n; ++i) {
        const T* prev = i == 0 ? pt[n - 1] : pt[i - 1];
        long long x1 = prev[0], y1 = prev[1], x2 = pt[i][0], y2 = pt[i][1];
        // Upper end first, the previous point first on a level edge, so shared rows come out the same.
        if (y2 < y1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        if (twgr::beside_clip_box(ctx, x1, y1, x2, y2) || !twgr::clip_line(x1, y1, x2, y2))
            continue;
        f->line((int)x1 + ctx.gc_xoffset, (int)y1 + ctx.gc_yoffset, (int)(x2 - x1), (int)(y2 - y1), c);
    }
}

} // namespace

void twgr::draw_polygon64(int n, const long long pt[][2], const filler* f, GrColor c, int closed)
{
    draw_polygon(n, pt, f, c, closed);
}

void GrPolygon(int numpts, int points[][2], GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_polygon(numpts, points, c, false);
    draw_polygon(numpts, points, &_GrSolidFiller, c, 1);
}
