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
#include "plot/compose.h"
#include "plot/graphics_mode.h"
#include "plot/tick_scale.h"
#include "portable/mypath.h"
#include "view/explore.h"
#include "view/follow_view.h"
#include "view/page_steps.h"
#include "view/picture_file.h"

namespace
{

// Ring scale from the tick spacing of the z magnitudes: four pixels per spacing, and a legend column twice
// the largest ring, truncated to whole pixels; a column over 100 pixels (or one that no int can hold) shrinks
// to 40, and the scale with it.
void autoscale_rings(double zmin, double zmax)
{
    if (zmin == 0 && zmax == 0) {
        TW_DEBUG("all z are zero");
        zmax += 0.01;
        zmin -= 0.01;
        add_to_z_when_zero = 10.0;
    }
    if (zmax == zmin) {
        TW_DEBUG("all z are equal");
        zmax *= 1.01;
        zmin *= 0.99;
    }
    double t = 0;
    int type = 0;
    scale1(zmin, zmax, &t, &type);
    scalez = 4.0 / t;
    TW_DEBUG("spacing=" << t << " scalez=" << scalez);
    const double width = 2 * zmax * scalez;
    // Compared before the cast, so that a width no int can hold never reaches it: below 101 it truncates to 100
    // or less.
    if (width < 101) {
        scalew = static_cast<int>(width);
    } else {
        scalew = 40;
        scalez = 20.0 / zmax;
    }
    TW_DEBUG("scalew=" << scalew << " scalez=" << scalez);
    // Told once the column has had its say: the scale the rings are drawn with.
    if (!quiet)
        std::cout << "Autoscaling: scalez = " << scalez << "\n" << std::flush;
}

void scale_to_biggest_ring(double zmax)
{
    if (zmax == 0)
        zmax = 0.01;
    scalez = biggest_ring / zmax;
    if (!quiet)
        std::cout << "Setting scalez = " << scalez << " based on --biggest-ring=" << biggest_ring << "\n" << std::flush;
}

} // namespace

void autoscale_z()
{
    const MinMax& z = mydata[0].minmax.z;
    const double zmax = std::max(std::fabs(z.Max), std::fabs(z.Min));
    const double zmin = std::min(std::fabs(z.Max), std::fabs(z.Min));
    // The autoscale may end on exactly 1.0 (a shrunk column for a largest |z| of 20): the biggest ring then
    // stays ignored, as after any other autoscale.
    if (autoz && scalez == 1.0)
        autoscale_rings(zmin, zmax);
    else if (biggest_ring != 0 && scalez == 1.0)
        scale_to_biggest_ring(zmax);
    if (!scaleinfo)
        scalew = 0;
}

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
    const std::string& name = mydata[0].fname;
    if (is_standard_input(name))
        return "stdin" + extension;
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
next_step explore_page(bool first_file, const std::string& option_words, picture_files& pictures, kept_inputs& inputs)
{
    page_explorer explorer(mydata, inputs);
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
next_step show_page(bool first_file, const std::string& option_words, picture_files& pictures, kept_inputs& inputs)
{
    if (page_in_window() && !saving_run())
        return explore_page(first_file, option_words, pictures, inputs);
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
                    kept_inputs& inputs)
{
    entergrmode(vga);
    alloc_colors();
    const next_step step = show_page(first_file, option_words, pictures, inputs);
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

// One pass over a data file: data set 0 from it, the other data sets, and its page. A file without rows
// (let through by --error-as-warning) and a mode without a size (vga 0) show nothing and go on.
next_step run_pass(const std::string& file, bool first_file, const run_setup& run, const given_names& names,
                   picture_files& pictures, kept_inputs& inputs)
{
    TW_DEBUG("pass over " << file);
    mydata[0].cleanup();
    mydata[0].fname = file;
    next_step step = next_step::next;
    if (read_reference_data_set(inputs)) {
        autoscale_z();
        restore_given_names(names);
        read_extra_data_sets(inputs);
        if (run.vga != 0)
            step = view_file(run.vga, first_file, run.option_words, pictures, inputs);
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
                      picture_files& pictures, kept_inputs& inputs)
{
    TW_DEBUG("following " << file);
    mydata[0].cleanup();
    mydata[0].fname = file;
    follower rows = follower_of_run(mydata[0]);
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
    autoscale_z();
    restore_given_names(names);
    read_extra_data_sets(inputs);
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
    std::size_t shown = 0;
    while (shown < run.files.size()) {
        const next_step step = followed(run, shown)
                                   ? follow_pass(run.files[shown], shown == 0, run, names, pictures, inputs)
                                   : run_pass(run.files[shown], shown == 0, run, names, pictures, inputs);
        if (step == next_step::quit)
            break;
        shown = step == next_step::previous ? shown - 1 : shown + 1;
    }
    pictures.finish();
}
