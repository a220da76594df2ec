// Tick spacings, minor spacings and the bounded index runs of the axes.
#include "tick_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

struct spacing_case {
    double min, max, spacing;
    int type;
};

TEST(TickScale, SpacingIsOneTwoOrFiveTimesAPowerOfTen)
{
    const spacing_case cases[] = {
        {0, 8, 2, 1},           {0, 100, 20, 1},       {0, 3, 0.5, 2},   {0, 7.5, 2, 1},
        {0, 40, 10, 0},         {-0.02, 1.02, 0.2, 1}, {0, 1, 0.2, 1},   {0, 5, 1, 0},
        {0, 0.003, 5e-4, 2},    {1e6, 1.5e6, 1e5, 0},  {-50, 50, 20, 1}, {0, 49, 10, 0},
        {8, 0, -2, 1},          {100, 0, -20, 1},      {3, 0, -0.5, 2},  {1e-300, 1e300, 2e299, 1},
        {0, 1e-300, 2e-301, 1},
    };
    for (const auto& c : cases) {
        double ts = 0;
        int type = -1;
        scale1(c.min, c.max, &ts, &type);
        EXPECT_NEAR(ts, c.spacing, std::fabs(c.spacing) * 1e-12) << c.min << " .. " << c.max;
        EXPECT_EQ(type, c.type) << c.min << " .. " << c.max;
    }
}

// The smallest range 0..m whose trial spacing m / 5 is at least a (m - ulp falls below a).
double smallest_range_reaching(double a)
{
    double m = 5 * a;
    while (m / 5.0 >= a)
        m = std::nextafter(m, 0.0);
    while (m / 5.0 < a)
        m = std::nextafter(m, HUGE_VAL);
    return m;
}

TEST(TickScale, MultiplierSwitchesAtTheListedRoots)
{
    // A mantissa reaching a switching point takes the larger multiplier, one just below keeps the smaller.
    const double switches[] = {1.4142135623730951, 3.16228, 7.07107};
    const double below[] = {1.0, 2.0, 5.0};
    const double at[] = {2.0, 5.0, 10.0};
    for (int k = 0; k < 3; ++k) {
        const double on = smallest_range_reaching(switches[k]);
        const double under = std::nextafter(on, 0.0);
        ASSERT_GE(on / 5.0, switches[k]);
        ASSERT_LT(under / 5.0, switches[k]);
        double ts = 0;
        int type = -1;
        scale1(0, on, &ts, &type);
        EXPECT_DOUBLE_EQ(ts, at[k]) << k;
        scale1(0, under, &ts, &type);
        EXPECT_DOUBLE_EQ(ts, below[k]) << k;
    }
}

TEST(TickScale, EmptyOrUndefinedRangeEndsTheRun)
{
    double ts = 0;
    int type = 0;
    EXPECT_EXIT(scale1(3, 3, &ts, &type), ::testing::ExitedWithCode(1), "\nError: bad trial inter-tick spacing -0\n");
    EXPECT_EXIT(scale1(0, std::nan(""), &ts, &type), ::testing::ExitedWithCode(1),
                "Error: bad trial inter-tick spacing");
}

TEST(TickScale, MinorSpacingFollowsTheType)
{
    EXPECT_DOUBLE_EQ(minor_tick_spacing(2, 1, 0, 8), 1);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(0.5, 2, 0, 3), 0.1);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(20, 1, 0, 100), 10);
    // Type 0: tenths while at most 29 intervals fit, else fifths, else halves.
    EXPECT_DOUBLE_EQ(minor_tick_spacing(10, 0, 0, 29), 1);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(10, 0, 0, 30), 2);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(10, 0, 0, 40), 2);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(10, 0, 0, 58), 2);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(10, 0, 0, 60), 5);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(-10, 0, 40, 0), -2);
    EXPECT_DOUBLE_EQ(minor_tick_spacing(4, 7, 0, 40), 4);
}

TEST(TickScale, IndexRunsAreBoundedByWhatCanBeDrawn)
{
    long long i0 = 0, i1 = 0;
    ASSERT_TRUE(tick_indices(-2, 5, max_ticks(100), &i0, &i1));
    EXPECT_EQ(i0, -2);
    EXPECT_EQ(i1, 5);
    ASSERT_TRUE(tick_indices(3, 2, max_ticks(100), &i0, &i1));
    EXPECT_GT(i0, i1);
    // Far more ticks than pixels, indices beyond exact integers and infinities are not walked.
    EXPECT_FALSE(tick_indices(0, 2e12, max_ticks(600), &i0, &i1));
    EXPECT_FALSE(tick_indices(1e17, 1e17 + 4, max_ticks(600), &i0, &i1));
    EXPECT_FALSE(tick_indices(0, std::numeric_limits<double>::infinity(), max_ticks(600), &i0, &i1));
    EXPECT_FALSE(tick_indices(std::nan(""), 3, max_ticks(600), &i0, &i1));
    // A year of daily ticks on 600 pixels is still walked.
    EXPECT_TRUE(tick_indices(0, 365, max_ticks(600), &i0, &i1));
    EXPECT_GE(max_ticks(0), 1.0);
}

} // namespace
