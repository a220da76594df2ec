// Overlay items drawn over the data in the misc colour: circles, arrows, texts and lines in data
// coordinates, placed through the plot's scales and clipped by the plot-area context.
#include "plot/overlay_draw.h"

#include "core/settings.h"
#include "plot/graphics_mode.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"

namespace
{

int px(double x)
{
    return trunc_pixel(Xscale.scale(x));
}

int py(double y, int YSize)
{
    return YSize - trunc_pixel(Yscale.scale(y));
}

// The same positions kept exact far off the page, for the ends of segments.
double px_far(double x)
{
    return pixel_position(Xscale.scale(x));
}

double py_far(double y, int YSize)
{
    return YSize - pixel_position(Yscale.scale(y));
}

} // namespace

void do_circles(int YSize)
{
    const GrColor c = colors[COLOR_MISC];
    for (const Circle& k : circles) {
        // The radius is a data distance along each axis, so differing axis scales give an ellipse.
        const int cx = px(k.x);
        const int cy = trunc_pixel(Yscale.scale(k.y));
        const int rx = px(k.x + k.r) - cx;
        const int ry = trunc_pixel(Yscale.scale(k.y + k.r)) - cy;
        GrEllipse(cx, YSize - cy, rx, ry, c);
    }
}

void do_arrows(int YSize)
{
    const GrColor c = colors[COLOR_MISC];
    for (const Arrow& a : arrows)
        draw_arrow_between(px_far(a.x1), py_far(a.y1, YSize), px_far(a.x2), py_far(a.y2, YSize), c);
}

void do_text(int YSize, GrTextOption* opt)
{
    opt->txo_fgcolor.v = colors[COLOR_MISC];
    for (const Text& t : texts)
        gprintfxy(px(t.x1), py(t.y1, YSize), opt, "%s", t.text.c_str());
}

void do_line(int YSize)
{
    const GrColor c = colors[COLOR_MISC];
    const GrContext* ctx = GrCurrentContext();
    for (const Line& l : lines) {
        switch (l.mode) {
        case LT_NORMAL:
            draw_segment(px_far(l.x1), py_far(l.y1, YSize), px_far(l.x2), py_far(l.y2, YSize), c);
            break;
        case LT_HORIZONTAL:
            GrLine(0, py(l.y1, YSize), ctx->gc_xmax, py(l.y1, YSize), c);
            break;
        case LT_VERTICAL:
            GrLine(px(l.x1), YSize, px(l.x1), YSize - ctx->gc_ymax, c);
            break;
        }
    }
}
