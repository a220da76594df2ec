// Helpers of the marks tests: an in-memory page whose colour slots hold their own index (slot k draws
// pixel value k), and where a colour's pixels lie.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "../plotting/plot_fixture.h"
#include "plot/marks.h"
#include "plot/overlays.h"

namespace marks_test
{

using plot_test::drawn_pixels;
using test_support::columns_with;
using test_support::page_pixel;

// The number of page pixels of value v.
inline int pixels_of(GrColor v)
{
    return test_support::count_pixels([v](GrColor p) { return p == v; });
}

// from..to and the values of more, in order.
inline std::vector<int> span(int from, int to, std::vector<int> more = {})
{
    for (int x = from; x <= to; ++x)
        more.push_back(x);
    std::sort(more.begin(), more.end());
    return more;
}

// Fixture: a w x h memory page cleared to 0, colour slot k holding value k, scales of 0..10 over 100 pixels
// on both axes (10 pixels per unit), and an empty data set d whose plot z range is (-100, 100).
class MarksPage : public plot_test::PlotPage
{
protected:
    data d;

    void open_page(int w, int h)
    {
        PlotPage::open_page(w, h);
        for (int k = 0; k < COLOR_LAST; ++k)
            colors[k] = static_cast<GrColor>(k);
        GrClearScreen(0);
    }
    void SetUp() override
    {
        open_page(120, 120);
        Xscale.set(0, 10, 100);
        Yscale.set(0, 10, 100);
        Escale.set(0, 0, 0);
        d.mod_minmax.z.Min = -100;
        d.mod_minmax.z.Max = 100;
    }
    void add_point(double x, double y, double z, std::array<double, 4> components = {})
    {
        const std::array<double, 7> row{x, y, z, components[0], components[1], components[2], components[3]};
        for (std::size_t k = 0; k < row.size(); ++k)
            d.columns()[k]->push_back(row[k]);
    }
    // Clears the page and the data set, then plots the given points.
    void plot(std::initializer_list<std::array<double, 3>> points, int color = COLOR_FG0)
    {
        GrClearScreen(0);
        d.cleanup();
        for (const auto& p : points)
            add_point(p[0], p[1], p[2]);
        plot_data(d, 100, color);
    }
};

} // namespace marks_test
