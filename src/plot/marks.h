// Data marks: the ring, filled disc, ellipse or quiver arrow drawn for each point of a data set inside the
// plot area, the joining lines of the line mode, and the open arrow shared with the overlay arrows.
#ifndef TREMWIL_MARKS_H
#define TREMWIL_MARKS_H

#include <cstddef>
#include <vector>

#include "data/data_set.h"
#include "plot/colour_scale.h"
#include "twgr.h"

// The colours of a filled disc (a negative radius): its inside and its rim.
struct disc_colours {
    GrColor fill;
    GrColor rim;
};

// The discs of data set n (0 to 9): the fill colours (data set 0's colour for all without --color); with
// --set-fills, data set n > 0 fills with a tint of its own colour (halfway to white) inside a rim of that
// colour, unless --fillcolor was given.
disc_colours set_disc_colours(int n);

// Draws every point of d whose z lies strictly inside the plot z range, in colour slot color, on a plot
// area YSize pixels high (the current context). Points outside the x or y range are left to the clipping;
// points with no place on the log axes are skipped.
// In line mode each point is joined to the one before, unless a skipped point or a block start lies between them.
// With shade given and a colour value for every row, each mark takes the colour of its row's value (a disc
// is filled with it inside a rim of the data set's colour); a row without a colour value is skipped.
void plot_data(data& d, int YSize, int color, const colour_scale* shade = nullptr);

// Whether row i of d has a place on the log axes: its value on each log axis (y with the data set's offset)
// is above 0. Always true without log axes.
bool fits_log_axes(const data& d, std::size_t i);

// Rows of d that have no place on the log axes, and so are not drawn.
std::size_t rows_off_log_axes(const data& d);

// Rows of d that have a place on the log axes but whose z (NaN too) lies not strictly inside z_range, and so
// are not drawn.
std::size_t rows_outside_z(const data& d, const MinMax& z_range);

// Where a drawn point of d lies in the plot area YSize pixels high, and the radius of the square its mark
// covers (a ring's; 0 for ellipses and arrows, whose reach varies).
struct mark_extent {
    double x, y;
    int radius;
};

// The marks plot_data draws of d with the plot's z range z_range, in its order.
std::vector<mark_extent> drawn_marks(const data& d, int YSize, const MinMax& z_range);

// Draws point ix at pixel (x, y) according to draw_type, a disc in the colours disc; returns the radius the
// line mode joins to, 0 when nothing was drawn (an unknown draw type).
int my_mark(int x, int y, const data& d, std::size_t ix, GrColor fgcolor, const disc_colours& disc);

// One ring: a filled disc in data set 0's disc colours when radius < 0, a pixel when 0, an outline otherwise.
// Returns radius, or 1 for the single pixel.
int my_mark2(int x, int y, int radius, GrColor fgcolor);

// my_mark2 with the disc colours given.
int ring_mark(int x, int y, int radius, GrColor fgcolor, const disc_colours& disc);

// Positions of lines and arrows before they become ints. Pinning both ends of a segment to the far-off
// bound of the int conversion would turn it, so a segment reaching that far is cut in doubles first.

// A scaled pixel position truncated toward zero; beyond the far-off bound it stays exact (infinities become
// a huge finite value), and a NaN stays NaN.
double pixel_position(double v);

// GrLine between two pixel positions; nothing when one is NaN. Within the far-off bound exactly GrLine of
// the truncated ends.
void draw_segment(double x1, double y1, double x2, double y2, GrColor c);

// A line between two pixel positions with an open head of two strokes at the second, cut like draw_segment.
void draw_arrow_between(double x1, double y1, double x2, double y2, GrColor fgcolor);

#endif // TREMWIL_MARKS_H
