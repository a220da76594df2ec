// Calendar-time axes: the x axis with ticks at calendar and clock steps and strftime labels, and the y time
// axis, which draws like the linear one and only tells the composer that y holds time.
#ifndef TREMWIL_TIME_AXES_H
#define TREMWIL_TIME_AXES_H

#include <string>
#include <vector>

#include "plot/axes.h"

// One choice of tick steps: seconds between major ticks, seconds between minor ticks, label format.
struct distance_entry {
    double tick;
    double subtick;
    const char* fmt;
};

inline constexpr int dist_max = 13;

// From daily labels down to half seconds; the axis takes the first entry whose major step is at most 120 pixels.
// The last entry's minor step is larger than half its major step, as it always was.
inline constexpr distance_entry distance[dist_max] = {
    {86400, 21600, "%Y-%m-%d"}, {21600, 3600, "%Y-%m-%d %H:%M"},
    {3600, 600, "%H:%M"},       {1800, 300, "%H:%M"},
    {600, 120, "%H:%M"},        {300, 60, "%H:%M"},
    {120, 30, "%H:%M"},         {60, 15, "%H:%M"},
    {30, 10, "%H:%M:%S"},       {15, 5, "%H:%M:%S"},
    {5, 1, "%H:%M:%S"},         {1, 1.0 / 6, "%H:%M:%S"},
    {0.5, 1.0 / 3, "%H:%M:%S"},
};

// The x axis of seconds (of the day, or since 1970-01-01 00:00 UTC) below the plot; returns 0. Where the
// chosen step's labels would overlap, only every k-th major tick is labelled; ranges of many days step by
// calendar units (2 days, a week, months, years); labels stay whole on the page.
drawaxes draw_x_axes_time;

// One label of the time x axis as it is placed: its text and the first and last page column of its box.
struct time_label_box {
    std::string text;
    int left, right;
};

// The labels draw_x_axes_time places for the same arguments on a page page_width columns wide, left to right.
// Widths are measured with the style's text options.
std::vector<time_label_box> time_axis_labels(const axis_style& style, int XSize, int xoffset, double Min, double Max,
                                             int page_width);

// The x axis of time elapsed since an origin that Min and Max are counted from: ticks at clock steps from 0 (and
// at 1, 2, 5 times days over long runs), labelled "0", "+05:00", "+1d 02:00", "+00:00:02.5".
drawaxes draw_x_axes_elapsed;

// The origin of elapsed time on an axis of these times: the earliest (NaN, which is no time, left out; 0 when
// there is none).
double elapsed_origin(const std::vector<double>& times);

// The y axis of seconds: exactly draw_y_axes.
drawaxes draw_y_axes_time;

#endif // TREMWIL_TIME_AXES_H
