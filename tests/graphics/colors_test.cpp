// Tests of the colour table: presets, sharing, reuse of unused cells, the nearest colour of a full palette,
// private cells, and packed colours of an RGB mode.
#include "gr_fixture.h"

using gr_test::MemoryMode;
using gr_test::query;
using rgb = std::array<int, 3>;

namespace
{

TEST_F(MemoryMode, PresetsMatchExactlyNewColoursTakeFreshCellsAndSharedCellsCountUsers)
{
    EXPECT_EQ(query(6), (rgb{170, 85, 0}));
    EXPECT_EQ(GrAllocColor(0, 0, 0), 0U);
    EXPECT_EQ(GrAllocColor(255, 255, 255), 15U);
    EXPECT_EQ(GrAllocColor(1, 2, 3), 16U);
    EXPECT_EQ(query(16), (rgb{1, 2, 3}));
    EXPECT_EQ(GrColorInfo->nfree, 253U);
    EXPECT_EQ(GrBlack(), 0U);
    EXPECT_EQ(GrWhite(), 15U);
    // Queries outside the defined cells give black.
    for (GrColor c : {17U, 256U, GrNOCOLOR, 0xFFFFFFFFU})
        EXPECT_EQ(query(c), (rgb{0, 0, 0})) << c;

    GrColor a = GrAllocColor(200, 100, 50);
    EXPECT_EQ(a, 17U);
    EXPECT_EQ(GrAllocColor(200, 100, 50), a);
    EXPECT_EQ(GrColorInfo->nfree, 252U);
    GrFreeColor(a);
    EXPECT_TRUE(GrColorInfo->ctable[a].defined);
    GrFreeColor(a);
    EXPECT_FALSE(GrColorInfo->ctable[a].defined);
    EXPECT_EQ(GrColorInfo->nfree, 253U);
}

TEST_F(MemoryMode, UnusedPresetCellsAreReusedOneToFifteenBeforeZero)
{
    for (int i = 0; i < 240; ++i)
        ASSERT_EQ(GrAllocColor(i, 1, 2), (GrColor)(16 + i));
    for (int i = 1; i <= 15; ++i)
        ASSERT_EQ(GrAllocColor(i, 7, 7), (GrColor)i);
    EXPECT_EQ(GrAllocColor(3, 3, 3), 0U);
    EXPECT_EQ(query(0), (rgb{3, 3, 3}));
    EXPECT_EQ(GrColorInfo->nfree, 0U);
}

TEST_F(MemoryMode, FullPaletteGivesTheNearestCellLowerIndexOnTies)
{
    for (int i = 0; i < 16; ++i) {
        rgb c = query((GrColor)i);
        ASSERT_EQ(GrAllocColor(c[0], c[1], c[2]), (GrColor)i);
    }
    for (int i = 0; i < 240; ++i)
        ASSERT_EQ(GrAllocColor(2 * (i % 120), i < 120 ? 1 : 200, 2), (GrColor)(16 + i));
    // (11, 1, 2) lies between (10, 1, 2) in cell 21 and (12, 1, 2) in cell 22.
    EXPECT_EQ(GrAllocColor(11, 1, 2), 21U);
    EXPECT_EQ(GrColorInfo->ctable[21].nused, 2U);
    EXPECT_EQ(GrAllocColor(101, 190, 9), 136U + 50U);
    EXPECT_EQ(GrAllocColor(250, 250, 90), 14U); // the preset yellow (255, 255, 85)
    EXPECT_EQ(GrColorInfo->nfree, 0U);
}

TEST_F(MemoryMode, PrivateCellsAreWritableNeverSharedAndFreedAtOnce)
{
    GrColor c = GrAllocCell();
    EXPECT_EQ(c, 16U);
    GrSetColor(c, 10, 20, 30);
    EXPECT_EQ(query(c), (rgb{10, 20, 30}));
    EXPECT_EQ(GrAllocColor(10, 20, 30), 17U);
    GrFreeColor(c); // not for private cells
    EXPECT_TRUE(GrColorInfo->ctable[c].defined);
    GrFreeCell(c);
    EXPECT_FALSE(GrColorInfo->ctable[c].defined);
    EXPECT_EQ(GrColorInfo->nfree, 255U);
    GrSetColor(2, 1, 1, 1); // a preset read-only cell with no user becomes private
    EXPECT_EQ(query(2), (rgb{1, 1, 1}));
    EXPECT_TRUE(GrColorInfo->ctable[2].writable);
}

TEST(RgbMode, TwentyFourBitModePacksComponents)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_bpp_graphics, 8, 4, 24);
    EXPECT_EQ(GrDriverInfo->fdriver.mode, GR_frameRAM24);
    GrColor c = GrAllocColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x123456U);
    EXPECT_EQ(query(c), (rgb{0x12, 0x34, 0x56}));
    EXPECT_EQ(GrWhite(), 0xFFFFFFU);
    EXPECT_EQ(GrAllocCell(), GrNOCOLOR);
    GrPlot(7, 3, c);
    EXPECT_EQ(GrPixelC(nullptr, 7, 3), c);
}

} // namespace
