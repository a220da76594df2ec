// Linear and base-10 logarithmic axes of the plot: major ticks with "%g" labels and minor ticks outside the
// frame, and the measuring mode of the y axis that sizes the left margin and the z legend column.
#ifndef TREMWIL_AXES_H
#define TREMWIL_AXES_H

#include <vector>

#include "core/settings.h"
#include "twgr.h"

// How the axes of one picture look: the text options of the labels (each drawer sets their alignment) and the
// colour of the ticks. When major_ticks is given, a drawer appends the page column (x axis) or row (y axis)
// of each major tick it draws, for the grid.
struct axis_style {
    GrTextOption* text;
    GrColor color;
    std::vector<int>* major_ticks = nullptr;
};

// An axis drawer: its style, plot size, top-left corner of the plot area, log flag (1 for a base-10 axis: the
// data range is then positive and mapped by its log10), data range, and nodraw = 1 to only measure the label
// width.
typedef int drawaxes(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                     double Max, int nodraw);

// Draws the x axis below the plot area of XSize x YSize pixels whose top-left corner is (xoffset, yoffset),
// for the data range Min..Max. Returns 0. A log axis has its major ticks at decades (at every 2nd, 5th, 10th...
// when they would crowd) and minor ticks at 2..9 times each decade, or at the decades between as far as they
// fit; a range of less than two decades takes the linear ticks at their log positions.
drawaxes draw_x_axes;

// Draws the y axis left of the plot area and returns the widest label's width; with nodraw = 1 draws nothing
// and returns that width + 2.
drawaxes draw_y_axes;

#endif // TREMWIL_AXES_H
