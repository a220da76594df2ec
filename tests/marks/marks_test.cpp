// Rings, filled discs and the line mode of plot_data on a memory page; the z filter, unknown draw types and
// values at the ends of the double range.
#include "marks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "marks_fixture.h"

namespace
{

using marks_test::box;
using marks_test::drawn;
using marks_test::pixel;
using marks_test::pixels_of;

constexpr GrColor fg0 = COLOR_FG0, fg2 = COLOR_FG2, fill = COLOR_FILL, rim = COLOR_FILLRING;

// Columns of page row y holding value v.
std::vector<int> row_columns(int y, GrColor v)
{
    std::vector<int> xs;
    for (int x = 0; x <= GrScreenContext()->gc_xmax; ++x)
        if (pixel(x, y) == v)
            xs.push_back(x);
    return xs;
}

std::vector<int> span(int from, int to)
{
    std::vector<int> xs;
    for (int x = from; x <= to; ++x)
        xs.push_back(x);
    return xs;
}

void expect_box(const box& b, int x0, int y0, int x1, int y1)
{
    EXPECT_EQ(b.x0, x0);
    EXPECT_EQ(b.y0, y0);
    EXPECT_EQ(b.x1, x1);
    EXPECT_EQ(b.y1, y1);
}

class Rings : public marks_test::MarksPage
{
protected:
    // my_mark of a single point of value z at page pixel (50, 50).
    int mark_z(double z)
    {
        GrClearScreen(0);
        d.cleanup();
        add_point(0, 0, z);
        return my_mark(50, 50, d, 0, false, fg2);
    }
};

TEST_F(Rings, RadiusIsZTimesScaleTruncated)
{
    EXPECT_EQ(mark_z(2.7), 2);
    expect_box(pixels_of(fg2), 48, 48, 52, 52);
    EXPECT_EQ(pixel(50, 50), 0u) << "an outline, not a disc";
    EXPECT_EQ(drawn().count, pixels_of(fg2).count);

    EXPECT_EQ(mark_z(0.4), 1) << "a single pixel joins like radius 1";
    expect_box(drawn(), 50, 50, 50, 50);
    EXPECT_EQ(pixel(50, 50), fg2);

    scalez = 4;
    EXPECT_EQ(mark_z(2.0), 8);
    expect_box(drawn(), 42, 42, 58, 58);
    scalez = 1;
    add_to_z_when_zero = 10;
    EXPECT_EQ(mark_z(0.0), 10);
    expect_box(drawn(), 40, 40, 60, 60);
}

TEST_F(Rings, NegativeZIsADiscInTheFillColours)
{
    EXPECT_EQ(mark_z(-3), -3);
    expect_box(drawn(), 47, 47, 53, 53);
    EXPECT_EQ(pixel(50, 50), fill);
    EXPECT_EQ(pixel(53, 50), rim);
    EXPECT_EQ(pixel(50, 47), rim);
    EXPECT_EQ(pixels_of(fg2).count, 0) << "the data set's own colour is not used";

    // Without alt_color every disc takes data set 0's colour, whatever slot its data set draws in.
    alt_color = 0;
    EXPECT_EQ(mark_z(-2.5), -2);
    EXPECT_EQ(pixel(50, 50), fg0);
    EXPECT_EQ(pixel(52, 50), fg0);
    EXPECT_EQ(drawn().count, pixels_of(fg0).count);

    // The z legend's filled rings use the fill colours whatever alt_color says.
    GrClearScreen(0);
    EXPECT_EQ(my_mark2(50, 50, 4, true, fg2), 4);
    EXPECT_EQ(pixel(50, 50), fill);
    EXPECT_EQ(pixel(54, 50), rim);
    EXPECT_EQ(pixels_of(fg2).count, 0);
    GrClearScreen(0);
    EXPECT_EQ(my_mark2(50, 50, 0, true, fg2), 1);
    EXPECT_EQ(drawn().count, 1);
    EXPECT_EQ(pixel(50, 50), fg2);
}

TEST_F(Rings, PlotDataPlacesPointsAndFiltersByZ)
{
    // 10 pixels per unit on a plot 100 rows high: (5, 2) is column 50, row 100 - 20.
    add_point(5, 2, 0.4);
    add_point(11, 2, 0.4); // outside the x range: drawn all the same, the page still shows it
    d.mod_minmax.z = MinMax{};
    d.mod_minmax.z.Min = 0;
    d.mod_minmax.z.Max = 5;
    add_point(1, 1, 0);                                        // on the lower limit
    add_point(2, 1, 5);                                        // on the upper limit
    add_point(3, 1, std::numeric_limits<double>::quiet_NaN()); // inside no range
    add_point(4, 1, -1);
    plot_data(d, 100, COLOR_FG1);
    EXPECT_EQ(drawn().count, 2);
    EXPECT_EQ(pixel(50, 80), GrColor(COLOR_FG1));
    EXPECT_EQ(pixel(110, 80), GrColor(COLOR_FG1));

    GrClearScreen(0);
    d.offset_y = 1;
    plot_data(d, 100, COLOR_FG1);
    EXPECT_EQ(pixel(50, 70), GrColor(COLOR_FG1)) << "offset_y is added before scaling";
    EXPECT_EQ(drawn().count, 2);
}

TEST_F(Rings, LineModeJoinsRingEdgesAndBreaksAtSkippedPoints)
{
    draw_type = DT_LINE;
    add_point(2, 5, 5);   // ring r 5 at (20, 50)
    add_point(4, 5, 5);   // ring r 5 at (40, 50): join 25..35, 10 pixels long
    add_point(6, 5, 100); // on the upper z limit: skipped, breaks the line
    add_point(8, 5, 5);   // ring at (80, 50), not joined
    plot_data(d, 100, COLOR_FG0);
    std::vector<int> row = {15};
    for (int x : span(25, 35))
        row.push_back(x);
    for (int x : {45, 75, 85})
        row.push_back(x);
    EXPECT_EQ(row_columns(50, fg0), row);

    // A new plot_data never joins to the last point of the one before.
    GrClearScreen(0);
    d.cleanup();
    add_point(2, 5, 5);
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(row_columns(50, fg0), (std::vector<int>{15, 25}));
}

TEST_F(Rings, LineModeReachesAcrossANegativeDisc)
{
    draw_type = DT_LINE;
    add_point(2, 5, 5);  // ring r 5 at (20, 50)
    add_point(4, 5, -3); // disc r 3 at (40, 50): the join ends at its far edge, column 43
    plot_data(d, 100, COLOR_FG0);
    std::vector<int> row = {15};
    for (int x : span(25, 43))
        row.push_back(x);
    EXPECT_EQ(row_columns(50, fg0), row);
    EXPECT_EQ(pixel(40, 49), fill) << "the disc lies under the join";

    // Vertical neighbours: the join runs straight up between the ring edges.
    GrClearScreen(0);
    d.cleanup();
    add_point(5, 2, 3); // (50, 80) r 3
    add_point(5, 8, 3); // (50, 20) r 3
    plot_data(d, 100, COLOR_FG0);
    std::vector<int> rows;
    for (int y = 0; y < 120; ++y)
        if (pixel(50, y) == fg0)
            rows.push_back(y);
    std::vector<int> expected = {17};
    for (int y : span(23, 77))
        expected.push_back(y);
    expected.push_back(83);
    EXPECT_EQ(rows, expected);
}

TEST_F(Rings, UnknownDrawTypeReportsEachPointAndDrawsNothing)
{
    add_point(1, 1, 1);
    add_point(2, 2, 2);
    add_point(3, 3, 3);
    for (int type : {7, 0}) {
        draw_type = type;
        testing::internal::CaptureStderr();
        plot_data(d, 100, COLOR_FG0);
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string line = "Uknown draw_type:" + std::to_string(type) + "\n";
        EXPECT_EQ(err, line + line + line);
        EXPECT_EQ(drawn().count, 0);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(my_mark(50, 50, d, 0, false, fg0), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Uknown draw_type:0\n");
}

TEST_F(Rings, ExtremeValuesDrawWhatLiesOnThePage)
{
    constexpr double big = 1.7e308;
    d.mod_minmax.z.Min = std::numeric_limits<double>::lowest();
    d.mod_minmax.z.Max = std::numeric_limits<double>::max();

    // A ring far larger than the page, centred on it, passes outside; a huge disc covers every pixel.
    add_point(5, 5, 1e300);
    const auto t0 = std::chrono::steady_clock::now();
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);
    d.z[0] = -big;
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(pixels_of(fill).count, 120 * 120);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << "huge radii must not loop long";

    // Centres beyond the double range of the scale, and a scale with no extent, land off the page.
    GrClearScreen(0);
    d.cleanup();
    add_point(big, 5, 1);
    add_point(5, -big, 1);
    add_point(-big, big, 1);
    add_point(big, 5, big); // centre and radius both beyond any page: the ring must not swing back onto it
    add_point(-big, 5, -big);
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);
    Xscale.set(3, 3, 100);
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);

    // An infinite scale times z = 0 gives no radius: the point is a single pixel.
    Xscale.set(0, 10, 100);
    d.cleanup();
    add_point(5, 5, 0);
    scalez = std::numeric_limits<double>::infinity();
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 1);
    EXPECT_EQ(pixel(50, 50), fg0);
}

TEST_F(Rings, LineModeTowardsFarPointsKeepsItsDirection)
{
    draw_type = DT_LINE;
    d.mod_minmax.z.Max = std::numeric_limits<double>::max();
    // From a ring at (50, 50) straight up to a point at y = 1e300: the join leaves the top of the page in
    // column 50, the far ring is nowhere near.
    add_point(5, 5, 1);
    add_point(5, 1e300, 1);
    plot_data(d, 100, COLOR_FG0);
    for (int y = 0; y <= 49; ++y)
        EXPECT_EQ(pixel(50, y), fg0) << y;
    expect_box(drawn(), 49, 0, 51, 51);

    // Two points far off in opposite corners whose joining line passes far from the page: pinning both ends
    // to the far-off bound would swing it through the page.
    GrClearScreen(0);
    d.cleanup();
    add_point(2e8, -1e8, 1);
    add_point(-2e8, 0.8e8, 1);
    plot_data(d, 100, COLOR_FG0);
    EXPECT_EQ(drawn().count, 0);
}

TEST_F(Rings, SegmentsAndArrowsToInfinity)
{
    const double inf = std::numeric_limits<double>::infinity();
    // The shaft runs from (50, 50) to the right edge; the head lies at infinity.
    draw_arrow_between(50, 50, inf, 50, fg0);
    EXPECT_EQ(row_columns(50, fg0), span(50, 119));
    EXPECT_EQ(drawn().count, 70);

    GrClearScreen(0);
    draw_segment(-inf, 60, inf, 60, fg0);
    draw_segment(std::numeric_limits<double>::quiet_NaN(), 0, 10, 10, fg0);
    EXPECT_EQ(row_columns(60, fg0), span(0, 119));
    EXPECT_EQ(drawn().count, 120);

    // An arrow from infinitely far up-left to (60, 60): the shaft is the diagonal through (0, 0), and the head
    // strokes, infinitely long, leave the tip at 5 degrees off the axes (60 tan 5 = 5.25).
    GrClearScreen(0);
    draw_arrow_between(-inf, -inf, 60, 60, fg0);
    for (int k = 0; k <= 60; ++k)
        EXPECT_EQ(pixel(k, k), fg0) << k;
    const auto in_row0 = row_columns(0, fg0);
    EXPECT_EQ(in_row0.size(), 2u);
    EXPECT_EQ(in_row0.back(), 55);
    EXPECT_EQ(pixel(0, 55), fg0);
}

} // namespace
