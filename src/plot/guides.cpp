// The grid under the data and the key over it, both inside the plot area.
#include "plot/guides.h"

#include <algorithm>

#include "core/settings.h"
#include "plot/graphics_mode.h"

namespace
{

// One dot in three pixels keeps the grid light beside the data.
constexpr int dot_spacing = 3;

// Pixels between the key and the plot frame, and between the key's frame and its rows.
constexpr int key_margin = 4;
constexpr int key_padding = 4;

// Data sets the key lists: those with rows, in their order.
std::vector<int> drawn_sets(const data* d)
{
    std::vector<int> sets;
    for (int i = 0; i < 10; ++i)
        if (!d[i].x.empty())
            sets.push_back(i);
    return sets;
}

// Top-left corner of a box w x h pixels at the chosen corner of an area of the given size.
void key_corner_position(int area_w, int area_h, int w, int h, int* x, int* y)
{
    const bool left = key_corner == KEY_TOP_LEFT || key_corner == KEY_BOTTOM_LEFT;
    const bool bottom = key_corner == KEY_BOTTOM_RIGHT || key_corner == KEY_BOTTOM_LEFT;
    *x = left ? key_margin : area_w - key_margin - w;
    *y = bottom ? area_h - key_margin - h : key_margin;
}

// The box's background, cut to the current context (the unclipped fill needs its corners inside).
void fill_key_box(int x0, int y0, int x1, int y1)
{
    const GrContext* area = GrCurrentContext();
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, area->gc_xmax);
    y1 = std::min(y1, area->gc_ymax);
    if (x0 <= x1 && y0 <= y1)
        GrFilledBoxNC(x0, y0, x1, y1, colors[COLOR_BG]);
}

} // namespace

void draw_grid(const page_layout& l, const grid_ticks& grid)
{
    const GrColor c = colors[COLOR_AX];
    for (const int column : grid.columns)
        for (int y = 0; y <= l.rangey; y += dot_spacing)
            GrPlot(column - l.xoffset, y, c);
    for (const int row : grid.rows)
        for (int x = 0; x <= l.rangex; x += dot_spacing)
            GrPlot(x, row - l.yoffset, c);
}

std::string key_name(const data* d, int i)
{
    return data_set_names[i].empty() ? d[i].fname : data_set_names[i];
}

void draw_key(const page_layout& l, const data* d, GrTextOption text)
{
    const std::vector<int> sets = drawn_sets(d);
    if (key_corner == KEY_NONE || sets.empty())
        return;
    text.txo_fgcolor.v = colors[COLOR_AX];
    text.txo_bgcolor.v = colors[COLOR_BG];
    text.txo_xalign = GR_ALIGN_LEFT;
    text.txo_yalign = GR_ALIGN_MIDDLE;
    const int radius = std::max(3, l.th / 4);
    const int row_h = std::max(l.th, 2 * radius + 1) + 2;
    unsigned int name_w = 0;
    for (const int i : sets)
        name_w = std::max(name_w, GrStringWidth_(key_name(d, i), &text));
    const int name_x = key_padding + 2 * radius + 1 + key_padding;
    const int w = name_x + static_cast<int>(name_w) + key_padding;
    const int h = 2 * key_padding + static_cast<int>(sets.size()) * row_h;
    int x = 0, y = 0;
    key_corner_position(l.rangex + 1, l.rangey + 1, w, h, &x, &y);
    fill_key_box(x, y, x + w - 1, y + h - 1);
    GrBox(x, y, x + w - 1, y + h - 1, colors[COLOR_AX]);
    int centre = y + key_padding + row_h / 2;
    for (const int i : sets) {
        GrCircle(x + key_padding + radius, centre, radius, colors[COLOR_FG0 + i]);
        gprintfxy(x + name_x, centre, &text, "%s", key_name(d, i).c_str());
        centre += row_h;
    }
}
