// Tests of video modes and drivers: the memory driver's frames, text mode, the fatal paths with their exact
// messages, and the driver string from arguments and the environment.
#include "gr_fixture.h"

#include <cstdlib>

using gr_test::placement;
using box = std::array<int, 4>;

namespace
{

// Each mode gets a frame of its size, all 0; a later, smaller mode reuses the buffer, cleared again, and nothing
// beyond the new size is read. 16 and 2 colours get bit planes: rows of ceil(w / 8) bytes rounded up to 8, four
// planes one after the other.
TEST(MemoryDriver, ModesGetAFrameOfExactlyTheRequestedSize)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    const struct {
        int w, h, colours; // 0: the default, 16
        GrFrameMode mode;
        int lineoffset;
    } modes[] = {{690, 480, 256, GR_frameRAM8, 696},
                 {100, 50, 200, GR_frameRAM8, 104},
                 {33, 7, 0, GR_frameRAM4, 8},
                 {21, 9, 2, GR_frameRAM1, 8}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.w);
        ASSERT_EQ(m.colours == 0 ? GrSetMode(GR_width_height_graphics, m.w, m.h)
                                 : GrSetMode(GR_width_height_color_graphics, m.w, m.h, m.colours),
                  1);
        const GrFrame& frame = GrContextInfo->screen.gc_frame;
        EXPECT_EQ(placement(GrContextInfo->screen), (box{0, 0, m.w - 1, m.h - 1}));
        EXPECT_EQ(placement(GrContextInfo->current), (box{0, 0, m.w - 1, m.h - 1}));
        EXPECT_EQ(frame.gf_onscreen, 1);
        EXPECT_EQ(GrDriverInfo->fdriver.mode, m.mode);
        EXPECT_EQ(frame.gf_lineoffset, m.lineoffset);
        EXPECT_EQ(gr_test::count_value(0), m.w * m.h);
        for (int k = 1; m.mode == GR_frameRAM4 && k < 4; ++k)
            EXPECT_EQ(frame.gf_baseaddr[k] - frame.gf_baseaddr[0], k * 8 * 7);
        const GrColor last = m.mode == GR_frameRAM1 ? 1 : 15;
        GrClearContext(last);
        EXPECT_EQ(gr_test::count_value(last), m.w * m.h);
    }
}

// Each fatal path with its exact message. The threadsafe style runs each case in a fresh process, where no mode was
// set before the test's own.
TEST(MemoryDriver, BadRequestsAndDrawingWithoutAGraphicsModeAreFatalWithTheirMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(GrLine(0, 0, 5, 5, 1), ::testing::ExitedWithCode(1),
                "^TWGR Error: graphics operation attempted before mode set\n$");
    ASSERT_EQ(GrSetDriver("memory"), 1);
    const std::string unknown = "^GrSetMode: unknown video mode\n$",
                      none = "^GrSetMode: could not find suitable video mode\n$";
    EXPECT_EXIT(GrSetMode((GrGraphicsMode)18), ::testing::ExitedWithCode(1), unknown);
    EXPECT_EXIT(GrSetMode(GR_unknown_mode), ::testing::ExitedWithCode(1), unknown);
    EXPECT_EXIT(GrSetMode(GR_width_height_bpp_graphics, 10, 10, 16), ::testing::ExitedWithCode(1), none);
    // Width 0, width beyond a short, and 20000 x 20000 bytes, more than an 8-bit frame may hold.
    for (auto [w, h] : {std::pair{0, 10}, {40000, 10}, {20000, 20000}})
        EXPECT_EXIT(GrSetMode(GR_width_height_color_graphics, w, h, 256), ::testing::ExitedWithCode(1), none)
            << w << " x " << h;
    // Text mode frees the frame.
    GrSetMode(GR_width_height_color_graphics, 64, 32, 256);
    ASSERT_EQ(GrSetMode(GR_default_text), 1);
    EXPECT_EQ(GrContextInfo->screen.gc_frame.gf_baseaddr[0], nullptr);
    EXPECT_EXIT(GrClearContext(0), ::testing::ExitedWithCode(1),
                "^TWGR Error: graphics operation attempted in text mode\n$");
    EXPECT_EXIT(GrPlot(0, 0, 1), ::testing::ExitedWithCode(1), "in text mode");
}

class DriverText : public ::testing::Test
{
protected:
    void TearDown() override
    {
        unsetenv("TWGRDRV");
        unsetenv("TWGRBIGG");
        GrSetDriver("memory gw 640 gh 480 tw 80 th 25 gc 16 tc 16");
    }
};

TEST_F(DriverText, TokensOfTheArgumentOrTheEnvironmentSetTheDriverAndItsDefaults)
{
    ASSERT_EQ(GrSetDriver("memory gw 800 gh 600 nc 256"), 1);
    EXPECT_EQ(GrDriverInfo->defgc, 256U);
    EXPECT_STREQ(GrDriverInfo->vdriver->name, "memory");
    GrSetMode(GR_default_graphics);
    EXPECT_EQ(placement(GrContextInfo->screen), (box{0, 0, 799, 599}));
    ASSERT_EQ(GrSetDriver("NC 64K Memory TC 2m tw 100 TH 40"), 1);
    EXPECT_EQ(GrDriverInfo->defgc, 65536U);
    EXPECT_EQ(GrDriverInfo->deftc, 2097152U);
    EXPECT_EQ(GrDriverInfo->deftw, 100);
    EXPECT_EQ(GrDriverInfo->defth, 40);
    EXPECT_EQ(GrSetDriver("gc 1k memory"), 1);
    EXPECT_EQ(GrDriverInfo->defgc, 1024U);
    EXPECT_EQ(GrSetDriver("nosuchdriver"), 0);
    EXPECT_EQ(GrSetDriver("memory::opts"), 1);

    // Without an argument, the environment names the driver and the biggest size.
    setenv("TWGRDRV", "memory gw 320 gh 240", 1);
    setenv("TWGRBIGG", "1000 700", 1);
    ASSERT_EQ(GrSetDriver(nullptr), 1);
    EXPECT_EQ(GrDriverInfo->defgw, 320);
    EXPECT_EQ(GrDriverInfo->defgh, 240);
    EXPECT_EQ(GrDriverInfo->biggw, 1000);
    EXPECT_EQ(GrDriverInfo->biggh, 700);
    setenv("TWGRBIGG", "1200", 1); // needs two numbers
    GrSetDriver(nullptr);
    EXPECT_EQ(GrDriverInfo->biggw, 1000);
}

} // namespace
