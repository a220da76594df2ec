// Measuring text: string widths in fixed and proportional fonts, character boxes per direction, UTF-8 decoding.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(TextWidth, FixedAndProportionalFontsInEveryCharacterType)
{
    EXPECT_EQ(GrProportionalTextWidth(&GrFont_PC8x16, "Hello", 5, 0), 40);
    EXPECT_EQ(GrProportionalTextWidth(&GrFont_PC8x16, "Hello", -2, 0), 0);
    const std::uint16_t wide[] = {0x41, 0x1234, 0x42};
    EXPECT_EQ(GrProportionalTextWidth(&GrFont_PC8x16, wide, 3, 1), 24); // outside the font: the nominal width

    auto f = font_test::load_bytes(fdv_fna, font_test::read_bytes(font_test::data_dir() / "gen" / "prop.fna"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(GrProportionalTextWidth(f.get(), "abc", 3, 0), 3 + 10 + 1);
    EXPECT_EQ(GrProportionalTextWidth(f.get(), "a`d", 3, 0), 3 + 4 + 4); // '`' and 'd' lie outside: width 4
    const unsigned char pairs[] = {'b', 0x17, 'c', 0x17};
    EXPECT_EQ(GrProportionalTextWidth(f.get(), pairs, 2, 2), 11);
    GrTextOption opt{};
    opt.txo_font = f.get();
    int w = 0, h = 0;
    GrCharSize('b', &opt, &w, &h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 6);
    opt.txo_direct = 3;
    EXPECT_EQ(GrCharWidth('b', &opt), 6);
    EXPECT_EQ(GrCharHeight('b', &opt), 10);
    EXPECT_EQ(GrCharHeight('z', &opt), 4);
    opt.txo_direct = 2;
    EXPECT_EQ(GrCharWidth('c', &opt), 1);
}

TEST(Utf8, DecodesSequencesAndReplacesInvalidBytes)
{
    const std::pair<const char*, std::vector<unsigned short>> samples[] = {
        {"abc", {'a', 'b', 'c'}},       {"\xE2\x82\xAC!", {0x20AC, '!'}},
        {"\xF0\x9F\x98\x80", {0xF600}}, // U+1F600 kept in 16 bits
        {"\x80x", {'?', 'x'}},          // a stray continuation byte
        {"\xC3(", {'?', '('}},          // a lead byte without its continuation
        {"\xE2\x82", {'?', '?'}},       // cut short at the end
        {"\xFF\xFE", {'?', '?'}},       {"", {}},
    };
    for (const auto& [text, codes] : samples) {
        int count = -1;
        unsigned short* out = GrUTF8StrToUCS2Str(reinterpret_cast<const unsigned char*>(text), &count);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(std::vector<unsigned short>(out, out + count), codes) << text;
        EXPECT_EQ(out[count], 0);
        std::free(out);
    }
}
