// The picture step of a pass: the z autoscale after data set 0 is read, and the viewing loop that composes,
// saves and moves between files.
#ifndef TREMWIL_VIEWING_H
#define TREMWIL_VIEWING_H

#include <string>

#include "plot/graphics_mode.h" // exitgrmode, which the error path calls

// The z autoscale step of a pass, run after data set 0 is read; acts only while scalez is exactly 1.0.
void autoscale_z();

// One pass's picture step for mode row vga: enter graphics mode, run the viewing loop, leave it.
// It leaves optind at the argument index to show next (never before first_non_opt) and sets quit
// when the user stops. argv holds the reordered command line, whose options go into the PNG comment.
void view_current_file(char** argv, int vga, int first_non_opt, int& quit);

// Name of the PNG of the current picture: output_fname when given, else data set 0's file name with its
// extension (from the last '.' of the file-name part) replaced by ".png".
std::string png_file_name();

// Comment of the PNG: every command-line word before the first data-file argument followed by a space, then
// each data set's file name with its absolute path in brackets.
std::string png_comment(int first_non_opt, char** argv);

// Saves the whole page as a PNG; a file that cannot be written is reported through error_func.
void save_picture(int first_non_opt, char** argv);

#endif // TREMWIL_VIEWING_H
