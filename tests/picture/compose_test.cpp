// The composer and the viewing helpers on in-memory pages: plot ranges, the z autoscale, the command key of a
// run that saves and exits, the PNG name and comment, and the layout read back from the page.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "axes.h"
#include "compose.h"
#include "data_set.h"
#include "graphics_mode.h"
#include "overlays.h"
#include "settings.h"
#include "viewing.h"

namespace
{

void clean_state()
{
    exitgrmode();
    reset_settings();
    clear_overlays();
    for (data& d : mydata) {
        d = data{};
    }
    UserMinMax = myMinMax{};
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

    // An in-memory page of w x h (size row 8) with the colour slots, as a pass sets it up.
    void open_page(int w, int h)
    {
        in_memory = 1;
        scalew = 0; // the legend column would widen the page
        whc[8][0] = w;
        whc[8][1] = h;
        entergrmode(8);
        alloc_colors();
    }
};

TEST_F(Compose, PlotRangesAreWidenedLimitedAndCheckedAgainstOtherDataSets)
{
    fill(mydata[0], "a", {5, 5}, {0, 10}, {0, 0});
    fill(mydata[1], "b", {1, 5.02}, {-1, 5}, {1, 1});
    testing::internal::CaptureStderr();
    set_plot_ranges(mydata);
    std::string err = testing::internal::GetCapturedStderr();
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
    EXPECT_TRUE(mydata[1].warned_x);
    EXPECT_TRUE(mydata[1].warned_y);

    // Once warned, never again in this run; the user's limits replace the widened bounds.
    UserMinMax.y.Min = 1;
    range_add_z = 0;
    testing::internal::CaptureStderr();
    set_plot_ranges(mydata);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("value("), std::string::npos) << err;
    EXPECT_DOUBLE_EQ(m.y.Min, 1);
    EXPECT_DOUBLE_EQ(m.z.Min, -0.1) << "an empty z range at 0 becomes -0.1..0.1";
    EXPECT_DOUBLE_EQ(m.z.Max, 0.1);
}

TEST_F(Compose, ZAutoscaleSetsScaleAndLegendWidthOnlyWhileScaleIsOne)
{
    quiet = 1;
    fill(mydata[0], "a", {0, 1}, {0, 1}, {0, 8});
    autoz = 1;
    scaleinfo = 1;
    biggest_ring = 10;
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 2.0);
    EXPECT_EQ(scalew, 32);
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 2.0) << "not scaled again, and the biggest ring stays ignored";

    // Spacing 20 for |z| 1..90: scale 0.2 and a column of 2 * 90 * 0.2 = 36.
    fill(mydata[0], "a", {0, 1}, {0, 1}, {-90, 1});
    scalez = 1.0;
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 0.2);
    EXPECT_EQ(scalew, 36);
    // Spacing 0.2 for 99..100 would give a column of 4000: it shrinks to 40, the scale to 20 / 100.
    fill(mydata[0], "a", {0, 1}, {0, 1}, {99, 100});
    scalez = 1.0;
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 0.2);
    EXPECT_EQ(scalew, 40);
    // All-zero z: the range -0.01..0.01 (spacing 0.005), and every ring 10 pixels larger.
    fill(mydata[0], "a", {0, 1}, {0, 1}, {0, 0});
    scalez = 1.0;
    autoscale_z();
    EXPECT_DOUBLE_EQ(add_to_z_when_zero, 10.0);
    EXPECT_DOUBLE_EQ(scalez, 4.0 / 0.005);
    EXPECT_EQ(scalew, 16);

    // Without the legend no column is kept; the biggest ring alone sets the scale from the largest |z|.
    reset_settings();
    quiet = 1;
    biggest_ring = 10;
    fill(mydata[0], "a", {0, 1}, {0, 1}, {-4, 2});
    autoscale_z();
    EXPECT_DOUBLE_EQ(scalez, 2.5);
    EXPECT_EQ(scalew, 0);
}

TEST_F(Compose, ZAutoscaleKeepsTheLegendColumnBoundedForAnyMagnitude)
{
    quiet = 1;
    autoz = 1;
    scaleinfo = 1;
    for (double top : {1e-320, 1e-300, 3.0, 1e300, 1.7e308}) {
        SCOPED_TRACE(top);
        scalez = 1.0;
        scalew = 50;
        fill(mydata[0], "a", {0, 1}, {0, 1}, {top / 2, top});
        autoscale_z();
        EXPECT_GE(scalew, 0);
        EXPECT_LE(scalew, 100);
        EXPECT_GE(scalez, 0.0);
    }
}

TEST_F(Compose, PngNameAndComment)
{
    mydata[0].fname = "run1.dat";
    EXPECT_EQ(png_file_name(), "run1.png");
    mydata[0].fname = "data/x.tar.gz";
    EXPECT_EQ(png_file_name(), "data/x.tar.png");
    mydata[0].fname = "noext";
    EXPECT_EQ(png_file_name(), "noext.png");
    mydata[0].fname = "../runs.d/noext";
    EXPECT_EQ(png_file_name(), "../runs.d/noext.png");
    set_output_fname("given.png");
    EXPECT_EQ(png_file_name(), "given.png");

    char prog[] = "tremwil", o1[] = "-x", o2[] = "2", file[] = "/data/run1.dat";
    char* argv[] = {prog, o1, o2, file, nullptr};
    mydata[0].fname = "/data/run1.dat";
    mydata[3].fname = "/data/../other.dat";
    EXPECT_EQ(png_comment(3, argv), "tremwil -x 2 /data/run1.dat(/data/run1.dat)/data/../other.dat(/other.dat)");

    // A path too long to resolve is kept as given, and the reason is printed after "realpath".
    const std::string long_name(PATH_MAX + 10, 'a');
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, true), long_name);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("realpath: ", 0), 0u) << err;
    testing::internal::CaptureStderr();
    EXPECT_EQ(absolute_path(long_name, false), long_name);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Compose, SaveAndExitRunsComposeSaveComposeAgainThenMoveOn)
{
    open_page(200, 150);
    fill(mydata[0], "a.dat", {0, 10}, {0, 10}, {1, 2});
    save_and_exit = 1;
    EXPECT_EQ(tremwil(mydata), 's');
    EXPECT_EQ(save_and_exit, 1);
    save_and_exit = 2; // as the save step leaves it
    EXPECT_EQ(tremwil(mydata), ' ');
    EXPECT_EQ(save_and_exit, 1);
    EXPECT_EQ(opt_axes, nullptr) << "the axis options live only while a picture is composed";
}

TEST_F(Compose, PageLayoutFollowsFontLabelsAndLegend)
{
    open_page(320, 240);
    fill(mydata[0], "a.dat", {0, 10}, {0, 10}, {1, 2});
    save_and_exit = 1;
    labelx = "x";
    labely = "y";
    tremwil(mydata);
    // Left margin: the label column (16 + 7) and the widest y label "10" (16 + 2); bottom margin 2 * 19.
    const GrContext* page = GrScreenContext();
    const GrColor ax = colors[COLOR_AX];
    // The plot is 320 - 1 - 41 - 20 = 258 wide and 240 - 1 - 20 - 38 - 1 = 180 high.
    const int left = 40, top = 19, bottom = 20 + 180 + 1, right = 41 + 258 + 1;
    for (int y = top; y <= bottom; ++y) {
        ASSERT_EQ(GrPixelC(page, left, y), ax) << y;
        ASSERT_EQ(GrPixelC(page, right, y), ax) << y;
    }
    for (int x = left; x <= right; ++x) {
        ASSERT_EQ(GrPixelC(page, x, top), ax) << x;
        ASSERT_EQ(GrPixelC(page, x, bottom), ax) << x;
    }
}

} // namespace
