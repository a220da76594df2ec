// The x and y ranges of a view of the page and the arithmetic of exploring it: where the plot area's pixels lie
// in the data, zooming to a box or about a point, panning, and the options that draw the same view in a batch run.
#ifndef TREMWIL_VIEW_RANGE_H
#define TREMWIL_VIEW_RANGE_H

#include <string>

struct view_range {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool operator==(const view_range&) const = default;
};

// The plot area of a drawn page: its first column and row on the page, its width and height in pixels (the page
// layout's xoffset, yoffset, rangex, rangey), whether each axis is base-10 logarithmic, and the view it shows.
// Along a log axis every step below is taken in decades.
struct plot_area {
    int left = 0, top = 0, width = 0, height = 0;
    bool log_x = false, log_y = false;
    view_range range;
};

// Whether the page pixel (px, py) lies in the plot area, its frame included.
bool inside(const plot_area& a, int px, int py);

// Data values at a page column and row, and back (as the marks are placed, before the truncation to a pixel).
double data_x(const plot_area& a, double px);
double data_y(const plot_area& a, double py);
double page_x(const plot_area& a, double x);
double page_y(const plot_area& a, double y);

// The view of the box between two page pixels (in any order), its corners held inside the plot area.
view_range zoom_to_box(const plot_area& a, int x0, int y0, int x1, int y1);
// The view magnified by factor (below 1 shrinks) about page pixel (px, py), which keeps its data values.
view_range zoom_about(const plot_area& a, double px, double py, double factor);
// The view moved so that the data under page pixel (px, py) comes under (px + dx, py + dy): a drag.
view_range pan_by_pixels(const plot_area& a, double dx, double dy);
// The view moved by fractions of its width (fx, rightward) and height (fy, upward).
view_range pan_by_fraction(const plot_area& a, double fx, double fy);

// Whether a view can be drawn: finite limits in order, positive on a log axis, and an extent that its ticks can
// still resolve (a few hundred-millionths of its values at least).
bool drawable(const view_range& r, bool log_x, bool log_y);

// The shortest text that reads back as the same double.
std::string exact_text(double v);
// "--minx=... --maxx=... --miny=... --maxy=...": a batch run given them draws this view.
std::string view_options(const view_range& r);

#endif // TREMWIL_VIEW_RANGE_H
