// The window's exploring loop: events become views, picks and readouts; a view is drawn by giving the composer
// its ranges as the user's limits, as the options --minx ... --maxy would.
#include "view/explore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "core/drawing_wanted.h"
#include "core/messages.h"
#include "core/settings.h"
#include "plot/compose.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "view/row_pick.h"

namespace
{

// PC codes of the special keys the views use.
constexpr int key_home = 0x147;
constexpr int key_up = 0x148;
constexpr int key_left = 0x14B;
constexpr int key_right = 0x14D;
constexpr int key_down = 0x150;

constexpr double key_zoom = 2.0;    // + and -
constexpr double wheel_zoom = 1.25; // one notch of the wheel
constexpr double key_pan = 0.1;     // the arrow keys move the view by a tenth
constexpr int least_box = 4;        // a left drag shorter than this either way is a click
constexpr double pick_reach = 5;    // pixels from a click to the mark it picks
constexpr long check_every_ms = 20; // how often a long drawing looks for newer requests

page_explorer* active = nullptr;

bool still_wanted()
{
    return active == nullptr || active->drawing_still_wanted();
}

// Events that ask for another view (or for leaving the page): they make the drawing under way useless. A press
// and a move only begin or follow a drag.
bool asks_for_view(const GrEvent& ev)
{
    if (ev.type == GREV_KEY || ev.type == GREV_RESIZE)
        return true;
    return ev.type == GREV_MOUSE && ev.p1 != GRMOUSE_LB_PRESSED && ev.p1 != GRMOUSE_MB_PRESSED &&
           ev.p1 != GRMOUSE_RB_PRESSED;
}

// The value of a page position on one axis as its labels show it: seconds as UTC date and time on a time axis.
std::string axis_value_text(double v, bool time_axis)
{
    char text[64];
    if (time_axis && std::isfinite(v) && std::fabs(v) < 1e15) {
        const std::time_t seconds = static_cast<std::time_t>(std::floor(v));
        std::tm broken{};
        if (gmtime_r(&seconds, &broken) != nullptr && std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &broken))
            return text;
    }
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// The rows of data set 0 fall inside the view on both axes: a view beside all of them is refused by the
// composer's range check, as it would be on the command line.
bool meets_data(const view_range& r, const data& d0)
{
    const myMinMax& read = d0.minmax;
    return r.xmin <= read.x.Max && r.xmax >= read.x.Min && r.ymin <= read.y.Max && r.ymax >= read.y.Min;
}

} // namespace

page_explorer::page_explorer(data* d, kept_inputs& inputs, const column_switches& switches)
    : d_(d), inputs_(inputs), switches_(switches), user_limits_(UserMinMax), entry_legend_width_(Zscale.legend_width),
      first_width_(GrScreenContext()->gc_xmax + 1), first_height_(GrScreenContext()->gc_ymax + 1)
{
    active = this;
    set_drawing_wanted_check(still_wanted);
    GrEventGenMmove(GR_GEN_MMOVE_ALWAYS);
}

page_explorer::~page_explorer()
{
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    set_drawing_wanted_check(nullptr);
    active = nullptr;
    UserMinMax = user_limits_;
}

void page_explorer::draw()
{
    if (drawn_) {
        UserMinMax.x.Min = area_.range.xmin;
        UserMinMax.x.Max = area_.range.xmax;
        UserMinMax.y.Min = area_.range.ymin;
        UserMinMax.y.Max = area_.range.ymax;
    }
    last_check_ = GrMsecTime();
    // One repaint of the whole window at the end costs less than marking each of a million marks.
    GrWindowDeferRepaint(1);
    const page_layout l = compose(d_);
    GrWindowDeferRepaint(0);
    readout_shown_ = false;
    box_shown_ = false;
    const myMinMax& m = d_[0].mod_minmax;
    area_ = plot_area{l.xoffset,
                      l.yoffset,
                      l.rangex,
                      l.rangey,
                      log_x != 0,
                      log_y != 0,
                      view_range{m.x.Min, m.x.Max, m.y.Min, m.y.Max}};
    if (!drawn_)
        home_ = area_.range;
    drawn_ = true;
    if (request_time_ >= 0 && debug) {
        GrWindowSync();
        TW_DEBUG("view shown " << GrMsecTime() - request_time_ << " ms after its request");
    }
    request_time_ = -1;
}

void page_explorer::tidy()
{
    hide_readout();
    if (box_shown_)
        toggle_box(box_x_, box_y_);
    drag_ = drag::none;
}

bool page_explorer::drawing_still_wanted()
{
    const long now = GrMsecTime();
    if (now - last_check_ < check_every_ms)
        return true;
    last_check_ = now;
    for (GrEvent ev; GrEventRead(&ev), ev.type != GREV_NULL;)
        pending_.push_back(ev);
    const bool newer = std::any_of(pending_.begin(), pending_.end(), asks_for_view);
    if (newer)
        TW_DEBUG("view abandoned for a newer request");
    return !newer;
}

GrEvent page_explorer::next_event()
{
    GrEvent ev{};
    if (!pending_.empty()) {
        ev = pending_.front();
        pending_.pop_front();
        return ev;
    }
    GrEventWait(&ev);
    return ev;
}

bool page_explorer::other_key(const GrEvent& ev, int& key)
{
    if (ev.type == GREV_KEY) {
        TW_DEBUG("ev.type=" << ev.type);
        TW_DEBUG("ev.type=1 ev.p1=" << ev.p1);
        request_time_ = ev.time;
        key = ev.p1;
        return !view_key(ev.p1);
    }
    if (ev.type == GREV_MOUSE) {
        on_button(ev);
    } else if (ev.type == GREV_MMOVE) {
        on_move(ev);
    } else if (ev.type == GREV_RESIZE) {
        request_time_ = ev.time;
        on_resize(ev.p2, ev.p3);
    }
    return false;
}

int page_explorer::next_key()
{
    for (int key = 0;;)
        if (other_key(next_event(), key))
            return key;
}

std::optional<int> page_explorer::next_key_within(long ms)
{
    const long end = GrMsecTime() + ms;
    for (int key = 0;;) {
        GrEvent ev{};
        if (!pending_.empty()) {
            ev = pending_.front();
            pending_.pop_front();
        } else {
            GrEventRead(&ev); // waits a millisecond when nothing is there
        }
        if (ev.type != GREV_NULL && other_key(ev, key))
            return key;
        if (ev.type == GREV_NULL && GrMsecTime() >= end)
            return std::nullopt;
    }
}

void page_explorer::rows_changed()
{
    if (!drawn_ || area_.range == home_) {
        UserMinMax = user_limits_;
        drawn_ = false;
    }
    draw();
}

bool page_explorer::view_key(int key)
{
    const double centre_x = area_.left + area_.width / 2.0, centre_y = area_.top + area_.height / 2.0;
    switch (key) {
    case '+':
    case '=':
        show_view(zoom_about(area_, centre_x, centre_y, key_zoom), true);
        return true;
    case '-':
        show_view(zoom_about(area_, centre_x, centre_y, 1 / key_zoom), true);
        return true;
    case key_left:
    case key_right:
        show_view(pan_by_fraction(area_, key == key_right ? key_pan : -key_pan, 0), true);
        return true;
    case key_up:
    case key_down:
        show_view(pan_by_fraction(area_, 0, key == key_up ? key_pan : -key_pan), true);
        return true;
    case 'u':
        if (!history_.empty()) {
            const view_range back = history_.back();
            history_.pop_back();
            show_view(back, false);
        }
        return true;
    case 'a':
    case key_home:
        show_view(home_, true);
        return true;
    default:
        return false;
    }
}

void page_explorer::on_button(const GrEvent& ev)
{
    const int x = ev.p2, y = ev.p3;
    switch (ev.p1) {
    case GRMOUSE_LB_PRESSED:
    case GRMOUSE_MB_PRESSED:
    case GRMOUSE_RB_PRESSED:
        if (drag_ == drag::none && inside(area_, x, y)) {
            drag_ = ev.p1 == GRMOUSE_LB_PRESSED ? drag::box : drag::pan;
            drag_x_ = x;
            drag_y_ = y;
        }
        break;
    case GRMOUSE_LB_RELEASED:
        TW_DEBUG("ev.type=" << ev.type);
        request_time_ = ev.time;
        if (drag_ == drag::box)
            release_left(x, y);
        break;
    case GRMOUSE_MB_RELEASED:
    case GRMOUSE_RB_RELEASED:
        request_time_ = ev.time;
        if (drag_ == drag::pan) {
            drag_ = drag::none;
            if (x != drag_x_ || y != drag_y_)
                show_view(pan_by_pixels(area_, x - drag_x_, y - drag_y_), true);
        }
        break;
    case GRMOUSE_B4_PRESSED:
    case GRMOUSE_B5_PRESSED:
        request_time_ = ev.time;
        if (inside(area_, x, y))
            show_view(zoom_about(area_, x, y, ev.p1 == GRMOUSE_B4_PRESSED ? wheel_zoom : 1 / wheel_zoom), true);
        break;
    default:
        break;
    }
}

void page_explorer::release_left(int x, int y)
{
    drag_ = drag::none;
    if (box_shown_)
        toggle_box(box_x_, box_y_);
    if (std::abs(x - drag_x_) >= least_box && std::abs(y - drag_y_) >= least_box)
        show_view(zoom_to_box(area_, drag_x_, drag_y_, x, y), true);
    else
        pick(drag_x_, drag_y_);
}

void page_explorer::on_move(const GrEvent& ev)
{
    const int x = ev.p2, y = ev.p3;
    if (drag_ == drag::box) {
        if (box_shown_)
            toggle_box(box_x_, box_y_);
        toggle_box(x, y);
    }
    if (inside(area_, x, y))
        show_readout(x, y);
    else
        hide_readout();
}

// A page of the window's new size, laid out anew at the current view.
void page_explorer::on_resize(int width, int height)
{
    const GrContext* page = GrScreenContext();
    if (width < 1 || height < 1 || (width == page->gc_xmax + 1 && height == page->gc_ymax + 1))
        return;
    int screen_w = 0, screen_h = 0;
    GrWindowScreenSize(&screen_w, &screen_h);
    if (width > screen_w || height > screen_h)
        return;
    drag_ = drag::none;
    GrSetMode(GR_width_height_color_graphics, width, height, 256);
    alloc_colors();
    TW_DEBUG("page resized to " << width << " x " << height);
    draw();
    const std::string words = view_words();
    if (!words.empty())
        std::cout << words.substr(0, words.size() - 1) << "\n" << std::flush;
}

void page_explorer::show_view(const view_range& r, bool remember)
{
    if (!drawable(r, area_.log_x, area_.log_y) || !meets_data(r, d_[0]) || r == area_.range) {
        TW_DEBUG("view refused: " << view_options(r));
        return;
    }
    if (remember)
        history_.push_back(area_.range);
    area_.range = r;
    draw();
    std::cout << view_options(area_.range) << "\n" << std::flush;
}

void page_explorer::pick(int x, int y)
{
    const std::optional<picked_mark> mark = nearest_mark(d_, area_, x, y, pick_reach);
    if (!mark) {
        TW_DEBUG("no mark within " << pick_reach << " pixels of " << x << "," << y);
        return;
    }
    const data& set = d_[mark->set];
    const std::optional<std::uint64_t> line = line_of_row(set, mark->row, inputs_, switches_);
    if (!line) {
        warning("the line of the picked row of %s was not found; has the file changed?\n", set.fname.c_str());
        return;
    }
    std::cout << picked_row_text(set, mark->row, *line) << "\n" << std::flush;
}

std::string page_explorer::readout_text(int x, int y) const
{
    return "x=" + axis_value_text(data_x(area_, x), time_x_axes != 0) +
           " y=" + axis_value_text(data_y(area_, y), time_y_axes != 0);
}

// The values under the pointer, right-aligned above the plot area's top-right corner.
void page_explorer::show_readout(int x, int y)
{
    hide_readout();
    GrTextOption opt = plot_text_options();
    const std::string text = readout_text(x, y);
    const int width = static_cast<int>(GrStringWidth_(text, &opt));
    const int height = static_cast<int>(GrStringHeight_(text, &opt));
    const GrContext* page = GrScreenContext();
    saved_pixels& s = readout_;
    s.x = std::max(0, area_.left + area_.width - width);
    s.y = std::max(0, area_.top - height - 2);
    s.width = std::min(width, page->gc_xmax + 1 - s.x);
    s.height = std::min(height, page->gc_ymax + 1 - s.y);
    if (s.width <= 0 || s.height <= 0)
        return;
    s.pixels.clear();
    for (int row = 0; row < s.height; ++row) {
        const GrColor* line = GrGetScanline(s.x, s.x + s.width - 1, s.y + row);
        if (line == nullptr)
            return;
        s.pixels.insert(s.pixels.end(), line, line + s.width);
    }
    gprintfxy(s.x, s.y, &opt, "%s", text.c_str());
    readout_shown_ = true;
}

void page_explorer::hide_readout()
{
    if (!readout_shown_)
        return;
    readout_shown_ = false;
    const saved_pixels& s = readout_;
    for (int row = 0; row < s.height; ++row)
        for (int col = 0; col < s.width; ++col)
            GrPlot(s.x + col, s.y + row, s.pixels[static_cast<std::size_t>(row) * s.width + col]);
}

// The box of a left drag, drawn and taken away again by exclusive-or, inside the plot area.
void page_explorer::toggle_box(int x, int y)
{
    const int left = area_.left, top = area_.top, right = left + area_.width, bottom = top + area_.height;
    GrSetClipBox(left, top, right, bottom);
    GrBox(drag_x_, drag_y_, std::clamp(x, left, right), std::clamp(y, top, bottom),
          (colors[COLOR_BG] ^ colors[COLOR_FG0]) | GrXOR);
    GrResetClipBox();
    box_x_ = x;
    box_y_ = y;
    box_shown_ = !box_shown_;
}

std::string page_explorer::view_words() const
{
    std::string words;
    if (drawn_ && !(area_.range == home_))
        words = view_options(area_.range) + " ";
    const GrContext* page = GrScreenContext();
    const int width = page->gc_xmax + 1, height = page->gc_ymax + 1;
    if (width != first_width_ || height != first_height_)
        words += "--width=" + std::to_string(width - entry_legend_width_) + " --height=" + std::to_string(height) + " ";
    return words;
}
