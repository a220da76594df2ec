// Ellipse corners (axes, rotation, truncation, step count, unbounded input) and ellipse marks of degenerate
// components (ellipses from component vectors, the ordinary ellipse and quiver marks and the --debug2 traces are
// held by the case files).
#include "plot/ellipse.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "marks_fixture.h"

namespace
{

using namespace marks_test;
using xy = std::array<int, 2>;

// The corners written into a buffer of 40 preset to (-7, -7), so that corners past the step count show.
template <typename F> std::vector<xy> corners(F&& calculate)
{
    int buffer[40][2];
    for (auto& c : buffer)
        c[0] = c[1] = -7;
    calculate(buffer);
    std::vector<xy> out;
    for (const auto& c : buffer)
        out.push_back({c[0], c[1]});
    return out;
}

std::vector<xy> ellipse(double x, double y, double a, double b, double angle, int steps = 36)
{
    return corners([&](int c[][2]) { calculateEllipse(x, y, a, b, angle, steps, c); });
}

std::vector<xy> ellipse2(double x, double y, double dx1, double dy1, double dx2, double dy2)
{
    return corners([&](int c[][2]) { calculateEllipse2(x, y, dx1, dy1, dx2, dy2, 36, c); });
}

TEST(EllipseCorners, AxesRotationTruncationAndStepCount)
{
    auto c = ellipse(10, 10, 20, 10, 0);
    EXPECT_EQ(c[0], (xy{30, 10})) << "corner 0 ends the first axis";
    EXPECT_EQ(c[9], (xy{10, 20}));
    EXPECT_EQ(c[18], (xy{-9, 10})) << "-9.5 truncates toward zero";
    EXPECT_EQ(c[27], (xy{10, 0}));
    // Whole degrees per corner: 7 steps put corner 1 at 51 degrees, not 51.43.
    EXPECT_EQ(ellipse(0, 0, 1000, 1000, 0, 7)[1], (xy{629, 777}));
    // A step count below 1 means 36, and no corner past the count is written.
    for (int steps : {0, -5}) {
        c = ellipse(0, 0, 10, 10, 0, steps);
        EXPECT_EQ(c[9], (xy{0, 10})) << steps;
        EXPECT_EQ(c[35], (xy{10, -1})) << "corner 35 at 350 degrees, " << steps;
        for (int n = 36; n < 40; ++n)
            EXPECT_EQ(c[n], (xy{-7, -7})) << n;
    }
}

TEST(EllipseCorners, UnboundedInputGivesCornersFarOffOrAtTheCentre)
{
    // An infinite axis is cut to far off the page, a NaN axis counts as none, a NaN angle as 0.
    const auto c = ellipse(50, 50, std::numeric_limits<double>::infinity(), std::nan(""), std::nan(""));
    EXPECT_EQ(c[0][1], 50);
    EXPECT_GT(c[0][0], 1000000);
    EXPECT_EQ(c[9], (xy{50, 50}));
    // Components so large that their squares overflow still give a finite, far ellipse, turned 45 degrees.
    const auto far = ellipse2(0, 0, 1e300, 1e300, 1e300, 0)[0];
    EXPECT_GT(far[0], 1000000);
    EXPECT_LT(far[1], -1000000);
}

using EllipseMarks = MarksPage;

TEST_F(EllipseMarks, DegenerateOrHugeComponents)
{
    draw_type = DT_ELLIPSE_XYUV;
    add_point(5, 5, 1);
    // All components zero leave the component scale without extent: the ellipse is its centre.
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn_pixels(), 1);
    EXPECT_EQ(page_pixel(50, 50), GrColor(COLOR_FG0));

    // A data set without its components (filled for another draw type) is not read past its end.
    GrClearScreen(0);
    d.dx2.clear();
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn_pixels(), 0);
    d.dx2.push_back(0);

    // Components beyond the double range scaled up: far outside the page, nothing on it.
    Escale.set(-1, 1, 100);
    d.dx1[0] = d.dy2[0] = 1.7e308;
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn_pixels(), 0);
}

} // namespace
