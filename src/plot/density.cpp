// Density shading: rows counted per pixel of the plot area, shaded through the colour map.
#include "plot/density.h"

#include <algorithm>
#include <cmath>

#include "plot/marks.h"
#include "plot/scale_mapping.h"

namespace
{

// A scale's position of v before truncation: scale() itself, with its factor worked out once where the axis
// is linear (the count loop's main cost otherwise).
struct axis_place {
    const class_scalefunc& scale;
    double factor;

    explicit axis_place(const class_scalefunc& s) : scale(s), factor(s.range / (s.max - s.min)) {}
    double operator()(double v) const { return scale.log ? scale.scale(v) : (v - scale.min) * factor + 0.5; }
};

// Adds the rows of one data set to the grid. The tests mirror plot_data's: a row outside the z range or
// with no place on the log axes is not drawn, so it is not counted. A position p lands on pixel (int)p,
// truncated toward zero as the marks' positions are, so -1 < p < pixels is on the area.
void count_set(const data& d, const MinMax& z, bool by_colour, density_grid& g)
{
    const std::size_t rows = std::min({d.x.size(), d.y.size(), d.z.size()});
    if (by_colour && d.c.size() < rows)
        return;
    const bool log_axes = log_x || log_y;
    const axis_place column(Xscale), row(Yscale);
    const double width = g.width, height = g.height;
    for (std::size_t i = 0; i < rows; ++i) {
        if (!(d.z[i] > z.Min && d.z[i] < z.Max) || (log_axes && !fits_log_axes(d, i)))
            continue;
        const double px = column(d.x[i]), py = row(d.y[i] + d.offset_y);
        if (!(px > -1 && px < width && py > -1 && py < height))
            continue;
        const std::size_t at = g.at(static_cast<int>(px), g.height - 1 - static_cast<int>(py));
        if (by_colour) {
            if (std::isnan(d.c[i]))
                continue;
            g.sum[at] += d.c[i];
        }
        ++g.count[at];
    }
}

// Whether the pixel at (x, y) has rows but none of its eight neighbours has.
bool is_lone(const density_grid& g, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if ((dx != 0 || dy != 0) && nx >= 0 && nx < g.width && ny >= 0 && ny < g.height &&
                g.count[g.at(nx, ny)] != 0)
                return false;
        }
    return true;
}

} // namespace

density_grid count_rows(const data* d, int rangex, int rangey, bool by_colour)
{
    density_grid g;
    if (rangex < 0 || rangey < 0)
        return g;
    g.width = rangex + 1;
    g.height = rangey + 1;
    const std::size_t pixels = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
    g.count.assign(pixels, 0);
    if (by_colour)
        g.sum.assign(pixels, 0.0);
    for (int i = 0; i < 10; ++i)
        if (!d[i].x.empty())
            count_set(d[i], d[0].mod_minmax.z, by_colour, g);
    return g;
}

colour_scale count_scale(const density_grid& g, int kind)
{
    colour_scale s;
    const std::uint32_t most = g.count.empty() ? 0 : *std::max_element(g.count.begin(), g.count.end());
    s.hi = std::max<std::uint32_t>(most, 1);
    if (kind == DENSITY_LINEAR) {
        s.lo = 0;
    } else if (kind == DENSITY_EQHIST) {
        for (const std::uint32_t n : g.count)
            if (n != 0)
                s.ranks.push_back(n);
        std::sort(s.ranks.begin(), s.ranks.end());
        s.lo = s.ranks.empty() ? 1 : s.ranks.front();
    } else {
        s.lo = 1;
        s.log = true;
    }
    return s;
}

double pixel_value(const density_grid& g, std::size_t i)
{
    return g.sum.empty() ? static_cast<double>(g.count[i]) : g.sum[i] / g.count[i];
}

void draw_density(const density_grid& g, const colour_scale& s)
{
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const std::size_t i = g.at(x, y);
            if (g.count[i] == 0)
                continue;
            const GrColor c = s.color(pixel_value(g, i));
            // The 2 x 2 block grows into the area, also from its last column or row.
            if (is_lone(g, x, y)) {
                const int x0 = x + 1 < g.width ? x : x - 1, y0 = y + 1 < g.height ? y : y - 1;
                GrBox(x0, y0, x0 + 1, y0 + 1, c);
            } else {
                GrPlot(x, y, c);
            }
        }
}
