// Linear axes: ticks every 1, 2 or 5 times a power of ten with "%g" labels, and finer unlabelled minor ticks;
// log axes: ticks at decades and at 2..9 times them.
#include "plot/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"

namespace
{

// The ticks of one range: spacings, tolerant limits and the bounds of the major and minor index runs.
struct tick_plan {
    double min = 0, range = 0;
    bool halved = false; // range is half the span, which is wider than the largest double
    double ts = 0, sub = 0;
    double lo = 0, hi = 0;
    double major_first = 1, major_last = 0; // empty runs unless planned
    double minor_first = 1, minor_last = 0;
    double limit = 0;
};

// Plans the ticks of Min..Max on an axis of the given length. A range with a limit that is not finite gets no
// ticks; an empty one ends the run in scale1.
tick_plan plan_ticks(double Min, double Max, int pixels)
{
    tick_plan p;
    p.min = Min;
    p.range = Max - Min;
    if (!std::isfinite(Min) || !std::isfinite(Max))
        return p;
    if (!std::isfinite(p.range)) {
        p.halved = true;
        p.range = Max / 2 - Min / 2;
    }
    int type = 0;
    scale1(Min, Max, &p.ts, &type);
    // The tolerance keeps ticks that lie on the limits despite rounding.
    const double eps = (p.halved ? 2e-6 : 1e-6) * p.range;
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

// A tick value in printf's format; adding 0.0 turns the -0 of a descending range's zero tick into 0.
std::string formatted(const char* format, int digits, double v)
{
    char text[100];
    std::snprintf(text, sizeof text, format, digits, v + 0.0);
    return text;
}

// Six significant digits ("%g") unless neighbouring ticks would then share a label (a narrow range far from 0):
// then the fewest digits, up to the 17 that tell any two doubles apart, that give each tick its own label.
std::vector<std::string> linear_labels(const std::vector<double>& values)
{
    std::vector<std::string> labels;
    for (int digits = 6; digits <= 17; ++digits) {
        labels.clear();
        for (const double v : values)
            labels.push_back(formatted("%.*g", digits, v));
        if (std::adjacent_find(labels.begin(), labels.end()) == labels.end())
            break;
    }
    return labels;
}

// Decades in one form: as "%g" writes them when it writes them all without an exponent (0.01, 1, 100000), else
// all with one (1e-05, 1e+00, 1e+06).
std::vector<std::string> decade_labels(const std::vector<double>& values)
{
    std::vector<std::string> labels;
    for (const double v : values)
        labels.push_back(formatted("%.*g", 6, v));
    if (std::none_of(labels.begin(), labels.end(), [](const std::string& l) { return l.find('e') != l.npos; }))
        return labels;
    labels.clear();
    for (const double v : values)
        labels.push_back(formatted("%.*e", 0, v));
    return labels;
}

// The ticks of one axis as data values, with the axis coordinates that span it: the data range itself, or on
// a log axis the log10 of its limits.
struct axis_ticks {
    double min = 0, range = 0;
    bool log = false;
    bool halved = false;  // range and offsets are halves, the span being wider than the largest double
    bool decades = false; // the major ticks are decades of a log axis
    std::vector<double> major, minor;

    double coordinate(double v) const { return log ? std::log10(v) : v; }
    // How far v lies from the axis start, in the units of range.
    double offset(double v) const { return halved ? coordinate(v) / 2 - min / 2 : coordinate(v) - min; }
};

void add_linear_ticks(const tick_plan& p, axis_ticks& t)
{
    each_major(p, [&](double v) { t.major.push_back(v); });
    each_minor(p, [&](double v) { t.minor.push_back(v); });
}

axis_ticks linear_ticks(double Min, double Max, int pixels)
{
    const tick_plan p = plan_ticks(Min, Max, pixels);
    axis_ticks t;
    t.min = p.min;
    t.range = p.range;
    t.halved = p.halved;
    add_linear_ticks(p, t);
    return t;
}

// Decades between labelled ticks: 1, 2, 5, 10, 20, 50 ..., the first that puts them at least gap pixels apart.
// Doubles span fewer than 700 decades, so the search ends there.
double decade_step(double pixels_per_decade, double gap)
{
    for (double power = 1;; power *= 10)
        for (const double m : {1.0, 2.0, 5.0})
            if (m * power * pixels_per_decade >= gap || m * power >= 1000)
                return m * power;
}

// Minor ticks closer than this would run into a solid line.
constexpr double minor_gap = 4;

// Decades between minor ticks when majors are step decades apart: the finest of 1, 2, 5, 10 ... that divides the
// step and keeps them minor_gap pixels apart; 0 for none.
double minor_decade_step(double step, double pixels_per_decade)
{
    for (double power = 1; power < step; power *= 10)
        for (const double m : {1.0, 2.0, 5.0})
            if (m * power < step && std::fmod(step, m * power) == 0 && m * power * pixels_per_decade >= minor_gap)
                return m * power;
    return 0;
}

// Decade d as a major or minor tick value; with one decade a step, 2..9 times it as minor ticks.
void add_decade(axis_ticks& t, double d, double step, double minor_step, double lo, double hi)
{
    const double v = std::pow(10.0, d);
    if (lo <= d && d <= hi) {
        if (std::fmod(d, step) == 0)
            t.major.push_back(v);
        else if (minor_step != 0 && std::fmod(d, minor_step) == 0)
            t.minor.push_back(v);
    }
    if (step != 1)
        return;
    for (int m = 2; m <= 9; ++m) {
        const double c = d + std::log10(m);
        if (lo <= c && c <= hi)
            t.minor.push_back(m * v);
    }
}

// Ticks of a log axis over the positive range Min..Max that is pixels long; labelled decades gap pixels apart
// at least. A range holding fewer than two decades gets the linear ticks of its values instead.
axis_ticks log_ticks(double Min, double Max, int pixels, double gap)
{
    axis_ticks t;
    t.log = true;
    t.min = std::log10(Min);
    t.range = std::log10(Max) - t.min;
    if (!std::isfinite(t.min) || !std::isfinite(t.range) || t.range == 0)
        return t;
    // The tolerance keeps decades that lie on the limits despite rounding.
    const double eps = 1e-6 * std::fabs(t.range);
    const double lo = std::min(t.min, t.min + t.range) - eps;
    const double hi = std::max(t.min, t.min + t.range) + eps;
    const double first = std::ceil(lo), last = std::floor(hi);
    if (last - first < 1) {
        add_linear_ticks(plan_ticks(Min, Max, pixels), t);
        return t;
    }
    t.decades = true;
    const double pixels_per_decade = std::abs(pixels) / (hi - lo);
    const double step = decade_step(pixels_per_decade, gap);
    const double minor_step = minor_decade_step(step, pixels_per_decade);
    for (double d = first - 1; d <= last; ++d)
        add_decade(t, d, step, minor_step, lo, hi);
    return t;
}

// Labels on the x axis take at most six characters ("100000", "1e-100"); two more keep them apart.
double x_label_gap(const axis_style& style)
{
    return GrStringWidth_("1e-10000", style.text);
}

// Labels on the y axis one text line apart.
double y_label_gap(const axis_style& style)
{
    return 2.0 * GrStringHeight_("1", style.text);
}

axis_ticks ticks_of(int log_axis, double Min, double Max, int pixels, double gap)
{
    return log_axis ? log_ticks(Min, Max, pixels, gap) : linear_ticks(Min, Max, pixels);
}

std::vector<std::string> labels_of(const axis_ticks& t)
{
    return t.decades ? decade_labels(t.major) : linear_labels(t.major);
}

// An x label centred under its tick, or moved along to end at the page's edge where centred it would cross it.
void draw_x_label(const axis_style& style, int x, int y, const std::string& label)
{
    const long width = GrStringWidth_(label, style.text);
    const long page_right = GrCurrentContext()->gc_xmax;
    const long left = x - width / 2;
    if (left >= 0 && left + width - 1 <= page_right) {
        gprintfxy(x, y, style.text, "%s", label.c_str());
        return;
    }
    const long shifted = std::clamp(left, 0L, std::max(0L, page_right + 1 - width));
    if (style.text == nullptr) { // measured in the default font, drawn nowhere
        gprintfxy(shifted, y, nullptr, "%s", label.c_str());
        return;
    }
    GrTextOption from_left = *style.text;
    from_left.txo_xalign = 0;
    gprintfxy(shifted, y, &from_left, "%s", label.c_str());
}

void record_major(const axis_style& style, int position)
{
    if (style.major_ticks != nullptr)
        style.major_ticks->push_back(position);
}

} // namespace

int draw_x_axes(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                double Max, int /*nodraw*/)
{
    const axis_ticks t = ticks_of(log_axis, Min, Max, XSize, log_axis ? x_label_gap(style) : 0);
    const int y0 = yoffset + YSize;
    auto column = [&](double v) { return trunc_pixel(xoffset + XSize / t.range * t.offset(v)); };
    const std::vector<std::string> labels = labels_of(t);
    for (std::size_t i = 0; i < t.major.size(); ++i) {
        const int x = column(t.major[i]);
        GrLine(x, y0 + 1, x, y0 + 6, style.color);
        draw_x_label(style, x, y0 + 8, labels[i]);
        record_major(style, x);
    }
    for (const double v : t.minor) {
        const int x = column(v);
        GrLine(x, y0 + 1, x, trunc_pixel(y0 + 1 + 2.0), style.color);
    }
    return 0;
}

int draw_y_axes(const axis_style& style, int /*XSize*/, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                double Max, int nodraw)
{
    const axis_ticks t = ticks_of(log_axis, Min, Max, YSize, log_axis ? y_label_gap(style) : 0);
    const std::vector<std::string> labels = labels_of(t);
    unsigned int maxw = 0;
    for (const std::string& label : labels)
        maxw = std::max(maxw, GrStringWidth_(label, style.text));
    if (nodraw == 1)
        return static_cast<int>(maxw) + 2;
    const int y0 = yoffset + YSize;
    auto row = [&](double v) { return trunc_pixel(y0 - YSize / t.range * t.offset(v) - 1.0); };
    for (std::size_t i = 0; i < t.major.size(); ++i) {
        const int y = row(t.major[i]);
        GrLine(xoffset - 1, y, xoffset - 6, y, style.color);
        gprintfxy(xoffset - 8, y, style.text, "%s", labels[i].c_str());
        record_major(style, y);
    }
    for (const double v : t.minor) {
        const int y = row(v);
        GrLine(xoffset - 1, y, trunc_pixel(xoffset - 1 - 2.0), y, style.color);
    }
    return static_cast<int>(maxw);
}
