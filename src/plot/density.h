// Density shading: the rows of every data set counted on the pixels of the plot area and the counts (or, with a
// colour column, the mean colour value of each pixel) shaded through the colour map, in place of the marks.
#ifndef TREMWIL_DENSITY_H
#define TREMWIL_DENSITY_H

#include <cstdint>
#include <vector>

#include "data/data_set.h"
#include "plot/colour_scale.h"

// Rows per pixel of a plot area width x height pixels, row by row from the top; with a colour column also
// the sum of its values per pixel.
struct density_grid {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> count;
    std::vector<double> sum; // empty unless the colour column is summed

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
};

// Counts the rows of the data sets with points on the plot area of rangex x rangey pixels (inclusive, so
// rangex + 1 columns), placed as the marks would be (the plot's scales, the z range, the log axes); rows
// falling outside the area are not counted. With by_colour the colour column is summed too, and rows without
// a colour value are left out.
density_grid count_rows(const data* d, int rangex, int rangey, bool by_colour);

// The scale that shades the grid's counts by the --density kind: log10 of the count from 1 to the largest,
// linear from 0 to the largest, or by the counts' ranks (histogram equalisation).
colour_scale count_scale(const density_grid& g, int kind);

// The value a pixel is shaded by: its count, or the mean colour value of its rows.
double pixel_value(const density_grid& g, std::size_t i);

// Shades every pixel with rows through s in the current context (the plot area); pixels without rows keep the
// background. A pixel with rows whose eight neighbours have none is drawn as 2 x 2 pixels, so it stays visible.
void draw_density(const density_grid& g, const colour_scale& s);

#endif // TREMWIL_DENSITY_H
