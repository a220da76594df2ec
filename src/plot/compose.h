// The composer: lays out one page (margins, plot ranges, scales), draws it whole into the current context and
// returns the command that follows (a key, or the save/redraw steps of a run that saves and exits).
#ifndef TREMWIL_COMPOSE_H
#define TREMWIL_COMPOSE_H

#include <string>

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
};

// Draws the picture of the data sets d[0..9] (the table mydata) on the current page and returns the command:
// 's' to save when save_and_exit is 1, ' ' (move on) when it is 2 (setting it back to 1), else the next key.
int tremwil(data* d);

// The plot ranges: data set 0's ranges widened by the range_add settings and limited by the user's limits
// into d[0].mod_minmax, with the one-time warnings for data sets 1..9 whose x or y extremes lie outside.
void set_plot_ranges(data* d);

// The absolute form of a data file's name. When it cannot be resolved the name is kept as given; with
// report set the system's reason is printed after "realpath" on standard error.
std::string absolute_path(const std::string& name, bool report);

#endif // TREMWIL_COMPOSE_H
