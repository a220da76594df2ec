// Tests of the frame drivers: the 8-bit reference driver against a model that draws one pixel at a time, and the
// other formats (packed pixels and bit planes) against the 8-bit driver, all under the same random drawing.
#include "gr_fixture.h"

#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace
{

constexpr int W = 64, H = 16;

unsigned char pattern(int x, int y)
{
    return (unsigned char)(x * 7 + y * 13 + 5);
}

// The 8-bit driver written the slow way, over one frame of its own: every slot draws pixel by pixel.
std::vector<unsigned char> model_frame(std::size_t{W} * H);

void model_pixel(int x, int y, GrColor c)
{
    unsigned char& v = model_frame[static_cast<std::size_t>(y * W + x)];
    const auto k = static_cast<unsigned char>(c);
    const unsigned char by_op[] = {k, static_cast<unsigned char>(v ^ k), static_cast<unsigned char>(v | k),
                                   static_cast<unsigned char>(v & k)};
    v = c >> 24 < 4 ? by_op[c >> 24] : k;
}

void model_block(int x, int y, int w, int h, GrColor c)
{
    for (int r = 0; r < h; ++r)
        for (int i = 0; i < w; ++i)
            model_pixel(x + i, y + r, c);
}

// A row of pixel values put with op; the keyed copy skips the key and writes the rest.
void model_put(int x, int y, int w, const GrColor* values, GrColor op)
{
    const bool keyed = op >> 24 == GrIMAGE >> 24;
    for (int i = 0; i < w; ++i)
        if (!keyed || values[i] != (op & 0xFF))
            model_pixel(x + i, y, (keyed ? GrWRITE : op & 0xFF000000U) | values[i]);
}

_GR_frameDriver model_driver()
{
    _GR_frameDriver d{};
    d.drawpixel = model_pixel;
    d.drawhline = [](int x, int y, int w, GrColor c) { model_block(x, y, w, 1, c); };
    d.drawvline = [](int x, int y, int h, GrColor c) { model_block(x, y, 1, h, c); };
    d.drawblock = model_block;
    d.drawbitmap = [](int x, int y, int w, int h, const unsigned char* bits, int pitch, int start, GrColor fg,
                      GrColor bg) {
        for (int r = 0; r < h; ++r)
            for (int b = start; b < start + w; ++b)
                model_pixel(x + b - start, y + r, bits[r * pitch + b / 8] & 0x80 >> b % 8 ? fg : bg);
    };
    d.drawpattern = [](int x, int y, int w, unsigned char bits, GrColor fg, GrColor bg) {
        for (int i = 0; i < w; ++i)
            model_pixel(x + i, y, bits & 0x80 >> i % 8 ? fg : bg);
    };
    d.bitblt = [](GrFrame*, int dx, int dy, GrFrame*, int x, int y, int w, int h, GrColor op) {
        const std::vector<unsigned char> before = model_frame;
        for (int r = 0; r < h; ++r) {
            std::vector<GrColor> row(&before[(y + r) * W + x], &before[(y + r) * W + x + w]);
            model_put(dx, dy + r, w, row.data(), op);
        }
    };
    d.getindexedscanline = [](GrFrame*, int x, int y, int w, int* index) {
        static GrColor row[W];
        for (int i = 0; i < w; ++i)
            row[i] = model_frame[y * W + x + index[i]];
        return row;
    };
    d.putscanline = model_put;
    return d;
}

// Random drawing through the first `kinds` slots of d (lines last) over a pattern; all colours are cut to the bits
// in mask, so that a frame of that depth holds the same values as the 8-bit reference. A fifth of the values are 0
// or 255, which some operations leave as no-ops.
void random_drawing(const _GR_frameDriver& d, GrFrame* frame, GrColor mask, unsigned seed, int kinds)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            d.drawpixel(x, y, pattern(x, y) & mask);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> xs(0, W - 1), ys(0, H - 1), val(-64, 255), op(0, 4), kind(0, kinds - 1);
    auto colour = [&] {
        int v = val(rng);
        return (GrColor)op(rng) << 24 | ((GrColor)(v < 0 ? (v & 1) * 255 : v) & mask);
    };
    // Four rows of 40 bits: room for 32 pixels from any start bit below 8.
    const unsigned char bits[20] = {0xF0, 0x0F, 0xAA, 0x55, 0x81, 0x7E, 0x3C, 0xC3, 0x01, 0x80,
                                    0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF1};
    int index[W / 2];
    for (int i = 0; i < W / 2; ++i)
        index[i] = i * 5 % (W / 2);
    for (int i = 0; i < 300; ++i) {
        int x = xs(rng), y = ys(rng), x2 = xs(rng), y2 = ys(rng);
        // Operation 4 is the keyed copy of blits and scan lines; drawing slots take it as a write.
        GrColor c = colour(), bg = colour();
        const std::function<void()> draw[] = {
            [&] { d.drawpixel(x, y, c); },
            [&] { d.drawhline(x, y, 1 + x2 % (W - x), c); },
            [&] { d.drawvline(x, y, 1 + y2 % (H - y), c); },
            [&] { d.drawblock(x / 2, y / 2, W - x, H - y, c); },
            [&] { d.drawpattern(x / 2, y, W / 2, (unsigned char)val(rng), c, bg); },
            [&] { d.drawbitmap(0, y / 2, W / 2, 4, bits, 5, x % 8, c, y2 % 2 ? bg : GrNOCOLOR); },
            [&] { d.bitblt(frame, x / 2, y / 2, frame, x2 / 2, y2 / 2, W / 2, H / 2, c); },
            [&] {
                const GrColor* got = d.getindexedscanline(frame, x / 2, y, W / 2, index);
                ASSERT_NE(got, nullptr);
                std::vector<GrColor> row(got, got + W / 2);
                d.putscanline(x2 / 2, y2, W / 2, row.data(), c);
            },
            [&] { d.drawline(x, y, x2 - x, y2 - y, c); },
        };
        draw[kind(rng)]();
    }
}

constexpr int all_kinds = 9, kinds_but_lines = 8; // the 8-bit lines are held by the line tests and golden pictures

// The values a RAM frame context of the given format holds after the random drawing.
std::vector<GrColor> driver_drawing(GrFrameMode md, GrColor mask, unsigned seed, int kinds)
{
    const std::unique_ptr<GrContext, void (*)(GrContext*)> ctx(GrCreateFrameContext(md, W, H, nullptr, nullptr),
                                                               GrDestroyContext);
    GrSetContext(ctx.get());
    random_drawing(GrDriverInfo->fdriver, &ctx->gc_frame, mask, seed, kinds);
    GrSetContext(nullptr);
    std::vector<GrColor> values;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            values.push_back(GrPixelC(ctx.get(), x, y));
    return values;
}

TEST(Ram8, RandomDrawingMatchesThePixelByPixelModel)
{
    gr_test::set_memory_mode(8, 8);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        random_drawing(model_driver(), nullptr, 0xFF, seed, kinds_but_lines);
        EXPECT_EQ(driver_drawing(GR_frameRAM8, 0xFF, seed, kinds_but_lines),
                  std::vector<GrColor>(model_frame.begin(), model_frame.end()))
            << "seed " << seed;
    }
}

// Every other format, packed pixels and bit planes, draws the same values as the 8-bit reference (mask: the bits a
// pixel holds).
TEST(OtherFormats, RandomDrawingMatchesTheEightBitDriver)
{
    gr_test::set_memory_mode(8, 8);
    const std::pair<GrFrameMode, GrColor> formats[] = {
        {GR_frameRAM24, 0xFF}, {GR_frameRAM32L, 0xFF}, {GR_frameRAM32H, 0xFF}, {GR_frameRAM1, 1}, {GR_frameRAM4, 15}};
    for (const auto& [mode, mask] : formats)
        for (unsigned seed = 1; seed <= 8; ++seed)
            EXPECT_EQ(driver_drawing(mode, mask, seed, all_kinds), driver_drawing(GR_frameRAM8, mask, seed, all_kinds))
                << "frame mode " << mode << " seed " << seed;
}

} // namespace
