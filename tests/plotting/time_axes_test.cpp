// Time axes drawn on a memory page: the chosen steps, the label texts and places, midnight, dates.
#include "plot/time_axes.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/settings.h"
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

// Clock times running past midnight (the ordinary ranges of a minute, a day, days and weeks are golden case
// pictures, golden/time_*). Labels 40 pixels wide ("%H:%M"): every other major tick of 5 minutes is labelled.
TEST_F(TimeAxes, ClockTimesRunPastMidnight)
{
    const auto texts = x_axis(23 * 3600, 3600);
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_TRUE(texts[0].text == "23:10" && texts[0].x == 60) << texts[0].text << " at " << texts[0].x;
    EXPECT_EQ(texts[5].text, "00:00");
    EXPECT_TRUE(texts.back().text == "01:00" && texts.back().x == 610) << texts.back().text;
    EXPECT_EQ(columns_with(26, 1).size(), 61u);
}

// Every range from a minute to twenty years, on narrow, default and wide pages: the labels drawn do not
// overlap (a character's width apart at least), none crosses the page edge, there are two at least, the major
// ticks stay few, and the ink of the labels lies inside the boxes the axis placed.
TEST_F(TimeAxes, LabelsAreReadableAtEveryRangeAndWidth)
{
    const double odd_start = march_1_2024 + 12345; // not on any tick
    const struct {
        const char* name;
        double min, max;
    } ranges[] = {
        {"60 s", 3600, 3660},
        {"2 hours", 7200, 4 * 3600},
        {"24 hours of clock time", 0, day},
        {"3 days", odd_start, odd_start + 3 * day},
        {"6 weeks", odd_start, odd_start + 42 * day},
        {"a year", odd_start, odd_start + 365 * day},
        {"20 years", odd_start, odd_start + 20 * 365.25 * day},
    };
    const int char_width = static_cast<int>(font->h.width);
    for (const int page_width : {320, 640, 1600}) {
        open_page(page_width, 60);
        GrTextOption opt = text_options(font, 1);
        opt.txo_xalign = 1;
        const axis_style style{&opt, 1};
        // The plot as the composer lays it out: a y label margin on the left, the frame close to the right edge.
        const int xoffset = 25, plot_width = page_width - 38;
        for (const auto& r : ranges) {
            const std::string where = std::string(r.name) + " on " + std::to_string(page_width);
            const auto labels = time_axis_labels(style, plot_width, xoffset, r.min, r.max, page_width);
            ASSERT_GE(labels.size(), 2u) << where;
            for (std::size_t i = 0; i < labels.size(); ++i) {
                EXPECT_GE(labels[i].left, 0) << where << " " << labels[i].text;
                EXPECT_LT(labels[i].right, page_width) << where << " " << labels[i].text;
                if (i > 0) {
                    EXPECT_GE(labels[i].left - labels[i - 1].right - 1, char_width)
                        << where << " " << labels[i - 1].text << " | " << labels[i].text;
                }
            }
            GrClearScreen(0);
            draw_x_axes_time(style, plot_width, 20, xoffset, 5, 0, r.min, r.max, 0);
            EXPECT_LE(columns_with(30, 1).size(), 100u) << where; // major ticks only reach row 31
            for (int x = 0; x < page_width; ++x) {
                bool inked = false;
                for (int y = 33; y < 33 + 16; ++y)
                    inked = inked || page_pixel(x, y) != 0;
                bool boxed = false;
                for (const auto& l : labels)
                    boxed = boxed || (l.left <= x && x <= l.right);
                EXPECT_TRUE(boxed || !inked) << where << ": ink outside the labels at column " << x;
            }
        }
    }
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

// Ranges from two seconds down to a few microseconds: the labels carry the digits of the second their step needs,
// and no two read the same.
TEST_F(TimeAxes, SubSecondLabelsDiffer)
{
    const double start = march_1_2024 + 13 * 3600 + 25 * 60; // 13:25:00
    const struct {
        double range;
        const char *first, *second;
    } cases[] = {
        {2, "13:25:00.0", "13:25:00.4"}, // steps of 0.2 s, every other one labelled
        {1, "13:25:00.0", "13:25:00.2"},           {0.25, "13:25:00.00", "13:25:00.05"},
        {0.001, "13:25:00.0002", "13:25:00.0004"}, {20e-6, "13:25:00.000000", "13:25:00.000006"},
    };
    for (const auto& c : cases) {
        const auto labels = time_axis_labels(axes, 600, 20, start, start + c.range, 640);
        ASSERT_GE(labels.size(), 3u) << c.range;
        EXPECT_EQ(labels[0].text, c.first) << c.range;
        EXPECT_EQ(labels[1].text, c.second) << c.range;
        for (std::size_t i = 1; i < labels.size(); ++i)
            EXPECT_NE(labels[i].text, labels[i - 1].text) << c.range;
    }
}

// Elapsed time counts from 0 at the axis's origin: clock steps as +hh:mm(:ss), days as +Nd.
TEST_F(TimeAxes, ElapsedLabelsCountFromZero)
{
    const auto elapsed = [&](double Min, double Max) {
        GrClearScreen(0);
        std::string all;
        for (const auto& t : texts_drawn_by([&] { draw_x_axes_elapsed(axes, 600, 20, 10, 5, 0, Min, Max, 0); }))
            all += t.text + " ";
        return all;
    };
    EXPECT_EQ(elapsed(0, 6 * 3600), "0 +01:00 +02:00 +03:00 +04:00 +05:00 +06:00 ");
    EXPECT_EQ(elapsed(0, 3 * day), "0 +12:00 +1d 00:00 +1d 12:00 +2d 00:00 +2d 12:00 +3d 00:00 ");
    EXPECT_EQ(elapsed(0, 60 * day), "0 +10d +20d +30d +40d +50d +60d ");
    EXPECT_EQ(elapsed(0, 2), "0 +00:00:00.4 +00:00:00.8 +00:00:01.2 +00:00:01.6 +00:00:02.0 ");
}

} // namespace
