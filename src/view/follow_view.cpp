// Redrawing and saving the page of a followed data file as its rows arrive.
#include "view/follow_view.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "view/explore.h"
#include "view/viewing.h"

namespace
{

using clock_type = std::chrono::steady_clock;

// The window looks at the file between its events this often at most, so that keys are taken at once and the
// file is still looked at within the period.
constexpr long window_slice_ms = 50;

long period_ms()
{
    return std::max(1L, std::lround(follow_every * 1000));
}

long ms_since(clock_type::time_point then)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - then).count());
}

// Draws and saves the page of the rows kept; the comment tells how many rows were read and how many are shown. "saved"
// is told once.
void save_rows(const follower& rows, const std::string& option_words, picture_files& pictures, bool first)
{
    rows.show(mydata[0]);
    const page_recording recording = recording_for(saved_picture_kind());
    compose_page(recording.get());
    const saving_note note{" (followed: " + std::to_string(rows.rows_read()) + " rows read, " +
                               std::to_string(rows.rows()) + " shown)",
                           first};
    save_picture(pictures, option_words, recording.get(), note);
}

// Redraws at most every period: rows that arrive sooner wait for the rest of it.
struct redraw_pace {
    clock_type::time_point last = clock_type::now();
    bool waiting = false;

    bool due() const { return waiting && ms_since(last) >= period_ms(); }
    int wait_ms() const { return waiting ? static_cast<int>(std::max(0L, period_ms() - ms_since(last))) : -1; }
    void drawn()
    {
        last = clock_type::now();
        waiting = false;
    }
};

next_step follow_by_saving(follower& rows, const std::string& option_words, picture_files& pictures)
{
    save_rows(rows, option_words, pictures, true);
    redraw_pace pace;
    for (;;) {
        const follow_news news = rows.next(pace.wait_ms());
        if (news == follow_news::stopped)
            return next_step::quit;
        pace.waiting = pace.waiting || news == follow_news::new_rows;
        if (pace.due() || (pace.waiting && news == follow_news::ended)) {
            save_rows(rows, option_words, pictures, false);
            pace.drawn();
        }
        if (news == follow_news::ended)
            return next_step::next;
    }
}

next_step follow_in_window(follower& rows, bool first_file, const std::string& option_words, picture_files& pictures,
                           kept_inputs& inputs)
{
    page_explorer explorer(mydata, inputs, rows.switches());
    explorer.draw();
    redraw_pace pace;
    bool following = true;
    for (;;) {
        if (const std::optional<int> key = explorer.next_key_within(std::min(window_slice_ms, period_ms()))) {
            next_step step = step_of_key(*key);
            if (step == next_step::previous && first_file)
                step = next_step::redraw;
            if (step == next_step::redraw)
                explorer.draw();
            else if (step == next_step::save)
                save_view(explorer, pictures, option_words);
            else
                return step;
        }
        if (!following)
            continue;
        const follow_news news = rows.next(0);
        if (news == follow_news::stopped)
            return next_step::quit;
        pace.waiting = pace.waiting || news == follow_news::new_rows;
        if (pace.due() || (pace.waiting && news == follow_news::ended)) {
            rows.show(mydata[0]);
            explorer.rows_changed();
            pace.drawn();
        }
        if (news == follow_news::ended) {
            TW_DEBUG("the followed input ended");
            following = false;
        }
    }
}

} // namespace

follower follower_of_run(const data& shown, const column_switches& switches)
{
    return follower(shown, switches, keep_rule{last_rows, last_span}, static_cast<int>(period_ms()));
}

next_step follow_page(follower& rows, bool first_file, const std::string& option_words, picture_files& pictures,
                      kept_inputs& inputs)
{
    if (saving_run())
        return follow_by_saving(rows, option_words, pictures);
    return follow_in_window(rows, first_file, option_words, pictures, inputs);
}
