// The recording behind vector pictures: while one is set, every primitive drawn on the page it was set on is also
// kept as a shape in page coordinates, so that one drawing code makes the raster page and the SVG or PDF file.
#ifndef TWGR_RECORDING_H
#define TWGR_RECORDING_H

#include "twgr.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace twgr::vector
{

struct rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const rgb&) const = default;
};

// A rectangle of pixels in page coordinates, both corners inclusive.
struct pixel_rect {
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
    bool operator==(const pixel_rect&) const = default;
    bool contains(const pixel_rect& o) const { return o.x1 >= x1 && o.y1 >= y1 && o.x2 <= x2 && o.y2 <= y2; }
};

enum class shape_kind : std::uint8_t {
    fill_rect,      // a: corner, b: opposite corner (pixels covered)
    box,            // outline through the pixels of corners a and b
    line,           // from pixel a to pixel b, both drawn
    dots,           // count pixels from a, each step b further
    ellipse,        // centre a, half-axes b
    filled_ellipse, // centre a, half-axes b
    polygon,        // closed outline through points[first .. first + count)
    filled_polygon, // the same, filled
    text,           // texts[first]
};

struct point {
    int x, y;
};

// One primitive as drawn: its kind, colour, the clip box it was drawn under and its geometry.
struct shape {
    shape_kind kind;
    rgb color;
    std::uint32_t clip; // index in recording::clips
    point a, b;
    std::uint32_t first, count;
};

// A text as the bitmap font draws it: its box, the direction it runs in and its characters as Unicode.
struct text_item {
    std::u32string chars;
    int box_x, box_y, box_w, box_h; // page coordinates of the whole text box
    int direction;                  // 0 right, 1 down, 2 left, 3 up
    int font_height, baseline;      // of the bitmap font
    bool has_background;
    rgb background;
};

// The plot area's pixels as the raster page holds them once the marks are drawn: a PNG file in memory.
struct embedded_image {
    pixel_rect place;
    std::size_t after; // the number of shapes drawn under it
    std::vector<unsigned char> png;
};

} // namespace twgr::vector

// The recording itself (GrRecording in twgr.h).
struct _GR_recording {
    int mark_limit = 0;
    int width = 0, height = 0;                 // of the page
    const unsigned char* frame_base = nullptr; // the page's frame: drawing elsewhere is not recorded
    std::vector<twgr::vector::shape> shapes;
    std::vector<twgr::vector::point> points;
    std::vector<twgr::vector::text_item> texts;
    std::vector<twgr::vector::pixel_rect> clips;
    std::vector<twgr::vector::embedded_image> images;
    // While the marks are drawn: where their shapes start, how many were drawn, whether they went over the limit.
    bool in_marks = false;
    std::size_t marks_start = 0;
    std::size_t marks_points_start = 0;
    long long mark_count = 0;
    bool failed = false; // the image of the marks could not be made: the recording cannot be saved
};

namespace twgr
{

// The recording that primitives report to, or null (then they only draw).
extern GrRecording* active_recording;

// The hooks: each takes the primitive's own arguments, in the current context's coordinates.
void record_plot(int x, int y, GrColor c);
void record_line(int x1, int y1, int x2, int y2, GrColor c);
void record_box(int x1, int y1, int x2, int y2, GrColor c, bool filled);
void record_ellipse(int xc, int yc, int xa, int ya, GrColor c, bool filled);
void record_polygon(int n, const int pts[][2], GrColor c, bool filled);
// A text whose aligned box has its top left corner at (x, y) and is w x h pixels.
void record_text(const std::vector<std::uint16_t>& codes, int x, int y, int w, int h, const GrTextOption* opt);

} // namespace twgr

#endif // TWGR_RECORDING_H
