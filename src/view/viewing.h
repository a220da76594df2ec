// The run loop: one pass per data-file argument (read, autoscale, show or save the page) and the steps
// between the files; also the name and comment of a saved picture.
#ifndef TREMWIL_VIEWING_H
#define TREMWIL_VIEWING_H

#include <string>
#include <vector>

#include "core/settings.h"

// What the run loop is given by the command line.
struct run_setup {
    std::vector<std::string> files; // data-file arguments in order, or the file of "-0" alone when there are none
    std::string option_words;       // every word before the first data-file argument, each followed by a space
    int vga = 0;                    // size row of the pages; 0 reads the files and shows nothing
};

// Runs the passes: each file in turn is read into data set 0 with data sets 1 to 9 beside it and shown. In a
// window the keys choose the next step (r redraw, s save, Backspace previous, Escape or q quit, any other
// next); a run that saves (--save-and-exit or --in-memory) saves each page and goes on. Returns after the last
// file or when the user quits.
void view_files(const run_setup& run);

// Name of the picture of the current page: output_fname when given, else data set 0's file name with its
// extension (from the last '.' of the file-name part) replaced by that of the picture's kind (".png", ".svg",
// ".pdf"); "stdin.png" (".svg", ".pdf") for standard input ("-"). A file in /dev, /dev/fd or below /proc
// (/dev/stdin, /dev/fd/63) has its picture in the current folder: stdin.png, 63.png.
std::string picture_file_name(picture_kind kind);

// The kind of picture a save writes: the one -o's extension names (".png", ".svg", ".pdf", any letter case; PNG
// for any other name), else the one --format chose.
picture_kind saved_picture_kind();

// Comment of the PNG: the option words of the command line, then each data set's file name with its absolute
// path in brackets.
std::string png_comment(const std::string& option_words);

#endif // TREMWIL_VIEWING_H
