// Helpers of the plotting tests: a clean run state, an in-memory page of a chosen size, and the label texts
// and positions read back from the text traces.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/settings.h"
#include "page_pixels.h"
#include "plot/axes.h"
#include "plot/graphics_mode.h"
#include "plot/run_state.h"
#include "plot/scale_mapping.h"
#include "twgr.h"

namespace plot_test
{

// The style the tests hand to the axis drawers: no label options (the current font) and a tick colour.
inline axis_style axes{nullptr, 0};

// Resets the whole run state and leaves graphics mode, so each test starts from the program's start state.
inline void clean_state()
{
    reset_run_state();
    unsetenv(ENVFONT);
    axes = axis_style{nullptr, 0};
}

using test_support::columns_with;
using test_support::page_pixel;

// Text of font f in colour fg on no background, aligned at its left and top.
inline GrTextOption text_options(GrFont* f, GrColor fg)
{
    GrTextOption opt{};
    opt.txo_font = f;
    opt.txo_fgcolor.v = fg;
    opt.txo_bgcolor.v = GrNOCOLOR;
    return opt;
}

// Number of pixels of the page that differ from value 0.
inline int drawn_pixels()
{
    return test_support::count_pixels([](GrColor p) { return p != 0; });
}

// One text drawn through gprintfxy, as its debug trace "gprintfxy(x,y) text" reports it.
struct drawn_text {
    long x;
    long y;
    std::string text;
};

// The texts that draw() traces at debug level 1, and all their words joined by blanks.
template <typename F> std::vector<drawn_text> texts_drawn_by(F&& draw, std::string* words = nullptr)
{
    debug = 1;
    testing::internal::CaptureStderr();
    draw();
    const std::string err = testing::internal::GetCapturedStderr();
    debug = 0;
    static const std::string key = "gprintfxy(";
    std::vector<drawn_text> out;
    for (std::size_t at = err.find(key); at != std::string::npos; at = err.find(key, at + 1)) {
        drawn_text t{};
        int used = 0;
        if (std::sscanf(err.c_str() + at + key.size(), "%ld,%ld)%n", &t.x, &t.y, &used) != 2 || used == 0)
            continue;
        const std::size_t start = at + key.size() + static_cast<std::size_t>(used) + 1; // after the blank
        t.text = err.substr(start, err.find('\n', start) - start);
        out.push_back(t);
        if (words != nullptr)
            *words += (out.size() > 1 ? " " : "") + t.text;
    }
    return out;
}

// Fixture: an in-memory page of w x h pixels (size row 8, no z legend column), tick colour 1 and no label
// options.
class PlotPage : public ::testing::Test
{
protected:
    void open_page(int w, int h)
    {
        clean_state();
        in_memory = 1;
        Zscale.legend_width = 0;
        whc[8][0] = w;
        whc[8][1] = h;
        entergrmode(8);
        axes.color = 1;
    }
    void SetUp() override { open_page(160, 120); }
    void TearDown() override { clean_state(); }
};

} // namespace plot_test
