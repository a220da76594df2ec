// Fuzz target: random primitives with random coordinates drawn into a small clipped sub-context of a
// memory frame filled with a canary value. Any pixel outside the clip box that changes is a fault. The same
// drawing goes to frames of 8, 4 and 1 bits per pixel; with colours cut to the smaller depths, the bit-plane
// frames must hold exactly what the 8-bit frame holds.
#include "twgr.h"

#include <vector>

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

void draw_one(cursor& in, GrColor mask)
{
    std::uint8_t kind = in.byte();
    GrColor op = (GrColor)(in.byte() & 3) << 24;
    GrColor c = op | (in.byte() & mask);
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

struct target {
    GrFrameMode mode;
    GrColor mask; // the colour bits drawn
};
constexpr target targets[] = {
    {GR_frameRAM8, 0xFF}, {GR_frameRAM8, 0x0F}, {GR_frameRAM4, 0x0F}, {GR_frameRAM8, 0x01}, {GR_frameRAM1, 0x01},
};

// One frame context per format, made once.
GrContext* frame_of(GrFrameMode mode)
{
    static GrContext* frames[3] = {};
    int i = mode == GR_frameRAM8 ? 0 : mode == GR_frameRAM4 ? 1 : 2;
    if (frames[i] == nullptr) {
        if (GrSetDriver("memory") != 1)
            std::abort();
        GrSetMode(GR_width_height_color_graphics, screen_w, screen_h, 256);
        frames[i] = GrCreateFrameContext(mode, screen_w, screen_h, nullptr, nullptr);
        if (frames[i] == nullptr)
            std::abort();
    }
    return frames[i];
}

// Draws the input into a frame of the target's format and returns its pixels; empty when the sub-context
// misses the frame.
std::vector<GrColor> draw_into(const std::uint8_t* data, std::size_t size, const target& t)
{
    GrContext* frame = frame_of(t.mode);
    cursor in{data, size};
    GrSetContext(frame);
    GrClearContext(canary & t.mask);
    GrContext sub;
    if (GrCreateSubContext(in.byte() % 64 - 8, in.byte() % 64 - 8, in.byte() % 64 - 8, in.byte() % 64 - 8, frame,
                           &sub) == nullptr)
        return {};
    GrSetContext(&sub);
    GrSetClipBox(in.byte() % 40 - 4, in.byte() % 40 - 4, in.byte() % 40 - 4, in.byte() % 40 - 4);
    int x1, y1, x2, y2;
    GrGetClipBox(&x1, &y1, &x2, &y2);
    x1 += sub.gc_xoffset, x2 += sub.gc_xoffset, y1 += sub.gc_yoffset, y2 += sub.gc_yoffset;
    for (int i = 0; i < max_ops && in.left > 0; ++i)
        draw_one(in, t.mask);
    GrSetContext(frame);
    std::vector<GrColor> pixels;
    for (int y = 0; y < screen_h; ++y)
        for (int x = 0; x < screen_w; ++x) {
            GrColor v = GrPixelC(frame, x, y);
            if ((x < x1 || x > x2 || y < y1 || y > y2) && v != (canary & t.mask))
                std::abort();
            pixels.push_back(v);
        }
    return pixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<GrColor> previous;
    for (const target& t : targets) {
        std::vector<GrColor> pixels = draw_into(data, size, t);
        // A bit-plane frame follows the 8-bit frame drawn with the same colours just before it.
        if (t.mode != GR_frameRAM8 && pixels != previous)
            std::abort();
        previous = std::move(pixels);
    }
    return 0;
}
