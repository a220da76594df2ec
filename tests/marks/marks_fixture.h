// Helpers of the marks tests: an in-memory page whose colour slots hold their own index (slot k draws
// pixel value k), pictures of page regions as text, and the bounding box of a colour's pixels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "data_set.h"
#include "graphics_mode.h"
#include "marks.h"
#include "overlays.h"
#include "scale_mapping.h"
#include "settings.h"
#include "twgr.h"

namespace marks_test
{

inline GrColor pixel(int x, int y)
{
    return GrPixelC(GrScreenContext(), x, y);
}

// Rows y0..y1 of columns x0..x1 as text: '.' for value 0, the value's digit or letter otherwise
// (value 3 is '3', 14 is 'e', 15 'f', 16 'g').
inline std::string picture(int x0, int y0, int x1, int y1)
{
    static const char digits[] = "0123456789abcdefghij";
    std::string out;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const GrColor v = pixel(x, y);
            out += v == 0 ? '.' : (v < 20 ? digits[v] : '?');
        }
        out += '\n';
    }
    return out;
}

struct box {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    int count = 0;
};

// Bounding box and number of the page pixels whose value satisfies keep.
template <typename Keep> box pixels_where(Keep keep)
{
    const GrContext* s = GrScreenContext();
    box b;
    for (int y = 0; y <= s->gc_ymax; ++y)
        for (int x = 0; x <= s->gc_xmax; ++x)
            if (keep(pixel(x, y))) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x);
                b.y1 = std::max(b.y1, y);
                ++b.count;
            }
    return b;
}

inline box pixels_of(GrColor v)
{
    return pixels_where([v](GrColor p) { return p == v; });
}

inline box drawn()
{
    return pixels_where([](GrColor p) { return p != 0; });
}

// Fixture: a w x h memory page cleared to 0, colour slot k holding value k, scales of 0..10 over 100 pixels
// on both axes (10 pixels per unit), and an empty data set d whose plot z range is (-100, 100).
class MarksPage : public ::testing::Test
{
protected:
    data d;

    void open_page(int w, int h)
    {
        exitgrmode();
        reset_settings();
        unsetenv(ENVFONT);
        in_memory = 1;
        scalew = 0;
        whc[8][0] = w;
        whc[8][1] = h;
        entergrmode(8);
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
        clear_overlays();
    }
    void TearDown() override
    {
        clear_overlays();
        exitgrmode();
        reset_settings();
        Xscale.set(0, 0, 0);
        Yscale.set(0, 0, 0);
        Escale.set(0, 0, 0);
    }
    void add_point(double x, double y, double z)
    {
        d.x.push_back(x);
        d.y.push_back(y);
        d.z.push_back(z);
    }
    void add_components(double dx1, double dy1, double dx2, double dy2)
    {
        d.dx1.push_back(dx1);
        d.dy1.push_back(dy1);
        d.dx2.push_back(dx2);
        d.dy2.push_back(dy2);
    }
};

} // namespace marks_test
