// Decoding of the PNG files the program writes: size, format, "Comment" text and RGB pixels.
#pragma once

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace test_support
{

struct rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const rgb&) const = default;
};

struct png_image {
    int width = 0;
    int height = 0;
    int bit_depth = 0;
    int color_type = 0;
    int interlace = 0;
    std::optional<std::string> comment; // the "Comment" text, when there is one
    std::vector<png_byte> pixels;       // RGB rows, 3 bytes per pixel

    rgb at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }
    // Number of pixels of the given colour in the rectangle x0..x1, y0..y1 (inclusive, clipped to the image).
    int count(rgb c, int x0 = 0, int y0 = 0, int x1 = 1 << 30, int y1 = 1 << 30) const
    {
        int n = 0;
        for (int y = std::max(y0, 0); y <= y1 && y < height; ++y)
            for (int x = std::max(x0, 0); x <= x1 && x < width; ++x)
                n += at(x, y) == c ? 1 : 0;
        return n;
    }
};

namespace detail
{
// Holds the jump point: plain data only in here.
inline bool decode(std::FILE* fp, png_image* out, png_textp* text_out, int* text_count)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, fp);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    png_get_IHDR(png, info, &w, &h, &out->bit_depth, &out->color_type, &out->interlace, nullptr, nullptr);
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    *text_count = png_get_text(png, info, text_out, nullptr);
    for (int i = 0; i < *text_count; ++i)
        if (std::string((*text_out)[i].key) == "Comment")
            out->comment = std::string((*text_out)[i].text, (*text_out)[i].text_length);
    out->pixels.resize(static_cast<std::size_t>(w) * h * 3);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(w) * 3) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    for (png_uint_32 y = 0; y < h; ++y)
        png_read_row(png, out->pixels.data() + static_cast<std::size_t>(y) * w * 3, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
} // namespace detail

// The decoded file, or nothing when it is missing or not a whole, valid 8-bit RGB PNG.
inline std::optional<png_image> read_png(const std::filesystem::path& path)
{
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (fp == nullptr)
        return std::nullopt;
    png_image image;
    png_textp text = nullptr;
    int count = 0;
    // A whole picture ends with its last chunk: bytes after it were written by someone else into the same file.
    const bool ok = detail::decode(fp, &image, &text, &count) && std::fgetc(fp) == EOF;
    std::fclose(fp);
    if (!ok)
        return std::nullopt;
    return image;
}

} // namespace test_support
