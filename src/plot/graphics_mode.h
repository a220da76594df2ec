// Graphics mode of the plot: entering and leaving the page of one shown file, the colour slots, the font of
// all texts, printf-style text at a position, text extents, and the wait for a key.
#ifndef TREMWIL_GRAPHICS_MODE_H
#define TREMWIL_GRAPHICS_MODE_H

#include <string>

#include "core/settings.h"
#include "twgr.h"

// Colour slots, indexed by COLOR_WHITE ... COLOR_FILLRING; filled by alloc_colors.
extern GrColor colors[256];
// The disc fill of data sets 1 to 9 (entry 0 unused): a tint of each data set's colour, halfway to white.
extern GrColor set_fill_colors[10];

// The font of all texts: a loaded font while graphics mode is entered, otherwise the built-in one.
extern GrFont* font;

// The library's mode kind found on entry, set again on exit.
extern GrGraphicsMode oldmode;

// Opens the page of size row vga (0: nothing happens) widened by the z legend column (Zscale.legend_width), and loads
// the font named by TREMWIL_FONT. With in_memory the page is a memory frame.
void entergrmode(int vga);

// Leaves graphics mode: releases a loaded font and restores the old mode. Does nothing when graphics mode
// is not entered, so error paths may call it at any time; error calls it while the mode is entered.
void exitgrmode();

// Fills the colour slots from the requested colours (after every entergrmode), swaps background and the first
// foreground with invcolor, and warns about every drawing slot that equals the background.
void alloc_colors();

// True while the page is shown in a window (one with keys to read); false for a memory page, which nobody
// sees until it is saved.
bool page_in_window();

// Waits for the next key press and returns its code (8 Backspace, 27 Escape, letters as characters).
int GrKeyRead();

// Formats a text (cut at 511 characters) and draws it at (xloc, yloc) with opt's alignment and direction.
// Returns the number of characters drawn; an empty text draws nothing and returns 0.
int gprintfxy(long xloc, long yloc, GrTextOption* opt, const char* fmt, ...) __attribute__((format(printf, 4, 5)));

// Extent of s along x and along y as drawn with opt (null opt: horizontal text in the current font).
unsigned int GrStringWidth_(const std::string& s, GrTextOption* opt);
unsigned int GrStringHeight_(const std::string& s, GrTextOption* opt);

#endif // TREMWIL_GRAPHICS_MODE_H
