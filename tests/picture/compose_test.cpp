// The composer and the viewing helpers: plot ranges, the z autoscale, unresolvable paths (the page layout shows
// in every picture of the case files).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings.h"
#include "data/data_set.h"
#include "plot/compose.h"
#include "plot/graphics_mode.h"
#include "plot/run_state.h"
#include "portable/mypath.h"
#include "view/viewing.h"

namespace
{

void clean_state()
{
    reset_run_state();
    unsetenv(ENVFONT);
}

void fill(data& d, const char* name, std::vector<double> x, std::vector<double> y, std::vector<double> z)
{
    d.fname = name;
    d.x = std::move(x);
    d.y = std::move(y);
    d.z = std::move(z);
    d.minmax = myMinMax{};
    d.FindMinMax();
}

class Compose : public ::testing::Test
{
protected:
    void SetUp() override { clean_state(); }
    void TearDown() override { clean_state(); }
};

TEST_F(Compose, PlotRangesAreWidenedLimitedAndCheckedAgainstOtherDataSets)
{
    fill(mydata[0], "a", {5, 5}, {0, 10}, {0, 0});
    fill(mydata[1], "b", {1, 5.02}, {-1, 5}, {1, 1});
    testing::internal::CaptureStderr();
    set_plot_ranges(mydata);
    const std::string err = testing::internal::GetCapturedStderr();
    const myMinMax& m = mydata[0].mod_minmax;
    // Equal x values: the zero extent counts as 1.
    EXPECT_DOUBLE_EQ(m.x.Min, 4.98);
    EXPECT_DOUBLE_EQ(m.x.Max, 5.02);
    EXPECT_DOUBLE_EQ(m.y.Min, -0.2);
    EXPECT_DOUBLE_EQ(m.y.Max, 10.2);
    // All-zero z with the default widening: -0.02..0.02.
    EXPECT_DOUBLE_EQ(m.z.Min, -0.02);
    EXPECT_DOUBLE_EQ(m.z.Max, 0.02);
    // Data set 1: its x.Max lies on the limit (the test is strict), its x.Min outside, its y.Min outside.
    EXPECT_NE(err.find("Max x-value(5.02) lies outside"), std::string::npos) << err;
    EXPECT_NE(err.find("Min x-value(1) lies outside"), std::string::npos) << err;
    EXPECT_NE(err.find("Min y-value(-1) lies outside the y-range of the plot (-0.2 - 10.2)"), std::string::npos);
    EXPECT_EQ(err.find("Max y-value"), std::string::npos) << err;

    // The user's limits replace the widened bounds (being told once per run is checked end to end).
    UserMinMax.y.Min = 1;
    range_add_x = 0;
    range_add_z = 0;
    testing::internal::CaptureStderr();
    set_plot_ranges(mydata);
    testing::internal::GetCapturedStderr();
    EXPECT_DOUBLE_EQ(m.y.Min, 1);
    EXPECT_DOUBLE_EQ(m.x.Min, 4.98) << "equal x left unwidened get the default widening";
    EXPECT_DOUBLE_EQ(m.x.Max, 5.02);
    EXPECT_DOUBLE_EQ(m.z.Min, -0.1) << "an empty z range at 0 becomes -0.1..0.1";
    EXPECT_DOUBLE_EQ(m.z.Max, 0.1);
}

// Run through the program, the plain case (scale 2, column 32, scaled only once) is checked end to end.
TEST_F(Compose, ZAutoscaleSpacingShrinkingColumnZeroZAndBiggestRing)
{
    quiet = 1;
    autoz = 1;
    scaleinfo = 1;
    struct {
        std::vector<double> z;
        double scale;
        int column;
    } const cases[] = {
        {{-90, 1}, 0.2, 36},        // spacing 20 for |z| 1..90: a column of 2 * 90 * 0.2
        {{99, 100}, 0.2, 40},       // spacing 0.2 would give a column of 4000: it shrinks to 40, the scale to 20/100
        {{7, 12.6}, 4, 100},        // spacing 1: a column of 100.8 is 100 pixels, which is kept
        {{0, 0}, 4.0 / 0.005, 16},  // the range -0.01..0.01 (spacing 0.005), and every ring 10 pixels larger
        {{1e-320, 2e-320}, -1, -1}, // whatever the magnitude, the column stays bounded
        {{1e-300, 2e-300}, -1, -1}, {{1e300, 1.7e308}, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.z[1]);
        fill(mydata[0], "a", {0, 1}, {0, 1}, c.z);
        scalez = 1.0;
        scalew = 50;
        autoscale_z();
        EXPECT_GE(scalez, 0.0);
        EXPECT_GE(scalew, 0);
        EXPECT_LE(scalew, 100);
        if (c.column < 0)
            continue;
        EXPECT_DOUBLE_EQ(scalez, c.scale);
        EXPECT_EQ(scalew, c.column);
    }
    EXPECT_DOUBLE_EQ(add_to_z_when_zero, 10.0);

    // Without the legend no column is kept; the biggest ring alone sets the scale from the largest |z|.
    reset_settings();
    quiet = 1;
    biggest_ring = 10;
    fill(mydata[0], "a", {0, 1}, {0, 1}, {-4, 2});
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 2.5);
    EXPECT_EQ(scalew, 0);
}

// The picture's name and comment are case files (run/png_name_from_data_file, run/comment_*, run/output_name).
TEST_F(Compose, PathTooLongToResolveIsKeptAsGiven)
{
    // The reason is printed after "realpath".
    const std::string long_name(PATH_MAX + 10, 'a');
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, true), long_name);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("realpath: ", 0), 0u) << err;
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, false), long_name);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the comment resolves its paths quietly";
}

} // namespace
