// Placeholder picture step: graphics mode, the viewing loop and saving join here in later work.
#include "viewing.h"

#include <unistd.h>

void autoscale_z() {}

void view_current_file(int /*vga*/, int /*first_non_opt*/, int& /*quit*/)
{
    // Without a window nothing waits for a key: move on to the next argument, as a run that draws nothing does.
    ++optind;
}
