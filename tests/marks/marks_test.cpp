// plot_data on a memory page where the program's pictures cannot show it: a NaN z, unknown draw types and values at the
// ends of the double range (rings, discs and the line mode in ordinary pictures are case files under tests/cases).
#include "plot/marks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "marks_fixture.h"

namespace
{

using namespace marks_test;

constexpr GrColor fg0 = COLOR_FG0, fg1 = COLOR_FG1, fill = COLOR_FILL;
constexpr double big = 1.7e308, inf = std::numeric_limits<double>::infinity();

using Rings = MarksPage;

// A NaN z lies inside no range and is skipped (the strict ends of the range are the case run/z_filter_strict, the
// data set's y offset is in the golden pictures).
TEST_F(Rings, ZFilterSkipsNaN)
{
    plot({{5, 2, 0.4}, {3, 1, std::nan("")}}, COLOR_FG1);
    EXPECT_EQ(page_pixel(50, 80), fg1) << "(5, 2) is column 50, row 100 - 20";
    EXPECT_EQ(drawn_pixels(), 1);
}

TEST_F(Rings, UnknownDrawTypeReportsEachPointAndDrawsNothing)
{
    for (int type : {DT_VECTORS + 1, 0}) {
        draw_type = type;
        testing::internal::CaptureStderr();
        plot({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
        const std::string line = "Uknown draw_type:" + std::to_string(type) + "\n";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line + line);
        EXPECT_EQ(drawn_pixels(), 0);
    }
}

TEST_F(Rings, ExtremeValuesDrawWhatLiesOnThePage)
{
    d.mod_minmax.z.Min = std::numeric_limits<double>::lowest();
    d.mod_minmax.z.Max = std::numeric_limits<double>::max();
    // A ring far larger than the page, centred on it, passes outside; a huge disc covers every pixel.
    const auto t0 = std::chrono::steady_clock::now();
    plot({{5, 5, 1e300}});
    EXPECT_EQ(drawn_pixels(), 0);
    plot({{5, 5, -big}});
    EXPECT_EQ(pixels_of(fill), 120 * 120);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << "huge radii must not loop long";

    // Centres beyond the double range of the scale, and a scale with no extent, land off the page; a centre
    // and radius both beyond any page must not swing the ring back onto it.
    plot({{big, 5, 1}, {5, -big, 1}, {-big, big, 1}, {big, 5, big}, {-big, 5, -big}});
    EXPECT_EQ(drawn_pixels(), 0);
    Xscale.set(3, 3, 100);
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn_pixels(), 0);

    // An infinite scale times z = 0 gives no radius: the point is a single pixel.
    Xscale.set(0, 10, 100);
    Zscale.per_z = inf;
    plot({{5, 5, 0}});
    EXPECT_EQ(page_pixel(50, 50), fg0);
    EXPECT_EQ(drawn_pixels(), 1);
}

TEST_F(Rings, FarAndInfiniteEndsKeepTheirDirection)
{
    draw_type = DT_LINE;
    d.mod_minmax.z.Max = std::numeric_limits<double>::max();
    // From a ring at (50, 50) straight up to y = 1e300: the join leaves the top of the page in column 50.
    plot({{5, 5, 1}, {5, 1e300, 1}});
    EXPECT_EQ(columns_with(50, fg0, true), span(0, 49, {51}));
    EXPECT_EQ(drawn_pixels(), 53) << "the column and the ring's left and right pixels";

    // The shaft runs from (50, 50) to the right edge; the head lies at infinity.
    GrClearScreen(0);
    draw_arrow_between(50, 50, inf, 50, fg0);
    EXPECT_EQ(columns_with(50, fg0), span(50, 119));
    EXPECT_EQ(drawn_pixels(), 70);
    GrClearScreen(0);
    draw_segment(-inf, 60, inf, 60, fg0);
    draw_segment(std::nan(""), 0, 10, 10, fg0);
    EXPECT_EQ(columns_with(60, fg0), span(0, 119));
    EXPECT_EQ(drawn_pixels(), 120);
    // From infinitely far up-left to (60, 60): the shaft is the diagonal through (0, 0), and the head strokes,
    // infinitely long, leave the tip at 5 degrees off the axes (60 tan 5 = 5.25).
    GrClearScreen(0);
    draw_arrow_between(-inf, -inf, 60, 60, fg0);
    for (int k = 0; k <= 60; ++k)
        EXPECT_EQ(page_pixel(k, k), fg0) << k;
    EXPECT_EQ(columns_with(0, fg0), (std::vector<int>{0, 55}));
    EXPECT_EQ(page_pixel(0, 55), fg0);
}

} // namespace
