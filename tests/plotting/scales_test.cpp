// The saturating pixel conversion and the tick spacings (the mappings themselves place every pixel of the case
// pictures).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"

namespace
{

TEST(ScaleMapping, PixelConversionTruncatesTowardZeroAndSaturates)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    // Values beyond the int range convert without undefined behaviour, far outside every page.
    const struct {
        double v;
        int pixel;
    } cases[] = {{7.99, 7},          {-7.99, -7},
                 {-0.3, 0},          {pixel_far - 0.5, pixel_far - 1},
                 {1e308, pixel_far}, {-1e308, -pixel_far},
                 {inf, pixel_far},   {-inf, -pixel_far},
                 {3e9, pixel_far},   {std::nan(""), pixel_far}};
    for (const auto& c : cases)
        EXPECT_EQ(trunc_pixel(c.v), c.pixel) << c.v;

    // A mapping whose min equals max, or a value far outside its range, lands far off the page.
    const class_scalefunc flat(3, 3, 100), wide(0, 1, 600);
    EXPECT_EQ(trunc_pixel(flat.scale(3)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(4)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(2)), -pixel_far);
    EXPECT_EQ(trunc_pixel(wide.scale(1e300)), pixel_far);
    EXPECT_EQ(trunc_pixel(wide.scale(-1e300)), -pixel_far);
}

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

TEST(TickScale, MultiplierSwitchesAtTheListedRoots)
{
    // The smallest range 0..m whose trial spacing m / 5 reaches the switching point takes the larger
    // multiplier; the double just below it keeps the smaller.
    const struct {
        double root, below, at;
    } switches[] = {{1.4142135623730951, 1, 2}, {3.16228, 2, 5}, {7.07107, 5, 10}};
    for (const auto& s : switches) {
        double on = 5 * s.root;
        while (on / 5.0 >= s.root)
            on = std::nextafter(on, 0.0);
        while (on / 5.0 < s.root)
            on = std::nextafter(on, HUGE_VAL);
        double ts = 0;
        int type = -1;
        scale1(0, on, &ts, &type);
        EXPECT_DOUBLE_EQ(ts, s.at) << s.root;
        scale1(0, std::nextafter(on, 0.0), &ts, &type);
        EXPECT_DOUBLE_EQ(ts, s.below) << s.root;
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

} // namespace
