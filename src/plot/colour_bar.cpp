// The colour bar beside the plot: the map's gradient, ticks and labels from the axis code, and its title.
#include "plot/colour_bar.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"

namespace
{

constexpr int bar_width = 12;   // pixels of gradient across
constexpr int label_to_bar = 8; // the y axis drawer ends its labels this far left of its frame line
constexpr int edge_gap = 2;     // between the bar's frame and the title, or the page edge
constexpr int title_gap = 4;    // between the bar and its title

// The first gradient column of the bar in a column of width l.colourbar at the page's right edge.
int bar_left(const page_layout& l)
{
    const int title = clabel.empty() ? 0 : title_gap + l.th;
    return l.maxX - edge_gap - title - bar_width;
}

// The value at fraction p (0 at the bottom, 1 at the top) of the bar's axis from lo to hi.
double value_at(double p, double lo, double hi, bool log)
{
    if (!log)
        return lo + p * (hi - lo);
    return std::pow(10.0, std::log10(lo) + p * (std::log10(hi) - std::log10(lo)));
}

} // namespace

bool has_colour_column(const data* d)
{
    for (int i = 0; i < 10; ++i)
        if (!d[i].x.empty() && !d[i].c.empty())
            return true;
    return false;
}

bool colours_by_value(const data* d)
{
    return density != DENSITY_NONE || has_colour_column(d);
}

colour_scale page_value_scale(const data* d)
{
    MinMax all;
    double smallest_positive = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 10; ++i) {
        if (d[i].x.empty())
            continue;
        for (const double v : d[i].c) {
            all.set_min(v);
            all.set_max(v);
            if (v > 0)
                smallest_positive = std::min(smallest_positive, v);
        }
    }
    if (all.Min > all.Max)
        all.Min = all.Max = 0;
    return value_colour_scale(all.Min, all.Max, smallest_positive);
}

std::size_t rows_of_page(const data* d)
{
    std::size_t n = 0;
    for (int i = 0; i < 10; ++i)
        n += d[i].x.size();
    return n;
}

int bar_label_width(const colour_scale& s, int rangey, GrTextOption& text)
{
    double lo = 0, hi = 0;
    bar_range(s, &lo, &hi);
    const axis_style measuring{&text, colors[COLOR_AX]};
    return draw_y_axes(measuring, 0, rangey, 0, 0, s.log ? 1 : 0, lo, hi, 1);
}

int count_label_width(std::size_t rows, GrTextOption& text)
{
    const std::size_t digits = std::to_string(rows).size();
    const std::string widest(std::clamp<std::size_t>(digits, 3, 6), '0');
    unsigned int w = GrStringWidth_(widest, &text);
    if (rows >= 1000000)
        w = std::max(w, GrStringWidth_("1.5e+06", &text));
    return static_cast<int>(w) + 2;
}

int colour_bar_width(int label_width, int font_height)
{
    const int title = clabel.empty() ? 0 : title_gap + font_height;
    return edge_gap + label_width + label_to_bar + bar_width + edge_gap + title;
}

void draw_colour_bar(const page_layout& l, const colour_scale& s, const axis_style& axes)
{
    if (l.colourbar <= 0 || l.rangey < 1)
        return;
    double lo = 0, hi = 0;
    bar_range(s, &lo, &hi);
    const int left = bar_left(l);
    const int top = l.yoffset, bottom = l.yoffset + l.rangey;
    // Row y shows the value the y axis drawer puts its tick of at y.
    for (int y = top; y <= bottom; ++y) {
        const double p = static_cast<double>(bottom - y) / l.rangey;
        GrLine(left, y, left + bar_width - 1, y, s.color(value_at(p, lo, hi, s.log)));
    }
    GrBox(left - 1, top - 1, left + bar_width, bottom + 1, axes.color);
    axes.text->txo_xalign = GR_ALIGN_RIGHT;
    axes.text->txo_yalign = GR_ALIGN_MIDDLE;
    draw_y_axes(axes, bar_width, l.rangey, left, l.yoffset + 1, s.log ? 1 : 0, lo, hi, 0);
    if (clabel.empty())
        return;
    GrTextOption upward = *axes.text;
    upward.txo_direct = GR_TEXT_UP;
    upward.txo_xalign = GR_ALIGN_LEFT;
    upward.txo_yalign = GR_ALIGN_TOP;
    const long h = GrStringHeight_(clabel, &upward);
    gprintfxy(left + bar_width + 1 + title_gap, top + (l.rangey - h) / 2, &upward, "%s", clabel.c_str());
}
