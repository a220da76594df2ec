// Guides inside the plot area: the dotted grid at the major ticks and the key naming the data sets.
#ifndef TREMWIL_GUIDES_H
#define TREMWIL_GUIDES_H

#include <string>
#include <vector>

#include "data/data_set.h"
#include "plot/compose.h"

// Page columns and rows of the major ticks of the x and y axes, where the grid lines go.
struct grid_ticks {
    std::vector<int> columns;
    std::vector<int> rows;
};

// The dotted grid lines in the axes colour at the given page columns and rows, drawn into the plot area (the
// current context, whose top-left corner is page pixel (l.xoffset, l.yoffset)). The dots lie every third
// pixel counted from that corner, so crossing lines share theirs.
void draw_grid(const page_layout& l, const grid_ticks& grid);

// Name of data set i in the key: its --name, else its file name.
std::string key_name(const data* d, int i);

// The key of the data sets that have rows, at the corner --key chose inside the plot area (the current
// context): a box in the background colour framed in the axes colour, one row per data set with a ring in
// its colour and its name in the text options' font.
void draw_key(const page_layout& l, const data* d, GrTextOption text);

#endif // TREMWIL_GUIDES_H
