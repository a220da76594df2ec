// Texts, frame, axes and z legend around the plot area of a page.
#include "plot/compose_page.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "core/settings.h"
#include "plot/axes.h"
#include "plot/graphics_mode.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"
#include "plot/time_axes.h"

namespace
{

// Half of v rounded down, also for negative v (a text wider than the page starts left of it).
long floor_half(long long v)
{
    return static_cast<long>(v >= 0 ? v / 2 : -((-v + 1) / 2));
}

// Times within the first week are clock times of a day and get no date.
constexpr double one_week = 604800.0;

// Appends the UTC date of the first value of v, formatted by fmt, when that value, truncated to whole
// seconds, lies after the first week and on a calendar the system can show. True when something was added.
bool append_date(const std::vector<double>& v, const char* fmt, std::string& out)
{
    if (v.empty())
        return false;
    const double seconds = std::trunc(v.front());
    // Beyond +-2^62 no year fits the calendar anyway, and the cast below stays defined.
    if (!(seconds > one_week && seconds < 4.6e18))
        return false;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if (gmtime_r(&t, &utc) == nullptr)
        return false;
    char text[256];
    const std::size_t n = std::strftime(text, sizeof text, fmt, &utc);
    out.append(text, n);
    return n > 0;
}

std::string date_annotation(const data& d0)
{
    std::string date;
    if (time_x_axes)
        append_date(d0.x, "x: %Y-%m-%d ", date);
    if (time_y_axes) {
        std::string y_part;
        if (append_date(d0.y, "y: %Y-%m-%d", y_part)) {
            if (!date.empty())
                date += ' ';
            date += y_part;
        }
    }
    return date;
}

GrTextOption aligned(const GrTextOption& opt, int xalign, int yalign)
{
    GrTextOption copy = opt;
    copy.txo_xalign = static_cast<signed char>(xalign);
    copy.txo_yalign = static_cast<signed char>(yalign);
    return copy;
}

} // namespace

void draw_headings(const page_layout& l, GrTextOption& opt, const data& d0, const std::string& fullpath)
{
    if (!title.empty()) {
        const long long width = GrStringWidth_(title, &opt);
        gprintfxy(floor_half(l.maxX - width), 0, &opt, "%s", title.c_str());
    }
    if (printpath) {
        GrTextOption above_frame = aligned(opt, 1, 2);
        gprintfxy(l.maxX / 2, l.yoffset, &above_frame, "%s", fullpath.c_str());
    }
    const std::string date = date_annotation(d0);
    if (!date.empty()) {
        GrTextOption corner = aligned(opt, 0, 2);
        gprintfxy(l.xoffset, l.yoffset, &corner, "%s", date.c_str());
    }
}

void draw_frame_and_labels(const page_layout& l, GrTextOption& opt)
{
    GrBox(l.xoffset - 1, l.yoffset - 1, l.xoffset + l.rangex + 1, l.yoffset + l.rangey + 1, colors[COLOR_AX]);
    if (!labelx.empty()) {
        GrTextOption bottom = aligned(opt, 1, 2);
        gprintfxy((static_cast<long>(l.maxX) - scalew) / 2, l.maxY, &bottom, "%s", labelx.c_str());
    }
    if (!labely.empty()) {
        GrTextOption upward = aligned(opt, 0, 0);
        upward.txo_direct = 3;
        const long long h = GrStringHeight_(labely, &upward);
        gprintfxy(0, floor_half(l.maxY - h), &upward, "%s", labely.c_str());
    }
}

void draw_both_axes(const page_layout& l, const data& d0, const axis_style& axes, grid_ticks* grid)
{
    const myMinMax& m = d0.mod_minmax;
    drawaxes* const draw_x = time_x_axes ? draw_x_axes_time : draw_x_axes;
    drawaxes* const draw_y = time_y_axes ? draw_y_axes_time : draw_y_axes;
    axis_style x_axis = axes, y_axis = axes;
    if (grid != nullptr) {
        x_axis.major_ticks = &grid->columns;
        y_axis.major_ticks = &grid->rows;
    }
    axes.text->txo_xalign = 1;
    axes.text->txo_yalign = 0;
    draw_x(x_axis, l.rangex, l.rangey, l.xoffset, l.yoffset, log_x, m.x.Min, m.x.Max, 0);
    axes.text->txo_xalign = 2;
    axes.text->txo_yalign = 1;
    draw_y(y_axis, l.rangex, l.rangey, l.xoffset, l.yoffset + 1, log_y, m.y.Min, m.y.Max, 0);
}

void draw_z_legend(const page_layout& l, const data& d0, const axis_style& axes)
{
    if (!scaleinfo)
        return;
    const MinMax& plot = d0.mod_minmax.z;
    const MinMax& z = d0.minmax.z;
    double s = 0;
    int type = 0;
    scale1(plot.Min, plot.Max, &s, &type);
    const double r = (z.Max - z.Min) * range_add_z;
    long long lo = 0, hi = 0;
    // A run of values that cannot be walked (absurd ranges) gives no legend rather than an endless one.
    if (!tick_indices(std::floor((z.Min + r) / s), std::ceil((z.Max - r) / s), max_ticks(l.maxY), &lo, &hi))
        return;
    const int cx = l.maxX - (l.xoffset / 2 + scalew) / 2;
    const long label_x = l.maxX - (l.xoffset / 2 + scalew + 5) / 2;
    axes.text->txo_xalign = 2;
    axes.text->txo_yalign = 1;
    double ly = scalew / 2 + l.th;
    for (long long k = hi; k >= lo && std::fabs(ly) < pixel_far; --k) {
        const double v = static_cast<double>(k) * s;
        if (!(plot.Min <= v && v <= plot.Max))
            continue;
        const int y = static_cast<int>(ly);
        const int radius = trunc_pixel(scale_z(v));
        my_mark2(cx + radius, y, radius, true, colors[COLOR_FG0]);
        gprintfxy(label_x, y, axes.text, "%g", v);
        const double below = std::max(std::fabs(static_cast<double>(k - 1) * s), v);
        ly += trunc_pixel(2 * (below * scalez + add_to_z_when_zero)) + l.th;
    }
}
