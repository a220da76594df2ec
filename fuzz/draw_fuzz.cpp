// Fuzz target: random primitives with random coordinates drawn into a small clipped sub-context of a
// memory frame filled with a canary value. Any pixel outside the clip box that changes is a fault.
#include "twgr.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{

constexpr int screen_w = 48, screen_h = 40;
constexpr GrColor canary = 0xA5;
constexpr int max_ops = 64;
constexpr int max_points = 16;

// Reads the input front to back; past the end every value is 0.
struct cursor {
    const std::uint8_t* p;
    std::size_t left;

    std::uint8_t byte()
    {
        if (left == 0)
            return 0;
        --left;
        return *p++;
    }
    int int32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | byte();
        int out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    // Mostly small coordinates near the context, sometimes any 32-bit value.
    int coord()
    {
        std::uint8_t sel = byte();
        return (sel & 3) == 0 ? int32() : (int)(std::int8_t)byte();
    }
};

void draw_one(cursor& in)
{
    std::uint8_t kind = in.byte();
    GrColor c = (GrColor)(in.byte() & 3) << 24 | in.byte();
    int a = in.coord(), b = in.coord(), x = in.coord(), y = in.coord();
    int pts[max_points][2];
    int n = in.byte() % (max_points + 1);
    for (int i = 0; i < n; ++i) {
        pts[i][0] = in.coord();
        pts[i][1] = in.coord();
    }
    switch (kind % 11) {
    case 0:
        GrPlot(a, b, c);
        break;
    case 1:
        GrLine(a, b, x, y, c);
        break;
    case 2:
        GrBox(a, b, x, y, c);
        break;
    case 3:
        GrCircle(a, b, x, c);
        break;
    case 4:
        GrFilledCircle(a, b, x, c);
        break;
    case 5:
        GrEllipse(a, b, x, y, c);
        break;
    case 6:
        GrFilledEllipse(a, b, x, y, c);
        break;
    case 7:
        GrPolygon(n, pts, c);
        break;
    case 8:
        GrFilledConvexPolygon(n, pts, c);
        break;
    case 9:
        GrGetScanline(a, x, b);
        break;
    default: {
        int out[1024][2];
        GrGenerateEllipse(a, b, x, y, out);
        break;
    }
    }
}

void setup_once()
{
    static bool ready = false;
    if (ready)
        return;
    if (GrSetDriver("memory") != 1)
        std::abort();
    GrSetMode(GR_width_height_color_graphics, screen_w, screen_h, 256);
    ready = true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    setup_once();
    cursor in{data, size};
    GrSetContext(nullptr);
    GrClearContext(canary);
    GrContext sub;
    if (GrCreateSubContext(in.byte() % 64 - 8, in.byte() % 64 - 8, in.byte() % 64 - 8, in.byte() % 64 - 8, nullptr,
                           &sub) == nullptr)
        return 0;
    GrSetContext(&sub);
    GrSetClipBox(in.byte() % 40 - 4, in.byte() % 40 - 4, in.byte() % 40 - 4, in.byte() % 40 - 4);
    int x1, y1, x2, y2;
    GrGetClipBox(&x1, &y1, &x2, &y2);
    x1 += sub.gc_xoffset, x2 += sub.gc_xoffset, y1 += sub.gc_yoffset, y2 += sub.gc_yoffset;
    for (int i = 0; i < max_ops && in.left > 0; ++i)
        draw_one(in);
    GrSetContext(nullptr);
    for (int y = 0; y < screen_h; ++y)
        for (int x = 0; x < screen_w; ++x)
            if ((x < x1 || x > x2 || y < y1 || y > y2) && GrPixelC(nullptr, x, y) != canary)
                std::abort();
    return 0;
}
