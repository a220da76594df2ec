// Time axes drawn on a memory page: the chosen steps, the label texts and places, midnight, dates.
#include "time_axes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"
#include "plot_fixture.h"

namespace
{

using plot_test::columns_with;
using plot_test::drawn_pixels;
using plot_test::drawn_text;
using plot_test::texts_in;

constexpr double march_1_2024 = 1709251200; // 2024-03-01 00:00:00 UTC
constexpr double day = 86400;

class TimeAxes : public plot_test::PlotPage
{
protected:
    void SetUp() override { open_page(640, 80); }
    // Draws the x axis of a plot 600 pixels wide at x offset 10, bottom row 25, and returns the label traces.
    std::vector<drawn_text> x_axis(double Min, double Max)
    {
        debug = 1;
        testing::internal::CaptureStderr();
        EXPECT_EQ(draw_x_axes_time(600, 20, 10, 5, 0, Min, Max, 0), 0);
        const std::string err = testing::internal::GetCapturedStderr();
        debug = 0;
        return texts_in(err);
    }
};

// Truncated columns 10 + 600 / range * k * step for k = 0 .. count - 1.
std::vector<int> columns(double range, double step, int count)
{
    std::vector<int> xs;
    for (int k = 0; k < count; ++k)
        xs.push_back(static_cast<int>(10 + 600 / range * (k * step)));
    return xs;
}

TEST_F(TimeAxes, DayOfSecondsGetsHourlyLabelsAndTenMinuteTicks)
{
    const auto texts = x_axis(0, day);
    ASSERT_EQ(texts.size(), 25u);
    for (int h = 0; h < 25; ++h) {
        char want[8];
        std::snprintf(want, sizeof want, "%02d:00", h % 24);
        EXPECT_EQ(texts[h].text, want);
        EXPECT_EQ(texts[h].x, 10 + 25 * h);
        EXPECT_EQ(texts[h].y, 33);
    }
    EXPECT_EQ(columns_with(26, 1), columns(day, 600, 145));
    EXPECT_EQ(columns_with(29, 1), columns(day, 3600, 25));
    EXPECT_TRUE(columns_with(32, 1).empty());
}

TEST_F(TimeAxes, OneMinuteGetsFiveSecondLabels)
{
    const auto texts = x_axis(0, 60);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts[0].text, "00:00:00");
    EXPECT_EQ(texts[1].text, "00:00:05");
    EXPECT_EQ(texts[1].x, 60);
    EXPECT_EQ(texts[12].text, "00:01:00");
    EXPECT_EQ(texts[12].x, 610);
    EXPECT_EQ(columns_with(27, 1), columns(60, 1, 61));
    EXPECT_EQ(columns_with(31, 1), columns(60, 5, 13));
}

TEST_F(TimeAxes, TimeOfDayRunsThroughMidnight)
{
    const auto texts = x_axis(23 * 3600, 3600);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts[0].text, "23:00");
    EXPECT_EQ(texts[0].x, 10);
    EXPECT_EQ(texts[1].text, "23:10");
    EXPECT_EQ(texts[6].text, "00:00");
    EXPECT_EQ(texts[6].x, 310);
    EXPECT_EQ(texts[12].text, "01:00");
    EXPECT_EQ(texts[12].x, 610);
    EXPECT_EQ(columns_with(26, 1), columns(7200, 120, 61));
}

TEST_F(TimeAxes, DateLabelsNameTheDayOfTheirTick)
{
    // Three weeks: one label per day.
    auto texts = x_axis(march_1_2024, march_1_2024 + 21 * day);
    ASSERT_EQ(texts.size(), 22u);
    EXPECT_EQ(texts[0].text, "2024-03-01");
    EXPECT_EQ(texts[0].x, 10);
    EXPECT_EQ(texts[1].text, "2024-03-02");
    EXPECT_EQ(texts[21].text, "2024-03-22");
    EXPECT_EQ(texts[21].x, 610);
    EXPECT_EQ(columns_with(26, 1), columns(21 * day, 21600, 85));
    GrClearScreen(0);
    // Three days: a label every six hours with date and clock.
    texts = x_axis(march_1_2024, march_1_2024 + 3 * day);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts[0].text, "2024-03-01 00:00");
    EXPECT_EQ(texts[1].text, "2024-03-01 06:00");
    EXPECT_EQ(texts[1].x, 60);
    EXPECT_EQ(texts[12].text, "2024-03-04 00:00");
    GrClearScreen(0);
    // A leap day at the end of February.
    texts = x_axis(march_1_2024 - 2 * day, march_1_2024);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "2024-02-28 00:00");
    EXPECT_EQ(texts.back().text, "2024-03-01 00:00");
}

TEST_F(TimeAxes, YTimeAxisIsTheLinearOne)
{
    const double ranges[][2] = {{0, day}, {march_1_2024, march_1_2024 + 7 * day}, {-0.02, 1.02}, {100, 0}};
    for (const auto& r : ranges) {
        EXPECT_EQ(draw_y_axes_time(0, 60, 0, 0, 0, r[0], r[1], 1), draw_y_axes(0, 60, 0, 0, 0, r[0], r[1], 1));
        GrClearScreen(0);
        const int width = draw_y_axes(0, 60, 100, 4, 0, r[0], r[1], 0);
        const std::vector<int> linear = columns_with(64, 1);
        const int drawn = drawn_pixels();
        GrClearScreen(0);
        EXPECT_EQ(draw_y_axes_time(0, 60, 100, 4, 0, r[0], r[1], 0), width);
        EXPECT_EQ(columns_with(64, 1), linear);
        EXPECT_EQ(drawn_pixels(), drawn);
        EXPECT_GT(drawn, 0);
    }
}

TEST_F(TimeAxes, AbsurdRangesReturnWithoutDrawing)
{
    EXPECT_TRUE(x_axis(1e-300, 1e300).empty());
    EXPECT_EQ(drawn_pixels(), 0);
    EXPECT_TRUE(x_axis(-1e308, 1e308).empty());
    EXPECT_EQ(drawn_pixels(), 0);
    // Times whose year does not fit the calendar get their ticks but no labels.
    EXPECT_TRUE(x_axis(1e17, 1e17 + 21 * day).empty());
    EXPECT_EQ(columns_with(29, 1).size(), 21u); // 1e17 s is not midnight: 21 midnights in 21 days
    GrClearScreen(0);
    // Descending calendar times more than a day apart have no tick between their limits.
    EXPECT_TRUE(x_axis(march_1_2024 + 5 * day, march_1_2024).empty());
    EXPECT_EQ(drawn_pixels(), 0);
    EXPECT_EXIT(draw_x_axes_time(600, 20, 10, 5, 0, 7, 7, 0), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
}

TEST(AxisDrawers, TimeOptionsSelectTheTimeDrawers)
{
    reset_settings();
    EXPECT_EQ(drawxaxes, draw_x_axes);
    EXPECT_EQ(drawyaxes, draw_y_axes);
    option_state state{"tremwil", 3};
    handle_option(OPT_XTIME, nullptr, state);
    EXPECT_EQ(drawxaxes, draw_x_axes_time);
    EXPECT_EQ(drawyaxes, draw_y_axes);
    handle_option(OPT_YTIME, nullptr, state);
    EXPECT_EQ(drawyaxes, draw_y_axes_time);
    reset_settings();
    EXPECT_EQ(drawxaxes, draw_x_axes);
    EXPECT_EQ(drawyaxes, draw_y_axes);
}

} // namespace
