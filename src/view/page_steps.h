// The steps of a shown page that the run loop and the following of a growing file share: the key's step, composing
// (with a recording for a vector picture) and saving.
#ifndef TREMWIL_PAGE_STEPS_H
#define TREMWIL_PAGE_STEPS_H

#include <memory>
#include <string>

#include "core/settings.h"
#include "twgr.h"
#include "view/explore.h"
#include "view/picture_file.h"

// What follows a shown page.
enum class next_step { redraw, save, previous, next, quit };

// The step of a key: r redraw, s save, Backspace previous, Escape or q quit, any other next.
next_step step_of_key(int key);

// A run that saves every page and moves on without asking: --save-and-exit, and every --in-memory run.
bool saving_run();

// The recording of a page's drawing for a vector picture, made while the page is composed; none for a PNG.
using page_recording = std::unique_ptr<GrRecording, decltype(&GrDestroyRecording)>;
page_recording recording_for(picture_kind kind);

// Composes the page; with a recording, what is drawn is also kept in it.
void compose_page(GrRecording* recording);

// What a save adds: text at the end of the comment, and whether "saved NAME" is told.
struct saving_note {
    std::string comment_end;
    bool tell = true;
};

// Saves the whole page (as a PNG, or its recording as SVG or PDF); a save refused or failed is reported through
// error_func.
void save_picture(picture_files& pictures, const std::string& option_words, const GrRecording* recording,
                  const saving_note& note = {});

// Saves the window's view with its options in the comment, and draws it again.
void save_view(page_explorer& explorer, picture_files& pictures, const std::string& option_words,
               const saving_note& note = {});

// After a save the page is drawn once more: a window shows it, a memory page only gives its messages again.
void draw_again_after_save(GrRecording* recording);

#endif // TREMWIL_PAGE_STEPS_H
