// Ellipse and circle outlines and fills: small ones row by row from an integer half-width table, larger
// ones through their point list as a polygon. Small circles keep their spans per radius.
#include "core/twgr_internal.h"
#include "vector/recording.h"

#include <algorithm>
#include <array>
#include <span>

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

// The spans of the row dy rows from the centre (0 <= dy <= b) of an ellipse with half-widths w, as column
// offsets from the centre: the whole row when filled or at the top and bottom, else the outline's two ends.
template <class Emit> void row_spans(const int w[], long long b, long long dy, bool filled, Emit emit)
{
    if (filled || dy >= b) {
        emit(-w[dy], w[dy]);
        return;
    }
    long long outer = w[dy], inner = w[dy + 1];
    if (inner == outer) {
        emit(-outer, -outer);
        emit(outer, outer);
    } else {
        emit(-outer, -inner - 1);
        emit(inner + 1, outer);
    }
}

void scan_table(long long xc, long long yc, long long a, long long b, long long y1, long long y2, const twgr::filler* f,
                GrColor c, bool filled)
{
    int w[table_limit + 2];
    half_widths(a, b, w);
    for (long long r = y1; r <= y2; ++r) {
        long long dy = yc > r ? yc - r : r - yc;
        row_spans(w, b, dy, filled, [&](long long lo, long long hi) { span(xc + lo, xc + hi, r, f, c); });
    }
}

// Circles up to this radius, most data marks among them, draw from spans computed once per radius.
constexpr int span_table_radius = 64;

// One span of a circle: row and columns as offsets from the centre.
using circle_span = GrSpan;

// Every span scan_table draws for a whole circle of each radius up to span_table_radius, outline and disc, in
// its order; built once, in place (drawing allocates nothing).
class circle_tables
{
public:
    circle_tables()
    {
        for (int r = 1; r <= span_table_radius; ++r) {
            int w[table_limit + 2];
            half_widths(r, r, w);
            for (const bool filled : {false, true}) {
                first[r][filled] = count;
                for (int dy = -r; dy <= r; ++dy)
                    row_spans(w, r, dy < 0 ? -dy : dy, filled, [&](long long lo, long long hi) {
                        spans[count++] = {dy, (int)lo, (int)hi};
                    });
            }
            first[r + 1][0] = count;
        }
    }
    std::span<const circle_span> of(int r, bool filled) const
    {
        const std::size_t end = filled ? first[r + 1][0] : first[r][1];
        return {spans.data() + first[r][filled], spans.data() + end};
    }

private:
    // At most two spans a row for the outline and one for the disc.
    static constexpr std::size_t capacity = 3 * (span_table_radius + 1) * (span_table_radius + 1);
    std::array<circle_span, capacity> spans{};
    std::array<std::array<std::size_t, 2>, span_table_radius + 2> first{};
    std::size_t count = 0;
};

std::span<const circle_span> spans_of_radius(int r, bool filled)
{
    static const circle_tables tables;
    return tables.of(r, filled);
}

// A circle of radius 1..span_table_radius from its spans: straight to the frame driver when it lies wholly
// inside the clip box, else each span clipped (rows outside the box are skipped, as the scanner's are).
void table_circle(int xc, int yc, int r, GrColor c, bool filled)
{
    const std::span<const circle_span> list = spans_of_radius(r, filled);
    const GrContext& ctx = twgr::current_context();
    const long long x = xc, y = yc;
    if (x - r >= ctx.gc_xcliplo && x + r <= ctx.gc_xcliphi && y - r >= ctx.gc_ycliplo && y + r <= ctx.gc_ycliphi) {
        const _GR_frameDriver& driver = twgr::current_driver();
        const int fx = xc + ctx.gc_xoffset, fy = yc + ctx.gc_yoffset;
        if (driver.drawspans != nullptr) {
            driver.drawspans(fx, fy, list.data(), static_cast<int>(list.size()), c);
            return;
        }
        for (const circle_span& s : list)
            driver.drawhline(fx + s.x1, fy + s.dy, s.x2 - s.x1 + 1, c);
        return;
    }
    for (const circle_span& s : list) {
        const long long row = y + s.dy;
        if (row >= ctx.gc_ycliplo && row <= ctx.gc_ycliphi)
            span(x + s.x1, x + s.x2, row, &_GrSolidFiller, c);
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
    if (twgr::active_recording != nullptr)
        twgr::record_ellipse(xc, yc, xa, ya, c, false);
    scan_ellipse(xc, yc, xa, ya, &_GrSolidFiller, c, 0);
}

void GrFilledEllipse(int xc, int yc, int xa, int ya, GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_ellipse(xc, yc, xa, ya, c, true);
    scan_ellipse(xc, yc, xa, ya, &_GrSolidFiller, c, 1);
}

void GrCircle(int xc, int yc, int r, GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_ellipse(xc, yc, r, r, c, false);
    const long long radius = r < 0 ? -(long long)r : r;
    if (radius > 0 && radius <= span_table_radius)
        table_circle(xc, yc, (int)radius, c, false);
    else
        scan_ellipse(xc, yc, r, r, &_GrSolidFiller, c, 0);
}

void GrFilledCircle(int xc, int yc, int r, GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_ellipse(xc, yc, r, r, c, true);
    const long long radius = r < 0 ? -(long long)r : r;
    if (radius > 0 && radius <= span_table_radius)
        table_circle(xc, yc, (int)radius, c, true);
    else
        scan_ellipse(xc, yc, r, r, &_GrSolidFiller, c, 1);
}
