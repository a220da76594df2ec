// The composer: margins and plot ranges of a page, the scales, and the order in which the page is drawn.
#include "plot/compose.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>
#include <vector>

#include "core/messages.h"
#include "core/settings.h"
#include "data/draw_types.h"
#include "plot/axes.h"
#include "plot/colour_bar.h"
#include "plot/compose_page.h"
#include "plot/density.h"
#include "plot/graphics_mode.h"
#include "plot/guides.h"
#include "plot/marks.h"
#include "plot/overlay_draw.h"
#include "plot/scale_mapping.h"
#include "plot/time_axes.h"
#include "portable/mypath.h"

namespace
{

// Widens from on both sides by the fraction add of its extent; an empty extent counts as 1 wide.
void widen(const MinMax& from, MinMax& to, double add)
{
    double r = from.Max - from.Min;
    if (r == 0)
        r = 1;
    r *= add;
    to.Min = from.Min - r;
    to.Max = from.Max + r;
}

// A range still empty after widening (a zero fraction on one row or equal values, or values so large that the
// fraction is lost in rounding) cannot be given ticks: it gets the default widening, scaled to the values where
// that too would be lost.
void keep_open(MinMax& range)
{
    constexpr double default_fraction = 0.02;
    if (range.Min != range.Max || !std::isfinite(range.Min))
        return;
    const double centre = range.Min;
    // The default widening takes the empty extent as 1 wide; far from 0 that is lost, so the value's size counts.
    double r = default_fraction;
    if (centre - r == centre + r)
        r = default_fraction * std::fabs(centre);
    range.Min = centre - r;
    range.Max = centre + r;
}

// The extent of the positive values of an axis, the only ones a log axis shows: the read extent when it is all
// positive, else the rows' smallest positive value up to the read maximum. Empty (Min > Max) when none is.
MinMax positive_extent(const MinMax& read, const std::vector<double>& rows)
{
    if (read.Min > 0)
        return read;
    MinMax m;
    if (!(read.Max > 0))
        return m;
    for (const double v : rows)
        if (v > 0)
            m.set_min(v);
    m.Max = read.Max;
    return m;
}

bool is_empty(const MinMax& m)
{
    return !(m.Min <= m.Max);
}

// Widens a positive extent on a log axis by the fraction add of its extent in decades; an extent of one value
// counts as one decade wide, and an axis without positive values shows 1 to 10. The limits stay within the
// positive doubles, so their log10 stays finite.
void widen_log(const MinMax& from, MinMax& to, double add)
{
    if (is_empty(from)) {
        to.Min = 1;
        to.Max = 10;
        return;
    }
    const double lo = std::log10(from.Min), hi = std::log10(from.Max);
    double r = hi - lo;
    if (r == 0)
        r = 1;
    r *= add;
    to.Min = std::max(std::pow(10.0, lo - r), std::numeric_limits<double>::denorm_min());
    to.Max = std::min(std::pow(10.0, hi + r), std::numeric_limits<double>::max());
}

// The extent of one axis over the rows of every data set (y with each one's offset, as drawn); on a log axis
// only the positive values count. Empty (Min > Max) when no row has a value there.
MinMax extent_of_all(const data* d, std::vector<double> data::*rows, bool with_offset, bool positive_only)
{
    MinMax m;
    for (int i = 0; i < 10; ++i) {
        const data& set = d[i];
        if (set.x.empty())
            continue;
        const double offset = with_offset ? set.offset_y : 0.0;
        for (const double row : set.*rows) {
            const double v = row + offset;
            if (positive_only && !(v > 0))
                continue;
            m.set_min(v);
            m.set_max(v);
        }
    }
    return m;
}

// The read extents the plot ranges are widened from: data set 0's, or with --ranges=all those of every data
// set together. On a log axis the positive values' extent.
struct read_extents {
    MinMax x, y, z;
};

read_extents reference_extents(const data* d)
{
    const data& d0 = d[0];
    if (!ranges_all)
        return {log_x ? positive_extent(d0.minmax.x, d0.x) : d0.minmax.x,
                log_y ? positive_extent(d0.minmax.y, d0.y) : d0.minmax.y, d0.minmax.z};
    return {extent_of_all(d, &data::x, false, log_x != 0), extent_of_all(d, &data::y, true, log_y != 0),
            extent_of_all(d, &data::z, false, false)};
}

// A log axis takes only positive user limits; others have already been reported and are left out here.
void drop_nonpositive_limits(MinMax& limits)
{
    const MinMax unset;
    if (user_min_given(limits) && !(limits.Min > 0))
        limits.Min = unset.Min;
    if (user_max_given(limits) && !(limits.Max > 0))
        limits.Max = unset.Max;
}

// Which axis a range check looks at, whether it is a log axis, and what it says about the extremes of another
// data set.
struct axis_check {
    MinMax myMinMax::*axis;
    std::vector<double> data::*rows;
    const int* log_axis;
    bool data::*warned;
    const char* max_message;
    const char* min_message;
};

constexpr axis_check x_check{&myMinMax::x,
                             &data::x,
                             &log_x,
                             &data::warned_x,
                             "Max x-value(%g) lies outside the x-range of the plot (%g - %g)\nSuggest using "
                             "--maxx/--minx or --ranges=all to change scale\n",
                             "Min x-value(%g) lies outside the x-range of the plot (%g - %g)\nSuggest using "
                             "--maxx/--minx or --ranges=all to change scale\n"};

constexpr axis_check y_check{&myMinMax::y,
                             &data::y,
                             &log_y,
                             &data::warned_y,
                             "Max y-value(%g) lies outside the y-range of the plot (%g - %g)\nSuggest using "
                             "--maxy/--miny or --ranges=all to change scale\n",
                             "Min y-value(%g) lies outside the y-range of the plot (%g - %g)\nSuggest using "
                             "--maxy/--miny or --ranges=all to change scale\n"};

// Data sets 1..9 are drawn on data set 0's scales; each is told once per run when its extremes fall outside.
void warn_outside(data* d, const axis_check& check)
{
    const MinMax& plot = d[0].mod_minmax.*check.axis;
    for (int i = 1; i < 10; ++i) {
        data& other = d[i];
        if (other.x.empty() || other.*check.warned)
            continue;
        // On a log axis only the positive values count; the others are counted apart, as rows not drawn.
        const MinMax own =
            *check.log_axis ? positive_extent(other.minmax.*check.axis, other.*check.rows) : other.minmax.*check.axis;
        other.*check.warned = true;
        if (is_empty(own))
            continue;
        if (!plot.inrange_excl(own.Max))
            warning(check.max_message, own.Max, plot.Min, plot.Max);
        if (!plot.inrange_excl(own.Min))
            warning(check.min_message, own.Min, plot.Min, plot.Max);
    }
}

// A widening past the largest double (values near +-1.8e308, or an infinite --range-add) ends at the largest
// finite values, so the mappings, which take such spans in halves, still place every finite value. A limit
// that is no number places nothing: the run ends rather than save an empty plot.
void keep_finite(MinMax& plot, const char* axis)
{
    constexpr double largest = std::numeric_limits<double>::max();
    if (std::isnan(plot.Min) || std::isnan(plot.Max))
        error("the %s range of the plot (%g - %g) is no range of numbers\n", axis, plot.Min, plot.Max);
    plot.Min = std::clamp(plot.Min, -largest, largest);
    plot.Max = std::clamp(plot.Max, -largest, largest);
}

// Each data set tells once, after it is read, how many of its rows have no place on the log axes.
void warn_off_log_axes(data* d)
{
    for (int i = 0; i < 10; ++i) {
        data& set = d[i];
        if (set.x.empty() || set.warned_log)
            continue;
        set.warned_log = true;
        const std::size_t n = rows_off_log_axes(set);
        if (n > 0)
            warning("%zu of the %zu rows of data set %d (%s) have a value <= 0 on a log axis and are not drawn\n", n,
                    set.x.size(), i, set.fname.c_str());
    }
}

// Each data set tells once, after it is read, how many of its rows fall outside the plot's z range (data set
// 0's, or the user's --minz/--maxz), which filters every data set.
void warn_outside_z(data* d)
{
    const MinMax& z = d[0].mod_minmax.z;
    for (int i = 0; i < 10; ++i) {
        data& set = d[i];
        if (set.x.empty() || set.warned_z)
            continue;
        set.warned_z = true;
        const std::size_t n = rows_outside_z(set, z);
        if (n > 0)
            warning("%zu of the %zu rows of data set %d (%s) have a z value outside the z range of the plot (%g - "
                    "%g) and are not drawn\n",
                    n, set.x.size(), i, set.fname.c_str(), z.Min, z.Max);
    }
}

void trace_colors()
{
    for (int i = 0; i < COLOR_LAST; ++i)
        TW_DEBUG(colornames[i] << " " << i << " " << std::hex << std::setw(6) << std::setfill('0') << colors[i]);
}

// Page size, font height and the vertical margins; the horizontal ones need the plot ranges first.
page_layout plan_vertical()
{
    page_layout l;
    const GrContext* page = GrCurrentContext();
    l.maxX = page->gc_xmax;
    l.maxY = page->gc_ymax;
    l.th = font->h.height;
    l.yoffset = std::max(20, (title.empty() ? 0 : l.th) + (printpath ? l.th : 0));
    l.y_lowoffset = labelx.empty() ? l.th + 3 : 2 * (l.th + 3);
    l.rangey = l.maxY - l.yoffset - l.y_lowoffset - 1;
    return l;
}

// The width of the colour bar's column: its labels measured on the colour range, or for counts on the
// widest a count of the page's rows can give.
int colour_bar_column(const page_layout& l, const data* d, GrTextOption& text)
{
    if (!colours_by_value(d))
        return 0;
    const bool counts = density != DENSITY_NONE && !has_colour_column(d);
    const int labels =
        counts ? count_label_width(rows_of_page(d), text) : bar_label_width(page_value_scale(d), l.rangey, text);
    return colour_bar_width(labels, l.th);
}

// The z legend column (as wide as the legend needs), the ring size check, the left margin sized by the
// widest y label, and the colour bar's column at the right edge, taken from the plot's width.
void plan_horizontal(page_layout& l, const data* d, const axis_style& axes)
{
    const data& d0 = d[0];
    const myMinMax& m = d0.mod_minmax;
    if (scaleinfo)
        Zscale.legend_width = std::max(Zscale.legend_width, z_legend_width(l, d0, *axes.text));
    if (std::fabs(m.z.Min * Zscale.per_z) > l.maxX || std::fabs(Zscale.per_z * m.z.Max) > l.maxX)
        warning("some rings are bigger than the plot\n");
    const int base = labely.empty() ? 7 : l.th + 7;
    // An elapsed y axis is labelled with the seconds since its origin.
    const double y_origin = elapsed_y_axis ? elapsed_origin(d0.y) : 0;
    const int w = draw_y_axes(axes, 0, l.rangey, base, l.yoffset + 1, log_y, m.y.Min - y_origin, m.y.Max - y_origin, 1);
    // A left offset beyond any page is held at the far limit, so the sums below stay in range.
    l.xoffset = left_offset > 0 ? std::min(left_offset, pixel_far) : base + w;
    l.colourbar = colour_bar_column(l, d, *axes.text);
    const long long rangex =
        static_cast<long long>(l.maxX) - Zscale.legend_width - l.xoffset - l.xoffset / 2 - l.colourbar;
    l.rangex = static_cast<int>(std::clamp<long long>(rangex, -pixel_far, pixel_far));
}

bool has_room(const page_layout& l)
{
    return l.rangex >= 1 && l.rangey >= 1;
}

// The scale factor of ellipse and quiver components, as text at the top right.
void draw_component_scale(const page_layout& l, GrTextOption& opt)
{
    std::ostringstream text;
    text << scalee;
    const long width = GrStringWidth_(text.str(), &opt);
    gprintfxy(l.maxX - width, 0, &opt, "%s", text.str().c_str());
}

// The common pixel scale of the ellipse components, which the marks read; the ranges go to standard error.
void set_ellipse_scale(const page_layout& l, const data& d0)
{
    if (!draw_type_of(draw_type).common_component_scale)
        return;
    const myMinMax& m = d0.minmax;
    Escale.max = std::max({std::fabs(m.e1.Max), std::fabs(m.e1.Min), std::fabs(m.e2.Max), std::fabs(m.e2.Min)});
    Escale.min = -Escale.max;
    Escale.range = std::min(l.rangex, l.rangey);
    std::cerr << "rangex:" << l.rangex << " rangey:" << l.rangey << "\n"
              << "range e1:" << m.e1.Max - m.e1.Min << " range e2:" << m.e2.Max - m.e2.Min << "\n";
}

// How the page colours by value: the scale of its colours, and the counts of density shading.
struct value_colours {
    bool on = false;
    colour_scale scale;
    density_grid grid;
};

value_colours plan_value_colours(const page_layout& l, const data* d)
{
    value_colours v;
    v.on = colours_by_value(d);
    if (!v.on)
        return v;
    const bool by_colour = has_colour_column(d);
    if (density != DENSITY_NONE) {
        v.grid = count_rows(d, l.rangex, l.rangey, by_colour);
        if (!by_colour) {
            v.scale = count_scale(v.grid, density);
            return v;
        }
    }
    v.scale = page_value_scale(d);
    return v;
}

// Grid, data sets (or their density), overlay items and key inside the plot area, in its own coordinates.
void draw_plot_area(const page_layout& l, data* d, GrTextOption& opt, const grid_ticks& grid,
                    const value_colours& shading)
{
    GrContext area{};
    if (GrCreateSubContext(l.xoffset, l.yoffset, l.xoffset + l.rangex, l.yoffset + l.rangey, nullptr, &area) == nullptr)
        return;
    const twgr::current_context_guard inside_area(&area);
    if (grid_lines)
        draw_grid(l, grid);
    // The marks of the data sets: a vector picture keeps them as shapes up to its limit, above it as an image.
    GrRecordMarks(1);
    if (density != DENSITY_NONE) {
        draw_density(shading.grid, shading.scale);
    } else {
        for (int i = 0; i < 10; ++i) {
            if (d[i].x.empty())
                continue;
            TW_DEBUG("plotting dataset " << i);
            d[i].mod_minmax = d[0].mod_minmax;
            plot_data(d[i], l.rangey, COLOR_FG0 + i, shading.on ? &shading.scale : nullptr);
        }
    }
    GrRecordMarks(0);
    do_circles(l.rangey);
    do_arrows(l.rangey);
    do_text(l.rangey, &opt);
    do_line(l.rangey);
    draw_key(l, d, plot_text_options());
}

// A page planned: its layout, the path heading and whether the plot area has room.
struct page_plan {
    page_layout layout;
    std::string fullpath;
    bool room = false;
};

// Everything of a page before its first pixel, with every message the page gives apart from the ellipse ranges.
page_plan plan_page(data* d)
{
    page_plan plan;
    plan.fullpath = absolute_path(d[0].fname, true);
    trace_colors();
    page_layout& l = plan.layout;
    l = plan_vertical();
    set_plot_ranges(d);
    warn_off_log_axes(d);
    warn_outside_z(d);
    GrTextOption measuring = plot_text_options();
    plan_horizontal(l, d, axis_style{&measuring, colors[COLOR_AX]});
    plan.room = has_room(l);
    if (!plan.room)
        warning("a page of %d x %d pixels leaves no room for the plot\n", l.maxX + 1, l.maxY + 1);
    return plan;
}

void set_xy_scales(const page_layout& l, const data& d0)
{
    const myMinMax& m = d0.mod_minmax;
    Xscale.set(m.x.Min, m.x.Max, l.rangex, log_x != 0);
    Yscale.set(m.y.Min, m.y.Max, l.rangey, log_y != 0);
}

page_layout draw_page(const page_plan& plan, data* d)
{
    const page_layout& l = plan.layout;
    GrTextOption opt = plot_text_options();
    // The axes align their labels each their own way; the overlay texts keep the plot's top-left alignment.
    GrTextOption axis_opt = opt;
    const axis_style axes{&axis_opt, colors[COLOR_AX]};
    grid_ticks grid;
    GrClearScreen(colors[COLOR_BG]);
    GrClearContext(colors[COLOR_BG]);
    set_xy_scales(l, d[0]);
    if (plan.room && has_components(draw_type_of(draw_type))) {
        draw_component_scale(l, opt);
        set_ellipse_scale(l, d[0]);
    }
    draw_headings(l, opt, d[0], plan.fullpath);
    if (plan.room) {
        draw_frame_and_labels(l, opt);
        draw_both_axes(l, d[0], axes, grid_lines ? &grid : nullptr);
    }
    draw_z_legend(l, d[0], axes);
    const value_colours shading = plan.room ? plan_value_colours(l, d) : value_colours{};
    if (shading.on)
        draw_colour_bar(l, shading.scale, axes);
    if (plan.room)
        draw_plot_area(l, d, opt, grid, shading);
    return l;
}

} // namespace

GrTextOption plot_text_options()
{
    GrTextOption opt{};
    opt.txo_font = font;
    opt.txo_fgcolor.v = colors[COLOR_AX];
    opt.txo_bgcolor.v = colors[COLOR_BG];
    return opt;
}

void set_plot_ranges(data* d)
{
    data& d0 = d[0];
    d0.mod_minmax = d0.minmax;
    const read_extents read = reference_extents(d);
    if (log_x) {
        widen_log(read.x, d0.mod_minmax.x, range_add_x);
    } else {
        widen(read.x, d0.mod_minmax.x, range_add_x);
        keep_open(d0.mod_minmax.x);
    }
    // The x check comes before the user's limits apply, the y check after them: the messages users know depend on
    // this order, so it is kept on purpose, however uneven it looks.
    warn_outside(d, x_check);
    if (log_y) {
        widen_log(read.y, d0.mod_minmax.y, range_add_y);
    } else {
        widen(read.y, d0.mod_minmax.y, range_add_y);
        keep_open(d0.mod_minmax.y);
    }
    const double largest_z = std::max(std::fabs(read.z.Min), std::fabs(read.z.Max));
    z_area_reference = read.z.Min <= read.z.Max && std::isfinite(largest_z) ? largest_z : 0.0;
    widen(read.z, d0.mod_minmax.z, range_add_z);
    MinMax& z = d0.mod_minmax.z;
    if (z.Min == 0 && z.Max == 0) {
        z.Max = 0.1;
        z.Min = -0.1;
    }
    keep_open(z);
    myMinMax limits = UserMinMax;
    if (log_x)
        drop_nonpositive_limits(limits.x);
    if (log_y)
        drop_nonpositive_limits(limits.y);
    d0.apply_UserMinMax(limits);
    d0.check_mod_minmax();
    warn_outside(d, y_check); // after the user's limits, unlike the x check (see above)
    keep_finite(d0.mod_minmax.x, "x");
    keep_finite(d0.mod_minmax.y, "y");
}

page_layout compose(data* d)
{
    return draw_page(plan_page(d), d);
}

void recheck_page(data* d)
{
    const page_plan plan = plan_page(d);
    if (plan.room && has_components(draw_type_of(draw_type)))
        set_ellipse_scale(plan.layout, d[0]);
}
