// Ellipse corners (axes, rotation, truncation, step count, traces, unbounded input) and the ellipse and
// quiver marks drawn by plot_data.
#include "ellipse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "marks_fixture.h"

namespace
{

using marks_test::drawn;
using marks_test::pixel;
using marks_test::pixels_of;

struct corner {
    int x, y;
    bool operator==(const corner&) const = default;
};

std::ostream& operator<<(std::ostream& os, const corner& c)
{
    return os << "(" << c.x << "," << c.y << ")";
}

corner at(int xy[][2], int n)
{
    return {xy[n][0], xy[n][1]};
}

TEST(EllipseCorners, AxesQuartersAndTruncationTowardZero)
{
    int xy[36][2];
    calculateEllipse(10, 10, 20, 10, 0, 36, xy);
    EXPECT_EQ(at(xy, 0), (corner{30, 10})) << "corner 0 ends the first axis";
    EXPECT_EQ(at(xy, 9), (corner{10, 20}));
    EXPECT_EQ(at(xy, 18), (corner{-9, 10})) << "-9.5 truncates toward zero";
    EXPECT_EQ(at(xy, 27), (corner{10, 0}));
    for (int n = 0; n < 36; ++n) {
        const double u = (xy[n][0] - 10) / 20.0, v = (xy[n][1] - 10) / 10.0;
        EXPECT_NEAR(u * u + v * v, 1.0, 0.2) << n; // a pixel off at most, on axes of 20 and 10
    }

    // Whole degrees per corner: 7 steps put corner 1 at 51 degrees, not 51.43.
    int seven[7][2];
    calculateEllipse(0, 0, 1000, 1000, 0, 7, seven);
    EXPECT_EQ(at(seven, 1), (corner{629, 777}));
}

TEST(EllipseCorners, FromVectorsTurnsByTheFirstAndUsesOnlyTheSecondsLength)
{
    int xy[36][2];
    // First axis straight up in data (screen rows grow downward): corner 0 lies above the centre.
    calculateEllipse2(50, 50, 0, 10, 5, 0, 36, xy);
    EXPECT_EQ(at(xy, 0), (corner{50, 40}));
    EXPECT_EQ(at(xy, 9), (corner{55, 50}));
    int other[36][2];
    calculateEllipse2(50, 50, 0, 10, 0, -5, 36, other);
    for (int n = 0; n < 36; ++n)
        EXPECT_EQ(at(other, n), at(xy, n)) << n;

    // 45 degrees: corner 0 up and to the right.
    calculateEllipse2(0, 0, 30, 40, 1, 1, 36, xy);
    EXPECT_EQ(at(xy, 0), (corner{30, -39}));
}

TEST(EllipseCorners, StepCountDefaultsTo36AndWritesNoMore)
{
    int xy[40][2];
    for (auto& c : xy)
        c[0] = c[1] = -7;
    calculateEllipse(0, 0, 10, 10, 0, 0, xy);
    EXPECT_EQ(at(xy, 35), (corner{10, -1})) << "corner 35 at 350 degrees";
    for (int n = 36; n < 40; ++n)
        EXPECT_EQ(at(xy, n), (corner{-7, -7})) << n;
    calculateEllipse(0, 0, 10, 10, 0, -5, xy);
    EXPECT_EQ(at(xy, 9), (corner{0, 10}));
    EXPECT_EQ(at(xy, 36), (corner{-7, -7}));
}

TEST(EllipseCorners, TracesAtDebugLevelTwo)
{
    int xy[36][2];
    debug = 2;
    testing::internal::CaptureStderr();
    calculateEllipse2(0, 0, 3, 4, 0, 2, 36, xy);
    const std::string err = testing::internal::GetCapturedStderr();
    debug = 1;
    testing::internal::CaptureStderr();
    calculateEllipse2(0, 0, 3, 4, 0, 2, 36, xy);
    const std::string quiet = testing::internal::GetCapturedStderr();
    debug = 0;
    for (const char* line : {") dx1=3 dy1=4\n", ") dx2=0 dy2=2\n", ") a=5 b=2\n", ") a1=53.1301 a2=90\n"})
        EXPECT_NE(err.find(line), std::string::npos) << line << " in " << err;
    EXPECT_EQ(err.find("Debug: ellipse.cpp("), 0u);
    EXPECT_EQ(quiet, "");
}

TEST(EllipseCorners, UnboundedInputGivesCornersFarOffOrAtTheCentre)
{
    int xy[36][2];
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    // An infinite axis is cut to far off the page, a NaN axis counts as none, a NaN angle as 0.
    calculateEllipse(50, 50, inf, nan, nan, 36, xy);
    EXPECT_EQ(xy[0][1], 50);
    EXPECT_GT(xy[0][0], 1000000);
    EXPECT_EQ(at(xy, 9), (corner{50, 50}));
    // Components so large that their squares overflow still give a finite, far ellipse.
    calculateEllipse2(0, 0, 1e300, 1e300, 1e300, 0, 36, xy);
    EXPECT_GT(xy[0][0], 1000000);
    EXPECT_LT(xy[0][1], -1000000) << "turned 45 degrees, upward on the screen";
}

class EllipseMarks : public marks_test::MarksPage
{
};

TEST_F(EllipseMarks, EllipseOfTwoToOneIsTwiceAsWideAsHigh)
{
    draw_type = DT_ELLIPSE_XUYV;
    Escale.set(-10, 10, 20); // one pixel per unit of a component
    scalee = {5, 5};
    add_point(5, 5, 1); // (50, 50)
    add_components(2, 0, 0, 1);
    plot_data(d, 100, COLOR_FG1);
    const auto b = drawn();
    EXPECT_EQ(b.count, pixels_of(COLOR_FG1).count);
    EXPECT_EQ(b.x0, 40);
    EXPECT_EQ(b.x1, 60);
    EXPECT_EQ(b.y0, 45);
    EXPECT_EQ(b.y1, 55);
    EXPECT_EQ(pixel(60, 50), GrColor(COLOR_FG1));
    EXPECT_EQ(pixel(50, 50), 0u) << "an outline";
    EXPECT_EQ(my_mark(50, 50, d, 0, true, COLOR_FG1), 1);

    // scalee stretches x and y separately.
    GrClearScreen(0);
    scalee = {5, 20};
    plot_data(d, 100, COLOR_FG1);
    EXPECT_EQ(drawn().y0, 30);
    EXPECT_EQ(drawn().y1, 70);
}

TEST_F(EllipseMarks, DegenerateOrHugeComponents)
{
    draw_type = DT_ELLIPSE_XYUV;
    add_point(5, 5, 1);
    add_components(0, 0, 0, 0);
    // All components zero leave the component scale without extent: the ellipse is its centre.
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 1);
    EXPECT_EQ(pixel(50, 50), GrColor(COLOR_FG0));

    // A data set without its components (filled for another draw type) is not read past its end.
    GrClearScreen(0);
    d.dx2.clear();
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);
    d.dx2.push_back(0);

    // Components beyond the double range scaled up: far outside the page, nothing on it.
    GrClearScreen(0);
    Escale.set(-1, 1, 100);
    d.dx1[0] = 1.7e308;
    d.dy2[0] = 1.7e308;
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);
}

TEST_F(EllipseMarks, QuiverPointsAlongItsFirstComponentWithA40DegreeHead)
{
    draw_type = DT_QUIVER_XYUV;
    add_point(5, 5, 1);         // (50, 50)
    add_components(0, 5, 9, 9); // 50 pixels straight up; the second pair is unused
    plot_data(d, 100, COLOR_FG0);
    for (int y = 0; y <= 50; ++y)
        EXPECT_EQ(pixel(50, y), GrColor(COLOR_FG0)) << y;
    // Head strokes 10 pixels long from the tip (50, 0), 40 degrees either side of the shaft:
    // 10 cos 130 = -6.43, 10 sin 130 = 7.66.
    EXPECT_EQ(pixel(43, 7), GrColor(COLOR_FG0));
    EXPECT_EQ(pixel(56, 7), GrColor(COLOR_FG0));
    const auto b = drawn();
    EXPECT_EQ(b.x0, 43);
    EXPECT_EQ(b.x1, 56);
    EXPECT_EQ(b.y0, 0);
    EXPECT_EQ(b.y1, 50);

    // scalee scales the components; x uses the x scale (here 20 pixels per unit).
    GrClearScreen(0);
    Xscale.set(0, 5, 100);
    scalee = {1, 0.5};
    d.x[0] = 2.5;
    d.dx1[0] = 1;
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(pixel(50, 50), GrColor(COLOR_FG0));
    EXPECT_EQ(pixel(70, 25), GrColor(COLOR_FG0)) << "tip at (50 + 20, 50 - 25)";
    EXPECT_EQ(drawn().x1, 70);
    EXPECT_EQ(drawn().y0, 25);

    // A component beyond any page: the shaft runs to the page edge and the head stays far away.
    GrClearScreen(0);
    Xscale.set(0, 10, 100);
    d.x[0] = 5;
    d.dx1[0] = 1.7e308;
    d.dy1[0] = 0;
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 70);
    EXPECT_EQ(drawn().y0, 50);
    EXPECT_EQ(drawn().y1, 50);
}

} // namespace
