// Points and clipped lines.
#include "core/twgr_internal.h"
#include "vector/recording.h"

void GrPlot(int x, int y, GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_plot(x, y, c);
    const GrContext& ctx = twgr::current_context();
    if (x < ctx.gc_xcliplo || x > ctx.gc_xcliphi || y < ctx.gc_ycliplo || y > ctx.gc_ycliphi)
        return;
    twgr::current_driver().drawpixel(x + ctx.gc_xoffset, y + ctx.gc_yoffset, c);
}

void GrLine(int x1, int y1, int x2, int y2, GrColor c)
{
    if (twgr::active_recording != nullptr)
        twgr::record_line(x1, y1, x2, y2, c);
    long long ax = x1, ay = y1, bx = x2, by = y2;
    if (!twgr::clip_line(ax, ay, bx, by))
        return;
    const GrContext& ctx = twgr::current_context();
    twgr::current_driver().drawline((int)ax + ctx.gc_xoffset, (int)ay + ctx.gc_yoffset, (int)(bx - ax), (int)(by - ay),
                                    c);
}
