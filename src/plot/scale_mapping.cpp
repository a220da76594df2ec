// The axis mappings of a picture, the ring radius and the saturating pixel conversion.
#include "plot/scale_mapping.h"

#include <cmath>

#include "core/settings.h"

class_scalefunc Xscale;
class_scalefunc Yscale;
class_scalefunc Escale;

class_scalefunc::class_scalefunc(double min_value, double max_value, double range_pixels)
    : min(min_value), max(max_value), range(range_pixels)
{
}

void class_scalefunc::set(double min_value, double max_value, double range_pixels)
{
    min = min_value;
    max = max_value;
    range = range_pixels;
}

void class_scalefunc::set(double min_value, double max_value, double range_pixels, bool log_axis)
{
    log = log_axis;
    if (log_axis)
        set(std::log10(min_value), std::log10(max_value), range_pixels);
    else
        set(min_value, max_value, range_pixels);
}

double class_scalefunc::scale(double value) const
{
    const double v = log ? std::log10(value) : value;
    if (std::isfinite(max - min))
        return (v - min) * (range / (max - min)) + 0.5;
    // A span wider than the largest double is taken in halves, which cannot overflow.
    return (v / 2 - min / 2) * (range / (max / 2 - min / 2)) + 0.5;
}

double class_scalefunc::scale2(double value) const
{
    if (std::isfinite(max - min))
        return value * (range / (max - min));
    return value / 2 * (range / (max / 2 - min / 2));
}

double z_area_reference = 0.0;

ring_scale Zscale;

ring_scale ring_scale_from_options()
{
    return {.per_z = scalez};
}

double scale_z(double z)
{
    double r = z * Zscale.per_z + Zscale.added;
    // Under --area the radius grows with the square root of |z|, through the reference's linear radius.
    if (area_rings && z_area_reference > 0)
        r = std::copysign(std::sqrt(std::fabs(z)) * std::sqrt(z_area_reference), z) * Zscale.per_z + Zscale.added;
    if (min_ring > 0 && std::fabs(r) < min_ring)
        r = std::signbit(r) ? -min_ring : min_ring;
    return r;
}

int trunc_pixel(double v)
{
    // Converting a double outside the int range is undefined, so the bounds are tested before the cast.
    if (std::isnan(v) || v >= pixel_far)
        return pixel_far;
    if (v <= -pixel_far)
        return -pixel_far;
    return static_cast<int>(v);
}
