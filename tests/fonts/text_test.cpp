// Drawing text into small memory frames, compared as pictures: '#' foreground (1), '.' background (0), '-' the
// untouched canvas (7). A tiny 3 x 4 font with lopsided glyphs shows how each direction turns them. Then measuring
// text: string widths in fixed and proportional fonts, character boxes per direction, UTF-8 decoding.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr GrColor canvas = 7;
constexpr GrColor underline = 0x10000000;

using rows = std::vector<std::string>;

// Fixed 3 x 4 font with 'a' and 'b'; baseline 3, underline row 3.
const std::string tiny_fna = "name tiny\nfamily t\nisfixed 1\nwidth 3\nheight 4\nminchar 97\nmaxchar 98\n"
                             "baseline 3\nundwidth 1\n"
                             "##.\n#..\n#..\n...\n"
                             ".#.\n.##\n.#.\n.#.\n";

class Text : public ::testing::Test
{
protected:
    void SetUp() override { set_frame(8, 6); }
    void set_frame(int w, int h)
    {
        ASSERT_EQ(GrSetDriver("memory"), 1);
        GrSetMode(GR_width_height_color_graphics, w, h, 256);
        GrClearContext(canvas);
    }
    GrTextOption options(GrFont* f, int dir = 0, GrColor fg = 1, GrColor bg = 0)
    {
        GrTextOption opt{};
        opt.txo_font = f;
        opt.txo_fgcolor.v = fg;
        opt.txo_bgcolor.v = bg;
        opt.txo_direct = static_cast<signed char>(dir);
        return opt;
    }
    static rows picture()
    {
        const GrContext* ctx = GrCurrentContext();
        rows out(static_cast<std::size_t>(ctx->gc_ymax + 1));
        for (int y = 0; y <= ctx->gc_ymax; ++y) {
            for (int x = 0; x <= ctx->gc_xmax; ++x) {
                GrColor v = GrPixelC(ctx, x, y);
                out[y] += v == 1 ? '#' : v == 0 ? '.' : v == canvas ? '-' : static_cast<char>('a' + v % 26);
            }
        }
        return out;
    }
    // A frame's picture: the ink inside a border of untouched canvas.
    static rows framed(rows ink)
    {
        for (auto& row : ink)
            row = '-' + row + '-';
        ink.insert(ink.begin(), std::string(ink[0].size(), '-'));
        ink.push_back(ink[0]);
        return ink;
    }
    // A picture turned dir quarter turns clockwise.
    static rows turn(rows grid, int dir)
    {
        for (int k = 0; k < dir; ++k) {
            rows next(grid[0].size(), std::string(grid.size(), ' '));
            for (std::size_t y = 0; y < grid.size(); ++y)
                for (std::size_t x = 0; x < grid[0].size(); ++x)
                    next[x][grid.size() - 1 - y] = grid[y][x];
            grid = next;
        }
        return grid;
    }
    font_test::font_ptr tiny = font_test::load_bytes(fdv_fna, {tiny_fna.begin(), tiny_fna.end()});
};

} // namespace

TEST_F(Text, FourDirectionsTurnTheGlyphsAndAlignmentMovesThem)
{
    ASSERT_NE(tiny, nullptr);
    const rows ink = {"##..#.", "#...##", "#...#.", "....#."};
    auto right = options(tiny.get(), 0);
    GrDrawString("ab", 2, 1, 1, &right);
    const rows expected = framed(ink);
    EXPECT_EQ(picture(), expected);
    // Aligned on its baseline, the text moves up by it (centred and right or bottom alignment, and text in a
    // sub-context, are held by the case pictures of tick labels and legends).
    GrClearContext(canvas);
    right.txo_yalign = 3;
    GrDrawString("ab", 2, 1, 4, &right);
    EXPECT_EQ(picture(), expected);

    // The other directions turn that picture's ink box as a whole: upside down with the first character at the
    // right end, a quarter turn clockwise, and counter-clockwise with the first character at the bottom. The
    // baseline moves only left-to-right text; other directions stay at y.
    for (int dir = 1; dir < 4; ++dir) {
        const bool across = dir != 2;
        set_frame(across ? 6 : 8, across ? 8 : 6);
        for (int yalign : {0, 3}) {
            GrClearContext(canvas);
            auto turned = options(tiny.get(), dir);
            turned.txo_yalign = static_cast<signed char>(yalign);
            GrDrawString("ab", 2, 1, 1, &turned);
            EXPECT_EQ(picture(), framed(turn(ink, dir))) << "direction " << dir << " yalign " << yalign;
        }
    }
}

TEST_F(Text, UnderlineBackgroundAndCodesOutsideTheFont)
{
    auto opt = options(tiny.get(), 0, 1 | underline);
    GrDrawString("ab", 2, 1, 1, &opt);
    const rows underlined = {"##..#.", "#...##", "#...#.", "######"};
    EXPECT_EQ(picture(), framed(underlined));
    GrClearContext(canvas);
    auto clear_bg = options(tiny.get(), 0, 1, GrNOCOLOR);
    GrDrawString("ab", 2, 1, 1, &clear_bg);
    EXPECT_EQ(picture(), framed(rows{"##--#-", "#---##", "#---#-", "----#-"}));
    set_frame(11, 6);
    auto outside = options(tiny.get());
    GrDrawString("a?b", 3, 1, 1, &outside); // '?' is not in the font: a background cell of the nominal width
    EXPECT_EQ(picture(), framed(rows{"##.....#.", "#......##", "#......#.", ".......#."}));
    set_frame(6, 8);
    auto down = options(tiny.get(), 1, 1 | underline); // the underline turns with the glyphs
    GrDrawString("ab", 2, 1, 1, &down);
    EXPECT_EQ(picture(), framed(turn(underlined, 1)));
}

TEST_F(Text, ClippingKeepsEachCellInsideTheClipBox)
{
    for (int dir = 0; dir < 4; ++dir) {
        set_frame(10, 10);
        auto opt = options(tiny.get(), dir, 1 | (dir == 1 ? underline : 0));
        GrDrawString("abba", 4, 1, 1, &opt);
        const rows whole = picture();
        for (auto [x1, y1, x2, y2] : {std::array<int, 4>{2, 2, 6, 5}, {0, 3, 9, 3}, {4, 0, 4, 9}, {3, 4, 9, 9}}) {
            GrClearContext(canvas);
            GrSetClipBox(x1, y1, x2, y2);
            GrDrawString("abba", 4, 1, 1, &opt);
            GrResetClipBox();
            rows clipped = picture(), expected = whole;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x)
                    if (x < x1 || x > x2 || y < y1 || y > y2)
                        expected[y][x] = '-';
            EXPECT_EQ(clipped, expected) << "direction " << dir << " clip " << x1 << "," << y1 << "-" << x2 << ","
                                         << y2;
        }
    }
}

TEST_F(Text, AttributeTextTakesColoursFromTables)
{
    GrColor fg[] = {2, 1, 5};
    GrColor bg[] = {3, 0, 6, 9};
    GrTextOption opt = options(tiny.get());
    opt.txo_fgcolor.p = fg;
    opt.txo_bgcolor.p = bg;
    opt.txo_chrtype = 2;
    const unsigned char text[] = {'a', 0x10, 'b', 0x21 | 0x80};
    GrDrawString(text, 2, 1, 1, &opt);
    // a: foreground 1 ('#') on 6 ('g'); b: foreground 5 ('f') on 9 ('j'), underlined by bit 7.
    EXPECT_EQ(picture(), framed(rows{"##gjfj", "#ggjff", "#ggjfj", "gggfff"}));
}

// Alignment and turned text in the built-in font are held by the case pictures (titles, tick labels, the upward
// y label), and so is UTF-8 text (the utf8_ and cells_ pairs); the tiny font above shows each rule on its own.
TEST_F(Text, NothingIsDrawnWithoutAFontOrALength)
{
    const rows blank = picture();
    GrTextOption opt = options(nullptr);
    GrDrawString("ab", 2, 1, 1, &opt);
    opt.txo_font = tiny.get();
    GrDrawString("ab", 0, 1, 1, &opt);
    GrDrawString("", -3, 1, 1, &opt);
    EXPECT_EQ(picture(), blank);
}

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
