// Helpers of the graphics tests: a fresh memory mode per test, and parts of a frame as ASCII pictures.
#pragma once

#include "page_pixels.h"
#include "twgr.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace gr_test
{

// Sets a fresh 8-bit memory mode of w x h pixels, all 0, with the screen as current context.
inline void set_memory_mode(int w, int h)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_color_graphics, w, h, 256);
}

// The box (x1, y1)-(x2, y2) of ctx (null: current), one line per row: '.' for 0, '#' for 1, '+' for 2, 'a' + v
// otherwise.
inline std::string picture(const GrContext* ctx, int x1, int y1, int x2, int y2)
{
    std::string out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            GrColor v = GrPixelC(ctx, x, y);
            out += v == 0 ? '.' : v == 1 ? '#' : v == 2 ? '+' : static_cast<char>('a' + static_cast<int>(v % 26));
        }
        out += '\n';
    }
    return out;
}

// Number of pixels of the whole screen whose value is v.
inline int count_value(GrColor v)
{
    return test_support::count_pixels([v](GrColor p) { return p == v; });
}

// Placement {xoffset, yoffset, xmax, ymax} and clip box {xlo, ylo, xhi, yhi} of a context.
inline std::array<int, 4> placement(const GrContext& c)
{
    return {c.gc_xoffset, c.gc_yoffset, c.gc_xmax, c.gc_ymax};
}
inline std::array<int, 4> clip(const GrContext& c)
{
    return {c.gc_xcliplo, c.gc_ycliplo, c.gc_xcliphi, c.gc_ycliphi};
}

inline std::array<int, 3> query(GrColor c)
{
    std::array<int, 3> rgb{-1, -1, -1};
    GrQueryColor(c, &rgb[0], &rgb[1], &rgb[2]);
    return rgb;
}

// Fixture: a memory mode of the given size, the screen current.
class MemoryMode : public ::testing::Test
{
protected:
    void set_mode(int w, int h) { set_memory_mode(w, h); }
    void SetUp() override { set_mode(16, 12); }
};

} // namespace gr_test
