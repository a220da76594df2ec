// Linear axes: ticks every 1, 2 or 5 times a power of ten with "%g" labels, and finer unlabelled minor ticks.
#include "axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "graphics_mode.h"
#include "scale_mapping.h"
#include "tick_scale.h"

GrTextOption* opt_axes;
GrColor axes_color;

namespace
{

// The ticks of one range: spacings, the tolerant limits and the index runs of major and minor ticks.
struct tick_plan {
    double min = 0, range = 0;
    double ts = 0, sub = 0;
    double lo = 0, hi = 0;
    long long major0 = 1, major1 = 0; // empty runs until planned
    long long minor0 = 1, minor1 = 0;
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
    const double limit = max_ticks(pixels);
    if (!tick_indices(std::floor((Min + eps) / p.ts), std::ceil((Max - eps) / p.ts), limit, &p.major0, &p.major1))
        p.major0 = 1, p.major1 = 0;
    p.sub = minor_tick_spacing(p.ts, type, p.lo, p.hi);
    if (!tick_indices(std::ceil(p.lo / p.sub), std::floor(p.hi / p.sub), limit, &p.minor0, &p.minor1))
        p.minor0 = 1, p.minor1 = 0;
    return p;
}

// Whether v lies within the tolerant limits; a descending range has them the other way round.
bool kept(const tick_plan& p, double v)
{
    return std::min(p.lo, p.hi) <= v && v <= std::max(p.lo, p.hi);
}

template <typename F> void each_tick(const tick_plan& p, long long i0, long long i1, double step, F&& f)
{
    for (long long i = i0; i <= i1; ++i) {
        const double v = static_cast<double>(i) * step;
        if (kept(p, v))
            f(v);
    }
}

template <typename F> void each_major(const tick_plan& p, F&& f)
{
    each_tick(p, p.major0, p.major1, p.ts, f);
}

template <typename F> void each_minor(const tick_plan& p, F&& f)
{
    each_tick(p, p.minor0, p.minor1, p.sub, f);
}

// "%g" of a tick value; adding 0.0 turns the -0 of a descending range's zero tick into 0.
std::string label_of(double v)
{
    char text[100];
    std::snprintf(text, sizeof text, "%g", v + 0.0);
    return text;
}

} // namespace

int draw_x_axes(int XSize, int YSize, int xoffset, int yoffset, int /*log_axis*/, double Min, double Max,
                int /*nodraw*/)
{
    const tick_plan p = plan_ticks(Min, Max, XSize);
    const int y0 = yoffset + YSize;
    auto column = [&](double v) { return trunc_pixel(xoffset + XSize / p.range * (v - p.min)); };
    each_major(p, [&](double v) {
        const int x = column(v);
        GrLine(x, y0 + 1, x, y0 + 6, axes_color);
        gprintfxy(x, y0 + 8, opt_axes, "%s", label_of(v).c_str());
    });
    each_minor(p, [&](double v) {
        const int x = column(v);
        GrLine(x, y0 + 1, x, trunc_pixel(y0 + 1 + 2.0), axes_color);
    });
    return 0;
}

int draw_y_axes(int /*XSize*/, int YSize, int xoffset, int yoffset, int /*log_axis*/, double Min, double Max,
                int nodraw)
{
    const tick_plan p = plan_ticks(Min, Max, YSize);
    unsigned int maxw = 0;
    each_major(p, [&](double v) { maxw = std::max(maxw, GrStringWidth_(label_of(v), opt_axes)); });
    if (nodraw == 1)
        return static_cast<int>(maxw) + 2;
    const int y0 = yoffset + YSize;
    auto row = [&](double v) { return trunc_pixel(y0 - YSize / p.range * (v - p.min) - 1.0); };
    each_major(p, [&](double v) {
        const int y = row(v);
        GrLine(xoffset - 1, y, xoffset - 6, y, axes_color);
        gprintfxy(xoffset - 8, y, opt_axes, "%s", label_of(v).c_str());
    });
    each_minor(p, [&](double v) {
        const int y = row(v);
        GrLine(xoffset - 1, y, trunc_pixel(xoffset - 1 - 2.0), y, axes_color);
    });
    return static_cast<int>(maxw);
}
