// The colour bar: a vertical gradient of the colour map at the right edge of the page, its ticks and labels
// drawn by the y axis drawer at its left, and the --clabel title beside it, read upward.
#ifndef TREMWIL_COLOUR_BAR_H
#define TREMWIL_COLOUR_BAR_H

#include <cstddef>

#include "data/data_set.h"
#include "plot/axes.h"
#include "plot/colour_scale.h"
#include "plot/compose.h"

// Whether a data set with rows has a colour column.
bool has_colour_column(const data* d);

// Whether the page colours by value: a data set with a colour column, or density shading.
bool colours_by_value(const data* d);

// The colour scale of the colour columns of the data sets with rows (all of them, so that every data set
// takes the same colours), with the user's --minc, --maxc and --logc.
colour_scale page_value_scale(const data* d);

// Rows of the data sets with points together.
std::size_t rows_of_page(const data* d);

// The width of the labels of a bar of scale s rangey pixels high, as the y axis drawer measures them.
int bar_label_width(const colour_scale& s, int rangey, GrTextOption& text);

// The width that labels of counts up to rows need, whatever the largest count turns out to be: round
// ticks of at most six digits, or up to seven characters in "%g"'s exponent form from a million on.
int count_label_width(std::size_t rows, GrTextOption& text);

// The width of the bar's column for labels label_width wide (with the title's line when --clabel is given).
int colour_bar_width(int label_width, int font_height);

// Draws the bar of scale s in the column of l.colourbar pixels at the page's right edge, as high as the plot.
void draw_colour_bar(const page_layout& l, const colour_scale& s, const axis_style& axes);

#endif // TREMWIL_COLOUR_BAR_H
