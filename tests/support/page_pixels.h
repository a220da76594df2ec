// Reading back the screen page, for tests that draw through the program's own code.
#pragma once

#include <vector>

#include "twgr.h"

namespace test_support
{

inline GrColor page_pixel(int x, int y)
{
    return GrPixelC(GrScreenContext(), x, y);
}

// The number of page pixels whose value v makes counted(v) true.
template <typename F> int count_pixels(F&& counted)
{
    const GrContext* s = GrScreenContext();
    int n = 0;
    for (int y = 0; y <= s->gc_ymax; ++y)
        for (int x = 0; x <= s->gc_xmax; ++x)
            n += counted(page_pixel(x, y)) ? 1 : 0;
    return n;
}

// Columns of page row `line` (or, across, rows of column `line`) holding the value v, in order.
inline std::vector<int> columns_with(int line, GrColor v, bool across = false)
{
    std::vector<int> out;
    const GrContext* s = GrScreenContext();
    for (int k = 0; k <= (across ? s->gc_ymax : s->gc_xmax); ++k)
        if ((across ? page_pixel(line, k) : page_pixel(k, line)) == v)
            out.push_back(k);
    return out;
}

} // namespace test_support
