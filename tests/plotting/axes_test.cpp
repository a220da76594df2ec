// Linear axes drawn on a memory page: tick columns and rows, label texts and places, minor spacing, measuring.
#include "axes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "plot_fixture.h"

namespace
{

using plot_test::columns_with;
using plot_test::drawn_pixels;
using plot_test::drawn_text;
using plot_test::page_pixel;
using plot_test::rows_with;
using plot_test::texts_in;

std::vector<std::string> words(const std::vector<drawn_text>& texts)
{
    std::vector<std::string> out;
    for (const auto& t : texts)
        out.push_back(t.text);
    return out;
}

class LinearAxes : public plot_test::PlotPage
{
protected:
    // Draws the x axis of a plot XSize wide at x offset 10, bottom row 25, and returns the label traces.
    std::vector<drawn_text> x_axis(int XSize, double Min, double Max)
    {
        debug = 1;
        testing::internal::CaptureStderr();
        EXPECT_EQ(draw_x_axes(XSize, 20, 10, 5, 0, Min, Max, 0), 0);
        const std::string err = testing::internal::GetCapturedStderr();
        debug = 0;
        return texts_in(err);
    }
    std::vector<drawn_text> y_axis(double Min, double Max, int expected_width)
    {
        debug = 1;
        testing::internal::CaptureStderr();
        EXPECT_EQ(draw_y_axes(100, 40, 60, 5, 0, Min, Max, 0), expected_width);
        const std::string err = testing::internal::GetCapturedStderr();
        debug = 0;
        return texts_in(err);
    }
};

TEST_F(LinearAxes, XAxisTicksAndLabelsOfZeroToEight)
{
    // Columns 10 + 40 / 8 * v; major ticks rows 26..31 every 2, minor ticks rows 26..28 every 1.
    const auto texts = x_axis(40, 0, 8);
    ASSERT_EQ(texts.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(texts[k].text, std::to_string(2 * k));
        EXPECT_EQ(texts[k].x, 10 + 10 * k);
        EXPECT_EQ(texts[k].y, 33);
    }
    const std::vector<int> minor = {10, 15, 20, 25, 30, 35, 40, 45, 50};
    const std::vector<int> major = {10, 20, 30, 40, 50};
    for (int y = 26; y <= 28; ++y)
        EXPECT_EQ(columns_with(y, 1), minor) << y;
    for (int y = 29; y <= 31; ++y)
        EXPECT_EQ(columns_with(y, 1), major) << y;
    EXPECT_EQ(drawn_pixels(), 5 * 6 + 4 * 3);
}

TEST_F(LinearAxes, MinorTickSpacingRules)
{
    // 0..100: labels every 20, minor ticks every 10.
    auto texts = x_axis(100, 0, 100);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"0", "20", "40", "60", "80", "100"}));
    EXPECT_EQ(columns_with(26, 1).size(), 11u);
    EXPECT_EQ(columns_with(26, 1)[1], 20);
    GrClearScreen(0);
    // 0..40: spacing 10 of type 0; tenths would give 40 intervals, fifths 20, so minor ticks every 2.
    texts = x_axis(80, 0, 40);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"0", "10", "20", "30", "40"}));
    std::vector<int> every2;
    for (int v = 0; v <= 40; v += 2)
        every2.push_back(10 + 2 * v);
    EXPECT_EQ(columns_with(26, 1), every2);
    EXPECT_EQ(columns_with(30, 1), (std::vector<int>{10, 30, 50, 70, 90}));
    GrClearScreen(0);
    // 0..3: spacing 0.5 of type 2, minor ticks every 0.1.
    texts = x_axis(60, 0, 3);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"0", "0.5", "1", "1.5", "2", "2.5", "3"}));
    EXPECT_EQ(columns_with(26, 1).size(), 31u);
}

TEST_F(LinearAxes, WidenedUnitRangeAndDescendingRange)
{
    auto texts = x_axis(104, -0.02, 1.02);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"0", "0.2", "0.4", "0.6", "0.8", "1"}));
    // Column 10 + 104 / 1.04 * (v + 0.02), truncated.
    EXPECT_EQ(texts.front().x, 12);
    EXPECT_EQ(texts.back().x, 112);
    GrClearScreen(0);
    // A descending range has a negative spacing; its ticks still lie between the limits, zero without a sign.
    texts = x_axis(40, 8, 0);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"8", "6", "4", "2", "0"}));
    EXPECT_EQ(texts.front().x, 10);
    EXPECT_EQ(texts.back().x, 50);
    EXPECT_EQ(columns_with(26, 1), (std::vector<int>{10, 15, 20, 25, 30, 35, 40, 45, 50}));
}

TEST_F(LinearAxes, YAxisTicksLabelsAndWidth)
{
    // Rows 45 - 40 / 8 * v - 1; the frame's left line is column 59.
    const auto texts = y_axis(0, 8, 8);
    ASSERT_EQ(texts.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(texts[k].text, std::to_string(2 * k));
        EXPECT_EQ(texts[k].x, 52);
        EXPECT_EQ(texts[k].y, 44 - 10 * k);
    }
    EXPECT_EQ(rows_with(54, 1), (std::vector<int>{4, 14, 24, 34, 44}));
    EXPECT_EQ(rows_with(57, 1), (std::vector<int>{4, 9, 14, 19, 24, 29, 34, 39, 44}));
    EXPECT_TRUE(rows_with(53, 1).empty());
    EXPECT_TRUE(rows_with(60, 1).empty());
    GrClearScreen(0);
    // Labels "0" ... "100": the widest has three 8-pixel characters.
    y_axis(0, 100, 24);
}

TEST_F(LinearAxes, MeasuringModeDrawsNothing)
{
    EXPECT_EQ(draw_y_axes(0, 400, 0, 0, 0, 0, 100, 1), 26);
    EXPECT_EQ(draw_y_axes(0, 400, 7, 21, 0, -0.02, 1.02, 1), 3 * 8 + 2);
    EXPECT_EQ(draw_y_axes(0, 400, 7, 21, 0, -1000, 1000, 1), 5 * 8 + 2);
    EXPECT_EQ(drawn_pixels(), 0);
    GrTextOption upward{};
    upward.txo_font = &GrFont_PC8x16;
    upward.txo_direct = 3;
    opt_axes = &upward;
    EXPECT_EQ(draw_y_axes(0, 400, 0, 0, 0, -1000, 1000, 1), 16 + 2);
    // A proportional font: labels 0, 5, 10, 15, 20 measure 3, 4, 5, 6 and 8 pixels.
    const std::string path = std::string(TEST_DATA_DIR) + "/plotting/digits.fna";
    GrFont* digits = GrLoadFont(path.c_str());
    ASSERT_NE(digits, nullptr);
    GrTextOption prop{};
    prop.txo_font = digits;
    opt_axes = &prop;
    EXPECT_EQ(draw_y_axes(0, 400, 0, 0, 0, 0, 20, 1), 8 + 2);
    EXPECT_EQ(drawn_pixels(), 0);
    opt_axes = nullptr;
    GrUnloadFont(digits);
}

TEST_F(LinearAxes, LabelsAreCentredUnderTheirTicks)
{
    GrTextOption opt{};
    opt.txo_font = &GrFont_PC8x16;
    opt.txo_fgcolor.v = 2;
    opt.txo_bgcolor.v = GrNOCOLOR;
    opt.txo_xalign = 1;
    opt_axes = &opt;
    draw_x_axes(40, 20, 10, 5, 0, 0, 8, 0);
    opt_axes = nullptr;
    // Each label "d" fills part of the 8 x 16 cell from column tick - 4, row 33; nothing else has value 2.
    std::set<int> label_columns;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            if (page_pixel(x, y) == 2) {
                ASSERT_GE(y, 33);
                ASSERT_LE(y, 48);
                label_columns.insert((x + 4) / 10);
                ASSERT_LT((x + 4) % 10, 8) << x;
            }
    EXPECT_EQ(label_columns, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(LinearAxes, AbsurdRangesDrawWhatCanBeDrawnAndReturn)
{
    auto texts = x_axis(600, 1e-300, 1e300);
    EXPECT_EQ(words(texts), (std::vector<std::string>{"0", "2e+299", "4e+299", "6e+299", "8e+299", "1e+300"}));
    GrClearScreen(0);
    // An infinite range gets no ticks.
    texts = x_axis(600, -1e308, 1e308);
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(drawn_pixels(), 0);
    // Indices past exact integers (1e16 / 0.5) are not walked.
    texts = x_axis(600, 1e16, 1e16 + 2);
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(drawn_pixels(), 0);
    EXPECT_EQ(draw_y_axes(0, 400, 0, 0, 0, 1e16, 1e16 + 2, 1), 2);
}

TEST_F(LinearAxes, EmptyRangeEndsTheRun)
{
    EXPECT_EXIT(draw_x_axes(40, 20, 10, 5, 0, 5, 5, 0), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
    EXPECT_EXIT(draw_y_axes(40, 20, 10, 5, 0, -2, -2, 1), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
}

} // namespace
