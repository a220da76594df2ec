// Zoom and pan arithmetic of the window's views, in the axes' own spaces (values, or their log10).
#include "view/view_range.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace
{

// One axis of the plot area in its own space: t = value, or log10(value) on a log axis.
struct axis_space {
    double tmin, tmax;
    bool log;
    double to_t(double v) const { return log ? std::log10(v) : v; }
    double from_t(double t) const { return log ? std::pow(10.0, t) : t; }
    double extent() const { return tmax - tmin; }
};

axis_space x_space(const plot_area& a)
{
    return {a.log_x ? std::log10(a.range.xmin) : a.range.xmin, a.log_x ? std::log10(a.range.xmax) : a.range.xmax,
            a.log_x};
}

axis_space y_space(const plot_area& a)
{
    return {a.log_y ? std::log10(a.range.ymin) : a.range.ymin, a.log_y ? std::log10(a.range.ymax) : a.range.ymax,
            a.log_y};
}

// Pixels counted from the plot area's left edge and from its bottom edge, upward.
double column_in_area(const plot_area& a, double px)
{
    return px - a.left;
}

double row_in_area(const plot_area& a, double py)
{
    return a.top + a.height - py;
}

view_range from_spaces(const axis_space& x, double tx0, double tx1, const axis_space& y, double ty0, double ty1)
{
    return {x.from_t(std::min(tx0, tx1)), x.from_t(std::max(tx0, tx1)), y.from_t(std::min(ty0, ty1)),
            y.from_t(std::max(ty0, ty1))};
}

} // namespace

bool inside(const plot_area& a, int px, int py)
{
    return px >= a.left && px <= a.left + a.width && py >= a.top && py <= a.top + a.height;
}

double data_x(const plot_area& a, double px)
{
    const axis_space x = x_space(a);
    return x.from_t(x.tmin + column_in_area(a, px) / a.width * x.extent());
}

double data_y(const plot_area& a, double py)
{
    const axis_space y = y_space(a);
    return y.from_t(y.tmin + row_in_area(a, py) / a.height * y.extent());
}

double page_x(const plot_area& a, double x)
{
    const axis_space s = x_space(a);
    return a.left + (s.to_t(x) - s.tmin) / s.extent() * a.width;
}

double page_y(const plot_area& a, double y)
{
    const axis_space s = y_space(a);
    return a.top + a.height - (s.to_t(y) - s.tmin) / s.extent() * a.height;
}

view_range zoom_to_box(const plot_area& a, int x0, int y0, int x1, int y1)
{
    const auto hold_x = [&a](int px) { return std::clamp(px, a.left, a.left + a.width); };
    const auto hold_y = [&a](int py) { return std::clamp(py, a.top, a.top + a.height); };
    const axis_space x = x_space(a), y = y_space(a);
    const auto tx = [&](int px) { return x.tmin + column_in_area(a, hold_x(px)) / a.width * x.extent(); };
    const auto ty = [&](int py) { return y.tmin + row_in_area(a, hold_y(py)) / a.height * y.extent(); };
    return from_spaces(x, tx(x0), tx(x1), y, ty(y0), ty(y1));
}

view_range zoom_about(const plot_area& a, double px, double py, double factor)
{
    const axis_space x = x_space(a), y = y_space(a);
    // The fixed point's share of the extent stays the same on both sides.
    const double fx = column_in_area(a, px) / a.width, fy = row_in_area(a, py) / a.height;
    const double cx = x.tmin + fx * x.extent(), cy = y.tmin + fy * y.extent();
    const double wx = x.extent() / factor, wy = y.extent() / factor;
    return from_spaces(x, cx - fx * wx, cx + (1 - fx) * wx, y, cy - fy * wy, cy + (1 - fy) * wy);
}

view_range pan_by_pixels(const plot_area& a, double dx, double dy)
{
    // Dragging right brings what lay left into view; rows count downward, the y axis upward.
    return pan_by_fraction(a, -dx / a.width, dy / a.height);
}

view_range pan_by_fraction(const plot_area& a, double fx, double fy)
{
    const axis_space x = x_space(a), y = y_space(a);
    const double sx = fx * x.extent(), sy = fy * y.extent();
    return from_spaces(x, x.tmin + sx, x.tmax + sx, y, y.tmin + sy, y.tmax + sy);
}

namespace
{

bool drawable_axis(double lo, double hi, bool log)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi) || (log && !(lo > 0)))
        return false;
    const double t0 = log ? std::log10(lo) : lo, t1 = log ? std::log10(hi) : hi;
    // Ticks need steps that the values can still tell apart.
    const double size = std::max({std::fabs(t0), std::fabs(t1), log ? 1.0 : 0.0});
    return std::isfinite(t1 - t0) && t1 - t0 > size * 1e-9;
}

} // namespace

bool drawable(const view_range& r, bool log_x, bool log_y)
{
    return drawable_axis(r.xmin, r.xmax, log_x) && drawable_axis(r.ymin, r.ymax, log_y);
}

std::string exact_text(double v)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
    return std::string(buffer.data(), result.ptr);
}

std::string view_options(const view_range& r)
{
    return "--minx=" + exact_text(r.xmin) + " --maxx=" + exact_text(r.xmax) + " --miny=" + exact_text(r.ymin) +
           " --maxy=" + exact_text(r.ymax);
}
