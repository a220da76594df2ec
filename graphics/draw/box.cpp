// Rectangle outlines and fills, and clearing whole contexts.
#include "core/twgr_internal.h"

#include <utility>

void GrBox(int x1, int y1, int x2, int y2, GrColor c)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    long long cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    if (!twgr::clip_box(cx1, cy1, cx2, cy2))
        return;
    const GrContext& ctx = twgr::current_context();
    const _GR_frameDriver& fd = twgr::current_driver();
    int ox = ctx.gc_xoffset, oy = ctx.gc_yoffset;
    int left = (int)cx1, top = (int)cy1, right = (int)cx2, bottom = (int)cy2;
    int width = right - left + 1;
    bool draw_top = top == y1;
    bool draw_bottom = bottom == y2 && !(draw_top && bottom == top);
    if (draw_top)
        fd.drawhline(left + ox, top + oy, width, c);
    if (draw_bottom)
        fd.drawhline(left + ox, bottom + oy, width, c);
    // The sides run between the drawn edges, so no pixel is drawn twice (which matters for xor).
    int side_top = draw_top ? top + 1 : top;
    int side_bottom = draw_bottom ? bottom - 1 : bottom;
    if (side_bottom < side_top)
        return;
    int height = side_bottom - side_top + 1;
    bool draw_left = left == x1;
    if (draw_left)
        fd.drawvline(left + ox, side_top + oy, height, c);
    if (right == x2 && !(draw_left && right == left))
        fd.drawvline(right + ox, side_top + oy, height, c);
}

void GrFilledBoxNC(int x1, int y1, int x2, int y2, GrColor c)
{
    const GrContext& ctx = twgr::current_context();
    twgr::current_driver().drawblock(x1 + ctx.gc_xoffset, y1 + ctx.gc_yoffset, x2 - x1 + 1, y2 - y1 + 1, c);
}

void GrClearContext(GrColor c)
{
    const GrContext& ctx = twgr::current_context();
    GrFilledBoxNC(0, 0, ctx.gc_xmax, ctx.gc_ymax, c);
}

void GrClearScreen(GrColor c)
{
    const twgr::current_context_guard screen(nullptr);
    GrClearContext(c);
}
