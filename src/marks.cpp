// Data marks: rings, filled discs, ellipses and quiver arrows of the points of one data set, and the
// joining lines of the line mode. Pixel positions come from the plot's scales, truncated toward zero.
#include "marks.h"

#include <cmath>
#include <cstdio>

#include "ellipse.h"
#include "graphics_mode.h"
#include "messages.h"
#include "scale_mapping.h"
#include "settings.h"

int doline = 0;

namespace
{

constexpr int ellipse_corners = 36;
constexpr double arrow_angle = 0.6981317007977318; // 40 degrees
constexpr double arrow_head_part = 0.2;

// Ring radii beyond any page are cut to half the far-off distance: a ring whose centre saturated off the
// page then still never reaches back onto it, and a primitive never sees an absurd radius.
constexpr int radius_limit = pixel_far / 2;

// The pixel radius of a ring value: truncated toward zero, bounded, and a NaN (0 times an infinite
// scale) is the single pixel of radius 0.
int ring_radius(double r)
{
    if (std::isnan(r))
        return 0;
    const int pixels = trunc_pixel(r);
    return pixels > radius_limit ? radius_limit : (pixels < -radius_limit ? -radius_limit : pixels);
}

// The point's pixel on a plot area YSize rows high (rows counted downward).
int column_of(const data& d, std::size_t i)
{
    return trunc_pixel(Xscale.scale(d.x[i]));
}
int row_of(const data& d, std::size_t i, int YSize)
{
    return YSize - trunc_pixel(Yscale.scale(d.y[i] + d.offset_y));
}

struct ring_at {
    int x, y, r;
};

// Line mode: the segment from the edge of the previous ring to the edge of this one, along the line
// joining the centres. A negative radius reaches across the disc to its far edge.
void join_rings(const ring_at& from, const ring_at& to, GrColor c)
{
    const double phi = std::atan2(static_cast<double>(to.y - from.y), static_cast<double>(to.x - from.x));
    const double cp = std::cos(phi), sp = std::sin(phi);
    GrLine(trunc_pixel(from.x + from.r * cp), trunc_pixel(from.y + from.r * sp), trunc_pixel(to.x - to.r * cp),
           trunc_pixel(to.y - to.r * sp), c);
}

void trace_skipped(const data& d, std::size_t i)
{
    const myMinMax& m = d.mod_minmax;
    TW_DEBUG("skipped x=" << d.x[i] << " y=" << d.y[i] << " z=" << d.z[i] << " x:" << m.x.Min << ".." << m.x.Max
                          << " y:" << m.y.Min << ".." << m.y.Max << " z:" << m.z.Min << ".." << m.z.Max);
}

} // namespace

void plot_data(data& d, int YSize, int color)
{
    doline = 0;
    const MinMax& zr = d.mod_minmax.z;
    const GrColor c = colors[color];
    const bool line_mode = draw_type == DT_LINE;
    ring_at previous{};
    for (std::size_t i = 0; i < d.x.size(); ++i) {
        // The negated test also skips a NaN z, which lies inside no range.
        if (!(d.z[i] > zr.Min && d.z[i] < zr.Max)) {
            doline = 0;
            trace_skipped(d, i);
            continue;
        }
        const ring_at here{column_of(d, i), row_of(d, i, YSize), 0};
        const int radius = my_mark(here.x, here.y, d, i, false, c);
        const ring_at drawn{here.x, here.y, radius};
        if (line_mode && doline)
            join_rings(previous, drawn, c);
        doline = 1;
        previous = drawn;
    }
}

int my_mark(int x, int y, const data& d, std::size_t ix, bool filled, GrColor fgcolor)
{
    switch (draw_type) {
    case DT_NORMAL:
    case DT_LINE:
        return my_mark2(x, y, ring_radius(scale_z(d.z[ix])), filled, fgcolor);
    case DT_ELLIPSE_XYUV:
    case DT_ELLIPSE_XUYV:
        return my_ellipse(x, y, d, ix, filled, fgcolor);
    case DT_QUIVER_XYUV:
    case DT_QUIVER_XUYV:
        return my_quiver(x, y, d, ix, filled, fgcolor);
    default:
        std::fprintf(stderr, "Uknown draw_type:%d\n", draw_type);
        return 0;
    }
}

int my_mark2(int x, int y, int radius, bool filled, GrColor fgcolor)
{
    if (radius < 0) {
        mark(x, y, radius, fgcolor);
        return radius;
    }
    if (radius == 0) {
        GrPlot(x, y, fgcolor);
        return 1;
    }
    if (!filled) {
        GrCircle(x, y, radius, fgcolor);
        return radius;
    }
    GrFilledCircle(x, y, radius, colors[COLOR_FILL]);
    GrCircle(x, y, radius, colors[COLOR_FILLRING]);
    return radius;
}

void mark(int x, int y, int z, GrColor)
{
    // Without alt_color every disc takes the first data set's colour, whatever set it belongs to.
    const GrColor fill = alt_color ? colors[COLOR_FILL] : colors[COLOR_FG0];
    const GrColor rim = alt_color ? colors[COLOR_FILLRING] : colors[COLOR_FG0];
    GrFilledCircle(x, y, z, fill);
    GrCircle(x, y, z, rim);
}

int my_ellipse(int x, int y, const data& d, std::size_t ix, int, GrColor fgcolor)
{
    // One factor for both axes keeps the ellipse's shape in pixels. All components zero leave no length
    // to scale by: the factor is then 0 and the ellipse shrinks to its centre pixel.
    double f = Escale.range / (Escale.max - Escale.min);
    if (!std::isfinite(f))
        f = 0.0;
    int xy[ellipse_corners][2];
    calculateEllipse2(x, y, scalee.x * f * d.dx1[ix], scalee.y * f * d.dy1[ix], scalee.x * f * d.dx2[ix],
                      scalee.y * f * d.dy2[ix], ellipse_corners, xy);
    GrPolygon(ellipse_corners, xy, fgcolor);
    return 1;
}

int my_quiver(int x, int y, const data& d, std::size_t ix, int, GrColor fgcolor)
{
    // The components are bounded like ring radii, so the tip stays a valid int however long the arrow.
    const int dx = ring_radius(Xscale.scale2(d.dx1[ix]) * scalee.x + 0.5);
    const int dy = ring_radius(Yscale.scale2(d.dy1[ix]) * scalee.y + 0.5);
    TW_DEBUG("quiver x=" << x << " y=" << y << " dx=" << dx << " dx1=" << d.dx1[ix] << " dy=" << dy
                         << " dy1=" << d.dy1[ix]);
    draw_arrow(x, y, x + dx, y - dy, fgcolor);
    return 1;
}

void draw_arrow(int x1, int y1, int x2, int y2, GrColor fgcolor)
{
    GrLine(x1, y1, x2, y2, fgcolor);
    // Squares in 64 bits: an int sum overflows for arrows longer than about 46000 pixels.
    const long long ddx = static_cast<long long>(x2) - x1, ddy = static_cast<long long>(y2) - y1;
    const double len = std::sqrt(static_cast<double>(ddx * ddx + ddy * ddy));
    const double phi = std::atan2(static_cast<double>(-ddy), static_cast<double>(-ddx)); // tip back to tail
    const double head = arrow_head_part * len;
    for (const double aa : {phi + arrow_angle, phi - arrow_angle})
        GrLine(x2, y2, trunc_pixel(head * std::cos(aa) + x2), trunc_pixel(head * std::sin(aa) + y2), fgcolor);
}
