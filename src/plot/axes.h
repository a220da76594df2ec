// Linear axes of the plot: major ticks with "%g" labels and minor ticks outside the frame, and the measuring
// mode of the y axis that sizes the left margin and the z legend column.
#ifndef TREMWIL_AXES_H
#define TREMWIL_AXES_H

#include "core/settings.h"
#include "twgr.h"

// How the axes of one picture look: the text options of the labels (each drawer sets their alignment) and the
// colour of the ticks.
struct axis_style {
    GrTextOption* text;
    GrColor color;
};

// An axis drawer: its style, plot size, top-left corner of the plot area, log flag (always 0), data range,
// and nodraw = 1 to only measure the label width.
typedef int drawaxes(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                     double Max, int nodraw);

// Draws the x axis below the plot area of XSize x YSize pixels whose top-left corner is (xoffset, yoffset),
// for the data range Min..Max. Returns 0.
drawaxes draw_x_axes;

// Draws the y axis left of the plot area and returns the widest label's width; with nodraw = 1 draws nothing
// and returns that width + 2.
drawaxes draw_y_axes;

#endif // TREMWIL_AXES_H
