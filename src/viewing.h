// Seams between the run driver and the picture stages: graphics mode and the viewing loop.
// Drawing joins here: these bodies only keep the passes moving until graphics mode and the composer land.
#ifndef TREMWIL_VIEWING_H
#define TREMWIL_VIEWING_H

#include "graphics_mode.h" // exitgrmode, which the error path calls

// The z autoscale step of a pass, run after data set 0 is read; acts only while scalez is exactly 1.0.
void autoscale_z();

// One pass's picture step for mode row vga: enter graphics mode, run the viewing loop, leave it.
// It leaves optind at the argument index to show next (never before first_non_opt) and sets quit
// when the user stops.
void view_current_file(int vga, int first_non_opt, int& quit);

#endif // TREMWIL_VIEWING_H
