// Time axes: ticks at calendar and clock steps chosen from the distance table, labelled in UTC with strftime.
#include "plot/time_axes.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <string>

#include "core/messages.h"
#include "plot/axes.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"
#include "print/dbg_printf.h"

namespace
{

constexpr double seconds_per_day = 86400.0;

// Largest magnitude that converts to a 64-bit integer without overflow.
constexpr double int64_limit = 9223372036854775807.0;

// First entry whose major step on this axis is at most 120 pixels, the last one at most.
int choose_distance(int XSize, double range)
{
    int dist = 0;
    for (;; ++dist) {
        const double pixels = distance[dist].tick * XSize / range;
        if (debug > 1)
            dbg__printf(TW_FILE, __LINE__, "distance[dist=%d]={%g,%g,%s} %g\n", dist, distance[dist].tick,
                        distance[dist].subtick, distance[dist].fmt, pixels);
        if (pixels <= 120.0 || dist == dist_max - 1)
            break;
    }
    if (debug > 1)
        dbg__printf(TW_FILE, __LINE__, "dist_arr[dist] * (XSize=%d/Range=%g) = %g\n", XSize, range,
                    distance[dist].tick * XSize / range);
    return dist;
}

// Label of a tick at shifted time v. The date formats name the day of the tick itself, so they are made from
// the unshifted time; the clock formats read the same either way. Empty when the time has no calendar date.
std::string time_label(double v, int dist)
{
    const double t = dist <= 1 ? v - seconds_per_day : v;
    if (!(std::fabs(t) < int64_limit))
        return {};
    const std::time_t seconds = static_cast<std::time_t>(static_cast<std::int64_t>(t));
    std::tm broken{};
    char text[100];
    if (gmtime_r(&seconds, &broken) == nullptr || std::strftime(text, sizeof text, distance[dist].fmt, &broken) == 0)
        return {};
    if (debug)
        dbg__printf(TW_FILE, __LINE__, "%g %lld %s\n", v, static_cast<long long>(seconds), text);
    return text;
}

// Traces the linear spacing of the range in tick units, which the time axis itself does not use.
void trace_linear_spacing(double lo, double hi, double tick)
{
    double ts = 0;
    int type = 0;
    scale1(lo / tick, hi / tick, &ts, &type);
    if (!debug)
        return;
    dbg__printf(TW_FILE, __LINE__, "tick_spacing = %g\n", ts);
    dbg__printf(TW_FILE, __LINE__, "lin_subtick_spacing = %g\n", minor_tick_spacing(ts, type, lo / tick, hi / tick));
}

// Where the ticks of one time axis go: shifted range, tolerant limits and the axis position on the page.
struct time_axis {
    double min_s, max_s, range, lo, hi, limit;
    int XSize, xoffset, y0;

    int column(double v) const { return trunc_pixel(xoffset + XSize / range * (v - min_s)); }
};

void draw_major_ticks(const axis_style& style, const time_axis& a, int dist, double eps)
{
    const double T = distance[dist].tick;
    const double first = std::floor((eps + a.min_s) / T);
    for_each_tick(first, std::ceil((a.max_s - eps) / T), T, a.lo, a.hi, a.limit, [&](double v) {
        const int x = a.column(v);
        GrLine(x, a.y0 + 1, x, a.y0 + 6, style.color);
        gprintfxy(x, a.y0 + 8, style.text, "%s", time_label(v, dist).c_str());
    });
}

void draw_minor_ticks(const axis_style& style, const time_axis& a, int dist)
{
    const double S = distance[dist].subtick;
    for_each_tick(std::ceil(a.lo / S), std::floor(a.hi / S), S, a.lo, a.hi, a.limit, [&](double v) {
        const int x = a.column(v);
        GrLine(x, a.y0 + 1, x, trunc_pixel(a.y0 + 1 + 2.0), style.color);
    });
}

} // namespace

int draw_x_axes_time(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int /*log_axis*/,
                     double Min, double Max, int /*nodraw*/)
{
    // A time of day running past midnight starts on the day before; every value is then moved one day on.
    if (Min > Max)
        Min -= seconds_per_day;
    const double min_s = Min + seconds_per_day;
    const double max_s = Max + seconds_per_day;
    const double range = max_s - min_s;
    if (!std::isfinite(range))
        return 0;
    const int dist = choose_distance(XSize, range);
    trace_linear_spacing(min_s, max_s, distance[dist].tick);
    const double eps = 1e-6 * range;
    const time_axis a{min_s, max_s, range, min_s - eps, max_s + eps, max_ticks(XSize), XSize, xoffset, yoffset + YSize};
    draw_major_ticks(style, a, dist, eps);
    draw_minor_ticks(style, a, dist);
    return 0;
}

int draw_y_axes_time(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                     double Max, int nodraw)
{
    return draw_y_axes(style, XSize, YSize, xoffset, yoffset, log_axis, Min, Max, nodraw);
}
