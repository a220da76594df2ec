// Data marks: rings, filled discs, ellipses and quiver arrows of the points of one data set, and the
// joining lines of the line mode. Pixel positions come from the plot's scales, truncated toward zero.
#include "plot/marks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "core/drawing_wanted.h"
#include "core/messages.h"
#include "core/settings.h"
#include "data/draw_types.h"
#include "plot/ellipse.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"

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

// A ring's centre as a pixel position, with its radius.
struct ring_at {
    double x, y;
    int r;
};

// Line mode: the segment from the edge of the previous ring to the edge of this one, along the line
// joining the centres. A negative radius reaches across the disc to its far edge.
void join_rings(const ring_at& from, const ring_at& to, GrColor c)
{
    const double phi = std::atan2(to.y - from.y, to.x - from.x);
    const double cp = std::cos(phi), sp = std::sin(phi);
    draw_segment(from.x + from.r * cp, from.y + from.r * sp, to.x - to.r * cp, to.y - to.r * sp, c);
}

enum far_side : unsigned { left = 1, right = 2, top = 4, bottom = 8 };

unsigned far_sides(double x, double y)
{
    const double far = pixel_far;
    return (x < -far ? left : 0u) | (x > far ? right : 0u) | (y < -far ? top : 0u) | (y > far ? bottom : 0u);
}

// Moves (x, y) along the segment towards (ox, oy) onto one side of the square it lies beyond. The new
// point is reckoned from the other end, by the ratio of coordinate differences: from the far end, or as a
// parameter over the whole segment, the offset of a point 1e300 away would swallow the square's size.
void move_to_side(double& x, double& y, double ox, double oy, unsigned sides)
{
    const double far = pixel_far;
    if (sides & (left | right)) {
        const double to = sides & left ? -far : far;
        y = oy + (y - oy) * ((to - ox) / (x - ox));
        x = to;
    } else {
        const double to = sides & top ? -far : far;
        x = ox + (x - ox) * ((to - oy) / (y - oy));
        y = to;
    }
}

// Cuts the segment to the square of +-pixel_far (Cohen-Sutherland); false when it misses the square. Each
// end moves at most twice, once per axis.
bool cut_to_far_square(double& x1, double& y1, double& x2, double& y2)
{
    for (int move = 0; move < 4; ++move) {
        const unsigned s1 = far_sides(x1, y1), s2 = far_sides(x2, y2);
        if ((s1 | s2) == 0)
            return true;
        if (s1 & s2)
            return false;
        if (s1)
            move_to_side(x1, y1, x2, y2, s1);
        else
            move_to_side(x2, y2, x1, y1, s2);
    }
    return (far_sides(x1, y1) | far_sides(x2, y2)) == 0;
}

bool within_far(double v)
{
    return v > -pixel_far && v < pixel_far;
}

// Positions beyond +-1e300 (infinities among them) are taken as +-1e300: still exact where it matters, as
// far off the page as any, and their sums and differences stay finite.
double bounded_far(double v)
{
    constexpr double huge = 1e300;
    return v > huge ? huge : (v < -huge ? -huge : v);
}

// Rows that have every value the draw type reads. The reader fills the vectors alike; a data set filled
// otherwise is drawn only as far as it is complete, never read past its end.
std::size_t complete_rows(const data& d)
{
    std::size_t n = std::min({d.x.size(), d.y.size(), d.z.size()});
    if (has_components(draw_type_of(draw_type)))
        n = std::min({n, d.dx1.size(), d.dy1.size(), d.dx2.size(), d.dy2.size()});
    return n;
}

// Whether a row's z lies strictly inside the plot's z range; a NaN lies inside no range.
bool inside_z(double z, const MinMax& z_range)
{
    return z > z_range.Min && z < z_range.Max;
}

void trace_skipped(const data& d, std::size_t i)
{
    const myMinMax& m = d.mod_minmax;
    TW_DEBUG("skipped x=" << d.x[i] << " y=" << d.y[i] << " z=" << d.z[i] << " x:" << m.x.Min << ".." << m.x.Max
                          << " y:" << m.y.Min << ".." << m.y.Max << " z:" << m.z.Min << ".." << m.z.Max);
}

// The filled disc of a negative radius z.
void mark(int x, int y, int z, const disc_colours& disc)
{
    GrFilledCircle(x, y, z, disc.fill);
    GrCircle(x, y, z, disc.rim);
}

// Outline of the point's ellipse from its two component vectors; returns 1.
int my_ellipse(int x, int y, const data& d, std::size_t ix, GrColor fgcolor)
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

// A line from (x1, y1) to (x2, y2) with an open head of two strokes at (x2, y2).
void draw_arrow(int x1, int y1, int x2, int y2, GrColor fgcolor)
{
    draw_arrow_between(x1, y1, x2, y2, fgcolor);
}

// Arrow from (x, y) along the point's first component vector; returns 1.
int my_quiver(int x, int y, const data& d, std::size_t ix, GrColor fgcolor)
{
    // The components are bounded like ring radii, so the tip stays a valid int however long the arrow.
    const int dx = ring_radius(Xscale.scale2(d.dx1[ix]) * scalee.x + 0.5);
    const int dy = ring_radius(Yscale.scale2(d.dy1[ix]) * scalee.y + 0.5);
    TW_DEBUG("quiver x=" << x << " y=" << y << " dx=" << dx << " dx1=" << d.dx1[ix] << " dy=" << dy
                         << " dy1=" << d.dy1[ix]);
    draw_arrow(x, y, x + dx, y - dy, fgcolor);
    return 1;
}

// The mark of each shape (indexed by mark_shape), drawn for row ix at pixel (x, y); returns the radius the line
// mode joins to. A draw type with no mark says so on standard error for every row and draws nothing.
using mark_function = int (*)(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours& disc);

int no_mark(int, int, const data&, std::size_t, GrColor, const disc_colours&)
{
    std::fprintf(stderr, "Uknown draw_type:%d\n", draw_type);
    return 0;
}

int ring_of_row(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours& disc)
{
    return ring_mark(x, y, ring_radius(scale_z(d.z[ix])), fgcolor, disc);
}

int ellipse_of_row(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours&)
{
    return my_ellipse(x, y, d, ix, fgcolor);
}

int arrow_of_row(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours&)
{
    return my_quiver(x, y, d, ix, fgcolor);
}

constexpr mark_function marks_by_shape[] = {no_mark, ring_of_row, ellipse_of_row, arrow_of_row};
static_assert(std::size(marks_by_shape) == static_cast<std::size_t>(mark_shape::arrow) + 1);

mark_function mark_of(const draw_type_row& type)
{
    return marks_by_shape[static_cast<std::size_t>(type.mark)];
}

} // namespace

bool fits_log_axes(const data& d, std::size_t i)
{
    // The negated tests also refuse a NaN, which has no log either.
    if (log_x && !(d.x[i] > 0))
        return false;
    return !(log_y && !(d.y[i] + d.offset_y > 0));
}

std::size_t rows_off_log_axes(const data& d)
{
    if (!log_x && !log_y)
        return 0;
    std::size_t n = 0;
    const std::size_t rows = std::min(d.x.size(), d.y.size());
    for (std::size_t i = 0; i < rows; ++i)
        n += fits_log_axes(d, i) ? 0 : 1;
    return n;
}

std::size_t rows_outside_z(const data& d, const MinMax& z_range)
{
    std::size_t n = 0;
    const std::size_t rows = complete_rows(d);
    for (std::size_t i = 0; i < rows; ++i)
        n += !inside_z(d.z[i], z_range) && fits_log_axes(d, i) ? 1 : 0;
    return n;
}

std::vector<mark_extent> drawn_marks(const data& d, int YSize, const MinMax& z_range)
{
    std::vector<mark_extent> marks;
    const std::size_t rows = complete_rows(d);
    const bool rings = draw_type_of(draw_type).mark == mark_shape::ring;
    for (std::size_t i = 0; i < rows; ++i) {
        if (!inside_z(d.z[i], z_range) || !fits_log_axes(d, i))
            continue;
        const double xx = pixel_position(Xscale.scale(d.x[i]));
        const double yy = YSize - pixel_position(Yscale.scale(d.y[i] + d.offset_y));
        const int radius = rings ? std::abs(ring_radius(scale_z(d.z[i]))) : 0;
        marks.push_back({xx, yy, radius});
    }
    return marks;
}

disc_colours set_disc_colours(int n)
{
    // Without alt_color every disc takes the first data set's colour, whatever set it belongs to.
    if (!alt_color)
        return {colors[COLOR_FG0], colors[COLOR_FG0]};
    if (!set_fills || n <= 0 || n >= 10 || fill_color_given)
        return {colors[COLOR_FILL], colors[COLOR_FILLRING]};
    return {set_fill_colors[n], colors[COLOR_FG0 + n]};
}

void plot_data(data& d, int YSize, int color, const colour_scale* shade)
{
    constexpr std::size_t rows_between_checks = 4096;
    bool joined = false; // a previous point exists to join from
    const MinMax& zr = d.mod_minmax.z;
    const GrColor base = colors[color];
    const draw_type_row& type = draw_type_of(draw_type);
    const mark_function draw_mark = mark_of(type);
    const bool line_mode = type.joins_rows;
    ring_at previous{};
    const std::size_t rows = complete_rows(d);
    const bool by_value = shade != nullptr && d.c.size() >= rows;
    const disc_colours set_discs = set_disc_colours(color - COLOR_FG0);
    auto next_block = d.block_starts.begin();
    for (std::size_t i = 0; i < rows; ++i) {
        // A window may ask for another view meanwhile: a picture nobody will see is left unfinished.
        if (i % rows_between_checks == 0 && i > 0 && !drawing_wanted())
            return;
        if (next_block != d.block_starts.end() && *next_block == i) {
            joined = false;
            ++next_block;
        }
        if (!inside_z(d.z[i], zr) || !fits_log_axes(d, i)) {
            joined = false;
            trace_skipped(d, i);
            continue;
        }
        if (by_value && std::isnan(d.c[i])) {
            joined = false;
            continue;
        }
        const GrColor c = by_value ? shade->color(d.c[i]) : base;
        const disc_colours disc = by_value ? disc_colours{c, base} : set_discs;
        const double xx = pixel_position(Xscale.scale(d.x[i]));
        const double yy = YSize - pixel_position(Yscale.scale(d.y[i] + d.offset_y));
        const int radius = draw_mark(trunc_pixel(xx), trunc_pixel(yy), d, i, c, disc);
        const ring_at drawn{xx, yy, radius};
        if (line_mode && joined)
            join_rings(previous, drawn, c);
        joined = true;
        previous = drawn;
    }
}

int my_mark(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours& disc)
{
    return mark_of(draw_type_of(draw_type))(x, y, d, ix, fgcolor, disc);
}

int my_mark2(int x, int y, int radius, GrColor fgcolor)
{
    return ring_mark(x, y, radius, fgcolor, set_disc_colours(0));
}

int ring_mark(int x, int y, int radius, GrColor fgcolor, const disc_colours& disc)
{
    if (radius < 0) {
        mark(x, y, radius, disc);
        return radius;
    }
    if (radius == 0) {
        GrPlot(x, y, fgcolor);
        return 1;
    }
    GrCircle(x, y, radius, fgcolor);
    return radius;
}

double pixel_position(double v)
{
    if (std::isnan(v))
        return v;
    if (within_far(v))
        return std::trunc(v);
    return bounded_far(v);
}

void draw_segment(double x1, double y1, double x2, double y2, GrColor c)
{
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return;
    // Differences of bounded ends stay finite, so the cut never meets infinity minus infinity.
    x1 = bounded_far(x1);
    y1 = bounded_far(y1);
    x2 = bounded_far(x2);
    y2 = bounded_far(y2);
    const bool near = within_far(x1) && within_far(y1) && within_far(x2) && within_far(y2);
    if (!near && !cut_to_far_square(x1, y1, x2, y2))
        return;
    GrLine(trunc_pixel(x1), trunc_pixel(y1), trunc_pixel(x2), trunc_pixel(y2), c);
}

void draw_arrow_between(double x1, double y1, double x2, double y2, GrColor fgcolor)
{
    x1 = bounded_far(x1);
    y1 = bounded_far(y1);
    x2 = bounded_far(x2);
    y2 = bounded_far(y2);
    draw_segment(x1, y1, x2, y2, fgcolor);
    // Whole pixel positions make this the arrow of whole pixels: squares below 2^52 are exact in a double.
    // Ends far apart would overflow the squares; hypot does not.
    double len = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    if (!std::isfinite(len))
        len = std::hypot(x2 - x1, y2 - y1);
    const double phi = std::atan2(y1 - y2, x1 - x2); // from the tip back to the tail
    const double head = arrow_head_part * len;
    for (const double aa : {phi + arrow_angle, phi - arrow_angle})
        draw_segment(x2, y2, head * std::cos(aa) + x2, head * std::sin(aa) + y2, fgcolor);
}
