// Colour map levels in the palette and the mapping of values onto them.
#include "plot/colour_scale.h"

#include <algorithm>
#include <cmath>

#include "plot/graphics_mode.h"

GrColor level_colors[colour_levels];

namespace
{

std::uint8_t mix(unsigned a, unsigned b, double t)
{
    return static_cast<std::uint8_t>(std::lround(a + (static_cast<double>(b) - a) * t));
}

unsigned component(std::uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFFu;
}

} // namespace

RGB map_level_rgb(const colour_map_table& m, int level)
{
    const double at = static_cast<double>(level) / (colour_levels - 1) * static_cast<double>(m.count - 1);
    const std::size_t below = std::min(static_cast<std::size_t>(at), m.count - 1);
    const std::size_t above = std::min(below + 1, m.count - 1);
    const double t = at - static_cast<double>(below);
    const std::uint32_t a = m.colours[below], b = m.colours[above];
    return {mix(component(a, 16), component(b, 16), t), mix(component(a, 8), component(b, 8), t),
            mix(component(a, 0), component(b, 0), t)};
}

void alloc_colour_levels()
{
    const colour_map_table& m = colour_maps[std::clamp(colour_map, 0, colour_map_count - 1)];
    for (int i = 0; i < colour_levels; ++i) {
        const RGB c = map_level_rgb(m, i);
        level_colors[i] = GrAllocColor(c.r, c.g, c.b);
    }
}

double colour_scale::fraction(double v) const
{
    if (std::isnan(v))
        return v;
    if (!ranks.empty()) {
        // The share of samples at or below v, reckoned from the lowest sample's share, so the lowest sample
        // takes the first colour and the highest the last.
        const double first =
            static_cast<double>(std::upper_bound(ranks.begin(), ranks.end(), ranks.front()) - ranks.begin());
        const double at = static_cast<double>(std::upper_bound(ranks.begin(), ranks.end(), v) - ranks.begin());
        const double all = static_cast<double>(ranks.size());
        return all > first ? std::clamp((at - first) / (all - first), 0.0, 1.0) : 0.0;
    }
    double a = lo, b = hi, x = v;
    if (log) {
        if (!(v > 0))
            return 0.0;
        a = std::log10(lo);
        b = std::log10(hi);
        x = std::log10(v);
    }
    // A reversed range (--minc above --maxc) runs the map backwards; an empty one takes its middle.
    if (a == b)
        return 0.5;
    return std::clamp((x - a) / (b - a), 0.0, 1.0);
}

int colour_scale::level(double v) const
{
    const double f = fraction(v);
    if (std::isnan(f))
        return -1;
    return std::min(colour_levels - 1, static_cast<int>(f * colour_levels));
}

GrColor colour_scale::color(double v) const
{
    const int l = level(v);
    return l < 0 ? colors[COLOR_BG] : level_colors[l];
}

colour_scale value_colour_scale(double data_min, double data_max, double smallest_positive)
{
    colour_scale s;
    s.log = log_c != 0;
    s.lo = s.log ? smallest_positive : data_min;
    s.hi = data_max;
    if (!std::isnan(min_c))
        s.lo = min_c;
    if (!std::isnan(max_c))
        s.hi = max_c;
    if (s.log) {
        // Without a positive value there is nothing to take the log of: one decade stands in.
        if (!(s.hi > 0))
            s.hi = 10;
        if (!(s.lo > 0) || !std::isfinite(s.lo))
            s.lo = s.hi / 10;
    } else if (colour_maps[std::clamp(colour_map, 0, colour_map_count - 1)].diverging) {
        const double m = std::max(std::fabs(s.lo), std::fabs(s.hi));
        s.lo = -m;
        s.hi = m;
    }
    if (!std::isfinite(s.lo) || !std::isfinite(s.hi)) {
        s.lo = 0;
        s.hi = 1;
    }
    return s;
}

void bar_range(const colour_scale& s, double* lo, double* hi)
{
    *lo = std::min(s.lo, s.hi);
    *hi = std::max(s.lo, s.hi);
    if (*lo != *hi)
        return;
    if (s.log) {
        *lo /= 2;
        *hi *= 2;
    } else {
        const double r = *lo == 0 ? 0.5 : 0.02 * std::fabs(*lo);
        *lo -= r;
        *hi += r;
    }
}
