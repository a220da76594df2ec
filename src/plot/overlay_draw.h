// Drawing of the overlay items (circles, arrows, texts, lines) over the data, in the misc colour, while the
// plot-area context is current. YSize is the plot height in pixels.
#ifndef TREMWIL_OVERLAY_DRAW_H
#define TREMWIL_OVERLAY_DRAW_H

#include "plot/overlays.h"
#include "twgr.h"

// Each circle as an axis-aligned ellipse outline: its radius is measured along each axis separately.
void do_circles(int YSize);

// Each arrow from its first point to its second, with the head at the second.
void do_arrows(int YSize);

// Each text with its top-left corner (by opt's alignment) at its point. Sets opt's foreground to the misc
// colour: the caller's options are changed.
void do_text(int YSize, GrTextOption* opt);

// Each line: a segment, or a horizontal or vertical line across the whole plot area.
void do_line(int YSize);

#endif // TREMWIL_OVERLAY_DRAW_H
