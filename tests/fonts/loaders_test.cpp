// Each font file format: a valid sample (written by the project's generator, or a real file written elsewhere)
// loads with the header values the format defines and with its glyphs bit for bit.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <numeric>

using font_test::data_dir;
using font_test::glyph_picture;
using font_test::glyph_rows;
using font_test::load_bytes;
using font_test::read_bytes;
using pic = std::vector<std::string>;

namespace
{

const std::vector<int> vga_a = {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE,
                                0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00};
const pic prop_a = {"###", "#.#", "#.#", "###", "#..", "#.."};
const pic prop_b = {"#########.", "#........#", "#.######.#", "#.#....#.#", "#........#", ".########."};
const pic prop_c = {"#", ".", "#", ".", "#", "."};

font_test::font_ptr load_gen(const font_driver& drv, const char* name)
{
    auto path = data_dir() / "gen" / name;
    return load_bytes(drv, read_bytes(path), path.c_str());
}

font_test::font_ptr load_real(const font_driver& drv, const char* name)
{
    auto path = data_dir() / "real" / name;
    return load_bytes(drv, read_bytes(path), path.c_str());
}

struct expected_header {
    const char* name;
    const char* family;
    int proportional;
    std::uint32_t width, height, baseline, ulpos, ulheight, minchar, numchars;
};

void expect_header(const GrFont* f, const expected_header& e)
{
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->h.name, e.name);
    EXPECT_STREQ(f->h.family, e.family);
    EXPECT_EQ(f->h.proportional, e.proportional);
    EXPECT_EQ(f->h.preloaded, 0);
    EXPECT_EQ(f->h.width, e.width);
    EXPECT_EQ(f->h.height, e.height);
    EXPECT_EQ(f->h.baseline, e.baseline);
    EXPECT_EQ(f->h.ulpos, e.ulpos);
    EXPECT_EQ(f->h.ulheight, e.ulheight);
    EXPECT_EQ(f->h.minchar, e.minchar);
    EXPECT_EQ(f->h.numchars, e.numchars);
}

} // namespace

TEST(NativeFont, FixedAndProportionalSamples)
{
    auto fixed = load_gen(fdv_native, "vga-ascii.fnt");
    expect_header(fixed.get(), {"vgaascii", "vga", 0, 8, 16, 11, 15, 1, 32, 95});
    EXPECT_EQ(glyph_rows(fixed.get(), 'A'), vga_a);

    auto prop = load_gen(fdv_native, "prop.fnt");
    expect_header(prop.get(), {"propsample", "prop", 1, 4, 6, 4, 5, 1, 'a', 3});
    EXPECT_EQ(prop->minwidth, 1u);
    EXPECT_EQ(prop->maxwidth, 10u);
    EXPECT_EQ(glyph_picture(prop.get(), 'a'), prop_a);
    EXPECT_EQ(glyph_picture(prop.get(), 'b'), prop_b);
    EXPECT_EQ(glyph_picture(prop.get(), 'c'), prop_c);
}

TEST(NativeFont, RefusesEmptyCharactersAndShortFiles)
{
    auto bytes = read_bytes(data_dir() / "gen" / "prop.fnt");
    auto empty_char = bytes;
    empty_char[56 + 2] = 0; // width of 'b'
    empty_char[56 + 3] = 0;
    EXPECT_EQ(load_bytes(fdv_native, empty_char), nullptr);
    auto short_file = bytes;
    short_file.pop_back();
    EXPECT_EQ(load_bytes(fdv_native, short_file), nullptr);
    auto backwards = bytes;
    backwards[14] = 0; // maxchar below minchar
    EXPECT_EQ(load_bytes(fdv_native, backwards), nullptr);
    EXPECT_NE(load_bytes(fdv_native, bytes), nullptr);
}

TEST(TextFont, ProportionalAndFixedSamples)
{
    auto prop = load_gen(fdv_fna, "prop.fna");
    expect_header(prop.get(), {"Proportional sample", "prop", 1, 4, 6, 4, 5, 1, 'a', 3});
    EXPECT_EQ(glyph_picture(prop.get(), 'a'), prop_a);
    EXPECT_EQ(glyph_picture(prop.get(), 'b'), prop_b);
    EXPECT_EQ(glyph_picture(prop.get(), 'c'), prop_c);

    auto fixed = load_gen(fdv_fna, "fixed.fna");
    expect_header(fixed.get(), {"fixed3", "fix", 0, 3, 6, 4, 4, 2, 'a', 1});
    EXPECT_EQ(glyph_picture(fixed.get(), 'a'), prop_a);
}

TEST(TextFont, RefusesMalformedHeadersAndRows)
{
    auto text = [](std::string s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    std::string head = "name t\nfamily f\nisfixed 1\nheight 2\nminchar 65\nmaxchar 65\nbaseline 1\n";
    std::string body = "#.\n.#\n";
    EXPECT_NE(load_bytes(fdv_fna, text(head + "width 2\n" + body)), nullptr);
    EXPECT_NE(load_bytes(fdv_fna, text(head + "avgwidth 2\n" + body)), nullptr);
    EXPECT_NE(load_bytes(fdv_fna, text(head + "width 2  \r\n; comment\n\n" + body)), nullptr);
    const std::pair<const char*, std::string> bad[] = {
        {"no width", head + body},
        {"width twice", head + "width 2\navgwidth 2\n" + body},
        {"unknown keyword", head + "width 2\ncolour red\n" + body},
        {"number with a sign", head + "width +2\n" + body},
        {"number with text after it", head + "width 2px\n" + body},
        {"zero minimum width", head + "width 2\nminwidth 0\n" + body},
        {"maximum width above 127", head + "width 2\nmaxwidth 128\n" + body},
        {"row of the wrong length", head + "width 2\n#.\n.##\n"},
        {"row with another character", head + "width 2\n#.\n.x\n"},
        {"missing row", head + "width 2\n#.\n"},
        {"line longer than 127", head + "width 2\nnote " + std::string(130, 'x') + "\n" + body},
    };
    for (const auto& [why, file] : bad)
        EXPECT_EQ(load_bytes(fdv_fna, text(file)), nullptr) << why;
}

TEST(StrokeFont, GeneratedBoxAndDiagonal)
{
    auto f = load_gen(fdv_bgi, "box.chr");
    expect_header(f.get(), {"SAMP", "BGI", 1, 5, 7, 4, 6, 1, 'A', 2});
    EXPECT_EQ(f->h.scalable, 1);
    const pic box = {"######", "#....#", "#....#", "#....#", "######", "......", "......"};
    EXPECT_EQ(glyph_picture(f.get(), 'A'), box);
    // The diagonal runs from the bottom left (descender) to the top right (cap height): one pixel per row.
    pic diag = glyph_picture(f.get(), 'B');
    ASSERT_EQ(diag.size(), 7u);
    std::size_t last = 0;
    for (std::size_t row = 0; row < diag.size(); ++row) {
        ASSERT_EQ(std::count(diag[row].begin(), diag[row].end(), '#'), 1) << row;
        std::size_t x = diag[row].find('#');
        if (row > 0) {
            EXPECT_LE(x, last);
        }
        last = x;
    }
    EXPECT_EQ(diag.front(), "...#");
    EXPECT_EQ(diag.back(), "#...");
}

TEST(StrokeFont, RealHersheyFont)
{
    auto f = load_real(fdv_bgi, "hershey.chr");
    // Advances of the 26 letters average 258 / 26, which rounds to 10; cap 21 over descender -7 is 29 rows.
    expect_header(f.get(), {"HERS", "BGI", 1, 10, 29, 21, 28, 1, 1, 26});
    EXPECT_EQ(f->chrinfo[0].width, 10u); // A
    EXPECT_EQ(f->chrinfo[8].width, 4u);  // I
    // A: strokes (5,14)-(1,5), (5,14)-(9,5) and the bar (3,8)-(7,8); rows count down from y = 21.
    pic a = glyph_picture(f.get(), 1);
    ASSERT_EQ(a.size(), 29u);
    EXPECT_EQ(a[7][5], '#');
    EXPECT_EQ(a[16][1], '#');
    EXPECT_EQ(a[16][9], '#');
    EXPECT_EQ(a[13].substr(3, 5), "#####");
    for (int row : {0, 6, 17, 28})
        EXPECT_EQ(a[row], std::string(10, '.')) << row;
}

TEST(StrokeFont, RefusesBrokenHeaders)
{
    auto bytes = read_bytes(data_dir() / "gen" / "box.chr");
    auto no_marker = bytes;
    std::replace(no_marker.begin(), no_marker.begin() + 0x80, std::uint8_t{0x1A}, std::uint8_t{' '});
    EXPECT_EQ(load_bytes(fdv_bgi, no_marker), nullptr);
    auto no_plus = bytes;
    no_plus[0x80] = '-';
    EXPECT_EQ(load_bytes(fdv_bgi, no_plus), nullptr);
    auto unterminated = bytes;
    unterminated.resize(unterminated.size() - 2); // the last character's end marker
    EXPECT_EQ(load_bytes(fdv_bgi, unterminated), nullptr);
    auto zero_advance = bytes;
    zero_advance[0x80 + 16 + 4] = 0;
    EXPECT_EQ(load_bytes(fdv_bgi, zero_advance), nullptr);
}

TEST(ScreenFont, GeneratedPsf1Psf2AndRawDumps)
{
    auto psf1 = load_gen(fdv_raw, "vga.psf");
    expect_header(psf1.get(), {"vga", "vga", 0, 8, 16, 12, 15, 1, 0, 256});
    EXPECT_EQ(glyph_rows(psf1.get(), 'A'), vga_a);

    auto psf2 = load_gen(fdv_raw, "prop2.psf");
    expect_header(psf2.get(), {"prop2", "prop", 0, 10, 6, 5, 5, 1, 0, 2});
    EXPECT_EQ(glyph_picture(psf2.get(), 0), prop_b);
    EXPECT_EQ(glyph_picture(psf2.get(), 1)[0], ".#########");

    auto raw = load_gen(fdv_raw, "vga8x8.raw");
    expect_header(raw.get(), {"vga8x8", "vga", 0, 8, 8, 7, 7, 1, 0, 256});
    EXPECT_EQ(glyph_rows(raw.get(), 'A'), std::vector<int>(vga_a.begin() + 4, vga_a.begin() + 12));
}

TEST(ScreenFont, LargeRawDumpHasTwoBytesPerRow)
{
    std::vector<std::uint8_t> bytes(4608, 0); // 256 glyphs of 9 rows: 5 pixels wide
    for (int row = 0; row < 9; ++row) {
        bytes[65 * 18 + 2 * row] = 0xA8;
        bytes[65 * 18 + 2 * row + 1] = 0xFF; // beyond the glyph's width
    }
    auto f = load_bytes(fdv_raw, bytes, "fonts/big.fnt");
    expect_header(f.get(), {"big", "big", 0, 5, 9, 8, 8, 1, 0, 256});
    EXPECT_EQ(glyph_picture(f.get(), 65), pic(9, "#.#.#"));
    EXPECT_EQ(load_bytes(fdv_raw, std::vector<std::uint8_t>(4352, 0)), nullptr);  // above 4096, not a multiple of 512
    EXPECT_EQ(load_bytes(fdv_raw, std::vector<std::uint8_t>(16896, 0)), nullptr); // above 16384
}

TEST(ScreenFont, NamesComeFromTheFileName)
{
    auto bytes = read_bytes(data_dir() / "gen" / "vga.psf");
    auto raw = read_bytes(data_dir() / "gen" / "vga8x8.raw");
    const std::pair<const char*, const char*> cases[] = {
        {"dir/Lat15-VGA16.psf", "Lat15-VGA16"},
        {"C:\\fonts\\thin.psf", "thin"},
        {"C:wide.psf", "wide"},
        {"dir/.psf", "psf16"},
        {"noext", "noext"},
    };
    for (const auto& [path, name] : cases) {
        auto f = load_bytes(fdv_raw, bytes, path);
        ASSERT_NE(f, nullptr) << path;
        EXPECT_STREQ(f->h.name, name) << path;
    }
    auto unnamed_raw = load_bytes(fdv_raw, raw, "x/.raw");
    EXPECT_STREQ(unnamed_raw->h.name, "raw8");
    EXPECT_STREQ(unnamed_raw->h.family, "raw");
    std::string long_path = "dir/" + std::string(45, 'n') + ".psf";
    EXPECT_EQ(std::string(load_bytes(fdv_raw, bytes, long_path.c_str())->h.name), std::string(39, 'n'));
}

TEST(ScreenFont, RealConsoleFonts)
{
    for (const char* name : {"default8x16.psf", "Lat15-VGA16.psf"}) {
        auto f = load_real(fdv_raw, name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->h.numchars, 256u);
        EXPECT_EQ(glyph_rows(f.get(), 'A'), vga_a) << name;
    }
    for (const char* name : {"Uni2-VGA16.psf", "spleen-8x16.psfu"}) {
        auto f = load_real(fdv_raw, name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->h.numchars, 512u);
        EXPECT_EQ(f->h.height, 16u);
    }
    EXPECT_EQ(glyph_rows(load_real(fdv_raw, "Uni2-VGA16.psf").get(), 'A'), vga_a);
    auto psf2 = load_real(fdv_raw, "lat1-12.psf");
    expect_header(psf2.get(), {"lat1-12", "lat", 0, 8, 12, 10, 11, 1, 0, 256});
}

TEST(WindowsFont, GeneratedVersion2WithResourceHeaderAndVersion3)
{
    auto v2 = load_gen(fdv_win, "vga-v2.res");
    expect_header(v2.get(), {"Modern-16", "Modern", 0, 8, 16, 12, 15, 1, 64, 4});
    EXPECT_EQ(glyph_rows(v2.get(), 'A'), vga_a);

    auto v3 = load_gen(fdv_win, "prop-v3.fnt");
    expect_header(v3.get(), {"Prop Sample", "Swiss", 1, 3, 6, 4, 5, 1, 'a', 3});
    EXPECT_EQ(glyph_picture(v3.get(), 'a'), prop_a);
    EXPECT_EQ(glyph_picture(v3.get(), 'b'), prop_b);
    EXPECT_EQ(glyph_picture(v3.get(), 'c'), prop_c);
}

TEST(WindowsFont, RefusesVectorFontsAndOtherResources)
{
    auto bytes = read_bytes(data_dir() / "gen" / "prop-v3.fnt");
    auto vector_font = bytes;
    vector_font[66] |= 1;
    EXPECT_EQ(load_bytes(fdv_win, vector_font), nullptr);
    auto version1 = bytes;
    version1[1] = 1;
    EXPECT_EQ(load_bytes(fdv_win, version1), nullptr);
    auto res = read_bytes(data_dir() / "gen" / "vga-v2.res");
    res[1] = 3; // an icon resource, not a font
    EXPECT_EQ(load_bytes(fdv_win, res), nullptr);
    auto glyph_past_end = bytes;
    glyph_past_end[148 + 2] = 0xF0; // offset of 'a' far beyond the file
    EXPECT_EQ(load_bytes(fdv_win, glyph_past_end), nullptr);
}

TEST(WindowsFont, RealFixedAndProportionalFonts)
{
    auto vga = load_real(fdv_win, "ibm-vga-8x16.fnt");
    expect_header(vga.get(), {"Bm437 IBM VGA 8x16", "Modern", 0, 8, 16, 12, 15, 1, 0, 256});
    // Stored column by column, it must still give exactly the glyphs of the built-in table.
    EXPECT_TRUE(std::equal(vga->bitmap, vga->bitmap + 4096, GrFont_PC8x16.bitmap));

    auto sys = load_real(fdv_win, "system-16.fnt");
    expect_header(sys.get(), {"System", "Swiss", 1, 7, 16, 13, 15, 1, 32, 224});
    EXPECT_EQ(sys->chrinfo[0].width, 4u);
    EXPECT_EQ(sys->maxwidth, 15u);
    pic minus(16, "....");
    minus[8] = "####";
    EXPECT_EQ(glyph_picture(sys.get(), '-'), minus);
    pic capital_i(16, "....");
    for (int row = 3; row <= 12; ++row)
        capital_i[static_cast<std::size_t>(row)] = ".##.";
    EXPECT_EQ(glyph_picture(sys.get(), 'I'), capital_i);
}
