// Exploring a page shown in the window: zoom (a box dragged with the left button, the wheel about the pointer,
// + and - about the centre), pan (arrow keys, a drag with the right or middle button), back (u) and home (a or
// Home), the data values under the pointer, picking a mark with a click, and a page laid out anew when the
// window is resized. Every view is drawn from the rows in memory exactly as a run given its ranges
// (--minx ... --maxy) draws it; those options are printed after each change of view.
#ifndef TREMWIL_EXPLORE_H
#define TREMWIL_EXPLORE_H

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "data/byte_source.h"
#include "data/data_set.h"
#include "data/draw_types.h"
#include "twgr.h"
#include "view/view_range.h"

class page_explorer
{
public:
    // For the page of the data sets d[0..9], in graphics mode with a window. The user's --minx ... --maxy come
    // back when it goes. A picked row's line is found by reading its file with the run's column switches.
    page_explorer(data* d, kept_inputs& inputs, const column_switches& switches);
    ~page_explorer();
    page_explorer(const page_explorer&) = delete;
    page_explorer& operator=(const page_explorer&) = delete;

    // Draws the page at the current view.
    void draw();
    // Takes the pointer's readout and a box being dragged off the page, so that it can be saved as drawn.
    void tidy();
    // Carries out mouse actions and view keys until another key comes; returns that key's code.
    int next_key();
    // The same for at most about ms milliseconds; nothing when no other key came by then.
    std::optional<int> next_key_within(long ms);
    // The rows changed (a followed file grew): the page is drawn again, its ranges following the data unless the
    // user zoomed or panned away from the whole data.
    void rows_changed();
    // The options that draw the current view and page size in a batch run, each followed by a space; empty while
    // the page is as the command line drew it.
    std::string view_words() const;

    // Whether the drawing under way is still wanted: false once a newer view request is waiting.
    bool drawing_still_wanted();

private:
    enum class drag { none, box, pan };

    GrEvent next_event();
    // Carries out a mouse action or view key; true when ev is another key, whose code goes to key.
    bool other_key(const GrEvent& ev, int& key);
    bool view_key(int key);
    void on_button(const GrEvent& ev);
    void on_move(const GrEvent& ev);
    void on_resize(int width, int height);
    void release_left(int x, int y);
    void show_view(const view_range& r, bool remember);
    void pick(int x, int y);
    void show_readout(int x, int y);
    void hide_readout();
    void toggle_box(int x, int y);
    std::string readout_text(int x, int y) const;

    data* d_;
    kept_inputs& inputs_;
    column_switches switches_;
    myMinMax user_limits_;
    int entry_legend_width_;
    int first_width_, first_height_;
    plot_area area_;
    view_range home_;
    bool drawn_ = false;
    std::vector<view_range> history_;
    std::deque<GrEvent> pending_;
    long request_time_ = -1; // when the view being drawn was asked for, for the trace
    long last_check_ = 0;
    drag drag_ = drag::none;
    int drag_x_ = 0, drag_y_ = 0; // where the drag began
    int box_x_ = 0, box_y_ = 0;   // the far corner of the box drawn, while one is
    bool box_shown_ = false;
    // The pixels under the readout while it is shown.
    struct saved_pixels {
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<GrColor> pixels;
    } readout_;
    bool readout_shown_ = false;
};

#endif // TREMWIL_EXPLORE_H
