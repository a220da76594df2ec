// Texts, frame, axes and z legend around the plot area of a page.
#include "plot/compose_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/time_zone.h"
#include "plot/axes.h"
#include "plot/graphics_mode.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"
#include "plot/time_axes.h"

namespace
{

// Half of v rounded down, also for negative v (a text wider than the page starts left of it).
long floor_half(long long v)
{
    return static_cast<long>(v >= 0 ? v / 2 : -((-v + 1) / 2));
}

// Times within the first week are clock times of a day and get no date.
constexpr double one_week = 604800.0;

// Appends the UTC date of t, formatted by fmt, when t, truncated to whole seconds, lies after the first week
// and on a calendar the system can show. True when something was added.
bool append_date(double t, const char* fmt, const time_zone_in_use& zone, std::string& out)
{
    const double seconds = std::trunc(t);
    // Beyond +-2^62 no year fits the calendar anyway, and the cast below stays defined.
    if (!(seconds > one_week && seconds < 4.6e18))
        return false;
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if ((zone.is_utc() ? gmtime_r(&when, &utc) : localtime_r(&when, &utc)) == nullptr)
        return false;
    char text[256];
    const std::size_t n = std::strftime(text, sizeof text, fmt, &utc);
    out.append(text, n);
    return n > 0;
}

// The earliest time of an axis: its smallest value (NaN, which is no time, left out; NaN when there is none).
// The rows may be sorted by z, so the first row can be any day of the data.
double earliest(const std::vector<double>& v)
{
    double least = std::numeric_limits<double>::quiet_NaN();
    for (const double t : v)
        if (!std::isnan(t) && (std::isnan(least) || t < least))
            least = t;
    return least;
}

// The date of the earliest time in the zone of the labels; under a sub-second or elapsed x axis its clock time too,
// which the labels leave out.
std::string date_annotation(const data& d0)
{
    // The zone of --tz is in force while the dates are made (see time_zone_in_use).
    const time_zone_in_use zone(time_zone_name);
    // A zone other than UTC is named by its abbreviation (CET, EDT, ...).
    const std::string zone_part = zone.is_utc() ? "" : " %Z";
    const std::string x_format = std::string(elapsed_x_axis ? "x: %Y-%m-%d %H:%M:%S" : "x: %Y-%m-%d") + zone_part;
    const std::string y_format = std::string(elapsed_y_axis ? "y: %Y-%m-%d %H:%M:%S" : "y: %Y-%m-%d") + zone_part;
    std::string date;
    if (time_x_axes)
        append_date(earliest(d0.x), (x_format + " ").c_str(), zone, date);
    if (time_y_axes) {
        std::string y_part;
        if (append_date(earliest(d0.y), y_format.c_str(), zone, y_part)) {
            if (!date.empty())
                date += ' ';
            date += y_part;
        }
    }
    return date;
}

// The path as it fits in at most width pixels: whole, or shortened from the left to "..." and its last parts
// (".../deep/folder/run1.dat"), or to "..." and the last characters when even the file name is too wide;
// empty when not even that fits.
std::string fitted_path(const std::string& path, long width, GrTextOption& opt)
{
    const auto fits = [&](const std::string& text) { return static_cast<long>(GrStringWidth_(text, &opt)) <= width; };
    if (fits(path))
        return path;
    // Cut points: the folder separators first, then every character (never inside a UTF-8 sequence).
    for (const bool at_folders : {true, false})
        for (std::size_t cut = 1; cut < path.size(); ++cut) {
            const unsigned char c = static_cast<unsigned char>(path[cut]);
            if ((at_folders && c != '/') || (!at_folders && (c & 0xC0) == 0x80))
                continue;
            const std::string shortened = "..." + path.substr(cut);
            if (fits(shortened))
                return shortened;
        }
    return fits("...") ? "..." : "";
}

// One entry of the z legend: a nice z value, its label, the radius the plot draws it with and its row.
struct legend_entry {
    std::string label;
    int radius;
    int y;
};

constexpr int legend_gap = 4; // pixels between the frame, the labels, the marks and the page edge

// The entries of the nice z values inside the plot's z range, largest first, each below the one before with
// a line of text between their marks. Only whole entries on the page are kept: a mark wider than a quarter of
// the page is left out, and so are the entries below the page's last row.
std::vector<legend_entry> legend_entries(const page_layout& l, const data& d0)
{
    std::vector<legend_entry> entries;
    const MinMax& plot = d0.mod_minmax.z;
    const MinMax& z = d0.minmax.z;
    double s = 0;
    int type = 0;
    scale1(plot.Min, plot.Max, &s, &type);
    const double r = (z.Max - z.Min) * range_add_z;
    long long lo = 0, hi = 0;
    // A run of values that cannot be walked (absurd ranges) gives no legend rather than an endless one.
    if (!tick_indices(std::floor((z.Min + r) / s), std::ceil((z.Max - r) / s), max_ticks(l.maxY), &lo, &hi))
        return entries;
    const long widest = (static_cast<long>(l.maxX) + 1) / 4;
    // A --zlabel title takes a line above the first entry.
    const long top = l.yoffset + (zlabel.empty() ? 0 : l.th + legend_gap);
    long y = 0;
    int above = 0; // the radius of the entry above, 0 for the first
    for (long long k = hi; k >= lo; --k) {
        const double v = static_cast<double>(k) * s;
        if (!(plot.Min <= v && v <= plot.Max))
            continue;
        const int radius = trunc_pixel(scale_z(v));
        const long size = std::abs(static_cast<long>(radius));
        if (2 * size + 1 > widest)
            continue;
        const long half_height = std::max<long>(size, l.th / 2);
        y = entries.empty() ? top + half_height : y + 2 * std::max<long>(above, size) + l.th;
        if (y + half_height > l.maxY)
            break;
        char label[32];
        std::snprintf(label, sizeof label, "%g", v);
        entries.push_back({label, radius, static_cast<int>(y)});
        above = static_cast<int>(size);
    }
    return entries;
}

// The legend's width and, from its left side, where its labels end and where its marks are centred: labels
// right-aligned in a column as wide as the widest, then the marks in one as wide as the largest.
struct legend_layout {
    long width, label_right, mark_centre;
};

legend_layout legend_columns(const std::vector<legend_entry>& entries, GrTextOption& text)
{
    long labels = 0, largest = 0;
    for (const legend_entry& e : entries) {
        labels = std::max<long>(labels, GrStringWidth_(e.label, &text));
        largest = std::max(largest, std::abs(static_cast<long>(e.radius)));
    }
    const long label_right = legend_gap + labels - 1;
    const long mark_centre = label_right + 1 + legend_gap + largest;
    const long title = zlabel.empty() ? 0 : legend_gap + static_cast<long>(GrStringWidth_(zlabel, &text)) + legend_gap;
    return {std::max(mark_centre + largest + 1 + legend_gap, title), label_right, mark_centre};
}

GrTextOption aligned(const GrTextOption& opt, int xalign, int yalign)
{
    GrTextOption copy = opt;
    copy.txo_xalign = static_cast<signed char>(xalign);
    copy.txo_yalign = static_cast<signed char>(yalign);
    return copy;
}

} // namespace

void draw_headings(const page_layout& l, GrTextOption& opt, const data& d0, const std::string& fullpath)
{
    if (!title.empty()) {
        const long long width = GrStringWidth_(title, &opt);
        gprintfxy(floor_half(l.maxX - width), 0, &opt, "%s", title.c_str());
    }
    const std::string date = date_annotation(d0);
    long date_end = 0; // where the path may start: a character's width after the date
    if (!date.empty()) {
        GrTextOption corner = aligned(opt, GR_ALIGN_LEFT, GR_ALIGN_BOTTOM);
        gprintfxy(l.xoffset, l.yoffset, &corner, "%s", date.c_str());
        date_end = l.xoffset + GrStringWidth_(date, &opt) + GrStringWidth_(" ", &opt);
    }
    if (!printpath)
        return;
    const long half = l.maxX / 2;
    // Centred text starts half its width (rounded down) left of the centre.
    if (date.empty() || half - static_cast<long>(GrStringWidth_(fullpath, &opt) / 2) >= date_end) {
        GrTextOption above_frame = aligned(opt, GR_ALIGN_CENTER, GR_ALIGN_BOTTOM);
        gprintfxy(half, l.yoffset, &above_frame, "%s", fullpath.c_str());
        return;
    }
    // Centred it would run into the date at its left: it follows the date instead, shortened to end at the page
    // edge.
    GrTextOption after_date = aligned(opt, GR_ALIGN_LEFT, GR_ALIGN_BOTTOM);
    const std::string path = fitted_path(fullpath, l.maxX + 1 - date_end, after_date);
    gprintfxy(date_end, l.yoffset, &after_date, "%s", path.c_str());
}

void draw_frame_and_labels(const page_layout& l, GrTextOption& opt)
{
    GrBox(l.xoffset - 1, l.yoffset - 1, l.xoffset + l.rangex + 1, l.yoffset + l.rangey + 1, colors[COLOR_AX]);
    if (!labelx.empty()) {
        GrTextOption bottom = aligned(opt, GR_ALIGN_CENTER, GR_ALIGN_BOTTOM);
        gprintfxy((static_cast<long>(l.maxX) - Zscale.legend_width) / 2, l.maxY, &bottom, "%s", labelx.c_str());
    }
    if (!labely.empty()) {
        GrTextOption upward = aligned(opt, GR_ALIGN_LEFT, GR_ALIGN_TOP);
        upward.txo_direct = GR_TEXT_UP;
        const long long h = GrStringHeight_(labely, &upward);
        gprintfxy(0, floor_half(l.maxY - h), &upward, "%s", labely.c_str());
    }
}

void draw_both_axes(const page_layout& l, const data& d0, const axis_style& axes, grid_ticks* grid)
{
    const myMinMax& m = d0.mod_minmax;
    drawaxes* const draw_x = elapsed_x_axis ? draw_x_axes_elapsed : time_x_axes ? draw_x_axes_time : draw_x_axes;
    drawaxes* const draw_y = time_y_axes ? draw_y_axes_time : draw_y_axes;
    // Elapsed axes count from the earliest time of data set 0; the pixels of each tick stay where they were.
    const double x_origin = elapsed_x_axis ? elapsed_origin(d0.x) : 0;
    const double y_origin = elapsed_y_axis ? elapsed_origin(d0.y) : 0;
    axis_style x_axis = axes, y_axis = axes;
    if (grid != nullptr) {
        x_axis.major_ticks = &grid->columns;
        y_axis.major_ticks = &grid->rows;
    }
    axes.text->txo_xalign = GR_ALIGN_CENTER;
    axes.text->txo_yalign = GR_ALIGN_TOP;
    draw_x(x_axis, l.rangex, l.rangey, l.xoffset, l.yoffset, log_x, m.x.Min - x_origin, m.x.Max - x_origin, 0);
    axes.text->txo_xalign = GR_ALIGN_RIGHT;
    axes.text->txo_yalign = GR_ALIGN_MIDDLE;
    draw_y(y_axis, l.rangex, l.rangey, l.xoffset, l.yoffset + 1, log_y, m.y.Min - y_origin, m.y.Max - y_origin, 0);
}

int z_legend_width(const page_layout& l, const data& d0, GrTextOption& text)
{
    const std::vector<legend_entry> entries = legend_entries(l, d0);
    return entries.empty() ? 0 : legend_columns(entries, text).width;
}

void draw_z_legend(const page_layout& l, const data& d0, const axis_style& axes)
{
    if (!scaleinfo)
        return;
    const std::vector<legend_entry> entries = legend_entries(l, d0);
    if (entries.empty())
        return;
    const legend_layout columns = legend_columns(entries, *axes.text);
    // The legend is centred between the frame and the page edge; a column narrower than the legend (a fixed
    // left offset can leave one) keeps the legend's right side on the page.
    const long frame = static_cast<long>(l.xoffset) + l.rangex + 1;
    const long room = l.maxX - l.colourbar - frame;
    const long left =
        room >= columns.width ? frame + 1 + (room - columns.width) / 2 : l.maxX - l.colourbar + 1 - columns.width;
    axes.text->txo_xalign = GR_ALIGN_RIGHT;
    axes.text->txo_yalign = GR_ALIGN_MIDDLE;
    const long label_right = left + columns.label_right;
    const int cx = static_cast<int>(left + columns.mark_centre);
    if (!zlabel.empty()) {
        GrTextOption title = aligned(*axes.text, GR_ALIGN_CENTER, GR_ALIGN_TOP);
        gprintfxy(left + columns.width / 2, l.yoffset, &title, "%s", zlabel.c_str());
    }
    for (const legend_entry& e : entries) {
        gprintfxy(label_right, e.y, axes.text, "%s", e.label.c_str());
        // Marked as the plot marks that z in data set 0: a ring, or a disc with its rim below 0.
        my_mark2(cx, e.y, e.radius, colors[COLOR_FG0]);
    }
}
