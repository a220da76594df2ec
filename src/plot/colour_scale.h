// Colour by value: the palette levels of the chosen colour map, and the mapping of a page's values onto them
// (linear, base-10 logarithmic or by rank), shared by the coloured marks, density shading and the colour bar.
#ifndef TREMWIL_COLOUR_SCALE_H
#define TREMWIL_COLOUR_SCALE_H

#include <vector>

#include "core/settings.h"
#include "plot/colour_map_tables.h"
#include "twgr.h"

// Levels a map is sampled to. The page has 256 palette cells: 16 preset, up to 24 more for the colour slots and the
// data sets' disc fills, which leaves room for 128 levels with cells to spare. At 128 levels neighbouring
// colours of these maps differ less than the eye can tell apart, so more levels would show nothing more.
inline constexpr int colour_levels = 128;

// Level of map m (0 to colour_levels - 1), sampled evenly from its table: level 0 is the table's first
// colour, the last level its last, the others interpolated linearly between the two nearest table colours.
RGB map_level_rgb(const colour_map_table& m, int level);

// The palette colours of the levels of the chosen map (setting colour_map), allocated by alloc_colour_levels.
extern GrColor level_colors[colour_levels];
void alloc_colour_levels();

// The mapping of values onto the levels of a page.
struct colour_scale {
    double lo = 0.0; // the values of the first and the last colour, in value units (positive on a log scale)
    double hi = 1.0;
    bool log = false;
    // Sorted samples (pixel counts) of a rank mapping (histogram equalisation); empty for the others.
    std::vector<double> ranks;

    // Where v falls on the map, from 0 to 1: values beyond an end take that end (so do values <= 0 on a log
    // scale), an empty range takes the middle. NaN for a NaN value.
    double fraction(double v) const;
    // The level of v, or -1 for a NaN value.
    int level(double v) const;
    // The palette colour of v's level; the background for a NaN value.
    GrColor color(double v) const;
};

// The colour scale of values found from data_min to data_max (smallest_positive: the smallest value above 0,
// for a log scale): --minc and --maxc replace the ends, --logc maps by log10, a diverging map is made symmetric
// about 0 so that its middle colour stands for 0.
colour_scale value_colour_scale(double data_min, double data_max, double smallest_positive);

// The range a colour bar shows for a scale: its ends, widened where they coincide so that ticks can be found.
void bar_range(const colour_scale& s, double* lo, double* hi);

#endif // TREMWIL_COLOUR_SCALE_H
