// The axis mappings, the ring radius and the saturating pixel conversion.
#include "scale_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "settings.h"

namespace
{

TEST(ScaleMapping, LinearMappingPlacesValuesOnPixels)
{
    class_scalefunc s;
    s.set(0, 10, 100);
    EXPECT_DOUBLE_EQ(s.scale(0), 0.5);
    EXPECT_DOUBLE_EQ(s.scale(5), 50.5);
    EXPECT_DOUBLE_EQ(s.scale(10), 100.5);
    EXPECT_DOUBLE_EQ(s.scale2(-2), -20.0);
    // Below min the result is negative: -0.3 still truncates to pixel 0, -1.5 to -1.
    EXPECT_DOUBLE_EQ(s.scale(-0.08), -0.3);
    EXPECT_EQ(trunc_pixel(s.scale(-0.2)), -1);

    const class_scalefunc descending(100, 0, 50);
    EXPECT_DOUBLE_EQ(descending.scale(100), 0.5);
    EXPECT_DOUBLE_EQ(descending.scale(0), 50.5);
    EXPECT_DOUBLE_EQ(descending.scale2(10), -5.0);

    reset_settings();
    EXPECT_DOUBLE_EQ(scale_z(2.7), 2.7);
    scalez = 4;
    EXPECT_DOUBLE_EQ(scale_z(-1.5), -6.0);
    add_to_z_when_zero = 10.0;
    EXPECT_DOUBLE_EQ(scale_z(0), 10.0);
    EXPECT_DOUBLE_EQ(scale_z(-1.5), 4.0);
    reset_settings();
}

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
    EXPECT_GT(pixel_far, 100000);

    // A mapping whose min equals max, or a value far outside its range, lands far off the page.
    const class_scalefunc flat(3, 3, 100), wide(0, 1, 600);
    EXPECT_EQ(trunc_pixel(flat.scale(3)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(4)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(2)), -pixel_far);
    EXPECT_EQ(trunc_pixel(wide.scale(1e300)), pixel_far);
    EXPECT_EQ(trunc_pixel(wide.scale(-1e300)), -pixel_far);
}

} // namespace
