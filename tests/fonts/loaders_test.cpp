// Each font file format: a valid sample (written by the project's generator, or a real file written elsewhere)
// loads with the header values the format defines and with its glyphs bit for bit, and broken ones are refused;
// compressed fonts unpack to at most a font file's size limit.
#include "font_test_util.h"
#include "packed.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>

using font_test::data_dir;
using font_test::glyph_picture;
using font_test::load_bytes;
using font_test::read_bytes;
using pic = std::vector<std::string>;

namespace
{

const pic vga_a = {"........", "........", "...#....", "..###...", ".##.##..", "##...##.", "##...##.", "#######.",
                   "##...##.", "##...##.", "##...##.", "##...##.", "........", "........", "........", "........"};
const pic prop_a = {"###", "#.#", "#.#", "###", "#..", "#.."};
const pic prop_b = {"#########.", "#........#", "#.######.#", "#.#....#.#", "#........#", ".########."};
const pic prop_c = {"#", ".", "#", ".", "#", "."};

font_test::font_ptr load(const font_driver& drv, const std::string& file)
{
    auto path = data_dir() / file;
    return load_bytes(drv, read_bytes(path), path.c_str());
}

TEST(FontFormats, SamplesLoadWithTheirHeadersAndGlyphs)
{
    const std::map<char, pic> known = {{'A', vga_a}, {'a', prop_a}, {'b', prop_b}, {'c', prop_c}};
    for (const font_test::sample& s : font_test::samples) {
        auto f = load(*s.drv, s.file);
        ASSERT_NE(f, nullptr) << s.file;
        EXPECT_EQ(font_test::header(*f), s.header) << s.file;
        for (const char c : std::string(s.glyphs))
            EXPECT_EQ(glyph_picture(f.get(), c), known.at(c)) << s.file << " " << c;
    }
    auto prop = load(fdv_native, "gen/prop.fnt");
    EXPECT_EQ(prop->minwidth, 1u);
    EXPECT_EQ(prop->maxwidth, 10u);
    auto psf2 = load(fdv_raw, "gen/prop2.psf");
    EXPECT_EQ(glyph_picture(psf2.get(), 0), prop_b);
    EXPECT_EQ(glyph_picture(psf2.get(), 1)[0], ".#########");
    auto raw = load(fdv_raw, "gen/vga8x8.raw");
    EXPECT_EQ(glyph_picture(raw.get(), 'A'), pic(vga_a.begin() + 4, vga_a.begin() + 12));
    // Stored column by column, the real VGA font must still give exactly the glyphs of the built-in table.
    auto vga = load(fdv_win, "real/ibm-vga-8x16.fnt");
    EXPECT_TRUE(std::equal(vga->bitmap, vga->bitmap + 4096, GrFont_PC8x16.bitmap));
}

// The built-in font's table is the real VGA font's (above); unloading it is a no-op.
TEST(FontFormats, BuiltinFontIsAFixed8x16FontOf256Characters)
{
    const GrFont& f = GrFont_PC8x16;
    EXPECT_EQ(font_test::header(f), "pc8x16, pc, fixed 8x16, base 11, ul 15+1, chars 0+256, built in");
    for (unsigned c = 0; c < 256; ++c) {
        EXPECT_EQ(f.chrinfo[c].width, 8u) << c;
        EXPECT_EQ(f.chrinfo[c].offset, 16 * c) << c;
    }
    GrUnloadFont(&GrFont_PC8x16);
    GrUnloadFont(nullptr);
    EXPECT_EQ(GrFont_PC8x16.bitmap[16 * 'A' + 7], 0xFE);
}

TEST(FontFormats, StrokeFontsAreDrawnIntoTheirCells)
{
    auto box = load(fdv_bgi, "gen/box.chr");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->h.scalable, 1);
    EXPECT_EQ(glyph_picture(box.get(), 'A'),
              (pic{"######", "#....#", "#....#", "#....#", "######", "......", "......"}));
    // The diagonal runs from the bottom left (descender) to the top right (cap height).
    EXPECT_EQ(glyph_picture(box.get(), 'B'), (pic{"...#", "...#", "..#.", "..#.", ".#..", ".#..", "#..."}));

    // How the real Hershey font's strokes land is held by the stroke-font case picture.
}

// Real console fonts as distributions ship them (256 or 512 glyphs; all but spleen draw the VGA 'A'). Those with
// a Unicode table give each character the code their table names (values read from the files independently);
// fonts without one hold code page 437, like the built-in font. Windows raster fonts declare their character set:
// an ANSI one (system-16) follows code page 1252, so "é" is its own code and "€" is 0x80; an OEM one (the VGA font)
// follows code page 437.
TEST(FontFormats, EachFontGivesACharacterTheCodeItsTableOrCharacterSetNames)
{
    constexpr std::uint32_t chars[] = {'A', 0xE9, 0xB0, 0xB5, 0x20AC, 0x263A, 0x2122}; // A é ° µ € ☺ ™
    const struct {
        const font_driver* drv;
        const char* file;
        std::uint32_t numchars;
        std::array<int, 7> codes;
    } fonts[] = {
        {&fdv_raw, "real/default8x16.psf", 256, {0x41, 0x82, 0xF8, 0xE6, -1, 0x01, -1}},
        {&fdv_raw, "real/Lat15-VGA16.psf", 256, {0x41, 0x82, 0xF8, 0xE6, 0xF5, -1, 0x03}},
        {&fdv_raw, "real/Uni2-VGA16.psf", 512, {0x41, 0x82, 0xF8, 0xE6, 0x11B, -1, 0x03}},
        {&fdv_raw, "real/spleen-8x16.psfu", 512, {0x41, 0x82, 0xF8, 0xE6, 0x152, -1, -1}},
        {&fdv_raw, "real/lat1-12.psf", 256, {0x41, 0xE9, 0xB0, 0xB5, -1, -1, -1}}, // PSF2, in Latin-1 order
        {&fdv_raw, "gen/vga.psf", 256, {0x41, 0x82, 0xF8, 0xE6, -1, -1, -1}},      // no table: code page 437
        {&fdv_win, "real/system-16.fnt", 224, {0x41, 0xE9, 0xB0, 0xB5, 0x80, -1, 0x99}},
        {&fdv_win, "real/ibm-vga-8x16.fnt", 256, {0x41, 0x82, 0xF8, 0xE6, -1, -1, -1}},
    };
    for (const auto& f : fonts) {
        auto font = load(*f.drv, f.file);
        ASSERT_NE(font, nullptr) << f.file;
        EXPECT_EQ(font->h.numchars, f.numchars) << f.file;
        if (font->h.height == 16 && font->h.width == 8 && std::string(f.file).find("spleen") == std::string::npos) {
            EXPECT_EQ(glyph_picture(font.get(), 'A'), vga_a) << f.file;
        }
        for (std::size_t i = 0; i < std::size(chars); ++i)
            EXPECT_EQ(GrFontCodeOf(font.get(), chars[i]), f.codes[i]) << f.file << " U+" << std::hex << chars[i];
    }
    // The built-in font holds code page 437 too; Greek mu looks like its micro sign.
    EXPECT_EQ(GrFontCodeOf(&GrFont_PC8x16, 0x3BC), 0xE6);
}

// Each edit of a valid sample that a driver must refuse (truncations are swept in the robustness tests, broken text
// fonts are case files: tests/cases/fonts/text_font_*).
TEST(FontFormats, BrokenBinaryFilesAreRefused)
{
    struct edit {
        const char* why;
        const font_driver* drv;
        const char* file;
        std::function<void(std::vector<std::uint8_t>&)> change;
    };
    const edit edits[] = {
        {"native: empty character", &fdv_native, "gen/prop.fnt", [](auto& b) { b[58] = b[59] = 0; }},
        {"native: maxchar below minchar", &fdv_native, "gen/prop.fnt", [](auto& b) { b[14] = 0; }},
        {"stroke: no marker", &fdv_bgi, "gen/box.chr",
         [](auto& b) { std::replace(b.begin(), b.begin() + 0x80, std::uint8_t{0x1A}, std::uint8_t{' '}); }},
        {"stroke: no '+'", &fdv_bgi, "gen/box.chr", [](auto& b) { b[0x80] = '-'; }},
        {"stroke: zero advance", &fdv_bgi, "gen/box.chr", [](auto& b) { b[0x80 + 16 + 4] = 0; }},
        {"windows: vector font", &fdv_win, "gen/prop-v3.fnt", [](auto& b) { b[66] |= 1; }},
        {"windows: version 1", &fdv_win, "gen/prop-v3.fnt", [](auto& b) { b[1] = 1; }},
        {"windows: icon resource", &fdv_win, "gen/vga-v2.res", [](auto& b) { b[1] = 3; }},
        {"windows: glyph past the end", &fdv_win, "gen/prop-v3.fnt", [](auto& b) { b[148 + 2] = 0xF0; }},
    };
    for (const edit& e : edits) {
        auto bytes = read_bytes(data_dir() / e.file);
        ASSERT_NE(load_bytes(*e.drv, bytes), nullptr) << e.why;
        e.change(bytes);
        EXPECT_EQ(load_bytes(*e.drv, bytes), nullptr) << e.why;
    }
    EXPECT_EQ(load_bytes(fdv_raw, std::vector<std::uint8_t>(4352, 0)), nullptr);  // above 4096, not a multiple of 512
    EXPECT_EQ(load_bytes(fdv_raw, std::vector<std::uint8_t>(16896, 0)), nullptr); // above 16384
}

TEST(FontFormats, ScreenFontNamesComeFromTheFileAndLargeRawDumpsHaveTwoBytesPerRow)
{
    auto bytes = read_bytes(data_dir() / "gen" / "vga.psf");
    const std::pair<std::string, std::string> cases[] = {
        {"dir/Lat15-VGA16.psf", "Lat15-VGA16"},
        {"C:\\fonts\\thin.psf", "thin"},
        {"C:wide.psf", "wide"},
        {"dir/.psf", "psf16"},
        {"noext", "noext"},
        {"dir/" + std::string(45, 'n') + ".psf", std::string(39, 'n')},
    };
    for (const auto& [path, name] : cases) {
        auto f = load_bytes(fdv_raw, bytes, path.c_str());
        ASSERT_NE(f, nullptr) << path;
        EXPECT_EQ(f->h.name, name) << path;
    }
    auto unnamed_raw = load_bytes(fdv_raw, read_bytes(data_dir() / "gen" / "vga8x8.raw"), "x/.raw");
    EXPECT_STREQ(unnamed_raw->h.name, "raw8");
    EXPECT_STREQ(unnamed_raw->h.family, "raw");

    std::vector<std::uint8_t> big(4608, 0); // 256 glyphs of 9 rows: 5 pixels wide
    for (int row = 0; row < 9; ++row) {
        big[65 * 18 + 2 * row] = 0xA8;
        big[65 * 18 + 2 * row + 1] = 0xFF; // beyond the glyph's width
    }
    auto f = load_bytes(fdv_raw, big, "fonts/big.fnt");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(font_test::header(*f), "big, big, fixed 5x9, base 8, ul 8+1, chars 0+256");
    EXPECT_EQ(glyph_picture(f.get(), 65), pic(9, "#.#.#"));
}

// A gzip-compressed screen font padded to a font file's size limit loads by name; one byte more does not. (How names,
// extensions, the font path and the order of the drivers find a file, and that a compressed font draws as the plain
// one and a cut one is refused, is held by the case files of tests/cases/fonts, through the program's --font.)
TEST(FontFormats, GzipCompressedFontsUnpackToAtMostTheSizeLimit)
{
    test_support::TempDir dir;
    const auto bytes = read_bytes(data_dir() / "real" / "lat1-12.psf");
    std::string full(bytes.begin(), bytes.end());
    full.resize(max_font_file_bytes, '\0');
    dir.write("full.psf.gz", test_support::packed(full, false));
    dir.write("over.psf.gz", test_support::packed(full + '\0', false));
    EXPECT_NE(font_test::font_ptr(GrLoadFont((dir / "full.psf.gz").c_str())), nullptr);
    EXPECT_EQ(GrLoadFont((dir / "over.psf.gz").c_str()), nullptr);
    EXPECT_EQ(GrLoadFont(nullptr), nullptr);
}

} // namespace
