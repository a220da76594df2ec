// The arithmetic of the window's views: pixels to data and back, zoom and pan on linear and log axes, the views
// that cannot be drawn, and options that read back as the same doubles.
#include "view/view_range.h"

#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

namespace
{

// A plot area of 100 x 50 pixels at (10, 20) showing x 0..10 and y 100..200.
plot_area linear_area()
{
    return plot_area{10, 20, 100, 50, false, false, view_range{0, 10, 100, 200}};
}

TEST(ViewRange, PixelsAndDataMapBothWaysWithYCountedUpward)
{
    const plot_area a = linear_area();
    EXPECT_DOUBLE_EQ(data_x(a, 10), 0);
    EXPECT_DOUBLE_EQ(data_x(a, 110), 10);
    EXPECT_DOUBLE_EQ(data_y(a, 70), 100) << "the bottom row is the y minimum";
    EXPECT_DOUBLE_EQ(data_y(a, 20), 200);
    EXPECT_DOUBLE_EQ(page_x(a, data_x(a, 37)), 37);
    EXPECT_DOUBLE_EQ(page_y(a, data_y(a, 41)), 41);
    EXPECT_TRUE(inside(a, 10, 20));
    EXPECT_TRUE(inside(a, 110, 70));
    EXPECT_FALSE(inside(a, 9, 30));
    EXPECT_FALSE(inside(a, 50, 71));

    plot_area log = a;
    log.log_x = true;
    log.range.xmin = 1;
    log.range.xmax = 1000;
    EXPECT_NEAR(data_x(log, 10 + 100.0 / 3), 10, 1e-9) << "a third of the width is a decade of three";
    EXPECT_NEAR(page_x(log, 100), 10 + 200.0 / 3, 1e-9);
}

TEST(ViewRange, ZoomToABoxAboutAPointAndPan)
{
    const plot_area a = linear_area();
    // Corners in any order; one beyond the area is held at its edge.
    EXPECT_EQ(zoom_to_box(a, 60, 45, 35, 30), (view_range{2.5, 5, 150, 180}));
    EXPECT_EQ(zoom_to_box(a, 0, 0, 35, 45), (view_range{0, 2.5, 150, 200}));

    // The point under the pointer keeps its values.
    const view_range in = zoom_about(a, 35, 30, 2);
    plot_area zoomed = a;
    zoomed.range = in;
    EXPECT_NEAR(data_x(zoomed, 35), data_x(a, 35), 1e-12);
    EXPECT_NEAR(data_y(zoomed, 30), data_y(a, 30), 1e-12);
    EXPECT_NEAR(in.xmax - in.xmin, 5, 1e-12);
    EXPECT_NEAR(in.ymax - in.ymin, 50, 1e-12);
    const view_range out = zoom_about(zoomed, 35, 30, 0.5);
    EXPECT_NEAR(out.xmin, 0, 1e-12);
    EXPECT_NEAR(out.ymax, 200, 1e-12);

    EXPECT_EQ(pan_by_fraction(a, 0.1, 0), (view_range{1, 11, 100, 200}));
    EXPECT_EQ(pan_by_fraction(a, 0, -0.1), (view_range{0, 10, 90, 190}));
    // A drag to the right and down brings what lay left and above into view.
    EXPECT_EQ(pan_by_pixels(a, 10, 5), (view_range{-1, 9, 110, 210}));

    plot_area log = a;
    log.log_y = true;
    log.range.ymin = 1;
    log.range.ymax = 100;
    const view_range up = pan_by_fraction(log, 0, 0.5);
    EXPECT_NEAR(up.ymin, 10, 1e-12) << "a log axis pans in decades";
    EXPECT_NEAR(up.ymax, 1000, 1e-9);
    const view_range box = zoom_to_box(log, 10, 45, 110, 20);
    EXPECT_NEAR(box.ymin, 10, 1e-12);
    EXPECT_NEAR(box.ymax, 100, 1e-12);
}

TEST(ViewRange, ViewsThatCannotBeDrawn)
{
    EXPECT_TRUE(drawable({0, 1, -5, 5}, false, false));
    EXPECT_FALSE(drawable({1, 1, 0, 1}, false, false)) << "empty";
    EXPECT_FALSE(drawable({2, 1, 0, 1}, false, false)) << "reversed";
    EXPECT_FALSE(drawable({0, std::numeric_limits<double>::infinity(), 0, 1}, false, false));
    EXPECT_FALSE(drawable({0, 1, 0, std::numeric_limits<double>::quiet_NaN()}, false, false));
    EXPECT_FALSE(drawable({1e6, 1e6 + 1e-6, 0, 1}, false, false)) << "below what the ticks can resolve";
    EXPECT_TRUE(drawable({1e6, 1e6 + 1, 0, 1}, false, false));
    EXPECT_FALSE(drawable({0, 10, 0, 1}, true, false)) << "a log axis needs positive limits";
    EXPECT_TRUE(drawable({1e-3, 10, 0, 1}, true, false));
}

TEST(ViewRange, OptionsReadBackAsTheSameDoubles)
{
    const view_range r{0.1 + 0.2, 1.0 / 3, -2.5e-300, 7};
    EXPECT_EQ(view_options({0.5, 2, -1, 1e20}), "--minx=0.5 --maxx=2 --miny=-1 --maxy=1e+20");
    const std::string text = view_options(r);
    double values[4];
    const char* names[4] = {"--minx=", "--maxx=", "--miny=", "--maxy="};
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(text.compare(at, 7, names[i]), 0) << text;
        char* end = nullptr;
        values[i] = std::strtod(text.c_str() + at + 7, &end);
        at = static_cast<std::size_t>(end - text.c_str()) + 1;
    }
    EXPECT_EQ((view_range{values[0], values[1], values[2], values[3]}), r);
}

} // namespace
