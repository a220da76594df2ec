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
    EXPECT_EQ(s.min, 0.0);
    EXPECT_EQ(s.max, 0.0);
    EXPECT_EQ(s.range, 0.0);
    s.set(0, 10, 100);
    EXPECT_DOUBLE_EQ(s.scale(5), 50.5);
    EXPECT_DOUBLE_EQ(s.scale(0), 0.5);
    EXPECT_DOUBLE_EQ(s.scale(10), 100.5);
    EXPECT_EQ(trunc_pixel(s.scale(5)), 50);
    EXPECT_EQ(trunc_pixel(s.scale(0)), 0);
    EXPECT_EQ(trunc_pixel(s.scale(10)), 100);
    EXPECT_DOUBLE_EQ(s.scale2(-2), -20.0);
    // Below min the result is negative; -0.3 still truncates to pixel 0, -1.5 to -1.
    EXPECT_DOUBLE_EQ(s.scale(-0.08), -0.3);
    EXPECT_EQ(trunc_pixel(s.scale(-0.08)), 0);
    EXPECT_EQ(trunc_pixel(s.scale(-0.2)), -1);

    const class_scalefunc descending(100, 0, 50);
    EXPECT_DOUBLE_EQ(descending.scale(100), 0.5);
    EXPECT_DOUBLE_EQ(descending.scale(0), 50.5);
    EXPECT_DOUBLE_EQ(descending.scale2(10), -5.0);
}

TEST(ScaleMapping, RingRadiusFollowsScalezAndTheZeroOffset)
{
    reset_settings();
    scalez = 4;
    EXPECT_DOUBLE_EQ(scale_z(-1.5), -6.0);
    EXPECT_DOUBLE_EQ(scale_z(2.5), 10.0);
    add_to_z_when_zero = 10.0;
    EXPECT_DOUBLE_EQ(scale_z(0), 10.0);
    EXPECT_DOUBLE_EQ(scale_z(-1.5), 4.0);
    reset_settings();
    EXPECT_DOUBLE_EQ(scale_z(2.7), 2.7);
    EXPECT_EQ(trunc_pixel(scale_z(2.7)), 2);
}

TEST(ScaleMapping, PixelConversionTruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(trunc_pixel(7.99), 7);
    EXPECT_EQ(trunc_pixel(-7.99), -7);
    EXPECT_EQ(trunc_pixel(-0.3), 0);
    EXPECT_EQ(trunc_pixel(pixel_far - 0.5), pixel_far - 1);
    // Values beyond the int range convert without undefined behaviour, far outside every page.
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(trunc_pixel(1e308), pixel_far);
    EXPECT_EQ(trunc_pixel(-1e308), -pixel_far);
    EXPECT_EQ(trunc_pixel(inf), pixel_far);
    EXPECT_EQ(trunc_pixel(-inf), -pixel_far);
    EXPECT_EQ(trunc_pixel(3e9), pixel_far);
    EXPECT_EQ(trunc_pixel(std::nan("")), pixel_far);
    EXPECT_GT(pixel_far, 100000);

    // A mapping whose min equals max, or a value far outside its range, lands far off the page.
    const class_scalefunc flat(3, 3, 100);
    EXPECT_EQ(trunc_pixel(flat.scale(3)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(4)), pixel_far);
    EXPECT_EQ(trunc_pixel(flat.scale(2)), -pixel_far);
    const class_scalefunc wide(0, 1, 600);
    EXPECT_EQ(trunc_pixel(wide.scale(1e300)), pixel_far);
    EXPECT_EQ(trunc_pixel(wide.scale(-1e300)), -pixel_far);
}

} // namespace
