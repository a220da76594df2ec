// The composer: lays out one page (margins, plot ranges, scales) and draws it whole into the current context.
#ifndef TREMWIL_COMPOSE_H
#define TREMWIL_COMPOSE_H

#include "data/data_set.h"
#include "twgr.h"

// Sizes of one page, in pixels. The plot area runs from (xoffset, yoffset) to (xoffset + rangex,
// yoffset + rangey) inclusive; maxX and maxY are the largest column and row of the whole page.
struct page_layout {
    int maxX = 0;
    int maxY = 0;
    int th = 0;          // font height
    int yoffset = 0;     // top margin
    int y_lowoffset = 0; // bottom margin
    int rangey = 0;      // plot height
    int xoffset = 0;     // left margin
    int rangex = 0;      // plot width
    int colourbar = 0;   // width of the colour bar's column at the right edge of the page (0: no bar)
};

// The options of the page's texts: the font in the axes' colour on the background.
GrTextOption plot_text_options();

// Draws the picture of the data sets d[0..9] (the table mydata) on the current page, with the warnings of its
// layout on standard error; returns the page's layout, which places the plot area on the page.
page_layout compose(data* d);

// What compose says about the page, without drawing it: for a page that nobody sees again, so that a run gives
// the same messages whether the page is drawn once more or not.
void recheck_page(data* d);

// The plot ranges: data set 0's ranges widened by the range_add settings and limited by the user's limits
// into d[0].mod_minmax, with the one-time warnings for data sets 1..9 whose x or y extremes lie outside. A log
// axis spans the positive values only, widened by a fraction of its extent in decades.
void set_plot_ranges(data* d);

#endif // TREMWIL_COMPOSE_H
