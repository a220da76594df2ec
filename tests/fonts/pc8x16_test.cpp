// The built-in font: its header, and its table against the committed VGA dump and a few cells written out by hand.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BuiltinFont, HeaderDescribesAFixed8x16FontOf256Characters)
{
    const GrFont& f = GrFont_PC8x16;
    EXPECT_EQ(font_test::header(f), "pc8x16, pc, fixed 8x16, base 11, ul 15+1, chars 0+256, built in");
    for (unsigned c = 0; c < 256; ++c) {
        EXPECT_EQ(f.chrinfo[c].width, 8u) << c;
        EXPECT_EQ(f.chrinfo[c].offset, 16 * c) << c;
    }
    // Unloading the built-in font is a no-op.
    GrUnloadFont(&GrFont_PC8x16);
    GrUnloadFont(nullptr);
    EXPECT_EQ(GrFont_PC8x16.bitmap[16 * 'A' + 7], 0xFE);
}

TEST(BuiltinFont, TableIsTheCommittedVgaDump)
{
    auto dump = font_test::read_bytes(font_test::data_dir() / "ibm-vga-8x16.raw");
    ASSERT_EQ(dump.size(), 4096u);
    EXPECT_EQ(std::memcmp(dump.data(), GrFont_PC8x16.bitmap, dump.size()), 0);
    // Cells of code page 437 as the VGA draws them, independent of the dump.
    const std::pair<int, std::vector<int>> cells[] = {
        {'A', {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE, 0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00}},
        {0xB1, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}},
        {0xC4, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {0xE9, {0x00, 0x00, 0x00, 0x38, 0x6C, 0xC6, 0xC6, 0xFE, 0xC6, 0xC6, 0x6C, 0x38, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& [code, rows] : cells)
        EXPECT_EQ(std::vector<int>(GrFont_PC8x16.bitmap + 16 * code, GrFont_PC8x16.bitmap + 16 * code + 16), rows)
            << "code " << code;
}
