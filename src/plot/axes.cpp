// Linear axes: ticks every 1, 2 or 5 times a power of ten with "%g" labels, and finer unlabelled minor ticks.
#include "plot/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"

namespace
{

// The ticks of one range: spacings, tolerant limits and the bounds of the major and minor index runs.
struct tick_plan {
    double min = 0, range = 0;
    double ts = 0, sub = 0;
    double lo = 0, hi = 0;
    double major_first = 1, major_last = 0; // empty runs unless planned
    double minor_first = 1, minor_last = 0;
    double limit = 0;
};

// Plans the ticks of Min..Max on an axis of the given length. A range that is not finite gets no ticks; an
// empty one ends the run in scale1.
tick_plan plan_ticks(double Min, double Max, int pixels)
{
    tick_plan p;
    p.min = Min;
    p.range = Max - Min;
    if (!std::isfinite(p.range))
        return p;
    int type = 0;
    scale1(Min, Max, &p.ts, &type);
    // The tolerance keeps ticks that lie on the limits despite rounding.
    const double eps = 1e-6 * p.range;
    p.lo = Min - eps;
    p.hi = Max + eps;
    p.major_first = std::floor((Min + eps) / p.ts);
    p.major_last = std::ceil((Max - eps) / p.ts);
    p.sub = minor_tick_spacing(p.ts, type, p.lo, p.hi);
    p.minor_first = std::ceil(p.lo / p.sub);
    p.minor_last = std::floor(p.hi / p.sub);
    p.limit = max_ticks(pixels);
    return p;
}

template <typename F> void each_major(const tick_plan& p, F&& f)
{
    for_each_tick(p.major_first, p.major_last, p.ts, p.lo, p.hi, p.limit, f);
}

template <typename F> void each_minor(const tick_plan& p, F&& f)
{
    for_each_tick(p.minor_first, p.minor_last, p.sub, p.lo, p.hi, p.limit, f);
}

// "%g" of a tick value; adding 0.0 turns the -0 of a descending range's zero tick into 0.
std::string label_of(double v)
{
    char text[100];
    std::snprintf(text, sizeof text, "%g", v + 0.0);
    return text;
}

} // namespace

int draw_x_axes(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int /*log_axis*/, double Min,
                double Max, int /*nodraw*/)
{
    const tick_plan p = plan_ticks(Min, Max, XSize);
    const int y0 = yoffset + YSize;
    auto column = [&](double v) { return trunc_pixel(xoffset + XSize / p.range * (v - p.min)); };
    each_major(p, [&](double v) {
        const int x = column(v);
        GrLine(x, y0 + 1, x, y0 + 6, style.color);
        gprintfxy(x, y0 + 8, style.text, "%s", label_of(v).c_str());
    });
    each_minor(p, [&](double v) {
        const int x = column(v);
        GrLine(x, y0 + 1, x, trunc_pixel(y0 + 1 + 2.0), style.color);
    });
    return 0;
}

int draw_y_axes(const axis_style& style, int /*XSize*/, int YSize, int xoffset, int yoffset, int /*log_axis*/,
                double Min, double Max, int nodraw)
{
    const tick_plan p = plan_ticks(Min, Max, YSize);
    unsigned int maxw = 0;
    each_major(p, [&](double v) { maxw = std::max(maxw, GrStringWidth_(label_of(v), style.text)); });
    if (nodraw == 1)
        return static_cast<int>(maxw) + 2;
    const int y0 = yoffset + YSize;
    auto row = [&](double v) { return trunc_pixel(y0 - YSize / p.range * (v - p.min) - 1.0); };
    each_major(p, [&](double v) {
        const int y = row(v);
        GrLine(xoffset - 1, y, xoffset - 6, y, style.color);
        gprintfxy(xoffset - 8, y, style.text, "%s", label_of(v).c_str());
    });
    each_minor(p, [&](double v) {
        const int y = row(v);
        GrLine(xoffset - 1, y, trunc_pixel(xoffset - 1 - 2.0), y, style.color);
    });
    return static_cast<int>(maxw);
}
