// Helpers of the font tests: reading sample files, loading bytes through one driver, glyphs as pictures and headers
// as text.
#pragma once

#include "font/fontdrv.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace font_test
{

inline std::filesystem::path data_dir()
{
    return std::filesystem::path(TEST_DATA_DIR) / "fonts";
}

inline std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct font_deleter {
    void operator()(GrFont* f) const { GrUnloadFont(f); }
};
using font_ptr = std::unique_ptr<GrFont, font_deleter>;

inline font_ptr load_bytes(const font_driver& drv, const std::vector<std::uint8_t>& bytes, const char* path = "sample")
{
    return font_ptr(load_font_from_bytes(drv, bytes, path));
}

// A glyph as rows of '#' (set) and '.' (clear).
inline std::vector<std::string> glyph_picture(const GrFont* font, int code)
{
    std::vector<std::string> rows;
    std::uint32_t index = static_cast<std::uint32_t>(code) - font->h.minchar;
    if (index >= font->h.numchars)
        return rows;
    const GrFontChrInfo& ci = font->chrinfo[index];
    std::size_t pitch = (ci.width + 7) / 8;
    for (std::uint32_t y = 0; y < font->h.height; ++y) {
        std::string row;
        for (std::uint32_t x = 0; x < ci.width; ++x)
            row += (font->bitmap[ci.offset + y * pitch + x / 8] & (0x80 >> (x % 8))) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// A font's header in one line: name, family, fixed or proportional, cell size, baseline, underline row and height,
// first character and count.
inline std::string header(const GrFont& f)
{
    std::ostringstream out;
    out << f.h.name << ", " << f.h.family << (f.h.proportional ? ", prop " : ", fixed ") << f.h.width << 'x'
        << f.h.height << ", base " << f.h.baseline << ", ul " << f.h.ulpos << '+' << f.h.ulheight << ", chars "
        << f.h.minchar << '+' << f.h.numchars << (f.h.preloaded ? ", built in" : "");
    return out.str();
}

// The valid samples of each format, written by the project's generator (gen/) or elsewhere (real/), with the header
// they load with, the glyphs of theirs the loader tests know (the VGA 'A', the proportional 'a', 'b' and 'c'), and
// whether every byte of them is needed (so that every cut is refused). Advances of Hershey's 26 letters average 258 /
// 26, which rounds to 10; cap 21 over descender -7 is 29 rows.
struct sample {
    const font_driver* drv;
    const char* file;
    const char* header;
    const char* glyphs;
    bool any_cut_refused;
};
inline const sample samples[] = {
    {&fdv_native, "gen/vga-ascii.fnt", "vgaascii, vga, fixed 8x16, base 11, ul 15+1, chars 32+95", "A", true},
    {&fdv_native, "gen/prop.fnt", "propsample, prop, prop 4x6, base 4, ul 5+1, chars 97+3", "abc", true},
    {&fdv_fna, "gen/prop.fna", "Proportional sample, prop, prop 4x6, base 4, ul 5+1, chars 97+3", "abc", false},
    {&fdv_fna, "gen/fixed.fna", "fixed3, fix, fixed 3x6, base 4, ul 4+2, chars 97+1", "a", false},
    {&fdv_bgi, "gen/box.chr", "SAMP, BGI, prop 5x7, base 4, ul 6+1, chars 65+2", "", true},
    {&fdv_bgi, "real/hershey.chr", "HERS, BGI, prop 10x29, base 21, ul 28+1, chars 1+26", "", false},
    {&fdv_raw, "gen/vga.psf", "vga, vga, fixed 8x16, base 12, ul 15+1, chars 0+256", "A", false},
    {&fdv_raw, "gen/prop2.psf", "prop2, prop, fixed 10x6, base 5, ul 5+1, chars 0+2", "", true},
    {&fdv_raw, "gen/vga8x8.raw", "vga8x8, vga, fixed 8x8, base 7, ul 7+1, chars 0+256", "", false},
    {&fdv_raw, "real/lat1-12.psf", "lat1-12, lat, fixed 8x12, base 10, ul 11+1, chars 0+256", "", false},
    {&fdv_win, "gen/vga-v2.res", "Modern-16, Modern, fixed 8x16, base 12, ul 15+1, chars 64+4", "A", true},
    {&fdv_win, "gen/prop-v3.fnt", "Prop Sample, Swiss, prop 3x6, base 4, ul 5+1, chars 97+3", "abc", true},
    {&fdv_win, "real/ibm-vga-8x16.fnt", "Bm437 IBM VGA 8x16, Modern, fixed 8x16, base 12, ul 15+1, chars 0+256", "A",
     false},
    {&fdv_win, "real/system-16.fnt", "System, Swiss, prop 7x16, base 13, ul 15+1, chars 32+224", "", false},
};

} // namespace font_test
