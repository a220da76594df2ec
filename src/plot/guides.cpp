// The grid under the data and the key over it, both inside the plot area.
#include "plot/guides.h"

#include <algorithm>

#include "core/settings.h"
#include "plot/graphics_mode.h"
#include "plot/marks.h"

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

// Top-left corner of a box w x h pixels at the given corner of an area of the given size.
void key_corner_position(int corner, int area_w, int area_h, int w, int h, int* x, int* y)
{
    const bool left = corner == KEY_TOP_LEFT || corner == KEY_BOTTOM_LEFT;
    const bool bottom = corner == KEY_BOTTOM_RIGHT || corner == KEY_BOTTOM_LEFT;
    *x = left ? key_margin : area_w - key_margin - w;
    *y = bottom ? area_h - key_margin - h : key_margin;
}

// Marks of the drawn data sets that reach into the box from (x0, y0) to (x1, y1).
std::size_t marks_in_box(const std::vector<mark_extent>& marks, int x0, int y0, int x1, int y1)
{
    std::size_t n = 0;
    for (const mark_extent& m : marks)
        n += m.x + m.radius >= x0 && m.x - m.radius <= x1 && m.y + m.radius >= y0 && m.y - m.radius <= y1 ? 1 : 0;
    return n;
}

// The corner the user named, or the one where a key w x h hides the fewest marks (the first of top right, top
// left, bottom right, bottom left among equals).
int key_corner_for(const page_layout& l, const data* d, int w, int h)
{
    if (key_corner != KEY_FEWEST_HIDDEN)
        return key_corner;
    std::vector<mark_extent> marks;
    for (const int i : drawn_sets(d)) {
        const std::vector<mark_extent> set = drawn_marks(d[i], l.rangey, d[0].mod_minmax.z);
        marks.insert(marks.end(), set.begin(), set.end());
    }
    int best = KEY_TOP_RIGHT;
    std::size_t fewest = marks.size() + 1;
    for (const int corner : {KEY_TOP_RIGHT, KEY_TOP_LEFT, KEY_BOTTOM_RIGHT, KEY_BOTTOM_LEFT}) {
        int x = 0, y = 0;
        key_corner_position(corner, l.rangex + 1, l.rangey + 1, w, h, &x, &y);
        const std::size_t hidden = marks_in_box(marks, x, y, x + w - 1, y + h - 1);
        if (hidden < fewest) {
            fewest = hidden;
            best = corner;
        }
    }
    return best;
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
    if (!data_set_names[i].empty())
        return data_set_names[i];
    return d[i].label.empty() ? d[i].fname : d[i].label;
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
    key_corner_position(key_corner_for(l, d, w, h), l.rangex + 1, l.rangey + 1, w, h, &x, &y);
    fill_key_box(x, y, x + w - 1, y + h - 1);
    GrBox(x, y, x + w - 1, y + h - 1, colors[COLOR_AX]);
    int centre = y + key_padding + row_h / 2;
    for (const int i : sets) {
        GrCircle(x + key_padding + radius, centre, radius, colors[COLOR_FG0 + i]);
        gprintfxy(x + name_x, centre, &text, "%s", key_name(d, i).c_str());
        centre += row_h;
    }
}
