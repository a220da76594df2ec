// Helpers of the font tests: reading sample files, loading bytes through one driver, and glyphs as pictures.
#pragma once

#include "font/fontdrv.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
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

// The first byte of each row of an 8-pixel-wide glyph.
inline std::vector<int> glyph_rows(const GrFont* font, int code)
{
    std::vector<int> rows;
    std::uint32_t index = static_cast<std::uint32_t>(code) - font->h.minchar;
    const GrFontChrInfo& ci = font->chrinfo[index];
    std::size_t pitch = (ci.width + 7) / 8;
    for (std::uint32_t y = 0; y < font->h.height; ++y)
        rows.push_back(font->bitmap[ci.offset + y * pitch]);
    return rows;
}

} // namespace font_test
