// Tests of the frame drivers: the 8-bit reference driver against a pixel-by-pixel model, and the other formats
// (packed pixels and bit planes) against the 8-bit driver.
#include "gr_fixture.h"

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace
{

constexpr int W = 64, H = 16;

unsigned char pattern(int x, int y)
{
    return (unsigned char)(x * 7 + y * 13 + 5);
}

// The value a pixel v takes when drawn with c.
unsigned char model(unsigned char v, GrColor c)
{
    unsigned char k = (unsigned char)c;
    switch (c >> 24) {
    case 1:
        return v ^ k;
    case 2:
        return v | k;
    case 3:
        return v & k;
    default:
        return k;
    }
}

// A RAM frame context of the given format, current, filled with the pattern cut to the bits in mask.
class Frame
{
public:
    explicit Frame(GrFrameMode md, GrColor mask = 0xFF) : ctx_(GrCreateFrameContext(md, W, H, nullptr, nullptr))
    {
        GrSetContext(ctx_);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                drv().drawpixel(x, y, pattern(x, y) & mask);
    }
    ~Frame()
    {
        GrSetContext(nullptr);
        GrDestroyContext(ctx_);
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
    const _GR_frameDriver& drv() const { return GrDriverInfo->fdriver; }
    GrColor at(int x, int y) const { return GrPixelC(ctx_, x, y); }
    std::vector<GrColor> all() const
    {
        std::vector<GrColor> v;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                v.push_back(at(x, y));
        return v;
    }
    GrContext* ctx() const { return ctx_; }

private:
    GrContext* ctx_;
};

using Ram8 = gr_test::MemoryMode;

TEST_F(Ram8, NoOpColoursLeaveTheFrameUnchanged)
{
    Frame f(GR_frameRAM8);
    auto before = f.all();
    for (GrColor c : {GrNOCOLOR, GrOR | 0U, GrAND | 255U}) {
        f.drv().drawhline(1, 1, 50, c);
        f.drv().drawvline(2, 0, 16, c);
        f.drv().drawblock(0, 0, W, H, c);
        GrClearContext(c);
    }
    EXPECT_EQ(f.all(), before);
    // The neighbours of the no-op values do draw.
    f.drv().drawblock(0, 0, W, H, GrOR | 1U);
    EXPECT_EQ(f.at(0, 0), (GrColor)(pattern(0, 0) | 1));
    f.drv().drawblock(0, 0, W, H, GrAND | 0U);
    EXPECT_EQ(f.all(), std::vector<GrColor>(W * H, 0));
}

TEST_F(Ram8, FillsOfEveryAlignmentAndLengthMatchThePixelModel)
{
    Frame f(GR_frameRAM8);
    for (GrColor op : {GrWRITE, GrXOR, GrOR, GrAND}) {
        GrColor c = op | 0x5A;
        for (int x = 0; x < 10; ++x) {
            for (int w = 1; w <= 40; ++w) {
                int y = (x + w) % H;
                std::vector<GrColor> row;
                for (int i = 0; i < W; ++i)
                    row.push_back(f.at(i, y));
                f.drv().drawhline(x, y, w, c);
                for (int i = 0; i < W; ++i) {
                    GrColor want = i >= x && i < x + w ? model((unsigned char)row[i], c) : row[i];
                    ASSERT_EQ(f.at(i, y), want) << "op " << (op >> 24) << " x " << x << " w " << w << " i " << i;
                }
            }
        }
    }
}

TEST_F(Ram8, BlockVerticalLineAndOverlappingBlitCoverExactlyTheirRectangles)
{
    Frame f(GR_frameRAM8);
    f.drv().drawblock(5, 3, 9, 4, GrXOR | 0xFF);
    f.drv().drawvline(30, 2, 11, 0);
    f.drv().bitblt(&f.ctx()->gc_frame, 41, 2, &f.ctx()->gc_frame, 39, 1, 20, 6, GrWRITE);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            bool blit = x >= 41 && x < 61 && y >= 2 && y < 8;
            unsigned char want = blit ? pattern(x - 2, y - 1) : pattern(x, y);
            if (x >= 5 && x < 14 && y >= 3 && y < 7)
                want ^= 0xFF;
            if (x == 30 && y >= 2 && y < 13)
                want = 0;
            ASSERT_EQ(f.at(x, y), want) << x << "," << y;
        }
    }
    // A line draws both ends, and one pixel when empty.
    f.drv().drawblock(0, 0, W, H, 0);
    f.drv().drawline(7, 7, 0, 0, 3);
    f.drv().drawline(20, 10, -12, -8, 4); // drawn from (8, 2) to (20, 10)
    EXPECT_EQ(f.at(7, 7), 3U);
    EXPECT_EQ(f.at(8, 2), 4U);
    EXPECT_EQ(f.at(20, 10), 4U);
    auto all = f.all();
    EXPECT_EQ(W * H - std::count(all.begin(), all.end(), 0U), 1 + 13);
}

TEST_F(Ram8, BitmapsAndPatternsDrawSetAndClearBitsFromTheirStartBit)
{
    Frame f(GR_frameRAM8);
    f.drv().drawblock(0, 0, W, H, 0);
    // Two rows of 16 bits, drawn from bit 3 for 10 pixels: 0b1010'0011'1100'0101 and its inverse.
    const unsigned char bits[4] = {0xA3, 0xC5, 0x5C, 0x3A};
    f.drv().drawbitmap(2, 1, 10, 2, bits, 2, 3, 1, 2);
    EXPECT_EQ(gr_test::picture(f.ctx(), 0, 1, 13, 2), "..+++####+++..\n"
                                                      "..###++++###..\n");
    // A background of GrNOCOLOR leaves the clear bits alone; different operations take two passes.
    f.drv().drawbitmap(2, 1, 10, 1, bits, 2, 3, 5, GrNOCOLOR);
    f.drv().drawbitmap(2, 2, 10, 1, bits + 2, 2, 3, GrXOR | 1, 7);
    EXPECT_EQ(gr_test::picture(f.ctx(), 0, 0, 13, 3), "..............\n"
                                                      "..+++ffff+++..\n"
                                                      ".....hhhh.....\n"
                                                      "..............\n");
    // A pattern byte repeats every 8 pixels, most significant bit first.
    f.drv().drawpattern(0, 5, 10, 0xB0, 1, 2);
    EXPECT_EQ(gr_test::picture(f.ctx(), 0, 5, 9, 5), "#+##++++#+\n");
}

TEST_F(Ram8, ScanLinesReadAndWriteWithIndexListsAndKeyColour)
{
    Frame f(GR_frameRAM8);
    int index[4] = {3, 0, 3, 9};
    const GrColor* row = f.drv().getindexedscanline(&f.ctx()->gc_frame, 10, 4, 4, index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(std::vector<GrColor>(row, row + 4),
              (std::vector<GrColor>{pattern(13, 4), pattern(10, 4), pattern(13, 4), pattern(19, 4)}));
    const GrColor scl[5] = {9, 8, 9, 7, 6};
    f.drv().putscanline(0, 0, 5, scl, GrIMAGE | 9);
    EXPECT_EQ((std::vector<GrColor>{f.at(0, 0), f.at(1, 0), f.at(2, 0), f.at(4, 0)}),
              (std::vector<GrColor>{pattern(0, 0), 8, pattern(2, 0), 6}));
    f.drv().putscanline(0, 1, 2, scl, GrXOR);
    EXPECT_EQ(f.at(0, 1), (GrColor)(pattern(0, 1) ^ 9));
}

// Random drawing through every slot; all colours are cut to the bits in mask, so that a frame of that depth
// holds the same values as the 8-bit reference.
std::vector<GrColor> random_drawing(GrFrameMode md, GrColor mask, unsigned seed)
{
    Frame f(md, mask);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> xs(0, W - 1), ys(0, H - 1), val(0, 255), op(0, 4), kind(0, 8);
    // Four rows of 40 bits: room for 32 pixels from any start bit below 8.
    const unsigned char bits[20] = {0xF0, 0x0F, 0xAA, 0x55, 0x81, 0x7E, 0x3C, 0xC3, 0x01, 0x80,
                                    0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF1};
    int index[W / 2];
    for (int i = 0; i < W / 2; ++i)
        index[i] = i * 5 % (W / 2);
    const auto& d = f.drv();
    GrFrame* frame = &f.ctx()->gc_frame;
    for (int i = 0; i < 300; ++i) {
        int x = xs(rng), y = ys(rng), x2 = xs(rng), y2 = ys(rng);
        // Operation 4 is the keyed copy of blits and scan lines; drawing slots take it as a write.
        GrColor c = (GrColor)op(rng) << 24 | ((GrColor)val(rng) & mask);
        const std::function<void()> draw[] = {
            [&] { d.drawpixel(x, y, c); },
            [&] { d.drawhline(x, y, W - x, c); },
            [&] { d.drawvline(x, y, H - y, c); },
            [&] { d.drawblock(x / 2, y / 2, W - x, H - y, c); },
            [&] { d.drawline(x, y, x2 - x, y2 - y, c); },
            [&] { d.drawpattern(x / 2, y, W / 2, (unsigned char)val(rng), c, GrXOR | (3 & mask)); },
            [&] { d.drawbitmap(0, y / 2, W / 2, 4, bits, 5, x % 8, c, GrNOCOLOR); },
            [&] { d.bitblt(frame, x / 2, y / 2, frame, x2 / 2, y2 / 2, W / 2, H / 2, c); },
            [&] {
                const GrColor* got = d.getindexedscanline(frame, x / 2, y, W / 2, index);
                ASSERT_NE(got, nullptr);
                std::vector<GrColor> row(got, got + W / 2);
                d.putscanline(x2 / 2, y2, W / 2, row.data(), c);
            },
        };
        draw[kind(rng)]();
    }
    return f.all();
}

struct format {
    GrFrameMode mode;
    GrColor mask; // the bits a pixel holds
};

class OtherFormats : public ::testing::TestWithParam<format>
{
};

// Every format draws the same values as the 8-bit reference.
TEST_P(OtherFormats, RandomDrawingMatchesTheEightBitDriver)
{
    gr_test::set_memory_mode(8, 8);
    for (unsigned seed = 1; seed <= 8; ++seed)
        EXPECT_EQ(random_drawing(GetParam().mode, GetParam().mask, seed),
                  random_drawing(GR_frameRAM8, GetParam().mask, seed))
            << "seed " << seed;
}

INSTANTIATE_TEST_SUITE_P(Formats, OtherFormats,
                         ::testing::Values(format{GR_frameRAM24, 0xFF}, format{GR_frameRAM32L, 0xFF},
                                           format{GR_frameRAM32H, 0xFF}, format{GR_frameRAM1, 1},
                                           format{GR_frameRAM4, 15}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.mode); });

} // namespace
