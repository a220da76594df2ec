// Axes drawn on a memory page: label texts and places, minor spacing, log decades (the tick lengths, label rows and
// measured margins show in every case picture).
#include "plot/axes.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "plot_fixture.h"

namespace
{

using namespace plot_test;

class LinearAxes : public PlotPage
{
protected:
    std::string words;

    // Clears the page, draws the x axis of a plot XSize wide at x offset 10, bottom row 25, and returns the
    // label traces.
    std::vector<drawn_text> x_axis(int XSize, double Min, double Max)
    {
        GrClearScreen(0);
        words.clear();
        return texts_drawn_by([&] { EXPECT_EQ(draw_x_axes(axes, XSize, 20, 10, 5, 0, Min, Max, 0), 0); }, &words);
    }
};

TEST_F(LinearAxes, LabelsAndMinorTicksOfRanges)
{
    const struct {
        int XSize;
        double min, max;
        const char* labels;
        long first_x, last_x;
        std::vector<int> minor_start; // the first minor tick columns
        std::size_t minor_count;
    } cases[] = {
        // Columns 10 + 40 / 8 * v.
        {40, 0, 8, "0 2 4 6 8", 10, 50, {10, 15, 20, 25, 30, 35, 40, 45, 50}, 9},
        {100, 0, 100, "0 20 40 60 80 100", 10, 110, {10, 20}, 11},
        // Spacing 10 of type 0: tenths would give 40 intervals, fifths 20, so minor ticks every 2.
        {80, 0, 40, "0 10 20 30 40", 10, 90, {10, 14, 18}, 21},
        // Spacing 1 of type 0: fifths up to 29 intervals, halves beyond.
        {58, 0, 5.8, "0 1 2 3 4 5", 10, 60, {10, 12, 14}, 30},
        {60, 0, 6, "0 1 2 3 4 5 6", 10, 70, {10, 15, 20}, 13},
        // Spacing 0.5 of type 2, minor ticks every 0.1.
        {60, 0, 3, "0 0.5 1 1.5 2 2.5 3", 10, 70, {10, 12, 14}, 31},
        // Column 10 + 104 / 1.04 * (v + 0.02), truncated.
        {104, -0.02, 1.02, "0 0.2 0.4 0.6 0.8 1", 12, 112, {12}, 11},
        // A descending range has a negative spacing; its ticks still lie between the limits, zero without a sign.
        {40, 8, 0, "8 6 4 2 0", 10, 50, {10, 15, 20, 25, 30, 35, 40, 45, 50}, 9},
    };
    for (const auto& c : cases) {
        const auto texts = x_axis(c.XSize, c.min, c.max);
        ASSERT_FALSE(texts.empty()) << c.labels;
        EXPECT_EQ(words, c.labels);
        EXPECT_EQ(texts.front().x, c.first_x) << c.labels;
        EXPECT_EQ(texts.back().x, c.last_x) << c.labels;
        const std::vector<int> minor = columns_with(26, 1);
        EXPECT_EQ(minor.size(), c.minor_count) << c.labels;
        EXPECT_EQ(std::vector<int>(minor.begin(), minor.begin() + std::min(minor.size(), c.minor_start.size())),
                  c.minor_start)
            << c.labels;
    }
}

// Labels that six digits would make alike get the digits that tell them apart (a range of tenths far from 0, its
// last label at the page's edge, is the case picture axes/labels_narrow_range).
TEST_F(LinearAxes, NarrowRangesFarFromZeroGetLabelsThatDiffer)
{
    x_axis(GrScreenContext()->gc_xmax + 1 - 10, 1000000000, 1000003600);
    EXPECT_EQ(words, "1e+09 1.000001e+09 1.000002e+09 1.000003e+09");
}

// (A span wider than the largest double is the case run/huge_span_drawn.)
TEST_F(LinearAxes, AbsurdRangesDrawWhatCanBeDrawnAndEmptyOnesEndTheRun)
{
    x_axis(600, 1e-300, 1e300);
    EXPECT_EQ(words, "0 2e+299 4e+299 6e+299 8e+299 1e+300");
    // An infinite limit gets no ticks, nor do indices past exact integers (1e16 / 0.5).
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (auto [lo, hi] : {std::array{-inf, 1.0}, {1e16, 1e16 + 2}}) {
        EXPECT_TRUE(x_axis(600, lo, hi).empty()) << lo;
        EXPECT_EQ(drawn_pixels(), 0) << lo;
    }
    EXPECT_EQ(draw_y_axes(axes, 0, 400, 0, 0, 0, 1e16, 1e16 + 2, 1), 2);

    EXPECT_EXIT(draw_x_axes(axes, 40, 20, 10, 5, 0, 5, 5, 0), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
}

TEST_F(LinearAxes, LogAxesPutDecadesEvenlyAndThinThemWhenTheyCrowd)
{
    const struct {
        int XSize;
        double min, max;
        const char* labels;
        std::vector<int> major; // columns 10 + XSize / decades * log10(v / min)
        std::size_t minor_count;
    } cases[] = {
        // 70 pixels a decade: every decade labelled, minor ticks at 2..9 times each.
        {140, 1, 100, "1 10 100", {10, 80, 150}, 2 * 8},
        // 35 pixels a decade are too few for labels 64 pixels apart: every 2nd decade, the others minor.
        {140, 1e-2, 1e2, "0.01 1 100", {10, 80, 150}, 2},
        // 0.7 pixels a decade: every 100th labelled, minor ticks every 10th (every 5th would touch).
        {140, 1e-100, 1e100, "1e-100 1e+00 1e+100", {10, 80, 150}, 21 - 3}, // decades in one form
        // Less than two decades: the linear ticks of the values, at their log positions.
        {140, 2, 8, "2 3 4 5 6 7 8", {}, 13},
    };
    for (const auto& c : cases) {
        GrClearScreen(0);
        words.clear();
        std::vector<int> recorded;
        axes.major_ticks = &recorded;
        texts_drawn_by([&] { draw_x_axes(axes, c.XSize, 20, 10, 5, 1, c.min, c.max, 0); }, &words);
        EXPECT_EQ(words, c.labels);
        if (!c.major.empty()) {
            // Rows 29..31 hold only the major ticks; the grid gets the same columns.
            EXPECT_EQ(columns_with(31, 1), c.major) << c.labels;
            EXPECT_EQ(recorded, c.major) << c.labels;
        }
        EXPECT_EQ(columns_with(26, 1).size(), c.major.size() + c.minor_count) << c.labels;
    }
    axes.major_ticks = nullptr;
    // The y axis: rows 45 - 40 / 2 * log10(v) - 1 for 1..100; 20 pixels a decade are less than two text
    // lines, so 10 is a minor tick. The label width sizes the margin.
    GrClearScreen(0);
    EXPECT_EQ(draw_y_axes(axes, 100, 40, 60, 5, 1, 1, 100, 0), 24);
    EXPECT_EQ(columns_with(54, 1, true), (std::vector<int>{4, 44}));
    EXPECT_EQ(columns_with(57, 1, true), (std::vector<int>{4, 24, 44}));
}

} // namespace
