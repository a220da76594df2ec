// The solid filler: shape code draws through it into the current frame driver.
#include "core/twgr_internal.h"

namespace
{

void pixel(int x, int y, GrColor c)
{
    twgr::current_driver().drawpixel(x, y, c);
}

void line(int x, int y, int dx, int dy, GrColor c)
{
    twgr::current_driver().drawline(x, y, dx, dy, c);
}

void scan(int x, int y, int w, GrColor c)
{
    twgr::current_driver().drawhline(x, y, w, c);
}

} // namespace

constexpr twgr::filler _GrSolidFiller{.pixel = pixel, .line = line, .scan = scan};
