/* Draws a few shapes and a line of text with twgr on a memory page and saves it as a PNG.
 * Build against the installed library:  cc twgr_demo.c $(pkg-config --cflags --libs twgr) -o twgr_demo
 * Run:                                  ./twgr_demo [picture.png]   (default twgr_demo.png) */
#include <stdio.h>
#include <string.h>

#include <twgr.h>

int main(int argc, char** argv)
{
    const char* picture = argc > 1 ? argv[1] : "twgr_demo.png";
    const char* text = "Hello from twgr";
    GrTextOption opt;
    GrColor navy, white, orange, green;
    int triangle[3][2] = {{240, 150}, {300, 150}, {270, 100}};

    /* The memory driver needs no display; an 8-bit page holds the few colours below. */
    if (!GrSetDriver("memory")) {
        fprintf(stderr, "twgr_demo: no memory video driver\n");
        return 1;
    }
    GrSetMode(GR_width_height_color_graphics, 320, 200, 256);
    navy = GrAllocColor(20, 30, 90);
    white = GrAllocColor(255, 255, 255);
    orange = GrAllocColor(250, 150, 30);
    green = GrAllocColor(40, 200, 90);

    GrClearContext(navy);
    GrBox(5, 5, 314, 194, white);
    GrFilledCircle(70, 110, 40, orange);
    GrEllipse(160, 110, 50, 25, green);
    GrLine(10, 190, 310, 60, white);
    GrFilledConvexPolygon(3, triangle, green);

    memset(&opt, 0, sizeof opt);
    opt.txo_font = &GrFont_PC8x16;
    opt.txo_fgcolor.v = white;
    opt.txo_bgcolor.v = GrNOCOLOR;
    opt.txo_xalign = GR_ALIGN_CENTER;
    GrDrawString(text, (int)strlen(text), 160, 20, &opt);

    if (GrSaveContextToPng_wc(NULL, picture, "drawn by twgr_demo") != 0) {
        fprintf(stderr, "twgr_demo: could not save %s\n", picture);
        return 1;
    }
    printf("%s\n", picture);
    return 0;
}
