// The run loop: one pass per data-file argument (read, autoscale, show), and on each shown page the steps
// redraw, save, previous, next and quit.
#include "view/viewing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <strings.h>

#include "core/messages.h"
#include "core/settings.h"
#include "data/byte_source.h"
#include "data/data_passes.h"
#include "data/data_set.h"
#include "data/draw_types.h"
#include "plot/compose.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "plot/z_autoscale.h"
#include "portable/mypath.h"
#include "view/explore.h"
#include "view/follow_view.h"
#include "view/page_steps.h"
#include "view/picture_file.h"

namespace
{

constexpr const char* picture_extensions[] = {".png", ".svg", ".pdf"}; // by picture_kind

// The kind whose extension ends name, if any.
std::optional<picture_kind> kind_of_name(const std::string& name)
{
    for (int kind = PICTURE_PNG; kind <= PICTURE_PDF; ++kind) {
        const std::string extension = picture_extensions[kind];
        if (name.size() > extension.size() &&
            strcasecmp(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0)
            return static_cast<picture_kind>(kind);
    }
    return std::nullopt;
}

} // namespace

picture_kind saved_picture_kind()
{
    if (output_fname != nullptr)
        return kind_of_name(output_fname).value_or(PICTURE_PNG);
    return static_cast<picture_kind>(picture_format);
}

std::string picture_file_name(picture_kind kind)
{
    if (output_fname != nullptr)
        return output_fname;
    const std::string extension = picture_extensions[kind];
    std::string name = mydata[0].fname;
    if (is_standard_input(name))
        return "stdin" + extension;
    // Beside /dev/stdin or a process substitution's /dev/fd/63 is the system's device folder, no place for a
    // picture (and one that root can write): it goes to the current folder under the name's last part. Files in
    // folders below /dev such as /dev/shm are files like any other.
    const std::string folder = name.substr(0, name.find_last_of('/') + 1);
    if (folder == "/dev/" || folder == "/dev/fd/" || folder.starts_with("/proc/"))
        name.erase(0, folder.size());
    // A '.' in a folder name is no extension: only the last path part is looked at.
    const std::size_t part = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (part != std::string::npos && dot < part))
        return name + extension;
    return name.substr(0, dot) + extension;
}

std::string png_comment(const std::string& option_words)
{
    std::string comment = option_words;
    for (const data& d : mydata) {
        if (d.fname.empty())
            continue;
        comment += d.fname + "(" + absolute_path(d.fname, false) + ")";
    }
    return comment;
}

// A run that saves every page and moves on without asking: --save-and-exit, and every --in-memory run.
bool saving_run()
{
    return save_and_exit != 0 || in_memory != 0;
}

page_recording recording_for(picture_kind kind)
{
    return page_recording(kind == PICTURE_PNG ? nullptr : GrCreateRecording(vector_limit), &GrDestroyRecording);
}

void compose_page(GrRecording* recording)
{
    GrSetRecording(recording);
    compose(mydata);
    GrSetRecording(nullptr);
}

void save_picture(picture_files& pictures, const std::string& option_words, const GrRecording* recording,
                  const saving_note& note)
{
    const picture_kind kind = saved_picture_kind();
    const std::string name = picture_file_name(kind);
    const std::string comment = png_comment(option_words) + note.comment_end;
    TW_DEBUG("save-and-exit " << name);
    TW_DEBUG("comment: " << comment);
    // A run that saves every page goes on with the next file while the picture is finished in the background;
    // nothing reads it back before the run ends. The window mode saves on the user's key and waits.
    const picture_source source{kind, recording, picture_dpi > 0 ? 72.0 / picture_dpi : 1.0};
    // Told on standard output, with the other informational lines, so that a batch run says where its pictures went.
    if (pictures.save(name, comment, saving_run(), source) && !quiet && note.tell)
        std::cout << "saved " << name << "\n" << std::flush;
}

namespace
{

constexpr int key_backspace = 8;
constexpr int key_escape = 27;

} // namespace

next_step step_of_key(int key)
{
    switch (key) {
    case 'r':
    case 'R':
        return next_step::redraw;
    case 's':
    case 'S':
        return next_step::save;
    case key_backspace:
        return next_step::previous;
    case key_escape:
    case 'q':
    case 'Q':
        return next_step::quit;
    default:
        return next_step::next;
    }
}

// After a save the page is drawn once more. A window shows it; a memory page is seen by nobody, so only the
// messages of its drawing are given again.
void draw_again_after_save(GrRecording* recording)
{
    if (page_in_window())
        compose_page(recording);
    else
        recheck_page(mydata);
}

void save_view(page_explorer& explorer, picture_files& pictures, const std::string& option_words,
               const saving_note& note)
{
    // A vector picture keeps what the view draws: the view is drawn once more into a recording.
    const page_recording recording = recording_for(saved_picture_kind());
    if (recording) {
        GrSetRecording(recording.get());
        explorer.draw();
        GrSetRecording(nullptr);
    }
    explorer.tidy();
    save_picture(pictures, option_words + explorer.view_words(), recording.get(), note);
    explorer.draw();
}

namespace
{

// In the window the page is explored: the view keys and the mouse change the view, and the other keys
// redraw, save (the view, with its options in the comment), or leave the file: previous (never from the first
// file, where it redraws), next or quit.
next_step explore_page(bool first_file, const std::string& option_words, picture_files& pictures, kept_inputs& inputs,
                       const column_switches& switches)
{
    page_explorer explorer(mydata, inputs, switches);
    explorer.draw();
    for (;;) {
        next_step step = step_of_key(explorer.next_key());
        if (step == next_step::previous && first_file)
            step = next_step::redraw;
        if (step == next_step::redraw) {
            explorer.draw();
        } else if (step == next_step::save) {
            save_view(explorer, pictures, option_words);
        } else {
            return step;
        }
    }
}

// Composes the page of the data sets read and carries out redraw and save until a step leaves the file:
// previous (never from the first file, where it redraws), next or quit.
next_step show_page(bool first_file, const std::string& option_words, picture_files& pictures, kept_inputs& inputs,
                    const column_switches& switches)
{
    if (page_in_window() && !saving_run())
        return explore_page(first_file, option_words, pictures, inputs, switches);
    const page_recording recording = recording_for(saved_picture_kind());
    compose_page(recording.get());
    for (;;) {
        next_step step = saving_run() ? next_step::save : step_of_key(GrKeyRead());
        if (step == next_step::previous && first_file)
            step = next_step::redraw;
        if (step == next_step::redraw) {
            compose_page(recording.get());
        } else if (step == next_step::save) {
            save_picture(pictures, option_words, recording.get());
            draw_again_after_save(recording.get());
            if (saving_run())
                return next_step::next;
        } else {
            return step;
        }
    }
}

next_step view_file(int vga, bool first_file, const std::string& option_words, picture_files& pictures,
                    kept_inputs& inputs, const column_switches& switches)
{
    entergrmode(vga);
    alloc_colors();
    const next_step step = show_page(first_file, option_words, pictures, inputs, switches);
    exitgrmode();
    return step;
}

// Names of data sets 1 to 9 as the command line gave them. An "@N" reference is resolved anew in every pass,
// so a data set that refers to data set 0 follows the file shown now instead of keeping the first one.
using given_names = std::array<std::string, 10>;

given_names remember_given_names()
{
    given_names names;
    for (int i = 1; i < 10; ++i)
        names[i] = mydata[i].fname;
    return names;
}

void restore_given_names(const given_names& names)
{
    for (int i = 1; i < 10; ++i)
        mydata[i].fname = names[i];
}

// One pass over a data file: data set 0 from it, the z autoscale, the other data sets, and its page. A file without
// rows (let through by --error-as-warning) and a mode without a size (vga 0) show nothing and go on. The column
// switches the reader turns on hold for the rest of the run; so does the ring scale (Zscale) once chosen.
next_step run_pass(const std::string& file, bool first_file, const run_setup& run, const given_names& names,
                   picture_files& pictures, kept_inputs& inputs, column_switches& switches)
{
    TW_DEBUG("pass over " << file);
    mydata[0].cleanup();
    mydata[0].fname = file;
    next_step step = next_step::next;
    if (read_reference_data_set(inputs, switches)) {
        Zscale = autoscale_z(mydata[0].minmax.z, Zscale);
        restore_given_names(names);
        read_extra_data_sets(inputs, switches);
        if (run.vga != 0)
            step = view_file(run.vga, first_file, run.option_words, pictures, inputs, switches);
    }
    mydata[0].cleanup();
    return step;
}

// The last file of a run given --follow is followed as it grows; a run that draws nothing reads it once.
bool followed(const run_setup& run, std::size_t index)
{
    return follow != 0 && run.vga != 0 && index + 1 == run.files.size();
}

// A pass over the followed file: its rows as they are now (a stream or an empty file is waited for), the other
// data sets, and its page, drawn again as rows arrive.
next_step follow_pass(const std::string& file, bool first_file, const run_setup& run, const given_names& names,
                      picture_files& pictures, kept_inputs& inputs, column_switches& switches)
{
    TW_DEBUG("following " << file);
    mydata[0].cleanup();
    mydata[0].fname = file;
    follower rows = follower_of_run(mydata[0], switches);
    const follow_news first = rows.start();
    if (first == follow_news::stopped)
        return next_step::quit;
    if (first != follow_news::new_rows) {
        if (first == follow_news::nothing) {
            note_run_failure();
            error_func("can't open file %s\n", file.c_str());
        }
        error_func("no data in file %s\n", file.c_str());
        return next_step::next;
    }
    rows.show(mydata[0]);
    switches = rows.switches();
    Zscale = autoscale_z(mydata[0].minmax.z, Zscale);
    restore_given_names(names);
    read_extra_data_sets(inputs, switches);
    entergrmode(run.vga);
    alloc_colors();
    const next_step step = follow_page(rows, first_file, run.option_words, pictures, inputs);
    exitgrmode();
    mydata[0].cleanup();
    return step;
}

} // namespace

void view_files(const run_setup& run)
{
    if (output_fname != nullptr && !kind_of_name(output_fname))
        warning("-o %s: the picture is saved as a PNG (a name ending in .svg or .pdf saves SVG or PDF)\n",
                output_fname);
    const given_names names = remember_given_names();
    picture_files pictures(run.files);
    kept_inputs inputs;
    column_switches switches = switches_from_options();
    Zscale = ring_scale_from_options();
    std::size_t shown = 0;
    while (shown < run.files.size()) {
        const next_step step = followed(run, shown)
                                   ? follow_pass(run.files[shown], shown == 0, run, names, pictures, inputs, switches)
                                   : run_pass(run.files[shown], shown == 0, run, names, pictures, inputs, switches);
        if (step == next_step::quit)
            break;
        shown = step == next_step::previous ? shown - 1 : shown + 1;
    }
    pictures.finish();
}
