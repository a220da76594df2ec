// Linear axes of the plot: major ticks with "%g" labels and minor ticks outside the frame, and the measuring
// mode of the y axis that sizes the left margin and the z legend column.
#ifndef TREMWIL_AXES_H
#define TREMWIL_AXES_H

#include "core/settings.h"
#include "twgr.h"

// Text options of the axis labels and the tick colour, set by the composer for each picture.
extern GrTextOption* opt_axes;
extern GrColor axes_color;

// Draws the x axis below the plot area of XSize x YSize pixels whose top-left corner is (xoffset, yoffset),
// for the data range Min..Max. Returns 0.
drawaxes draw_x_axes;

// Draws the y axis left of the plot area and returns the widest label's width; with nodraw = 1 draws nothing
// and returns that width + 2.
drawaxes draw_y_axes;

#endif // TREMWIL_AXES_H
