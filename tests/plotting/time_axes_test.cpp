// Time axes drawn on a memory page: the chosen steps, the label texts and places, midnight, dates.
#include "plot/time_axes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "plot_fixture.h"

namespace
{

using namespace plot_test;

constexpr double march_1_2024 = 1709251200; // 2024-03-01 00:00:00 UTC
constexpr double day = 86400;

class TimeAxes : public PlotPage
{
protected:
    void SetUp() override { open_page(640, 80); }
    // Clears the page, draws the x axis of a plot 600 pixels wide at x offset 10, bottom row 25, and returns the
    // label traces.
    std::vector<drawn_text> x_axis(double Min, double Max)
    {
        GrClearScreen(0);
        return texts_drawn_by([&] { EXPECT_EQ(draw_x_axes_time(axes, 600, 20, 10, 5, 0, Min, Max, 0), 0); });
    }
};

TEST_F(TimeAxes, StepsAndLabelsFollowTheRange)
{
    const struct {
        const char* name;
        double min, max;
        std::size_t labels;
        const char *first, *second;
        long second_x;
        const char* last;
        std::size_t minor_ticks;
    } cases[] = {
        {"one day", 0, day, 25, "00:00", "01:00", 35, "00:00", 145},
        {"one minute", 0, 60, 13, "00:00:00", "00:00:05", 60, "00:01:00", 61},
        // A time of day running past midnight.
        {"23:00 to 01:00", 23 * 3600, 3600, 13, "23:00", "23:10", 60, "01:00", 61},
        // Dates name the day of their own tick.
        {"three weeks", march_1_2024, march_1_2024 + 21 * day, 22, "2024-03-01", "2024-03-02", 38, "2024-03-22", 85},
        {"three days", march_1_2024, march_1_2024 + 3 * day, 13, "2024-03-01 00:00", "2024-03-01 06:00", 60,
         "2024-03-04 00:00", 73},
        {"leap day", march_1_2024 - 2 * day, march_1_2024, 9, "2024-02-28 00:00", "2024-02-28 06:00", 85,
         "2024-03-01 00:00", 49},
    };
    for (const auto& c : cases) {
        const auto texts = x_axis(c.min, c.max);
        ASSERT_EQ(texts.size(), c.labels) << c.name;
        EXPECT_EQ(texts[0].text, c.first) << c.name;
        EXPECT_EQ(texts[0].x, 10) << c.name;
        EXPECT_EQ(texts[1].text, c.second) << c.name;
        EXPECT_EQ(texts[1].x, c.second_x) << c.name;
        EXPECT_EQ(texts.back().text, c.last) << c.name;
        EXPECT_EQ(texts.back().x, 610) << c.name;
        EXPECT_EQ(columns_with(26, 1).size(), c.minor_ticks) << c.name;
    }
    EXPECT_EQ(x_axis(23 * 3600, 3600)[6].text, "00:00");
    // Labels from row 33; minor ticks rows 26..28, major ones down to row 31.
    EXPECT_EQ(x_axis(0, day)[0].y, 33);
    EXPECT_EQ(columns_with(28, 1).size(), 145u);
    EXPECT_EQ(columns_with(29, 1).size(), 25u);
    EXPECT_EQ(columns_with(31, 1).size(), 25u);
    EXPECT_TRUE(columns_with(32, 1).empty());
}

TEST_F(TimeAxes, YTimeAxisIsTheLinearOne)
{
    EXPECT_EQ(draw_y_axes_time(axes, 0, 60, 0, 0, 0, 0, day, 1), draw_y_axes(axes, 0, 60, 0, 0, 0, 0, day, 1));
    const int width = draw_y_axes(axes, 0, 60, 100, 4, 0, march_1_2024, march_1_2024 + 7 * day, 0);
    const std::vector<int> linear = columns_with(64, 1);
    const int drawn = drawn_pixels();
    GrClearScreen(0);
    EXPECT_EQ(draw_y_axes_time(axes, 0, 60, 100, 4, 0, march_1_2024, march_1_2024 + 7 * day, 0), width);
    EXPECT_EQ(columns_with(64, 1), linear);
    EXPECT_EQ(drawn_pixels(), drawn);
    EXPECT_GT(drawn, 0);
}

TEST_F(TimeAxes, AbsurdRangesReturnWithoutDrawing)
{
    // The last: descending calendar times more than a day apart have no tick between their limits.
    for (auto [lo, hi] : {std::array{1e-300, 1e300}, {-1e308, 1e308}, {march_1_2024 + 5 * day, march_1_2024}}) {
        EXPECT_TRUE(x_axis(lo, hi).empty()) << lo;
        EXPECT_EQ(drawn_pixels(), 0) << lo;
    }
    // Times whose year does not fit the calendar get their ticks but no labels.
    EXPECT_TRUE(x_axis(1e17, 1e17 + 21 * day).empty());
    EXPECT_EQ(columns_with(29, 1).size(), 21u); // 1e17 s is not midnight: 21 midnights in 21 days
    EXPECT_EXIT(draw_x_axes_time(axes, 600, 20, 10, 5, 0, 7, 7, 0), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
}

TEST(AxisDrawers, TimeOptionsSelectTheTimeDrawers)
{
    reset_settings();
    EXPECT_EQ(time_x_axes, 0);
    EXPECT_EQ(time_y_axes, 0);
    option_state state{"tremwil", 3};
    handle_option(OPT_XTIME, nullptr, state);
    EXPECT_EQ(time_x_axes, 1);
    EXPECT_EQ(time_y_axes, 0);
    handle_option(OPT_YTIME, nullptr, state);
    EXPECT_EQ(time_y_axes, 1);
    reset_settings();
}

} // namespace
