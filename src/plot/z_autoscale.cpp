// The z autoscale: from the tick spacing of the z magnitudes (--autoz) or from the biggest ring wanted
// (--biggest-ring).
#include "plot/z_autoscale.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "core/messages.h"
#include "core/settings.h"
#include "plot/tick_scale.h"

namespace
{

// Ring scale from the tick spacing of the z magnitudes: four pixels per spacing, and a legend column twice
// the largest ring, truncated to whole pixels; a column over 100 pixels (or one that no int can hold) shrinks
// to 40, and the scale with it.
ring_scale autoscale_rings(double zmin, double zmax, ring_scale s)
{
    if (zmin == 0 && zmax == 0) {
        TW_DEBUG("all z are zero");
        zmax += 0.01;
        zmin -= 0.01;
        s.added = 10.0;
    }
    if (zmax == zmin) {
        TW_DEBUG("all z are equal");
        zmax *= 1.01;
        zmin *= 0.99;
    }
    double t = 0;
    int type = 0;
    scale1(zmin, zmax, &t, &type);
    s.per_z = 4.0 / t;
    TW_DEBUG("spacing=" << t << " scalez=" << s.per_z);
    const double width = 2 * zmax * s.per_z;
    // Compared before the cast, so that a width no int can hold never reaches it: below 101 it truncates to 100
    // or less.
    if (width < 101) {
        s.legend_width = static_cast<int>(width);
    } else {
        s.legend_width = 40;
        s.per_z = 20.0 / zmax;
    }
    TW_DEBUG("scalew=" << s.legend_width << " scalez=" << s.per_z);
    // Told once the column has had its say: the scale the rings are drawn with.
    if (!quiet)
        std::cout << "Autoscaling: scalez = " << s.per_z << "\n" << std::flush;
    return s;
}

ring_scale scale_to_biggest_ring(double zmax, ring_scale s)
{
    if (zmax == 0)
        zmax = 0.01;
    s.per_z = biggest_ring / zmax;
    if (!quiet)
        std::cout << "Setting scalez = " << s.per_z << " based on --biggest-ring=" << biggest_ring << "\n"
                  << std::flush;
    return s;
}

} // namespace

ring_scale autoscale_z(const MinMax& z, ring_scale now)
{
    const double zmax = std::max(std::fabs(z.Max), std::fabs(z.Min));
    const double zmin = std::min(std::fabs(z.Max), std::fabs(z.Min));
    // The autoscale may end on exactly 1.0 (a shrunk column for a largest |z| of 20): the biggest ring then
    // stays ignored, as after any other autoscale.
    if (autoz && now.per_z == 1.0)
        now = autoscale_rings(zmin, zmax, now);
    else if (biggest_ring != 0 && now.per_z == 1.0)
        now = scale_to_biggest_ring(zmax, now);
    if (!scaleinfo)
        now.legend_width = 0;
    return now;
}
