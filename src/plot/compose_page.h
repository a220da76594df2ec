// The parts of a page around the plot area: title, path, date annotation, frame, axis labels, axes and the
// z legend, each drawn by the composer in its turn.
#ifndef TREMWIL_COMPOSE_PAGE_H
#define TREMWIL_COMPOSE_PAGE_H

#include <string>

#include "data/data_set.h"
#include "plot/axes.h"
#include "plot/compose.h"
#include "plot/guides.h"
#include "twgr.h"

// Title centred at the top, the data file's path just above the frame, the date annotation of time axes.
void draw_headings(const page_layout& l, GrTextOption& opt, const data& d0, const std::string& fullpath);

// The frame one pixel outside the plot area, and the x and y labels.
void draw_frame_and_labels(const page_layout& l, GrTextOption& opt);

// Both axes, the time drawers where --x-time / --y-time chose them and log ones where --logx / --logy did, with
// the label options aligned for each. With grid given, the positions of their major ticks are added to it.
void draw_both_axes(const page_layout& l, const data& d0, const axis_style& axes, grid_ticks* grid = nullptr);

// The z legend in the right margin: the nice z values, largest first, each marked as the plot marks it and
// labelled at its left; labels and marks each in a column of their own, between the frame and the page edge.
// Its labels take the axes' text options.
void draw_z_legend(const page_layout& l, const data& d0, const axis_style& axes);

// The width in pixels the z legend of the page needs, for the column kept for it.
int z_legend_width(const page_layout& l, const data& d0, GrTextOption& text);

#endif // TREMWIL_COMPOSE_PAGE_H
